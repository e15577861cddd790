#include "common/ChangeDetection.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace {

// The edge searches load four pixels as one 64-bit word and read the first differing pixel off the low
// end of the XOR. That relies on a little-endian layout, which every target of this program has.

int LowestSetBit(uint64_t v)
{
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(v);
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_ARM64))
    unsigned long index;
    _BitScanForward64(&index, v);
    return static_cast<int>(index);
#else
    int index = 0;
    while ((v & 1) == 0) {
        v >>= 1;
        ++index;
    }
    return index;
#endif
}

int HighestSetBit(uint64_t v)
{
#if defined(__GNUC__) || defined(__clang__)
    return 63 - __builtin_clzll(v);
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_ARM64))
    unsigned long index;
    _BitScanReverse64(&index, v);
    return static_cast<int>(index);
#else
    int index = 63;
    while ((v >> index) == 0)
        --index;
    return index;
#endif
}

uint64_t WordDifference(const uint16_t* a, const uint16_t* b)
{
    uint64_t x;
    uint64_t y;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return x ^ y;
}

constexpr int kWordPixels = 4;

bool Differs(const uint16_t* a, const uint16_t* b, int count)
{
    return count > 0 && std::memcmp(a, b, static_cast<size_t>(count) * sizeof(uint16_t)) != 0;
}

// Index of the first pixel that differs among count pixels; the caller knows one does.
int FirstDifference(const uint16_t* a, const uint16_t* b, int count)
{
    int i = 0;
    for (; i + kWordPixels <= count; i += kWordPixels)
        if (const uint64_t d = WordDifference(a + i, b + i))
            return i + LowestSetBit(d) / 16;
    if (count >= kWordPixels) {
        // The last word overlaps pixels already found equal, so its lowest difference is past them.
        const int last = count - kWordPixels;
        return last + LowestSetBit(WordDifference(a + last, b + last)) / 16;
    }
    while (a[i] == b[i])
        ++i;
    return i;
}

// Index of the last pixel that differs among count pixels; the caller knows one does.
int LastDifference(const uint16_t* a, const uint16_t* b, int count)
{
    int end = count;
    for (; end >= kWordPixels; end -= kWordPixels)
        if (const uint64_t d = WordDifference(a + end - kWordPixels, b + end - kWordPixels))
            return end - kWordPixels + HighestSetBit(d) / 16;
    if (count >= kWordPixels)
        return HighestSetBit(WordDifference(a, b)) / 16;
    int i = end - 1;
    while (a[i] == b[i])
        --i;
    return i;
}

// Areas as the Win32 rectangle calls compute them, and the rule of UnionRect that an empty rectangle
// does not count.
int64_t StoredArea(const Region& r)
{
    const int64_t w = static_cast<int64_t>(r.right) - r.left;
    const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
    return w > 0 && h > 0 ? w * h : 0;
}

Region BoundingBox(const Region& a, const Region& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

Region UnionRect(const Region& a, const Region& b)
{
    const bool aEmpty = StoredArea(a) == 0;
    const bool bEmpty = StoredArea(b) == 0;
    if (aEmpty && bEmpty)
        return {};
    if (aEmpty)
        return b;
    if (bEmpty)
        return a;
    return BoundingBox(a, b);
}

} // namespace

GridCell CellAt(int width, int height, int column, int row)
{
    const int qw = width / kGridColumns;
    const int qh = height / kGridRows;
    GridCell cell;
    cell.left = column * qw;
    cell.top = row * qh;
    cell.right = column == kGridColumns - 1 ? width : cell.left + qw;
    cell.bottom = row == kGridRows - 1 ? height : cell.top + qh;
    return cell;
}

bool FindChangedBox(const uint16_t* previous, const uint16_t* current, int stride, const GridCell& cell,
                    Region& region)
{
    if (cell.Empty())
        return false;
    const int cellWidth = cell.right - cell.left;
    const auto prevRow = [&](int y) { return previous + static_cast<ptrdiff_t>(y) * stride + cell.left; };
    const auto curRow = [&](int y) { return current + static_cast<ptrdiff_t>(y) * stride + cell.left; };

    int top = cell.top;
    while (top < cell.bottom && !Differs(prevRow(top), curRow(top), cellWidth))
        ++top;
    if (top == cell.bottom)
        return false;
    int bottom = cell.bottom - 1;
    while (bottom > top && !Differs(prevRow(bottom), curRow(bottom), cellWidth))
        --bottom;

    // Edges are relative to cell.left. The top row gives a first guess; every later row is only searched
    // outside the edges found so far, so a cell that changed everywhere stops after a row or two and
    // no row is read much more than once.
    int left = FirstDifference(prevRow(top), curRow(top), cellWidth);
    int right = LastDifference(prevRow(top), curRow(top), cellWidth);
    for (int y = top + 1; y <= bottom && (left > 0 || right < cellWidth - 1); ++y) {
        const uint16_t* p = prevRow(y);
        const uint16_t* c = curRow(y);
        if (Differs(p, c, left))
            left = FirstDifference(p, c, left);
        const int after = right + 1;
        if (Differs(p + after, c + after, cellWidth - after))
            right = after + LastDifference(p + after, c + after, cellWidth - after);
    }
    region = {cell.left + left, top, cell.left + right, bottom};
    return true;
}

