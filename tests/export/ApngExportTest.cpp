// The animated PNG as a user gets it. An independent decoder (ffmpeg) must see every step as the
// window was, with and without the pointer, for as long as the session says; the file's own frame
// records must be exactly the changed rectangles, with exact delays.
#include "FfmpegDecode.h"
#include "RecordedSession.h"
#include "output/OffsetTables.h"
#include "state/FrameValues.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>

namespace {

using namespace exporttest;
using testfiles::ReadBytes;

uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t{bytes.at(at)} << 24 | uint32_t{bytes.at(at + 1)} << 16 | uint32_t{bytes.at(at + 2)} << 8 |
           bytes.at(at + 3);
}

struct Chunk
{
    std::string type;
    std::vector<uint8_t> data;
};

// The file's chunks in order, each checked against its CRC.
std::vector<Chunk> ReadChunks(const std::string& file)
{
    const std::vector<uint8_t> bytes = ReadBytes(file);
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(bytes.size() > 8 && std::equal(signature, signature + 8, bytes.begin()))
        << "no PNG signature";
    std::vector<Chunk> chunks;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = Get32(bytes, at);
        Chunk chunk{std::string(bytes.begin() + at + 4, bytes.begin() + at + 8),
                    std::vector<uint8_t>(bytes.begin() + at + 8, bytes.begin() + at + 8 + length)};
        const uLong crc = crc32(0, bytes.data() + at + 4, length + 4);
        EXPECT_EQ(Get32(bytes, at + 8 + length), crc) << chunk.type << " chunk at " << at;
        chunks.push_back(std::move(chunk));
        at += 12 + length;
    }
    return chunks;
}

struct FrameRecord
{
    uint32_t width, height, x, y;
    uint16_t delayNum, delayDen;
    uint8_t blend = 0; // not compared: whichever gives the smaller frame

    bool operator==(const FrameRecord& o) const
    {
        return width == o.width && height == o.height && x == o.x && y == o.y && delayNum == o.delayNum &&
               delayDen == o.delayDen;
    }
};

std::ostream& operator<<(std::ostream& out, const FrameRecord& f)
{
    return out << f.width << " x " << f.height << " at (" << f.x << ", " << f.y << "), delay " << f.delayNum
               << "/" << f.delayDen;
}

// The fcTL records after checking the chunk order, the sequence numbers shared with fdAT, the play
// count and the frame count, that every frame leaves its rectangle standing, and that none lasts 10 ms
// or less, which browsers would show for 100 ms.
std::vector<FrameRecord> FrameRecords(const std::string& file, uint32_t plays)
{
    const std::vector<Chunk> chunks = ReadChunks(file);
    std::string order;
    for (const Chunk& c : chunks)
        order += c.type + " ";
    // The palette and the transparent colour, where the animation has them, before the first frame.
    const bool indexed = chunks.at(0).data.at(9) == 3;
    EXPECT_EQ(order.rfind(indexed ? "IHDR acTL PLTE tRNS fcTL IDAT " : "IHDR acTL tRNS fcTL IDAT ", 0), 0u)
        << order;
    EXPECT_EQ(order.substr(order.size() - 5), "IEND ") << order;

    std::vector<FrameRecord> frames;
    uint32_t sequence = 0;
    for (const Chunk& c : chunks) {
        if (c.type == "fdAT" || c.type == "fcTL") {
            EXPECT_EQ(Get32(c.data, 0), sequence++) << c.type;
        }
        if (c.type != "fcTL")
            continue;
        EXPECT_EQ(c.data.size(), 26u);
        EXPECT_EQ(c.data.at(24), 0) << "dispose op NONE";
        EXPECT_LE(c.data.at(25), 1) << "blend op SOURCE or OVER";
        frames.push_back({Get32(c.data, 4), Get32(c.data, 8), Get32(c.data, 12), Get32(c.data, 16),
                          uint16_t(c.data.at(20) << 8 | c.data.at(21)),
                          uint16_t(c.data.at(22) << 8 | c.data.at(23)), c.data.at(25)});
        const FrameRecord& f = frames.back();
        EXPECT_GT(uint64_t{f.delayNum} * 100, f.delayDen) << "frame " << frames.size() << ": " << f;
    }
    if (!frames.empty())
        EXPECT_EQ(frames[0].blend, 0) << "the first frame is the still picture";
    EXPECT_EQ(Get32(chunks.at(1).data, 0), frames.size()) << "frame count in acTL";
    EXPECT_EQ(Get32(chunks.at(1).data, 4), plays) << "play count in acTL";
    return frames;
}

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

