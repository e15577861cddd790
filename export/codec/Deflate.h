#pragma once
// zlib streams, as PNG stores its pixel data.
#include "common/Result.h"

#include <cstdint>
#include <vector>

// How hard deflate searches: kDeflateQuick to compare candidates with, kDeflateBest for what is kept.
constexpr int kDeflateQuick = 1;
constexpr int kDeflateBest = 9;

CResult<std::vector<uint8_t>> Deflate(const std::vector<uint8_t>& bytes, int level);
