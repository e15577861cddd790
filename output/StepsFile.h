#pragma once
// session<N>/session<N>.steps.json: what each press of the capturing key was about, written while the
// session records and never changed afterwards (docs/steps-format.md describes it, with its schema in
// docs/steps-format.schema.json). Every press the capture step took has a record, also one that wrote no
// picture: the export's steps are the presses with pictures, and the chords of a press without any
// belong to the next step that has some.
#include "common/Result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr char kStepsFormat[] = "flickmere-steps";
constexpr int kStepsVersion = 1;

// A rectangle in the pictures' coordinates: (0, 0) is the top-left pixel of the session's grabs, as on
// the export's stage. It may reach outside the grab.
struct StepRect
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const StepRect& o) const
    {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

// How the control of a record was found.
enum class StepLookup
{
    // The press is recorded and its lookup has not answered yet; a file left so by a program that ended
    // holds what the press itself saw, as with Late.
    Pending,
    // The lookup answered in time: the record holds what it found.
    Answered,
    // The lookup did not answer in time (the program under the pointer was busy): the record holds
    // what the press itself saw.
    Late,
    // The lookup was not made, as an earlier one was still stuck; the record holds what the press saw.
    Skipped,
    // The pointer was not over a window of the recorded program: no control and no title are recorded.
    Outside,
};

struct StepControl
{
    std::string name;                // the accessible name, "" when none was found
    std::string role;                // one of the role words of docs/steps-format.md
    std::vector<std::string> states; // state words, in the documented order
    std::optional<StepRect> rect;
    std::string className; // the window class under the pointer
    std::string source;    // which part of the lookup decided, a source word of docs/steps-format.md
    bool operator==(const StepControl& o) const
    {
        return name == o.name && role == o.role && states == o.states && rect == o.rect &&
               className == o.className && source == o.source;
    }
};

struct StepRecord
{
    int press = 0;             // counted from 1 in the session
    std::vector<int> pictures; // k of each imageBMP<k>.bmp the press wrote, in order
    StepLookup lookup = StepLookup::Pending;
    std::string window; // the title of the window the control belongs to
    std::optional<StepControl> control;
    std::vector<std::string> chords; // Ctrl or Alt chords since the previous press, oldest first
    bool operator==(const StepRecord& o) const
    {
        return press == o.press && pictures == o.pictures && lookup == o.lookup && window == o.window &&
               control == o.control && chords == o.chords;
    }
};

// The whole file for `steps`, UTF-8 JSON. Text that is not well-formed UTF-8 is written with U+FFFD in
// place of the bad bytes.
std::string StepsFileText(const std::vector<StepRecord>& steps);

// Reads a steps file; refuses one of another format or a later version, or a record without its press
// and pictures. Fields it does not know are passed over.
CResult<std::vector<StepRecord>> ParseStepsFile(std::string_view text);

// Writes `steps` to `file` whole, under a temporary name first, so that the file is always a complete
// one: a crash loses at most the press in hand.
CResult<void> WriteStepsFile(const std::filesystem::path& file, const std::vector<StepRecord>& steps);
