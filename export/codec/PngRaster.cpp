#include "export/codec/PngRaster.h"

#include "export/codec/Deflate.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

enum : uint8_t
{
    kFilterNone,
    kFilterSub,
    kFilterUp,
    kFilterAverage,
    kFilterPaeth,
    kFilterCount,
    kFilterPerRow = kFilterCount, // the heuristic's choice for each row
};

// Below this many filtered bytes every candidate is deflated at the best level; above it the quick
// level ranks them and only the two best are deflated again. The ranking seldom errs by more than a
// percent, and halves the time on full-HD frames.
constexpr size_t kExhaustiveBytes = size_t{1} << 16;
constexpr size_t kFinalists = 2;

int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// What a filter predicts for a byte from its left (a), upper (b) and upper-left (c) neighbours.
int Predict(int filter, int a, int b, int c)
{
    switch (filter) {
    case kFilterSub:
        return a;
    case kFilterUp:
        return b;
    case kFilterAverage:
        return (a + b) >> 1;
    case kFilterPaeth:
        return Paeth(a, b, c);
    default:
        return 0;
    }
}

// A filtered byte taken as a signed value, as the heuristic counts it.
uint32_t Cost(int difference)
{
    return static_cast<uint32_t>(std::abs(int8_t(uint8_t(difference))));
}

// The filter whose output has the smallest sum of absolute values for this row.
int HeuristicFilter(const uint8_t* row, const uint8_t* above, size_t rowBytes, size_t bpp)
{
    uint32_t sums[kFilterCount] = {};
    for (size_t i = 0; i < rowBytes; ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0;
        const int b = above[i];
        const int c = i >= bpp ? above[i - bpp] : 0;
        sums[kFilterNone] += Cost(row[i]);
        sums[kFilterSub] += Cost(row[i] - a);
        sums[kFilterUp] += Cost(row[i] - b);
        sums[kFilterAverage] += Cost(row[i] - ((a + b) >> 1));
        sums[kFilterPaeth] += Cost(row[i] - Paeth(a, b, c));
    }
    return static_cast<int>(std::min_element(sums, sums + kFilterCount) - sums);
}

std::vector<uint8_t> Filter(const PngRaster& raster, int choice)
{
    const size_t rowBytes = raster.RowBytes(), bpp = size_t(raster.bytesPerPixel);
    const std::vector<uint8_t> zeros(rowBytes, 0);
    std::vector<uint8_t> out(size_t(raster.height) * (rowBytes + 1));
    uint8_t* o = out.data();
    for (int y = 0; y < raster.height; ++y) {
        const uint8_t* row = raster.bytes.data() + size_t(y) * rowBytes;
        const uint8_t* above = y ? row - rowBytes : zeros.data();
        const int filter = choice == kFilterPerRow ? HeuristicFilter(row, above, rowBytes, bpp) : choice;
        *o++ = static_cast<uint8_t>(filter);
        if (filter == kFilterNone) {
            o = std::copy_n(row, rowBytes, o);
            continue;
        }
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0;
            const int c = i >= bpp ? above[i - bpp] : 0;
            *o++ = uint8_t(row[i] - Predict(filter, a, above[i], c));
        }
    }
    return out;
}

} // namespace

CResult<std::vector<uint8_t>> CompressRaster(const PngRaster& raster)
{
    const bool exhaustive = size_t(raster.height) * (raster.RowBytes() + 1) <= kExhaustiveBytes;
    std::vector<std::pair<size_t, int>> ranked; // size, choice
    std::vector<uint8_t> best;
    for (int choice = kFilterNone; choice <= kFilterPerRow; ++choice) {
        auto deflated = Deflate(Filter(raster, choice), exhaustive ? kDeflateBest : kDeflateQuick);
        if (!deflated)
            return deflated.Error();
        ranked.emplace_back(deflated->size(), choice);
        if (exhaustive && (best.empty() || deflated->size() < best.size()))
            best = std::move(*deflated);
    }
    if (exhaustive)
        return best;
    std::sort(ranked.begin(), ranked.end());
    for (size_t i = 0; i < kFinalists; ++i) {
        auto deflated = Deflate(Filter(raster, ranked[i].second), kDeflateBest);
        if (!deflated)
            return deflated.Error();
        if (best.empty() || deflated->size() < best.size())
            best = std::move(*deflated);
    }
    return best;
}
