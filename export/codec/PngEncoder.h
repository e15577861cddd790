#pragma once
#include "common/RgbImage.h"
#include "common/Result.h"

#include <cstdint>
#include <vector>

// The picture as a PNG file in memory, made as small as the animation's frames are: indexed where it
// has at most 256 colours, else 8-bit RGB; no colour profile, so a browser shows the bytes as they are.
CResult<std::vector<uint8_t>> EncodePng(const RgbImage& image);
