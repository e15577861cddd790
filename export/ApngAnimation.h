#pragma once
#include "SessionTimeline.h"

#include <cstdint>
#include <string>
#include <vector>

struct ApngOptions
{
    int fps;             // a step lasts its frame count divided by this, as in the player (1 to 65535)
    bool pointer = true; // draw the arrow at each step's cursor record
    bool loop = true;    // play for ever, or once
};

// The session as an animated PNG: the first picture full size, then for every later step just the
// rectangles it changed, plus, with the pointer, the arrow's old and new places. Only the last frame of
// a step has a delay. Answers false (with the reason in `error`) only when compression fails.
bool BuildApng(const SessionTimeline& timeline, const ApngOptions& options, std::vector<uint8_t>& png,
               std::string& error);
