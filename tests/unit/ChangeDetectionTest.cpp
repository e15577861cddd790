#include "ReferenceScan.h"
#include "common/ChangeDetection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// Two grabs of one size; the padding pixel of odd-width rows holds different garbage in each.
struct GrabPair
{
    GrabPair(int w, int h)
        : width(w), height(h), stride(w + (w & 1)), previous(stride * h), current(stride * h)
    {
        for (size_t i = 0; i < previous.size(); ++i)
            previous[i] = current[i] = static_cast<uint16_t>(i * 2654435761u >> 7);
        if (width & 1)
            for (int y = 0; y < height; ++y)
                current[y * stride + width] = static_cast<uint16_t>(~previous[y * stride + width]);
    }
    void Change(int x, int y) { current[y * stride + x] ^= 0x0421; }
    std::vector<Region> Detect()
    {
        Region regions[kMaxChangedRegions];
        const int n = DetectChanges(previous.data(), current.data(), width, height, stride, regions);
        return std::vector<Region>(regions, regions + n);
    }

    int width;
    int height;
    int stride;
    std::vector<uint16_t> previous;
    std::vector<uint16_t> current;
};

std::vector<Region> Merged(int width, int height, std::vector<Region> regions)
{
    regions.resize(MergeRegions(width, height, static_cast<int>(regions.size()), regions.data()));
    return regions;
}

TEST(ChangeDetectionTest, GridGivesTheRemainderToTheLastColumnAndRow)
{
    const int starts[] = {0, 2, 4, 6};
    const int widths[] = {2, 2, 2, 4};
    for (int c = 0; c < 4; ++c) {
        const GridCell cell = CellAt(10, 7, c, c);
        EXPECT_EQ(cell.left, starts[c]);
        EXPECT_EQ(cell.right - cell.left, widths[c]);
        EXPECT_EQ(cell.bottom - cell.top, c == 3 ? 4 : 1);
    }
    // Below four pixels the first three columns vanish and the last holds everything.
    for (int c = 0; c < 3; ++c)
        EXPECT_TRUE(CellAt(3, 9, c, 0).Empty());
    const GridCell last = CellAt(3, 9, 3, 3);
    EXPECT_EQ(last.left, 0);
    EXPECT_EQ(last.right, 3);
    EXPECT_EQ(last.top, 6);
    EXPECT_EQ(last.bottom, 9);
}

TEST(ChangeDetectionTest, FindsExactBoxesAndLeavesUnchangedCellsAlone)
{
    GrabPair f(37, 23);
    const Region untouched{7, 7, 7, 7};
    Region region = untouched;
    EXPECT_FALSE(FindChangedBox(f.previous.data(), f.current.data(), f.stride, CellAt(37, 23, 3, 3), region));
    EXPECT_FALSE(FindChangedBox(f.previous.data(), f.current.data(), f.stride, GridCell{5, 5, 5, 9}, region));
    EXPECT_EQ(region, untouched);

    // A write of the same 16-bit value is no change; any other value is, even in the unused top bit.
    f.current[5 * f.stride + 30] = f.previous[5 * f.stride + 30];
    EXPECT_TRUE(f.Detect().empty());
    f.current[5 * f.stride + 30] ^= 0x8000;
    EXPECT_EQ(f.Detect(), (std::vector<Region>{{30, 5, 30, 5}}));

    // A change across the border between columns 1 and 2 and rows 0 and 1 gives one box per cell.
    GrabPair g(40, 40);
    for (int y = 8; y <= 12; ++y)
        for (int x = 18; x <= 21; ++x)
            g.Change(x, y);
    EXPECT_EQ(g.Detect(),
              (std::vector<Region>{{18, 8, 19, 9}, {18, 10, 19, 12}, {20, 8, 21, 9}, {20, 10, 21, 12}}));
}

TEST(ChangeDetectionTest, MoreThanFourChangedCellsMergeToFour)
{
    GrabPair f(100, 100);
    f.Change(5, 5);
    f.Change(5, 35);
    f.Change(35, 5);
    f.Change(80, 55);
    f.Change(95, 95);
    EXPECT_EQ(f.Detect(),
              (std::vector<Region>{{5, 5, 5, 35}, {35, 5, 35, 5}, {80, 55, 80, 55}, {95, 95, 95, 95}}));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            f.Change(x, y);
    EXPECT_EQ(f.Detect().size(), 4u);
}

