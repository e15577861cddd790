#pragma once
#include "common/RgbImage.h"
#include "common/Result.h"

#include <cstdint>
#include <vector>

enum class PngEffort
{
    Smallest, // as small as the animation's frames are
    Quick,    // one filtering and a quick deflate: many times faster, a little larger
};

// The picture as a PNG file in memory: indexed where it has at most 256 colours, else 8-bit RGB; no
// colour profile, so a browser shows the bytes as they are.
CResult<std::vector<uint8_t>> EncodePng(const RgbImage& image, PngEffort effort = PngEffort::Smallest);
