#pragma once
#include <cstdint>
#include <vector>

// A picture as the player shows it: top row first, three bytes R, G, B per pixel, no row padding.
struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};
