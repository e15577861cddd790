#pragma once
#include "common/Region.h"
#include "common/Result.h"

#include <filesystem>
#include <string>
#include <vector>

// One picture of a step, decoded only when it is drawn.
struct TimelinePicture
{
    int number = 0; // k of imageBMP<k>.bmp
    int x = 0;      // top-left pixel on the stage
    int y = 0;
    int width = 0;
    int height = 0;
    // The whole window, grabbed at the first step or after the window changed its size: the stage is
    // cleared to kStageBackground before it is drawn at (0, 0).
    bool wholeGrab = false;
    std::filesystem::path file;
};

// One key press of the capture session: its pictures are drawn, in order, over everything the earlier
// steps drew, and the pointer sits at `cursor` (window coordinates, possibly off the stage).
struct TimelineStep
{
    std::vector<TimelinePicture> pictures;
    CursorPoint cursor;
    int frames = 0;
};

// What the stage shows where no picture of the current window size lies: beside a window that shrank,
// or that was smaller than it later grew to. Black, as 0xRRGGBB.
constexpr uint32_t kStageBackground = 0x000000;

// The stage is as wide as the widest and as tall as the tallest whole grab of the session.
struct SessionTimeline
{
    int stageWidth = 0;
    int stageHeight = 0;
    std::vector<TimelineStep> steps;
    // One line per picture left out because it is missing or unreadable: "<file>: <what is wrong>".
    std::vector<std::string> skipped;
    // One line per offset file too short for the take, whose records the capture skipped, and what is
    // shown instead: "<file>: <what>".
    std::vector<std::string> gaps;
};

// Reads session<session>/ under `workDir` together with the working directory's offset files, and
// changes nothing; the pictures' pixels are left in their files, only their headers are read.
//
// The pictures are imageBMP1.bmp up to the highest number in the folder; one that is missing or
// unreadable is left out, with its line in `skipped`, and its step keeps its timing and pointer.
//
// Every picture is shown, also where a short curoffs.ini or frmoffs.ini made the capture skip the
// records of later steps: a step without a cursor record keeps the pointer where it was, one without
// its frame entries lasts kDefaultFrameValue frames, and from the first picture without a frame entry
// on, which tells where a key press ends, each picture is a step of its own. `gaps` names each such
// file once.
//
// A whole grab after a resize is known by its look alone: the only picture of its step, placed at
// (0, 0), of another size than the window's latest whole grab. A change found in one grid cell alone
// looks the same when that cell is the top-left one, so a picture that fits inside the top-left cell
// of the window as it was is taken as such a change: a window shrunk to a quarter or less in both
// directions at once is then drawn as a change over the old window.
//
// Refused (no stage: the offset files, the destination or the first picture unusable, a placement
// outside the window) with one line, "<file>: <what is wrong>". The offset files are parsed into
// tables of its own: the program's g_offsets stay as they are.
[[nodiscard]] CResult<SessionTimeline> DecodeSession(const std::filesystem::path& workDir, int session);
