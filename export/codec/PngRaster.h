#pragma once
// The pixel data of a PNG image or of an animation's frame, and its filtered, deflated form.
#include "common/Result.h"

#include <cstdint>
#include <vector>

struct PngRaster
{
    int width = 0;
    int height = 0;
    int bytesPerPixel = 1;
    std::vector<uint8_t> bytes; // the rows back to back, top first, in the file's pixel format

    size_t RowBytes() const { return size_t(width) * bytesPerPixel; }
};

// The zlib stream of the raster's rows, filtered whichever way deflates smallest: every row with the
// same one of the five filters, or each row with the filter that gives it the smallest sum of
// absolute differences, as most PNG writers do. The row above the first is zero, as every frame is
// decoded as a picture of its own.
CResult<std::vector<uint8_t>> CompressRaster(const PngRaster& raster);
