// The animated PNG as a user gets it. An independent decoder (ffmpeg) must see every step as the
// window was, with and without the pointer, for as long as the session says; the file's own frame
// records must be exactly the changed rectangles, with exact delays.
#include "FfmpegDecode.h"
#include "RecordedSession.h"
#include "output/OffsetTables.h"

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
// count and the frame count, and that every frame replaces its rectangle and leaves it standing.
std::vector<FrameRecord> FrameRecords(const std::string& file, uint32_t plays)
{
    const std::vector<Chunk> chunks = ReadChunks(file);
    std::string order;
    for (const Chunk& c : chunks)
        order += c.type + " ";
    EXPECT_EQ(order.rfind("IHDR acTL fcTL IDAT ", 0), 0u) << order;
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
        EXPECT_EQ(c.data.at(25), 0) << "blend op SOURCE";
        frames.push_back({Get32(c.data, 4), Get32(c.data, 8), Get32(c.data, 12), Get32(c.data, 16),
                          uint16_t(c.data.at(20) << 8 | c.data.at(21)),
                          uint16_t(c.data.at(22) << 8 | c.data.at(23))});
    }
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

TEST_F(ApngExportTest, EveryStepDecodesToTheWindowForItsDuration)
{
    ASSERT_EQ(std::system("command -v ffmpeg ffprobe >/dev/null"), 0)
        << "ffmpeg is not installed (apt-get install ffmpeg; test.sh installs it)";
    // 45, 30, 20 and 24 frames: at the default 12 fps with the pointer, at 10 fps without.
    const struct
    {
        bool pointer;
        std::string options, file;
        std::vector<double> durations;
    } cases[] = {
        {true, "--apng", m_session.File("session1.png"), {45 / 12.0, 30 / 12.0, 20 / 12.0, 24 / 12.0}},
        {false,
         "--fps 10 --no-cursor --apng " + Quoted(m_session.File("plain.png")),
         m_session.File("plain.png"),
         {4.5, 3, 2, 2.4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        Export(c.options);
        int step = 0;
        double stepsSoFar = 0;
        DecodeApng(c.file, kStageWidth, kStageHeight, [&](const DecodedFrame& frame) {
            if (!frame.timed)
                return; // a frame within a step
            ++step;
            ASSERT_LE(step, m_session.Steps());
            const RgbImage expected = m_session.StageAtStep(step, c.pointer);
            size_t differing = 0;
            for (size_t i = 0; i < expected.rgb.size(); i += 3)
                differing += !std::equal(expected.rgb.begin() + i, expected.rgb.begin() + i + 3,
                                         frame.image->rgb.begin() + i);
            EXPECT_EQ(differing, 0u) << "pixels differ at the end of step " << step;
            // Later by the few microseconds ffmpeg gives each frame within a step.
            EXPECT_NEAR(frame.start, stepsSoFar, 1e-3) << "step " << step;
            EXPECT_NEAR(frame.duration, c.durations.at(step - 1), 1e-4) << "step " << step;
            stepsSoFar += frame.duration;
        });
        EXPECT_EQ(step, m_session.Steps());
    }
}

TEST_F(ApngExportTest, FramesAreTheChangedRectanglesWithExactDelays)
{
    // Without the pointer: one frame per picture. Steps of 45, 30, 20 and 24 frames at 10 fps last 9/2,
    // 3, 2 and 12/5 seconds, on their last frame.
    Export("--apng " + Quoted(m_session.File("plain.png")) + " --no-cursor --once --fps 10");
    EXPECT_EQ(FrameRecords(m_session.File("plain.png"), 1),
              (std::vector<FrameRecord>{{157, 121, 0, 0, 9, 2},
                                        {40, 30, 5, 6, 0, 1},
                                        {57, 50, 100, 0, 0, 1},
                                        {21, 11, 30, 60, 3, 1},
                                        {37, 31, 120, 90, 2, 1},
                                        {40, 41, 100, 80, 12, 5}}));

    // With it, the boxes of the arrow's old and new places follow the pictures, clipped to the stage,
    // unless a picture of the step covers them. At 12 fps: 15/4, 5/2, 5/3 and 2 seconds.
    Export("--apng");
    EXPECT_EQ(FrameRecords(m_session.File("session1.png"), 0),
              (std::vector<FrameRecord>{{157, 121, 0, 0, 15, 4},
                                        {40, 30, 5, 6, 0, 2},
                                        {57, 50, 100, 0, 0, 2},
                                        {21, 11, 30, 60, 0, 2},
                                        {12, 19, 10, 20, 0, 2}, // left (10, 20)
                                        {9, 19, 0, 7, 5, 2},    // at (-3, 7): its right 9 columns
                                        {37, 31, 120, 90, 0, 3},
                                        {9, 19, 0, 7, 5, 3}, // left (-3, 7); (140, 100) is in the picture
                                        {40, 41, 100, 80, 0, 1},
                                        {12, 19, 140, 100, 2, 1}})); // left (140, 100); (200, 50) is off
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
    EXPECT_EQ(frames[2], (FrameRecord{40, 30, 5, 6, 0, 1}));
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
}
