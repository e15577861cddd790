// Seeded takes of every kind a user records: windows of a few colours and of many, changes, presses
// that change nothing, menus and dialogs that open and close again, steps too short to be seen, the
// pointer on the stage and off it. The animated PNG and the GIF of each must show every step as the
// stage composed here, decoded by two decoders each; every frame's box must be the smallest around
// what it changes, and a frame may go back only where that makes the next one smaller.
#include "AnimationChecks.h"
#include "RecordedSession.h"
#include "export/take/SessionTimeline.h"
#include "state/FrameValues.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

using namespace exporttest;

struct SeededTake
{
    std::unique_ptr<CRecordedSession> session;
    int fps = 12;
    bool pointer = true;
    bool fewColours = true;
    std::vector<int> frames; // each step's length, as the export reads it
};

// Paints with the take's colours: blocks and stripes of a few, or noise.
RegionPainter Painter(std::mt19937& random, const std::vector<uint32_t>& colours)
{
    if (colours.empty())
        return PaintNoise;
    const uint32_t seed = random();
    return [&colours, seed](RgbImage& window, const Region& r) {
        for (int y = r.top; y <= r.bottom; ++y)
            for (int x = r.left; x <= r.right; ++x) {
                const uint32_t rgb = colours[((x / 5) * 7 + (y / 3) * 3 + seed) % colours.size()];
                uint8_t* p = window.rgb.data() + (size_t(y) * window.width + x) * 3;
                p[0] = uint8_t(rgb >> 16), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb);
            }
    };
}

SeededTake RecordSeededTake(unsigned seed, std::vector<uint32_t>& colours)
{
    std::mt19937 random{seed};
    const auto pick = [&random](int from, int to) { return from + int(random() % unsigned(to - from + 1)); };
    SeededTake take;
    const int width = pick(30, 140), height = pick(20, 100);
    take.fewColours = seed % 2 == 0;
    colours.clear();
    for (int n = take.fewColours ? pick(2, 40) : 0; n > 0; --n)
        colours.push_back(random() & 0xFFFFFF);
    const int rates[] = {12, 25, 250};
    take.fps = rates[pick(0, 2)];
    take.pointer = pick(0, 3) != 0;
    take.session = std::make_unique<CRecordedSession>(width, height, 60);
    CRecordedSession& session = *take.session;
    const auto cursor = [&] { return CursorPoint{pick(-10, width + 5), pick(-10, height + 5)}; };
    const auto region = [&] {
        const int left = pick(0, width - 1), top = pick(0, height - 1);
        return Region{left, top, pick(left, width - 1), pick(top, height - 1)};
    };
    g_frameValues = {12, 0}; // a press closes the step before it; no offset keeps every span the value
    session.Step({{0, 0, width - 1, height - 1}}, cursor(), Painter(random, colours));
    RgbImage beforeOpen; // the window before the menu or dialog that is open, if one is
    Region open = kNoBox;
    for (int s = pick(5, 10); s > 0; --s) {
        // A span of 1 would leave half of the template's record unwritten (the program writes it in two
        // halves, and no half that is 0).
        const int lengths[] = {2, 3, 6, 12, 40};
        g_frameValues = {lengths[pick(0, 4)], 0};
        const CursorPoint at = pick(0, 2) ? cursor() : session.CursorAtStep(session.Steps());
        const int kind = pick(0, 4);
        if (kind == 3 && IsEmpty(open)) {
            open = region();
            beforeOpen = session.WindowAtStep(session.Steps());
            session.Step({open}, at, Painter(random, colours));
        } else if (kind == 4 && !IsEmpty(open)) {
            const RgbImage before = beforeOpen;
            session.Step({open}, at, [&before](RgbImage& window, const Region& r) {
                for (int y = r.top; y <= r.bottom; ++y)
                    std::copy_n(before.rgb.begin() + (size_t(y) * before.width + r.left) * 3, r.Width() * 3,
                                window.rgb.begin() + (size_t(y) * window.width + r.left) * 3);
            });
            open = kNoBox;
        } else if (kind == 2) { // grabbed again as it was: a step that changes nothing but the pointer
            session.Step({region()}, at, [](RgbImage&, const Region&) {});
        } else {
            std::vector<Region> regions;
            for (int n = pick(1, 3); n > 0; --n)
                regions.push_back(region());
            session.Step(regions, at, Painter(random, colours));
        }
    }
    const CResult<SessionTimeline> timeline = DecodeSession(session.WorkDir(), 1);
    EXPECT_TRUE(timeline) << timeline.Error().text;
    for (const TimelineStep& step : timeline ? timeline->steps : std::vector<TimelineStep>{})
        take.frames.push_back(step.frames);
    return take;
}