TEST(ChangeDetectionTest, MergeCostFollowsTheWin32RectangleRules)
{
    const Region a{0, 0, 9, 9};
    EXPECT_EQ(MergeCost(a, {0, 30, 9, 39}), 9 * 39 - 81 - 81);
    // One pixel wide or high is empty: the union is the other region and the cost nothing.
    EXPECT_EQ(MergeCost(a, {50, 50, 50, 90}), 0);
    EXPECT_EQ(MergeCost({60, 0, 90, 0}, a), 0);
    EXPECT_EQ(MergeCost({60, 0, 90, 0}, {5, 5, 5, 5}), 0);
    // Inverted regions count as empty too.
    EXPECT_EQ(MergeCost({9, 9, 0, 0}, {20, 20, 30, 30}), 0);
    // Overlapping regions count their shared part twice.
    EXPECT_EQ(MergeCost({0, 0, 10, 10}, {5, 5, 15, 15}), 225 - 100 - 100);
    // Whole 4K grabs stay within range.
    EXPECT_EQ(MergeCost({0, 0, 3839, 0}, {0, 0, 0, 2159}), 0);
    EXPECT_EQ(MergeCost({0, 0, 1, 1}, {3838, 2158, 3839, 2159}), 3839 * 2159 - 2);
}

TEST(ChangeDetectionTest, MergeTakesTheCheapestPairWithTiesToTheLowerSecondIndex)
{
    // Region 0 with 1 and region 0 with 2 both cost 189; 0 and 1 are taken.
    const std::vector<Region> expected{{0, 0, 9, 39}, {30, 0, 39, 9}, {75, 50, 84, 59}, {90, 90, 99, 99}};
    EXPECT_EQ(
        Merged(100, 100, {{0, 0, 9, 9}, {0, 30, 9, 39}, {30, 0, 39, 9}, {75, 50, 84, 59}, {90, 90, 99, 99}}),
        expected);
    // A one-pixel-wide second region costs nothing with the first and is absorbed the same way.
    EXPECT_EQ(
        Merged(100, 100, {{0, 0, 9, 9}, {5, 30, 5, 39}, {30, 0, 39, 9}, {75, 50, 84, 59}, {90, 90, 99, 99}}),
        (std::vector<Region>{{0, 0, 9, 39}, {30, 0, 39, 9}, {75, 50, 84, 59}, {90, 90, 99, 99}}));
}

TEST(ChangeDetectionTest, AgreesWithThePlainScanOnRandomFrames)
{
    std::mt19937 rng(20240611);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 3000; ++round) {
        const bool tiny = round % 3 == 0;
        const int w = tiny ? pick(1, 7) : pick(1, round % 10 == 1 ? 300 : 70);
        const int h = tiny ? pick(1, 7) : pick(1, 60);
        GrabPair f(w, h);
        for (auto& v : f.previous)
            v = static_cast<uint16_t>(rng() & 3);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                f.current[y * f.stride + x] = f.previous[y * f.stride + x];
        if (w & 1)
            for (int y = 0; y < h; ++y)
                f.current[y * f.stride + w] = static_cast<uint16_t>(~f.previous[y * f.stride + w]);

        switch (round % 4) {
        case 0: // a few scattered pixels, some written with their old value
            for (int k = pick(0, 6); k > 0; --k)
                f.current[pick(0, h - 1) * f.stride + pick(0, w - 1)] = static_cast<uint16_t>(pick(0, 3));
            break;
        case 1: { // dense noise
            const int percent = pick(5, 100);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (static_cast<int>(rng() % 100) < percent)
                        f.Change(x, y);
            break;
        }
        case 2: // pixels either side of the cell borders
            for (int k = pick(1, 8); k > 0; --k) {
                const int bx = std::min(w - 1, std::max(0, pick(1, 3) * (w / 4) - pick(0, 1)));
                const int by = std::min(h - 1, std::max(0, pick(1, 3) * (h / 4) - pick(0, 1)));
                f.Change(k & 1 ? bx : pick(0, w - 1), k & 2 ? by : pick(0, h - 1));
            }
            break;
        default: // filled rectangles
            for (int k = pick(1, 4); k > 0; --k) {
                const int x0 = pick(0, w - 1), y0 = pick(0, h - 1);
                const int x1 = pick(x0, w - 1), y1 = pick(y0, h - 1);
                for (int y = y0; y <= y1; ++y)
                    for (int x = x0; x <= x1; ++x)
                        f.Change(x, y);
            }
        }

        SCOPED_TRACE(testing::Message() << "round " << round << ", " << w << "x" << h);
        std::vector<Region> boxes;
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r)
                if (Region box;
                    FindChangedBox(f.previous.data(), f.current.data(), f.stride, CellAt(w, h, c, r), box))
                    boxes.push_back(box);
        ASSERT_EQ(boxes, reference::Boxes(f.previous, f.current, w, h, f.stride));
        ASSERT_EQ(f.Detect(), reference::Merge(w, h, boxes));

        // Lists no grab gives directly: overlapping and one-pixel regions, as a merge can leave them.
        std::vector<Region> loose(pick(5, 16));
        for (Region& r : loose) {
            r.left = pick(0, 99);
            r.top = pick(0, 99);
            r.right = pick(0, 3) == 0 ? r.left : pick(r.left, 99);
            r.bottom = pick(0, 3) == 0 ? r.top : pick(r.top, 99);
        }
        ASSERT_EQ(Merged(100, 100, loose), reference::Merge(100, 100, loose));
    }
}

} // namespace
