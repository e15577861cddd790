#pragma once
// The second decoder of each animation: apngdis for the animated PNG, Chromium's own image decoder for
// the GIF. Each answers the whole canvas at every frame, as a viewer shows it.
#include "common/RgbImage.h"

#include <string>
#include <vector>

namespace exporttest {

struct ComposedFrame
{
    RgbImage image;
    double seconds = 0; // how long it is shown
    bool opaque = true; // every pixel fully opaque
};

// Every frame of an animated PNG as apngdis composes it.
std::vector<ComposedFrame> DecodeWithApngdis(const std::string& file);

// Every frame of an animated GIF as headless Chromium's ImageDecoder composes it.
std::vector<ComposedFrame> DecodeGifInChromium(const std::string& file);

} // namespace exporttest
