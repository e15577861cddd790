#include "DibBlock.h"

#include "output/DibFile.h"

#include <cstring>

std::vector<uint8_t> DibBlock(int32_t width, int32_t height, uint16_t bits, uint32_t clrUsed)
{
    DibHeader h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biClrUsed = clrUsed;
    h.biSizeImage = DibRowBytes(width, bits) * height;
    std::vector<uint8_t> block(sizeof h + DibColourTableSize(h) + h.biSizeImage, 0x5A);
    std::memcpy(block.data(), &h, sizeof h);
    return block;
}

std::vector<uint8_t> PatternedDibBlock(int32_t width, int32_t height, uint16_t bits)
{
    std::vector<uint8_t> block = DibBlock(width, height, bits);
    for (size_t i = sizeof(DibHeader); i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7);
    return block;
}
