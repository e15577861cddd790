#pragma once
// Animations and videos as Debian's ffmpeg decodes them: an independent reader of what the export and
// the player's recording wrote.
#include "common/RgbImage.h"

#include <functional>
#include <string>

namespace exporttest {

struct DecodedFrame
{
    int index = 0;
    double start = 0; // seconds
    double duration = 0;
    const RgbImage* image = nullptr;
};

// Hands every frame of an animated PNG of the given size, in order, to `visit`, timed as the file says.
void DecodeApng(const std::string& file, int width, int height,
                const std::function<void(const DecodedFrame&)>& visit);

// Where the last frame of a video file ends, in seconds; how many frames it has in `frames`.
double VideoDuration(const std::string& file, int& frames);

} // namespace exporttest
