#pragma once
#include "BmpReader.h"
#include "common/Region.h"

#include <filesystem>
#include <string>
#include <vector>

struct TimelinePicture
{
    int number = 0; // k of imageBMP<k>.bmp
    int x = 0;      // top-left pixel on the stage
    int y = 0;
    RgbImage image;
};

// One key press of the capture session: its pictures are drawn, in order, over everything the earlier
// steps drew, and the pointer sits at `cursor` (window coordinates, possibly off the stage).
struct TimelineStep
{
    std::vector<TimelinePicture> pictures;
    CursorPoint cursor;
    int frames = 0;
};

// The stage is the size of the session's first picture, the whole window grabbed at the first step.
struct SessionTimeline
{
    int stageWidth = 0;
    int stageHeight = 0;
    std::vector<TimelineStep> steps;
};

// Reads session<session>/ under `workDir` together with the working directory's offset files, and
// changes nothing. On failure answers false with one line, "<file>: <what is wrong>", in `error`.
// The offset files are parsed into g_offsets, which the lookups of the output module read.
bool DecodeSession(const std::filesystem::path& workDir, int session, SessionTimeline& timeline,
                   std::string& error);