int MergeCost(Region a, Region b)
{
    return static_cast<int>(StoredArea(UnionRect(a, b)) - StoredArea(a) - StoredArea(b));
}

int MergeRegions(int width, int height, int n, Region* regions)
{
    if (n <= kMergedRegions)
        return n;
    // No merge of two regions inside the grab costs as much as the whole grab's area, so that value
    // marks the diagonal and the removed regions.
    const int none = width * height;
    int cost[kMaxChangedRegions][kMaxChangedRegions];
    bool live[kMaxChangedRegions];
    for (int i = 0; i < n; ++i) {
        live[i] = true;
        for (int j = 0; j < n; ++j)
            cost[i][j] = i == j ? none : MergeCost(regions[i], regions[j]);
    }

    for (int remaining = n; remaining > kMergedRegions; --remaining) {
        // The scan runs over the whole table and takes the first strictly smaller entry, so with the
        // table symmetric the pair found has m < M, and ties go to the lowest m, then the lowest M.
        int m = -1;
        int M = -1;
        int best = none;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                if (cost[i][j] < best) {
                    best = cost[i][j];
                    m = i;
                    M = j;
                }
        if (m < 0) {
            // Only regions reaching outside the grab get here; merge the first two still there.
            m = static_cast<int>(std::find(live, live + n, true) - live);
            M = static_cast<int>(std::find(live + m + 1, live + n, true) - live);
        }

        regions[m] = BoundingBox(regions[m], regions[M]);
        live[M] = false;
        for (int j = 0; j < n; ++j) {
            cost[M][j] = cost[j][M] = none;
            if (live[j] && j != m)
                cost[j][m] = cost[m][j] = MergeCost(regions[j], regions[m]);
        }
    }

    int kept = 0;
    for (int i = 0; i < n; ++i)
        if (live[i])
            regions[kept++] = regions[i];
    return kept;
}

int DetectChanges(const uint16_t* previous, const uint16_t* current, int width, int height, int stride,
                  Region (&regions)[kMaxChangedRegions])
{
    std::fill(regions, regions + kMaxChangedRegions, Region{});
    // Cells are listed column by column, but each column only holds a quarter of every row, and reading
    // the frames in quarter-row pieces column after column is markedly slower than reading them straight
    // through. So each band of grid rows is first narrowed with whole-row compares to the rows from its
    // first to its last changed row; rows outside them are unchanged in every cell of the band, so the
    // cells' boxes come out the same from the narrowed cells, and an unchanged band costs one pass.
    const auto rowDiffers = [&](int y) {
        const ptrdiff_t offset = static_cast<ptrdiff_t>(y) * stride;
        return Differs(previous + offset, current + offset, width);
    };
    int bandTop[kGridRows];
    int bandBottom[kGridRows];
    for (int row = 0; row < kGridRows; ++row) {
        const GridCell band = CellAt(width, height, 0, row);
        int top = band.top;
        while (top < band.bottom && !rowDiffers(top))
            ++top;
        int bottom = band.bottom;
        while (bottom > top && !rowDiffers(bottom - 1))
            --bottom;
        bandTop[row] = top;
        bandBottom[row] = bottom;
    }

    int n = 0;
    for (int column = 0; column < kGridColumns; ++column) {
        for (int row = 0; row < kGridRows; ++row) {
            GridCell cell = CellAt(width, height, column, row);
            cell.top = bandTop[row];
            cell.bottom = bandBottom[row];
            if (FindChangedBox(previous, current, stride, cell, regions[n]))
                ++n;
        }
    }
    return n > kMergedRegions ? MergeRegions(width, height, n, regions) : n;
}

void KeepPreviousPixels(const uint16_t* previous, uint16_t* current, int stride, const Region& region)
{
    for (int y = region.top; y <= region.bottom; ++y) {
        const size_t row =
            static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(region.left);
        std::copy(previous + row, previous + row + region.Width(), current + row);
    }
}
