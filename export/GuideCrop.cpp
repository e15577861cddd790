#include "export/GuideCrop.h"

namespace {

// [low, high] grown about its middle to `size`, moved to lie within [first, last] where it reaches past
// one end, and cut where it is longer than that.
void GrowSpan(int32_t& low, int32_t& high, int size, int32_t first, int32_t last)
{
    const int missing = size - (high - low + 1);
    if (missing <= 0)
        return;
    low -= missing / 2;
    high += missing - missing / 2;
    if (low < first) {
        high += first - low;
        low = first;
    }
    if (high > last) {
        low -= high - last;
        high = last;
    }
    low = std::max(low, first);
}

} // namespace

Region GuideCropBox(const GuideFocus& focus)
{
    const Region& bounds = focus.bounds;
    Region interest = focus.change;
    if (focus.first)
        interest = IsEmpty(focus.mark) ? bounds : focus.mark;
    interest = UnionBox(UnionBox(interest, focus.pointer), focus.mark);
    interest = Within(interest, bounds);
    if (IsEmpty(interest))
        return bounds;
    Region box = Within({interest.left - kGuideMargin, interest.top - kGuideMargin,
                         interest.right + kGuideMargin, interest.bottom + kGuideMargin},
                        bounds);
    GrowSpan(box.left, box.right, kGuideMinWidth, bounds.left, bounds.right);
    GrowSpan(box.top, box.bottom, kGuideMinHeight, bounds.top, bounds.bottom);
    return box;
}
