#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A picture as the player shows it: top row first, three bytes R, G, B per pixel, no row padding.
struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// Reads a 24-bit BI_RGB Windows bitmap, bottom-up or top-down. Anything else (other depths,
// compression, an OS/2 header, a file shorter than its pixel rows) answers false with the reason,
// without the file name, in `error`.
bool ReadBmpFile(const std::filesystem::path& path, RgbImage& image, std::string& error);
bool DecodeBmp(const uint8_t* data, size_t size, RgbImage& image, std::string& error);
