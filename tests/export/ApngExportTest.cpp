// The animated PNG as a user gets it. An independent decoder (ffmpeg) must see every step as the
// window was, with and without the pointer, for as long as the session says; the file's own frame
// records must be exactly the changed rectangles, with exact delays.
#include "AnimationChecks.h"
#include "RecordedSession.h"
#include "output/OffsetTables.h"
#include "state/FrameValues.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace exporttest;
using testfiles::ReadBytes;

class ApngExportTest : public ::testing::Test
{
protected:
    void SetUp() override { RecordSample(m_session); }

    void Export(const std::string& options)
    {
        std::string output;
        ASSERT_EQ(RunExport(Quoted(m_session.WorkDir().string()) + " 1 " + options, output), 0) << output;
    }

    CRecordedSession m_session;
};

TEST_F(ApngExportTest, EveryStepDecodesToTheWindowForItsDuration)
{
    // 45, 30, 20 and 24 frames: at the default 12 fps with the pointer, at 10 fps without.
    Export("--apng");
    ExpectApngShowsSteps(m_session.File("session1.png"), m_session, true,
                         {{1, 45 / 12.0}, {2, 30 / 12.0}, {3, 20 / 12.0}, {4, 24 / 12.0}});
    Export("--fps 10 --no-cursor --apng " + Quoted(m_session.File("plain.png")));
    ExpectApngShowsSteps(m_session.File("plain.png"), m_session, false, {{1, 4.5}, {2, 3}, {3, 2}, {4, 2.4}});
}

TEST_F(ApngExportTest, EachStepIsOneFrameOfTheBoxOfItsChangesForItsWholeTime)
{
    // Without the pointer: the box of what each step's pictures changed. Steps of 45, 30, 20 and 24 frames at
    // 10 fps last 9/2, 3, 2 and 12/5 seconds.
    Export("--apng " + Quoted(m_session.File("plain.png")) + " --no-cursor --once --fps 10");
    EXPECT_EQ(FrameRecords(m_session.File("plain.png"), 1),
              (std::vector<FrameRecord>{{157, 121, 0, 0, 9, 2},
                                        {152, 71, 5, 0, 3, 1},
                                        {37, 31, 120, 90, 2, 1},
                                        {40, 41, 100, 80, 12, 5}}));

    // With it, the pixels of the arrow's old and new places too, clipped to the stage (the arrow at
    // (-3, 7) shows from row 10 on). At 12 fps: 15/4, 5/2, 5/3 and 2 seconds. Step 3's box is mostly
    // unchanged pixels, left transparent over the stage.
    Export("--apng");
    const std::vector<FrameRecord> frames = FrameRecords(m_session.File("session1.png"), 0);
    EXPECT_EQ(frames, (std::vector<FrameRecord>{{157, 121, 0, 0, 15, 4}, // (10, 20)
                                                {157, 71, 0, 0, 5, 2},   // pointer from (10, 20) to (-3, 7)
                                                {157, 111, 0, 10, 5, 3}, // from (-3, 7) to (140, 100)
                                                {52, 41, 100, 80, 2, 1}})); // to (200, 50), off the stage
    EXPECT_EQ(frames.at(2).blend, 1) << "blend op OVER";
}

TEST_F(ApngExportTest, AStepLongerThanOneDelayCarriesOnOverFramesThatChangeNothing)
{
    // Both parts of step 1's span at their highest: 131070 frames, at 1 fps more than 16 bits of delay.
    const std::string destination = m_session.File("destinationFLA1.fla");
    std::vector<uint8_t> bytes = ReadBytes(destination);
    for (int column : {2, 3})
        bytes.at(g_offsets.cursor[column][0]) = bytes.at(g_offsets.cursor[column][0] + 1) = 0xFF;
    testfiles::WriteText(destination, std::string(bytes.begin(), bytes.end()));
    Export("--apng --no-cursor --fps 1");
    const std::vector<FrameRecord> frames = FrameRecords(m_session.File("session1.png"), 0);
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames[0], (FrameRecord{157, 121, 0, 0, 65535, 1}));
    EXPECT_EQ(frames[1], (FrameRecord{1, 1, 0, 0, 65535, 1}));
    EXPECT_EQ(frames[2], (FrameRecord{152, 71, 5, 0, 30, 1}));
}

TEST_F(ApngExportTest, AStepOfTenMillisecondsOrLessIsShownWithTheNext)
{
    // Steps of 5 ms and 3 ms: step 2 goes into step 3's frame, which lasts both; the last step lasts 11 ms.
    ShortenSampleSteps(m_session);
    Export("--apng --no-cursor --fps 1000");
    EXPECT_EQ(FrameRecords(m_session.File("session1.png"), 0),
              (std::vector<FrameRecord>{
                  {157, 121, 0, 0, 9, 200}, {152, 121, 5, 0, 1, 40}, {40, 41, 100, 80, 11, 1000}}));
    ExpectApngShowsSteps(m_session.File("session1.png"), m_session, false,
                         {{1, 0.045}, {3, 0.025}, {4, 0.011}});
}

