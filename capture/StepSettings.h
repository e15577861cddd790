#pragma once
// Whether a session keeps its steps file, and whether that file records key chords: a user who wants
// neither writes a line into Flickmere.ini beside the program (README, "Steps that explain
// themselves"). Read when a session starts.
#include <string_view>

constexpr char kSettingsFileName[] = "Flickmere.ini";

struct StepSettings
{
    // The steps file: the control under the pointer and the window's title at each press.
    bool steps = true;
    // The Ctrl and Alt chords pressed in the recorded window, in the steps file.
    bool chords = true;
};

// Reads "steps = off" and "chords = off" lines (names and values in any letter case; on, yes, true and 1
// turn a setting on, off, no, false and 0 off). Lines starting with ';' or '#', section lines in
// brackets and lines it does not know are passed over; a later line wins. A byte-order mark, as Notepad
// may save one, is passed over too. With steps off there is no steps file, so no chords either.
StepSettings ParseStepSettings(std::string_view text);
