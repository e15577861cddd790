#pragma once
// GIF's variable-length LZW code: codes of 3 to 12 bits packed from the lowest bit up.
#include <cstddef>
#include <cstdint>
#include <vector>

// The code stream of `count` colour indexes, each below 1 << `minCodeSize` (2 to 8), starting with a
// clear code and ending with the end code. A full table is cleared and started again.
std::vector<uint8_t> LzwEncode(const uint8_t* indexes, size_t count, int minCodeSize);
