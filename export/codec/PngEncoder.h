#pragma once
#include "common/RgbImage.h"

#include <cstdint>
#include <vector>

// The picture as a PNG file in memory: 8-bit RGB, no colour profile, so a browser shows the bytes as
// they are. Empty when the encoder fails.
std::vector<uint8_t> EncodePng(const RgbImage& image);
