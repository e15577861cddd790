// The part of the stage each step's picture in the guide shows.
#include "export/GuideCrop.h"

#include <gtest/gtest.h>

#include <ostream>

// Where gtest looks for it: beside Region.
static std::ostream& operator<<(std::ostream& out, const Region& r)
{
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

constexpr Region kFullHd{0, 0, 1919, 1079};
constexpr int kM = kGuideMargin;

TEST(GuideCropTest, TheChangeThePointerAndTheMarkWithRoomAroundThem)
{
    const struct
    {
        const char* what;
        GuideFocus focus;
        Region expected;
    } cases[] = {
        {"a large change, with its margin",
         {kFullHd, {400, 300, 999, 699}},
         {400 - kM, 300 - kM, 999 + kM, 699 + kM}},
        {"the pointer beside it widens it",
         {kFullHd, {400, 300, 999, 699}, {1100, 500, 1111, 518}},
         {400 - kM, 300 - kM, 1111 + kM, 699 + kM}},
        {"the mark too",
         {kFullHd, {400, 300, 999, 699}, kNoBox, {300, 710, 500, 735}},
         {300 - kM, 300 - kM, 999 + kM, 735 + kM}},
        // A check box ticked: grown about its middle to the smallest picture.
        {"a tiny change",
         {kFullHd, {950, 530, 959, 539}},
         {955 - kGuideMinWidth / 2, 535 - kGuideMinHeight / 2, 954 + kGuideMinWidth / 2,
          534 + kGuideMinHeight / 2}},
        // At the corner the smallest picture moves inwards rather than being cut.
        {"a tiny change in the corner",
         {kFullHd, {0, 0, 9, 9}},
         {0, 0, kGuideMinWidth - 1, kGuideMinHeight - 1}},
        {"at the far corner",
         {kFullHd, {1915, 1075, 1919, 1079}},
         {1920 - kGuideMinWidth, 1080 - kGuideMinHeight, 1919, 1079}},
        // The margin is cut at the stage's edge, not moved: what lies at the edge stays there.
        {"a wide change at the edge", {kFullHd, {0, 100, 1919, 400}}, {0, 100 - kM, 1919, 400 + kM}},
        // Nothing changed and the pointer is off the stage: the whole of what may be shown.
        {"nothing to show", {kFullHd}, kFullHd},
        // With its margin 60 x 67, grown by 300 and 133, the odd pixel below.
        {"the pointer alone", {kFullHd, kNoBox, {600, 600, 611, 618}}, {426, 510, 785, 709}},
        // The first step shows its whole picture, or the marked control and the pointer.
        {"the first step", {kFullHd, {10, 10, 20, 20}, {600, 600, 611, 618}, kNoBox, true}, kFullHd},
        {"the first step with a mark",
         {kFullHd, kNoBox, {600, 600, 611, 618}, {300, 580, 900, 840}, true},
         {300 - kM, 580 - kM, 900 + kM, 840 + kM}},
        // The project's crop bounds all: a change outside it is not shown, and the box stays within.
        {"a change outside the crop", {{100, 100, 899, 599}, {1000, 700, 1100, 800}}, {100, 100, 899, 599}},
        {"a change across the crop's edge",
         {{100, 100, 899, 599}, {850, 300, 1000, 500}},
         {899 - kGuideMinWidth + 1, 300 - kM, 899, 500 + kM}},
        // A crop smaller than the smallest picture is shown whole.
        {"a small crop", {{10, 20, 209, 119}, {50, 50, 60, 60}}, {10, 20, 209, 119}},
        {"a small stage", {{0, 0, 156, 120}, {5, 6, 44, 35}}, {0, 0, 156, 120}},
    };
    for (const auto& c : cases) {
        const Region box = GuideCropBox(c.focus);
        EXPECT_EQ(box, c.expected) << c.what << ": " << box;
        // Whatever the case, the box lies within the bounds.
        EXPECT_EQ(Within(box, c.focus.bounds), box) << c.what;
    }
}

// Over many boxes: the picture always holds the part of the change, pointer and mark that lies within
// the bounds, and is never smaller than the smallest picture where the bounds allow it.
TEST(GuideCropTest, WhatMattersIsAlwaysInThePicture)
{
    uint32_t seed = 12345;
    const auto next = [&seed](int limit) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % uint32_t(limit));
    };
    const auto box = [&](int w, int h) {
        const int left = next(w + 200) - 100, top = next(h + 200) - 100;
        return Region{left, top, left + next(w / 2), top + next(h / 2)};
    };
    for (int i = 0; i < 2000; ++i) {
        const int w = 50 + next(1900), h = 50 + next(1000);
        const Region stage{0, 0, w - 1, h - 1};
        const Region crop = next(2) ? stage : Within(box(w, h), stage);
        if (IsEmpty(crop))
            continue;
        GuideFocus focus{crop, next(3) ? box(w, h) : kNoBox, next(2) ? box(w, h) : kNoBox,
                         next(3) ? kNoBox : box(w, h), next(8) == 0};
        const Region result = GuideCropBox(focus);
        ASSERT_EQ(Within(result, crop), result);
        for (const Region& part : {focus.change, focus.pointer, focus.mark}) {
            const Region inside = Within(part, crop);
            if (!IsEmpty(inside) && !(focus.first && part == focus.change)) {
                ASSERT_EQ(UnionBox(result, inside), result) << i;
            }
        }
        ASSERT_GE(result.Width(), std::min(kGuideMinWidth, crop.Width())) << i;
        ASSERT_GE(result.Height(), std::min(kGuideMinHeight, crop.Height())) << i;
    }
}

} // namespace
