// The GIF as a user gets it: where the command writes it, its loop, its colours (a frame's own exactly
// where it has at most 256, the nearest of 256 otherwise) and its delays in hundredths, none so short
// that browsers would show it for 10; each decoded by ffmpeg and by Chromium.
#include "AnimationChecks.h"
#include "RecordedSession.h"
#include "state/FrameValues.h"

#include <gtest/gtest.h>

namespace {

using namespace exporttest;

// Paints a region with `count` colours, each pixel its own shade of a ramp; a new `offset` for each step
// gives it other ones.
RegionPainter Shades(int count, int offset)
{
    return [count, offset](RgbImage& window, const Region& r) {
        int i = 0;
        for (int y = r.top; y <= r.bottom; ++y)
            for (int x = r.left; x <= r.right; ++x, ++i) {
                const int shade = (i % count) + offset;
                uint8_t* p = window.rgb.data() + (size_t(y) * window.width + x) * 3;
                p[0] = uint8_t(shade * 7), p[1] = uint8_t(shade >> 5), p[2] = uint8_t(255 - shade % 200);
            }
    };
}

TEST(GifExportTest, TheCommandWritesItBesideTheTakeOrWhereItIsTold)
{
    CRecordedSession session;
    RecordSample(session);
    const struct
    {
        std::string options;
        std::string file;
        bool loops;
    } cases[] = {
        {"--gif", session.File("session1.gif"), true},
        {"--gif " + Quoted(session.File("named.gif")) + " --once --no-cursor", session.File("named.gif"),
         false},
        {"--apng --gif", session.File("session1.gif"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        std::string output;
        ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 " + c.options, output), 0) << output;
        EXPECT_NE(output.find(c.file + ": 4 steps, 157 x 121, "), std::string::npos) << output;
        bool loops = false;
        EXPECT_EQ(GifRecords(c.file, loops).size(), 4u);
        EXPECT_EQ(loops, c.loops);
        fs::remove(c.file);
    }
    EXPECT_TRUE(fs::exists(session.File("session1.png"))) << "--apng --gif writes both";
}

// Frames of 255, 256 and 300 colours over a window of few: the first two keep every colour (the one
// of 256 by showing its unchanged pixels again instead of making them transparent), the third comes
// close.
TEST(GifExportTest, AFrameKeepsItsColoursWhereItHasAtMost256)
{
    CRecordedSession session(60, 40);
    g_frameValues = {6, 0};
    session.Step({{0, 0, 59, 39}}, {5, 5}, Shades(4, 0));
    session.Step({{1, 1, 20, 20}}, {5, 5}, Shades(255, 10)); // at (0, 0) it would look like a new window
    session.Step({{10, 10, 29, 29}}, {5, 5}, Shades(256, 30));
    session.Step({{20, 0, 59, 19}}, {5, 5}, Shades(300, 50));
    std::string output;
    ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --gif --no-cursor", output), 0) << output;
    const std::string gif = session.File("session1.gif");
    std::vector<ExpectedFrame> expected = StagesAtSteps(session, false, {{1, .5}, {2, .5}, {3, .5}, {4, .5}});
    expected[3].meanError = 24;
    ExpectGifShows(gif, expected);
    bool loops = false;
    const std::vector<GifRecord> frames = GifRecords(gif, loops);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[2].localColours, 256);
    EXPECT_FALSE(frames[2].transparency) << "no entry was left for transparency";
}

// At 1000 fps steps of 5 and 3 ms are shown with the steps after them: every delay is at least 2
// hundredths, and the take keeps its length within a hundredth.
TEST(GifExportTest, NoFrameIsShorterThanTwoHundredths)
{
    CRecordedSession session;
    RecordSample(session);
    ShortenSampleSteps(session);
    std::string output;
    ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --gif --no-cursor --fps 1000", output), 0) << output;
    bool loops = false;
    const std::vector<GifRecord> frames = GifRecords(session.File("session1.gif"), loops);
    std::vector<int> delays;
    for (const GifRecord& f : frames)
        delays.push_back(f.delay);
    // 45 ms, then 5 + 20 ms together, then the last 3 ms as 2 hundredths.
    EXPECT_EQ(delays, (std::vector<int>{5, 2, 2}));
    // The sample's pictures are noise: far more than 256 colours a frame.
    std::vector<ExpectedFrame> expected = StagesAtSteps(session, false, {{1, .05}, {3, .02}, {4, .02}});
    for (ExpectedFrame& frame : expected)
        frame.meanError = 40;
    ExpectGifShows(session.File("session1.gif"), expected, false);
}

} // namespace
