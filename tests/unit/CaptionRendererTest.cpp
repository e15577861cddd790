#include "export/render/CaptionRenderer.h"
#include "export/render/CaptionStyle.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;
constexpr uint8_t kGrey = 0x80;

struct Stage
{
    std::vector<uint8_t> rgb = std::vector<uint8_t>(kWidth * kHeight * 3, kGrey);

    uint32_t At(int x, int y) const
    {
        const uint8_t* p = rgb.data() + (static_cast<size_t>(y) * kWidth + x) * 3;
        return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    }
    // The box around every pixel that differs from `other`; right < left when none does.
    Region Changed(const Stage& other) const
    {
        Region box{kWidth, kHeight, -1, -1};
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (At(x, y) != other.At(x, y))
                    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                           std::max(box.bottom, y)};
        return box;
    }
};

ProjectCaption Caption(const std::string& text, ProjectRect box)
{
    ProjectCaption caption;
    caption.text = text;
    caption.box = box;
    return caption;
}

Stage Drawn(const CCaptionRenderer& renderer, const ProjectCaption& caption)
{
    Stage stage;
    renderer.Draw(caption, stage.rgb.data(), kWidth, kHeight);
    return stage;
}

TEST(CaptionRendererTest, BoxBorderTextAndArrowWhereTheyBelong)
{
    const CCaptionRenderer renderer;
    ProjectCaption caption = Caption("Save", {20, 30, 80, 30});
    caption.arrow = ProjectArrow{{150, 45}, {}};
    const Stage stage = Drawn(renderer, caption);
    EXPECT_EQ(stage.At(20, 30), kCaptionLine);
    EXPECT_EQ(stage.At(99, 59), kCaptionLine);
    EXPECT_EQ(stage.At(98, 58), kCaptionFill);
    // The arrow's line between the box and the tip, its head at the tip, nothing beyond.
    EXPECT_EQ(stage.At(120, 45), kCaptionLine);
    EXPECT_EQ(stage.At(145, 45), kCaptionLine);
    EXPECT_EQ(stage.At(155, 45), uint32_t{0x808080});

    // The text alone: its ink lies inside the box, and a second line is the first moved down by one
    // line height.
    const Stage empty = Drawn(renderer, Caption("", {20, 30, 80, 60}));
    const Region first = Drawn(renderer, Caption("Save", {20, 30, 80, 60})).Changed(empty);
    const Region second = Drawn(renderer, Caption("\nSave", {20, 30, 80, 60})).Changed(empty);
    ASSERT_GE(first.right, first.left) << "no ink";
    EXPECT_GE(first.left, 20 + kCaptionBorder + kCaptionPadding - 1);
    EXPECT_EQ(second.left, first.left);
    EXPECT_EQ(second.top, first.top + kCaptionLineHeight);
    // Text too long for its box is cut at the box.
    const Stage narrow = Drawn(renderer, Caption("", {20, 30, 40, 60}));
    const Region cut =
        Drawn(renderer, Caption("A very long caption indeed", {20, 30, 40, 60})).Changed(narrow);
    EXPECT_LE(cut.right, 20 + 40 - 1 - kCaptionBorder);
    // A line too wide for its box breaks at a space, and is drawn as if the text had its line break there.
    const ProjectCaption wrapped = Caption("Save  the file", {20, 30, 70, 60});
    EXPECT_EQ(renderer.Lines(wrapped), (std::vector<std::string>{"Save", "the file"}));
    EXPECT_EQ(Drawn(renderer, wrapped).rgb, Drawn(renderer, Caption("Save\nthe file", {20, 30, 70, 60})).rgb);
}

TEST(CaptionRendererTest, NothingIsDrawnOutsideItsBoundsOrTheStage)
{
    // Captions anywhere, partly off the stage too, with texts beyond ASCII and broken UTF-8.
    const CCaptionRenderer renderer;
    const std::string texts[] = {"Click here", "Zweite Zeile\n\xC3\xBC\xC3\x9F", "\xE6\x97\xA5\xE6\x9C\xAC",
                                 "bad \xC3 byte\n\xFF", ""};
    std::mt19937 random(7);
    const Stage blank;
    for (int i = 0; i < 200; ++i) {
        ProjectCaption caption = Caption(
            texts[i % 5], {static_cast<int>(random() % 260), static_cast<int>(random() % 200),
                           1 + static_cast<int>(random() % 120), 1 + static_cast<int>(random() % 80)});
        if (i % 2)
            caption.arrow =
                ProjectArrow{{static_cast<int>(random() % 260), static_cast<int>(random() % 200)}, {}};
        const Region changed = Drawn(renderer, caption).Changed(blank);
        if (changed.right < changed.left)
            continue;
        const Region bounds = CCaptionRenderer::Bounds(caption);
        EXPECT_GE(changed.left, bounds.left) << i;
        EXPECT_GE(changed.top, bounds.top) << i;
        EXPECT_LE(changed.right, bounds.right) << i;
        EXPECT_LE(changed.bottom, bounds.bottom) << i;
    }
}

// A caption may be as large as a window can be, far larger than the stage: only what falls on the stage
// is drawn (unclipped, these boxes took half a minute each under Wine).
TEST(CaptionRendererTest, ACaptionFarLargerThanTheStageCostsOnlyWhatIsOnIt)
{
    const CCaptionRenderer renderer;
    const int most = kMaxStageCoordinate;
    const ProjectRect boxes[] = {
        {0, 0, most, most}, {150, 100, most, most}, {most, most, most, most}, {0, 140, most, 1}};
    for (const ProjectRect& box : boxes) {
        SCOPED_TRACE(std::to_string(box.x) + ", " + std::to_string(box.y));
        ProjectCaption caption = Caption("Click Save\nthen wait", box);
        caption.arrow = ProjectArrow{{10, 10}, {}};
        const Stage stage = Drawn(renderer, caption);
        if (box.x >= kWidth)
            continue;
        EXPECT_EQ(stage.At(box.x, box.y), kCaptionLine);
        EXPECT_EQ(stage.At(kWidth - 1, box.y), kCaptionLine);
        if (box.height > 2) {
            EXPECT_EQ(stage.At(kWidth - 1, kHeight - 1), kCaptionFill);
        }
    }
}

} // namespace
