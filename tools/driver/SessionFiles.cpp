#include "SessionFiles.h"

#include "Driver.h"

namespace e2e {

int32_t Read32(const std::vector<uint8_t>& b, int32_t at)
{
    if (at < 0 || static_cast<size_t>(at) + 4 > b.size())
        return -1;
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t Read16(const std::vector<uint8_t>& b, int32_t at)
{
    if (at < 0 || static_cast<size_t>(at) + 2 > b.size())
        return 0xFFFF;
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

Picture ReadPicture(const std::string& path)
{
    Picture p;
    p.bytes = ReadFileBytes(path);
    if (p.bytes.size() < 54 || p.bytes[0] != 'B' || p.bytes[1] != 'M' || Read16(p.bytes, 28) != 24)
        return p;
    p.width = Read32(p.bytes, 18);
    p.height = Read32(p.bytes, 22);
    const size_t row = ((24u * p.width + 31) / 32) * 4;
    p.valid = p.width > 0 && p.height > 0 && p.bytes.size() == 54 + row * p.height &&
              static_cast<size_t>(Read32(p.bytes, 2)) == p.bytes.size();
    return p;
}

uint32_t Picture::Pixel(int x, int y) const
{
    const size_t row = ((24u * width + 31) / 32) * 4;
    const size_t at = 54 + row * (height - 1 - y) + 3 * x;
    return bytes[at] | bytes[at + 1] << 8 | static_cast<uint32_t>(bytes[at + 2]) << 16;
}

} // namespace e2e