// A window of few colours, as most user interfaces are, is written with a palette (its entry 0
// transparent), and decodes exactly like the others.
TEST(ApngColourTest, AFewColoursGoIntoAPalette)
{
    int colour = 0;
    const RegionPainter stripes = [&colour](RgbImage& window, const Region& r) {
        const uint32_t shades[] = {0xF0F0F0, 0x2B579A, 0x202020, 0xFFFFFF, 0xC42B1C};
        ++colour;
        for (int y = r.top; y <= r.bottom; ++y)
            for (int x = r.left; x <= r.right; ++x) {
                const uint32_t rgb = shades[(colour + (x * 7 + y * 13) * (x + 3) / 5) % 5];
                uint8_t* p = window.rgb.data() + (size_t(y) * window.width + x) * 3;
                p[0] = uint8_t(rgb >> 16), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb);
            }
    };
    CRecordedSession session(80, 50);
    session.Step({{0, 0, 79, 49}}, {10, 10}, stripes);
    g_frameValues = {6, 0};
    session.Step({{5, 5, 40, 20}, {50, 30, 70, 45}}, {60, 35}, stripes);
    session.Step({{0, 40, 79, 49}}, {60, 35}, stripes);
    std::string output;
    ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --apng", output), 0) << output;
    const std::vector<Chunk> chunks = ReadChunks(session.File("session1.png"));
    ASSERT_EQ(chunks.at(0).data.at(9), 3) << "colour type: indexed";
    EXPECT_EQ(chunks.at(2).type, "PLTE");
    // The transparent entry, black (the background and the pointer's edge) and the 5 shades.
    EXPECT_EQ(chunks.at(2).data.size(), 3u * 7);
    EXPECT_EQ(chunks.at(3).data, std::vector<uint8_t>{0}) << "tRNS: entry 0 transparent";
    ExpectApngShowsSteps(session.File("session1.png"), session, true, {{1, 0.5}, {2, 0.5}, {3, 0.5}});
    EXPECT_EQ(FrameRecords(session.File("session1.png"), 0).at(1).blend, 1)
        << "step 2 leaves its gap transparent";
}

// A window that grows, then shrinks: a whole grab clears the stage to black, and every frame, the last
// one too, is the stage composed here.
TEST(ApngResizeTest, TheStageFollowsTheWindowsSize)
{
    CRecordedSession session(60, 40);
    session.Step({{0, 0, 59, 39}}, {10, 10});
    g_frameValues = {6, 0};
    session.Step({{5, 5, 20, 20}}, {50, 30});
    session.Resize(90, 70); // grows
    session.Step({{0, 0, 89, 69}}, {80, 60});
    session.Step({{40, 30, 89, 69}}, {20, 20});
    session.Resize(50, 30); // shrinks
    session.Step({{0, 0, 49, 29}}, {45, 25});
    std::string output;
    ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --apng", output), 0) << output;
    ExpectApngShowsSteps(session.File("session1.png"), session, true,
                         {{1, 0.5}, {2, 0.5}, {3, 0.5}, {4, 0.5}, {5, 0.5}});
}

} // namespace

// The Windows build under Wine must write the very bytes the native build writes (the animated PNG and
// the GIF), which the tests above check. Needs a Wine prefix and FLICKMERE_WINDOWS_EXPORT naming
// flickmere-export.exe: ./test.sh runs it with the Windows tests.
TEST(ApngUnderWineTest, TheWindowsProgramWritesTheSameAnimation)
{
    const char* exe = std::getenv("FLICKMERE_WINDOWS_EXPORT");
    ASSERT_TRUE(exe && *exe) << "FLICKMERE_WINDOWS_EXPORT does not name flickmere-export.exe";
    CRecordedSession session;
    RecordSample(session);
    std::string output;
    ASSERT_EQ(
        RunExport(Quoted(session.WorkDir()) + " 1 --apng " + Quoted(session.File("native.png")), output), 0)
        << output;
    // Wine hands the Unix path on as it is, and Windows reads it on drive Z:, the file system's root.
    const std::string windows = "wine " + Quoted(exe) + " " + Quoted(session.WorkDir());
    for (int run = 1; run <= 2; ++run) { // the second replaces the first file
        ASSERT_EQ(RunCommand(windows + " 1 --apng", output), 0) << output;
        EXPECT_TRUE(ReadBytes(session.File("session1.png")) == ReadBytes(session.File("native.png")))
            << "run " << run;
    }
    // The GIF too.
    ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --gif " + Quoted(session.File("native.gif")), output),
              0)
        << output;
    ASSERT_EQ(RunCommand(windows + " 1 --gif", output), 0) << output;
    EXPECT_TRUE(ReadBytes(session.File("session1.gif")) == ReadBytes(session.File("native.gif")));
    EXPECT_EQ(RunCommand(windows + " 2 --apng", output), 1) << output;
    EXPECT_NE(output.find("session2: session directory not found"), std::string::npos) << output;

    // Names beyond the ANSI code page, in the working directory, the animation's FILE, the temporary
    // file and the rename: Wine turns the UTF-8 command line into the wide one the program reads.
    testfiles::CScratchDir scratch;
    for (const char* name : {"J\u00FCrgen", "\u65E5\u672C\u8A9E"}) {
        SCOPED_TRACE(name);
        const fs::path dir = fs::u8path(scratch.File(name));
        fs::copy(session.WorkDir(), dir, fs::copy_options::recursive);
        const std::string command =
            "LC_ALL=C.UTF-8 wine " + Quoted(exe) + " " + Quoted(dir.u8string()) + " 1";
        const fs::path file = dir / fs::u8path(name + std::string(".png"));
        ASSERT_EQ(RunCommand(command + " --apng " + Quoted(file.u8string()), output), 0) << output;
        EXPECT_TRUE(ReadBytes(file) == ReadBytes(session.File("native.png")));
        ASSERT_EQ(RunCommand(command, output), 0) << output;
        EXPECT_TRUE(fs::exists(dir / "session1" / "player.html"));
    }
}
