#pragma once
#include "common/Region.h"

#include <cstdint>

// Finding what changed between two grabs of the same window. A grab is a 16-bit picture as GetDIBits
// returns it at 16 bits per pixel, rows top first, `stride` pixels per row (the width rounded up to
// even, so a padding pixel may follow each row of an odd-width grab; it is never read). Only whole
// 16-bit words are compared: two pixels are the same exactly when their words are equal.
//
// The grab is cut into a 4 by 4 grid; every cell yields at most one box around its changed pixels, and
// when more than four cells changed the boxes are merged down to four, cheapest merges first.

constexpr int kGridColumns = 4;
constexpr int kGridRows = 4;
constexpr int kMaxChangedRegions = kGridColumns * kGridRows;
// A key press hands at most this many changed regions to the output step.
constexpr int kMergedRegions = 4;

// One cell of the grid. Unlike Region, right and bottom are exclusive, so a cell can be empty: the first
// three columns are empty when the grab is narrower than four pixels, and likewise for rows.
struct GridCell
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
};

// Each column is a quarter of the width rounded down; the last column also takes the remainder, so a
// 10-pixel-wide grab has columns 2, 2, 2 and 4 pixels wide. Rows are cut the same way.
GridCell CellAt(int width, int height, int column, int row);

// On a change, region is set to the inclusive bounding box of the pixels of `cell` that differ; when
// nothing in the cell differs (or it is empty) region is left as it was and the result is false.
bool FindChangedBox(const uint16_t* previous, const uint16_t* current, int stride, const GridCell& cell,
                    Region& region);

// What merging a and b would add: area of their union minus both areas. Areas are taken from the
// stored coordinates (right - left) * (bottom - top), as the Win32 rectangle calls see them, so a
// region one pixel wide or high has no area, drops out of the union and merges with anything for free.
// A region grown by an earlier merge may overlap another, which makes the cost negative.
int MergeCost(Region a, Region b);

// Merges the first n regions (n <= kMaxChangedRegions) of a grab width by height pixels in place until
// four are left, always taking the cheapest pair (ties to the lowest indexes), and moves the survivors
// to the front in their original order. Returns the number left: 4, or n when n was 4 or fewer. The
// regions must lie inside the grab.
int MergeRegions(int width, int height, int n, Region* regions);

// The whole comparison of two grabs of equal size: the changed box of every cell is listed column by
// column (left column first, top to bottom within a column) and more than four boxes are merged.
// Returns how many leading entries of regions are in use, 0 when nothing changed; the entries after
// them hold nothing useful.
int DetectChanges(const uint16_t* previous, const uint16_t* current, int width, int height, int stride,
                  Region (&regions)[kMaxChangedRegions]);

// Copies the pixels of `region` from `previous` into `current`. A region whose picture could not be
// written keeps its old pixels in the comparison image, so that the next grab finds that change again
// and writes it then.
void KeepPreviousPixels(const uint16_t* previous, uint16_t* current, int stride, const Region& region);
