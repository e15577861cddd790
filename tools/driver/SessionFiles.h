#pragma once
// Reading what a session left on disk: its pictures and the records in its destination file.
#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// A 24-bit bottom-up bitmap file as Flickmere writes it.
struct Picture
{
    bool valid = false;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;

    uint32_t Pixel(int x, int y) const; // 0x00RRGGBB
};

Picture ReadPicture(const std::string& path);

int32_t Read32(const std::vector<uint8_t>& bytes, int32_t at);
uint16_t Read16(const std::vector<uint8_t>& bytes, int32_t at);

} // namespace e2e
