#pragma once
#include "common/Region.h"

#include <cstdint>
#include <vector>

// A picture as the player shows it: top row first, three bytes R, G, B per pixel, no row padding.
struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// The pixels of `box`, which lies inside `image`, row after row with no padding: a picture of the box.
std::vector<uint8_t> CopyOut(const RgbImage& image, const Region& box);
// Puts back pixels of `box` as CopyOut gave them.
void CopyIn(RgbImage& image, const Region& box, const std::vector<uint8_t>& pixels);
