#include "AnimationChecks.h"

#include "FfmpegDecode.h"
#include "SecondDecoders.h"
#include "output/OffsetTables.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>

namespace exporttest {

namespace {

constexpr uint8_t kDisposeNone = 0;
constexpr uint8_t kDisposePrevious = 2;

// The frame against the stage at its step: how many pixels differ, where the first one is, and the
// mean difference per channel.
void Compare(const RgbImage& expected, const RgbImage& decoded, double meanError, const std::string& what)
{
    ASSERT_EQ(decoded.width, expected.width) << what;
    ASSERT_EQ(decoded.height, expected.height) << what;
    size_t differing = 0, first = 0;
    uint64_t error = 0;
    for (size_t i = 0; i < expected.rgb.size(); i += 3) {
        int pixelError = 0;
        for (size_t c = 0; c < 3; ++c)
            pixelError += std::abs(int(expected.rgb[i + c]) - int(decoded.rgb[i + c]));
        error += uint64_t(pixelError);
        if (pixelError)
            first = differing++ ? first : i / 3;
    }
    if (meanError == 0)
        EXPECT_EQ(differing, 0u) << what << ": pixels differ, the first at (" << first % expected.width
                                 << ", " << first / expected.width << ")";
    else
        EXPECT_LE(double(error) / double(expected.rgb.size()), meanError) << what;
}

void ExpectTwoDecoders(const std::string& file, const std::vector<ExpectedFrame>& expected,
                       const std::string& secondName, const std::vector<ComposedFrame>& second)
{
    ASSERT_EQ(std::system("command -v ffmpeg ffprobe >/dev/null"), 0)
        << "ffmpeg is not installed (apt-get install ffmpeg; test.sh installs it)";
    ASSERT_FALSE(expected.empty());
    size_t frames = 0;
    double due = 0;
    DecodeApng(file, expected[0].picture.width, expected[0].picture.height, [&](const DecodedFrame& frame) {
        ASSERT_LT(frames, expected.size());
        const ExpectedFrame& e = expected[frames++];
        const std::string what = "ffmpeg, frame " + std::to_string(frames);
        Compare(e.picture, *frame.image, e.meanError, what);
        EXPECT_NEAR(frame.start, due, 1e-4) << what;
        EXPECT_NEAR(frame.duration, e.seconds, 1e-4) << what;
        due += e.seconds;
    });
    EXPECT_EQ(frames, expected.size()) << "ffmpeg";
    if (secondName.empty())
        return;

    // The second decoder shows a frame that lasts longer than one delay as several frames.
    size_t at = 0;
    double left = expected[0].seconds;
    for (size_t i = 0; i < second.size(); ++i) {
        ASSERT_LT(at, expected.size()) << secondName << ": more frames than expected";
        const std::string what =
            secondName + ", frame " + std::to_string(i + 1) + " (" + std::to_string(at + 1) + ")";
        EXPECT_TRUE(second[i].opaque) << what;
        Compare(expected[at].picture, second[i].image, expected[at].meanError, what);
        left -= second[i].seconds;
        EXPECT_GT(left, -1e-4) << what << " lasts too long";
        if (left < 1e-4 && ++at < expected.size())
            left = expected[at].seconds;
    }
    EXPECT_EQ(at, expected.size()) << secondName << ": " << at << " of " << expected.size() << " frames";
}

} // namespace

uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t{bytes.at(at)} << 24 | uint32_t{bytes.at(at + 1)} << 16 | uint32_t{bytes.at(at + 2)} << 8 |
           bytes.at(at + 3);
}

std::vector<Chunk> ReadChunks(const std::string& file)
{
    const std::vector<uint8_t> bytes = testfiles::ReadBytes(file);
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

std::ostream& operator<<(std::ostream& out, const FrameRecord& f)
{
    return out << f.width << " x " << f.height << " at (" << f.x << ", " << f.y << "), delay " << f.delayNum
               << "/" << f.delayDen;
}

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
        frames.push_back({Get32(c.data, 4), Get32(c.data, 8), Get32(c.data, 12), Get32(c.data, 16),
                          uint16_t(c.data.at(20) << 8 | c.data.at(21)),
                          uint16_t(c.data.at(22) << 8 | c.data.at(23)), c.data.at(25), c.data.at(24)});
        const FrameRecord& f = frames.back();
        EXPECT_TRUE(f.dispose == kDisposeNone || f.dispose == kDisposePrevious) << "frame " << frames.size();
        EXPECT_LE(f.blend, 1) << "blend op SOURCE or OVER";
        EXPECT_GT(uint64_t{f.delayNum} * 100, f.delayDen) << "frame " << frames.size() << ": " << f;
    }
    if (!frames.empty()) {
        EXPECT_EQ(frames[0].blend, 0) << "the first frame is the still picture";
        EXPECT_EQ(frames[0].dispose, kDisposeNone) << "the first frame stays";
    }
    EXPECT_EQ(Get32(chunks.at(1).data, 0), frames.size()) << "frame count in acTL";
    EXPECT_EQ(Get32(chunks.at(1).data, 4), plays) << "play count in acTL";
    return frames;
}