// ffmpeg decodes the file with the delays it holds: every frame must be the stage as composed here
// from the window's history, the pointer's pixels and the background, at the time it is due.
void ExpectFramesShowSteps(const std::string& file, const CRecordedSession& session, bool pointer,
                           const std::vector<std::pair<int, double>>& stepsAndSeconds)
{
    ASSERT_EQ(std::system("command -v ffmpeg ffprobe >/dev/null"), 0)
        << "ffmpeg is not installed (apt-get install ffmpeg; test.sh installs it)";
    const RgbImage last = session.StageAtStep(session.Steps(), pointer);
    size_t frames = 0;
    double due = 0;
    DecodeApng(file, last.width, last.height, [&](const DecodedFrame& frame) {
        ASSERT_LT(frames, stepsAndSeconds.size());
        const auto [step, seconds] = stepsAndSeconds[frames++];
        const RgbImage expected = session.StageAtStep(step, pointer);
        size_t differing = 0, first = 0;
        for (size_t i = 0; i < expected.rgb.size(); i += 3)
            if (!std::equal(expected.rgb.begin() + i, expected.rgb.begin() + i + 3,
                            frame.image->rgb.begin() + i))
                first = differing++ ? first : i / 3;
        EXPECT_EQ(differing, 0u) << "pixels differ in frame " << frames << ", step " << step << ", first at ("
                                 << first % last.width << ", " << first / last.width << ")";
        EXPECT_NEAR(frame.start, due, 1e-4) << "frame " << frames;
        EXPECT_NEAR(frame.duration, seconds, 1e-4) << "frame " << frames;
        due += seconds;
    });
    EXPECT_EQ(frames, stepsAndSeconds.size());
}

TEST_F(ApngExportTest, EveryStepDecodesToTheWindowForItsDuration)
{
    // 45, 30, 20 and 24 frames: at the default 12 fps with the pointer, at 10 fps without.
    Export("--apng");
    ExpectFramesShowSteps(m_session.File("session1.png"), m_session, true,
                          {{1, 45 / 12.0}, {2, 30 / 12.0}, {3, 20 / 12.0}, {4, 24 / 12.0}});
    Export("--fps 10 --no-cursor --apng " + Quoted(m_session.File("plain.png")));
    ExpectFramesShowSteps(m_session.File("plain.png"), m_session, false,
                          {{1, 4.5}, {2, 3}, {3, 2}, {4, 2.4}});
}

TEST_F(ApngExportTest, EachStepIsOneFrameOfItsUnionBoxForItsWholeTime)
{
    // Without the pointer: the union of each step's pictures. Steps of 45, 30, 20 and 24 frames at 10 fps
    // last 9/2, 3, 2 and 12/5 seconds.
    Export("--apng " + Quoted(m_session.File("plain.png")) + " --no-cursor --once --fps 10");
    EXPECT_EQ(FrameRecords(m_session.File("plain.png"), 1),
              (std::vector<FrameRecord>{{157, 121, 0, 0, 9, 2},
                                        {152, 71, 5, 0, 3, 1},
                                        {37, 31, 120, 90, 2, 1},
                                        {40, 41, 100, 80, 12, 5}}));

    // With it, the boxes of the arrow's old and new places too, clipped to the stage. At 12 fps: 15/4,
    // 5/2, 5/3 and 2 seconds. Step 3's box is mostly unchanged pixels, left transparent over the stage.
    Export("--apng");
    const std::vector<FrameRecord> frames = FrameRecords(m_session.File("session1.png"), 0);
    EXPECT_EQ(frames, (std::vector<FrameRecord>{{157, 121, 0, 0, 15, 4}, // (10, 20)
                                                {157, 71, 0, 0, 5, 2},   // pointer from (10, 20) to (-3, 7)
                                                {157, 114, 0, 7, 5, 3},  // from (-3, 7) to (140, 100)
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
    // At 1000 fps step 2 lasts 5 ms (a span of 2 + 3) and the open last step 3 ms (picture 5's frame
    // value): step 2 goes into step 3's frame, which lasts both; the last step lasts 11 ms.
    const std::string destination = m_session.File("destinationFLA1.fla");
    std::vector<uint8_t> bytes = ReadBytes(destination);
    bytes.at(g_offsets.cursor[2][1]) = 2;
    bytes.at(g_offsets.cursor[3][1]) = 3;
    bytes.at(g_offsets.cursor[2][1] + 1) = bytes.at(g_offsets.cursor[3][1] + 1) = 0;
    bytes.at(g_offsets.frame[4]) = 3;
    bytes.at(g_offsets.frame[4] + 1) = 0;
    testfiles::WriteText(destination, std::string(bytes.begin(), bytes.end()));
    Export("--apng --no-cursor --fps 1000");
    EXPECT_EQ(FrameRecords(m_session.File("session1.png"), 0),
              (std::vector<FrameRecord>{
                  {157, 121, 0, 0, 9, 200}, {152, 121, 5, 0, 1, 40}, {40, 41, 100, 80, 11, 1000}}));
    ExpectFramesShowSteps(m_session.File("session1.png"), m_session, false,
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
    ExpectFramesShowSteps(session.File("session1.png"), session, true, {{1, 0.5}, {2, 0.5}, {3, 0.5}});
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
    ExpectFramesShowSteps(session.File("session1.png"), session, true,
                          {{1, 0.5}, {2, 0.5}, {3, 0.5}, {4, 0.5}, {5, 0.5}});
}

} // namespace

// The Windows build under Wine must write the very bytes the native build writes, which the tests
// above check. Needs a Wine prefix and FLICKMERE_WINDOWS_EXPORT naming flickmere-export.exe: ./test.sh
// runs it with the Windows tests.
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