// The smallest box around the pixels where two pictures differ.
Region Differing(const RgbImage& a, const RgbImage& b)
{
    Region box = kNoBox;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const size_t at = (size_t(y) * a.width + x) * 3;
            if (!std::equal(a.rgb.begin() + at, a.rgb.begin() + at + 3, b.rgb.begin() + at))
                box = UnionBox(box, {x, y, x, y});
        }
    return box;
}

int64_t Area(const Region& r)
{
    return IsEmpty(r) ? 0 : int64_t{r.Width()} * r.Height();
}

struct OpsSeen
{
    int revert = 0, stay = 0, over = 0, source = 0;
};

// Follows the frame records over the expected pictures as a viewer's canvas: each box must be exactly
// what differs from the canvas, and a frame that goes back must leave the next frame less to draw.
void ExpectTightBoxes(const std::vector<FrameRecord>& records, const std::vector<ExpectedFrame>& expected,
                      OpsSeen& seen)
{
    ASSERT_EQ(records.size(), expected.size()) << "no step here lasts longer than one delay";
    RgbImage canvas = expected[0].picture;
    for (size_t i = 1; i < records.size(); ++i) {
        const FrameRecord& f = records[i];
        const Region box = Differing(canvas, expected[i].picture);
        const Region written{int(f.x), int(f.y), int(f.x + f.width) - 1, int(f.y + f.height) - 1};
        if (IsEmpty(box))
            EXPECT_EQ(written, (Region{0, 0, 0, 0})) << "frame " << i + 1 << " holds one pixel";
        else
            EXPECT_EQ(written, box) << "frame " << i + 1;
        if (records[i - 1].dispose == 2) {
            EXPECT_LT(Area(box), Area(Differing(expected[i - 1].picture, expected[i].picture)))
                << "frame " << i << " goes back";
        }
        if (f.dispose != 2)
            canvas = expected[i].picture;
        (f.dispose == 2 ? seen.revert : seen.stay)++;
        (f.blend == 1 ? seen.over : seen.source)++;
    }
}

TEST(AnimationPropertyTest, EverySeededTakeDecodesToItsStagesInBothFormatsWithTightFrames)
{
    OpsSeen seen;
    std::vector<uint32_t> colours;
    for (unsigned seed = 1; seed <= 24; ++seed) {
        const SeededTake take = RecordSeededTake(seed, colours);
        CRecordedSession& session = *take.session;
        SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(take.fps) + " fps");
        const std::string options =
            " --fps " + std::to_string(take.fps) + (take.pointer ? "" : " --no-cursor");
        std::string output;
        ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --apng --gif" + options, output), 0) << output;

        const std::vector<ExpectedFrame> apng =
            StagesAtSteps(session, take.pointer, ExpectedTiming(take.frames, take.fps, false));
        ExpectApngShows(session.File("session1.png"), apng);
        ExpectTightBoxes(FrameRecords(session.File("session1.png"), 0), apng, seen);

        // Chromium for half the takes: a browser a take costs seconds.
        std::vector<ExpectedFrame> gif =
            StagesAtSteps(session, take.pointer, ExpectedTiming(take.frames, take.fps, true));
        for (ExpectedFrame& frame : gif)
            frame.meanError = take.fewColours ? 0 : kNoiseMeanError;
        ExpectGifShows(session.File("session1.gif"), gif, seed % 4 < 2);
        if (HasFailure())
            return;
    }
    EXPECT_GT(seen.revert, 0) << "frames that go back";
    EXPECT_GT(seen.stay, 0);
    EXPECT_GT(seen.over, 0) << "frames whose unchanged pixels are transparent";
    EXPECT_GT(seen.source, 0);
}

} // namespace
