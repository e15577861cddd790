#include "export/render/MarkRenderer.h"

#include "export/render/MarkStyle.h"

#include <algorithm>

namespace {

// A rounded rectangle by its edges (right and bottom exclusive) and corner radius.
struct RoundedBox
{
    int left, top, right, bottom, radius;

    bool Empty() const { return right <= left || bottom <= top; }

    // Whether the centre of pixel (x, y) lies inside; in half pixels, so that it stays whole numbers.
    bool Holds(int x, int y) const
    {
        if (x < left || x >= right || y < top || y >= bottom)
            return false;
        const int cx = 2 * x + 1, cy = 2 * y + 1;
        const int dx = std::max({2 * (left + radius) - cx, cx - 2 * (right - radius), 0});
        const int dy = std::max({2 * (top + radius) - cy, cy - 2 * (bottom - radius), 0});
        return dx == 0 || dy == 0 || dx * dx + dy * dy <= 4 * radius * radius;
    }

    // The pixels of row y inside, as [first, end); first == end when none is. The box is convex, so
    // they are one run, and the corner takes at most `radius` pixels from either end.
    void Row(int y, int& first, int& end) const
    {
        first = left;
        end = right;
        while (first < end && !Holds(first, y))
            ++first;
        while (end > first && !Holds(end - 1, y))
            --end;
    }
};

RoundedBox Outer(const StepRect& rect)
{
    const int out = kMarkMargin + kMarkWidth;
    return {rect.x - out, rect.y - out, rect.x + rect.width + out, rect.y + rect.height + out, kMarkRadius};
}

RoundedBox Inner(const RoundedBox& outer)
{
    return {outer.left + kMarkWidth, outer.top + kMarkWidth, outer.right - kMarkWidth,
            outer.bottom - kMarkWidth, std::max(0, kMarkRadius - kMarkWidth)};
}

} // namespace

Region MarkBounds(const StepRect& rect)
{
    const RoundedBox outer = Outer(rect);
    return {outer.left, outer.top, outer.right - 1, outer.bottom - 1};
}

void ForEachMarkRun(const StepRect& rect, const std::function<void(int y, int left, int right)>& run)
{
    const RoundedBox outer = Outer(rect), inner = Inner(outer);
    for (int y = outer.top; y < outer.bottom; ++y) {
        int first, end, holeFirst = 0, holeEnd = 0;
        outer.Row(y, first, end);
        if (!inner.Empty())
            inner.Row(y, holeFirst, holeEnd);
        if (holeFirst >= holeEnd) {
            if (first < end)
                run(y, first, end - 1);
            continue;
        }
        if (first < holeFirst)
            run(y, first, holeFirst - 1);
        if (holeEnd < end)
            run(y, holeEnd, end - 1);
    }
}

void DrawMark(RgbImage& stage, const StepRect& rect)
{
    const uint8_t colour[3] = {uint8_t(kMarkColour >> 16), uint8_t(kMarkColour >> 8), uint8_t(kMarkColour)};
    ForEachMarkRun(rect, [&](int y, int left, int right) {
        if (y < 0 || y >= stage.height)
            return;
        left = std::max(left, 0);
        right = std::min(right, stage.width - 1);
        for (int x = left; x <= right; ++x)
            std::copy_n(colour, 3, stage.rgb.begin() + (size_t(y) * stage.width + x) * 3);
    });
}
