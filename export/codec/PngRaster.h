#pragma once
// The pixel data of a PNG image or of an animation's frame, filtered and deflated.
#include "common/Result.h"

#include <cstdint>
#include <functional>
#include <vector>

struct PngShape
{
    int width = 0;
    int height = 0;
    int bytesPerPixel = 1;

    size_t RowBytes() const { return size_t(width) * bytesPerPixel; }
};

// Writes row y (top first) in the file's pixel format; asked for each row several times, in order.
using PngRowSource = std::function<void(int y, uint8_t* row)>;

struct CompressedRows
{
    size_t source = 0; // which of the sources it is
    std::vector<uint8_t> deflated;
};

// The smallest zlib stream of any of `sources` (pixels that show the same picture in different ways),
// filtered whichever way deflates smallest: every row with the same one of the five filters, or each
// row with the filter that gives it the smallest sum of absolute differences, as most PNG writers do.
// The row above the first is zero, as every frame is decoded as a picture of its own. No more than a
// few rows are held unfiltered.
CResult<CompressedRows> CompressSmallest(const PngShape& shape, const std::vector<PngRowSource>& sources);

// One pass: every row with the filter the per-row heuristic picks, deflated at the quick level. For
// pictures that are made many at a time and read once, where time counts more than the last bytes.
CResult<std::vector<uint8_t>> CompressQuickly(const PngShape& shape, const PngRowSource& rows);
