#pragma once
#include <algorithm>
#include <cstdint>

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

// The whole of a grab or stage of `width` by `height` pixels.
inline Region WholeBox(int32_t width, int32_t height)
{
    return {0, 0, width - 1, height - 1};
}

// The box of nothing: empty, and left alone by UnionBox.
constexpr Region kNoBox{0, 0, -1, -1};

inline bool IsEmpty(const Region& r)
{
    return r.Width() < 1 || r.Height() < 1;
}

// The smallest box around both; an empty one adds nothing.
inline Region UnionBox(const Region& a, const Region& b)
{
    if (IsEmpty(a))
        return b;
    if (IsEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// The part of a box inside another, kNoBox when they do not meet.
inline Region Within(const Region& box, const Region& bounds)
{
    const Region r{std::max(box.left, bounds.left), std::max(box.top, bounds.top),
                   std::min(box.right, bounds.right), std::min(box.bottom, bounds.bottom)};
    return IsEmpty(r) ? kNoBox : r;
}

// The mouse position at a key press, relative to the target window's rectangle.
struct CursorPoint
{
    int32_t x = 0;
    int32_t y = 0;
};
