#pragma once
// A deliberately plain change detector for the tests: every pixel of every cell is looked at, and the
// merge recomputes every cost from scratch before each step. The fast code in common/ChangeDetection
// must give exactly the same region lists.
#include "common/Region.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace reference {

inline int64_t Area(const Region& r)
{
    const int64_t w = int64_t{r.right} - r.left;
    const int64_t h = int64_t{r.bottom} - r.top;
    return w <= 0 || h <= 0 ? 0 : w * h;
}

inline int64_t Cost(const Region& a, const Region& b)
{
    Region u;
    if (Area(a) == 0 && Area(b) == 0)
        u = Region{};
    else if (Area(a) == 0)
        u = b;
    else if (Area(b) == 0)
        u = a;
    else
        u = {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
             std::max(a.bottom, b.bottom)};
    return Area(u) - Area(a) - Area(b);
}

inline std::vector<Region> Merge(int width, int height, std::vector<Region> regions)
{
    const Region removed{0, 0, width, height};
    const int n = static_cast<int>(regions.size());
    for (int step = 0; step < n - 4; ++step) {
        int64_t best = int64_t{width} * height;
        int m = -1;
        int M = -1;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                if (i != j && regions[i] != removed && regions[j] != removed &&
                    Cost(regions[i], regions[j]) < best) {
                    best = Cost(regions[i], regions[j]);
                    m = i;
                    M = j;
                }
        Region& a = regions[m];
        const Region& b = regions[M];
        a = {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
             std::max(a.bottom, b.bottom)};
        regions[M] = removed;
    }
    regions.erase(std::remove(regions.begin(), regions.end(), removed), regions.end());
    return regions;
}

// The changed box of every cell, column by column, before any merging.
inline std::vector<Region> Boxes(const std::vector<uint16_t>& previous, const std::vector<uint16_t>& current,
                                 int width, int height, int stride)
{
    std::vector<Region> found;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            const int x0 = c * (width / 4);
            const int y0 = r * (height / 4);
            const int x1 = c == 3 ? width : x0 + width / 4;
            const int y1 = r == 3 ? height : y0 + height / 4;
            Region box{x1, y1, -1, -1};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    if (previous[y * stride + x] != current[y * stride + x])
                        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                               std::max(box.bottom, y)};
            if (box.right >= 0)
                found.push_back(box);
        }
    }
    return found;
}

} // namespace reference
