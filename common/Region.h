#pragma once
#include <cstdint>

// A key press hands at most this many changed regions to the output step.
constexpr int kMergedRegions = 4;

// A changed part of a grab, in the grab's pixel coordinates. Right and bottom are inclusive, so the
// whole grab of w by h pixels is {0, 0, w - 1, h - 1}.
struct Region
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left + 1; }
    int32_t Height() const { return bottom - top + 1; }
    bool operator==(const Region& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Region& o) const { return !(*this == o); }
};

// The mouse position at a key press, relative to the target window's rectangle.
struct CursorPoint
{
    int32_t x = 0;
    int32_t y = 0;
};
