#pragma once
// Packed DIB blocks (header, colour table, pixels), as the capture hands them to the bitmap writer.
#include <cstdint>
#include <vector>

// A block of `width` by `height` at `bits` per pixel, its colour table and pixels all 0x5A.
std::vector<uint8_t> DibBlock(int32_t width, int32_t height, uint16_t bits, uint32_t clrUsed = 0);

// The same with pixel and colour bytes that differ from their neighbours: byte i is i * 7.
std::vector<uint8_t> PatternedDibBlock(int32_t width, int32_t height, uint16_t bits);