void ShortenSampleSteps(const CRecordedSession& session)
{
    const std::string destination = session.File("destinationFLA1.fla");
    std::vector<uint8_t> bytes = testfiles::ReadBytes(destination);
    bytes.at(g_offsets.cursor[2][1]) = 2;
    bytes.at(g_offsets.cursor[3][1]) = 3;
    bytes.at(g_offsets.cursor[2][1] + 1) = bytes.at(g_offsets.cursor[3][1] + 1) = 0;
    bytes.at(g_offsets.frame[4]) = 3;
    bytes.at(g_offsets.frame[4] + 1) = 0;
    testfiles::WriteText(destination, std::string(bytes.begin(), bytes.end()));
}

std::vector<GifRecord> GifRecords(const std::string& file, bool& loops)
{
    const std::vector<uint8_t> bytes = testfiles::ReadBytes(file);
    const auto u16 = [&](size_t at) { return int(bytes.at(at)) | int(bytes.at(at + 1)) << 8; };
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + std::min<size_t>(6, bytes.size())), "GIF89a");
    size_t at = 13;
    if (bytes.at(10) & 0x80)
        at += 3 * (size_t{2} << (bytes.at(10) & 7));
    loops = false;
    std::vector<GifRecord> frames;
    GifRecord next;
    const auto skipBlocks = [&] {
        while (bytes.at(at))
            at += bytes.at(at) + 1;
        ++at;
    };
    while (at < bytes.size() && bytes[at] != 0x3B) {
        if (bytes[at] == 0x21 && bytes.at(at + 1) == 0xF9) {
            next.dispose = bytes.at(at + 3) >> 2 & 7;
            next.transparency = bytes.at(at + 3) & 1;
            next.delay = u16(at + 4);
            at += 8;
        } else if (bytes[at] == 0x21) {
            loops = loops || std::string(bytes.begin() + at + 3, bytes.begin() + at + 14) == "NETSCAPE2.0";
            at += 2;
            skipBlocks();
        } else {
            EXPECT_EQ(bytes[at], 0x2C) << "an image at " << at;
            next.box = {u16(at + 1), u16(at + 3), u16(at + 1) + u16(at + 5) - 1,
                        u16(at + 3) + u16(at + 7) - 1};
            const uint8_t flags = bytes.at(at + 9);
            next.localColours = flags & 0x80 ? 2 << (flags & 7) : 0;
            at += 10 + 3 * size_t(next.localColours) + 1;
            skipBlocks();
            frames.push_back(next);
            next = {};
        }
    }
    EXPECT_EQ(at + 1, bytes.size()) << "the trailer ends the file";
    return frames;
}

void ExpectApngShows(const std::string& file, const std::vector<ExpectedFrame>& expected)
{
    ASSERT_EQ(std::system("command -v apngdis >/dev/null"), 0)
        << "apngdis is not installed (apt-get install apngdis; test.sh installs it)";
    ExpectTwoDecoders(file, expected, "apngdis", DecodeWithApngdis(file));
}

void ExpectGifShows(const std::string& file, const std::vector<ExpectedFrame>& expected, bool chromium)
{
    ExpectTwoDecoders(file, expected, chromium ? "Chromium" : "",
                      chromium ? DecodeGifInChromium(file) : std::vector<ComposedFrame>{});
}

StepsAndSeconds ExpectedTiming(const std::vector<int>& frames, int fps, bool gif)
{
    const auto hundredths = [fps](int64_t f) { return (f * 100 + fps / 2) / fps; };
    StepsAndSeconds steps;
    int64_t begin = 0, end = 0;
    for (size_t s = 0; s < frames.size(); ++s) {
        end += frames[s];
        const bool last = s + 1 == frames.size();
        if (gif) {
            const int64_t delay = hundredths(end) - hundredths(begin);
            if (delay < 2 && !last)
                continue;
            steps.emplace_back(int(s + 1), std::max<int64_t>(delay, 2) / 100.0);
        } else {
            if ((end - begin) * 100 <= fps && !last)
                continue;
            steps.emplace_back(int(s + 1), (end - begin) * 100 > fps ? double(end - begin) / fps : 0.011);
        }
        begin = end;
    }
    return steps;
}

std::vector<ExpectedFrame> StagesAtSteps(const CRecordedSession& session, bool pointer,
                                         const StepsAndSeconds& steps)
{
    std::vector<ExpectedFrame> expected;
    for (const auto& [step, seconds] : steps)
        expected.push_back({session.StageAtStep(step, pointer), seconds});
    return expected;
}

void ExpectApngShowsSteps(const std::string& file, const CRecordedSession& session, bool pointer,
                          const StepsAndSeconds& steps)
{
    ExpectApngShows(file, StagesAtSteps(session, pointer, steps));
}

} // namespace exporttest
