// The timeline decoded from a destination file patched by the program's own output step: which
// pictures each step shows, where, for how long, and where the pointer is.
#include "RecordedSession.h"
#include "export/take/SessionTimeline.h"
#include "output/OffsetTables.h"
#include "state/FrameValues.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace exporttest;

struct ExpectedStep
{
    int frames;
    CursorPoint cursor;
    std::vector<std::pair<int, Region>> pictures; // imageBMP number, where it was cut from the window
};

SessionTimeline Decode(const CRecordedSession& session)
{
    CResult<SessionTimeline> timeline = DecodeSession(session.WorkDir(), 1);
    EXPECT_TRUE(timeline) << timeline.Error().text;
    return timeline ? std::move(*timeline) : SessionTimeline{};
}

void ExpectTimeline(const CRecordedSession& session, const std::vector<ExpectedStep>& expected,
                    const std::vector<std::string>& skipped = {})
{
    const SessionTimeline timeline = Decode(session);
    EXPECT_EQ(timeline.skipped, skipped);
    EXPECT_EQ(timeline.stageWidth, kStageWidth);
    EXPECT_EQ(timeline.stageHeight, kStageHeight);
    ASSERT_EQ(timeline.steps.size(), expected.size());
    for (size_t s = 0; s < expected.size(); ++s) {
        SCOPED_TRACE("step " + std::to_string(s + 1));
        const TimelineStep& step = timeline.steps[s];
        EXPECT_EQ(step.frames, expected[s].frames);
        EXPECT_EQ(step.cursor.x, expected[s].cursor.x);
        EXPECT_EQ(step.cursor.y, expected[s].cursor.y);
        ASSERT_EQ(step.pictures.size(), expected[s].pictures.size());
        for (size_t i = 0; i < step.pictures.size(); ++i) {
            const TimelinePicture& p = step.pictures[i];
            const auto& [number, r] = expected[s].pictures[i];
            EXPECT_EQ(p.number, number);
            EXPECT_EQ(p.x, r.left);
            EXPECT_EQ(p.y, r.top);
            EXPECT_EQ(p.wholeGrab, number == 1);
            ASSERT_EQ(p.width, r.Width());
            ASSERT_EQ(p.height, r.Height());
            const CResult<RgbImage> read = ReadBmpFile(p.file);
            ASSERT_TRUE(read) << read.Error().text;
            const RgbImage& image = *read;
            ASSERT_EQ(image.width, r.Width());
            ASSERT_EQ(image.height, r.Height());
            const RgbImage& window = session.WindowAtStep(static_cast<int>(s) + 1);
            for (int y = 0; y < r.Height(); ++y)
                ASSERT_TRUE(std::equal(image.rgb.begin() + y * r.Width() * 3,
                                       image.rgb.begin() + (y + 1) * r.Width() * 3,
                                       window.rgb.begin() + ((r.top + y) * kStageWidth + r.left) * 3))
                    << "picture " << number << " row " << y;
        }
    }
}

// Closed steps last their span (45, 30, 20), not their frame value (50, 30, 24); the open last step
// keeps the frame value used last.
const std::vector<ExpectedStep> kSample = {
    {45, {10, 20}, {{1, {0, 0, 156, 120}}}},
    {30, {-3, 7}, {{2, {5, 6, 44, 35}}, {3, {100, 0, 156, 49}}, {4, {30, 60, 50, 70}}}},
    {20, {140, 100}, {{5, {120, 90, 156, 120}}}},
    {24, {200, 50}, {{6, {100, 80, 139, 120}}}},
};

TEST(TimelineTest, StepsPicturesPlacementsCursorsAndDurations)
{
    CRecordedSession session;
    RecordSample(session);
    // The program that runs the export keeps its own offset tables, whatever the session's files say.
    g_offsets.frame[0] = 12345;
    const OffsetTables before = g_offsets;
    ExpectTimeline(session, kSample);
    EXPECT_EQ(std::memcmp(&before, &g_offsets, sizeof before), 0) << "the program's offset tables changed";

    // The same picture stored top-down (negative height) reads the same.
    std::vector<uint8_t> bmp = testfiles::ReadBytes(session.File("imageBMP3.bmp"));
    std::vector<uint8_t> flipped(bmp.begin(), bmp.begin() + 54);
    const size_t rowBytes = 172; // 57 pixels, padded
    for (size_t row = (bmp.size() - 54) / rowBytes; row-- > 0;)
        flipped.insert(flipped.end(), bmp.begin() + 54 + row * rowBytes,
                       bmp.begin() + 54 + (row + 1) * rowBytes);
    flipped[22] = static_cast<uint8_t>(-50);
    flipped[23] = flipped[24] = flipped[25] = 0xFF;
    testfiles::WriteText(session.File("imageBMP3.bmp"), std::string(flipped.begin(), flipped.end()));
    ExpectTimeline(session, kSample);
}

TEST(TimelineTest, UnclosedStepsAndSpansThatSayNothing)
{
    // A single step was never closed: it lasts the program's default frame value.
    CRecordedSession single;
    RecordSample(single, 1);
    ExpectTimeline(single, {{kDefaultFrameValue, {10, 20}, {{1, {0, 0, 156, 120}}}}});

    CRecordedSession session;
    RecordSample(session);
    // A span whose parts both read 0 says nothing: the step's frame value (50) stands in.
    std::vector<uint8_t> bytes = testfiles::ReadBytes(session.File("destinationFLA1.fla"));
    for (int column : {2, 3})
        bytes.at(g_offsets.cursor[column][0]) = bytes.at(g_offsets.cursor[column][0] + 1) = 0;
    testfiles::WriteText(session.File("destinationFLA1.fla"), std::string(bytes.begin(), bytes.end()));
    std::vector<ExpectedStep> expected = kSample;
    expected[0].frames = 50;
    ExpectTimeline(session, expected);

    // A missing or unreadable picture costs that picture only: every step keeps its time and pointer,
    // and each picture left out is named once.
    fs::remove(session.File("imageBMP5.bmp"));
    fs::resize_file(session.File("imageBMP3.bmp"), 60);
    expected[1].pictures.erase(expected[1].pictures.begin() + 1);
    expected[2].pictures.clear();
    ExpectTimeline(
        session, expected,
        {session.File("imageBMP3.bmp") + ": pixel data cut short: needs 8654 bytes, the file has 60",
         session.File("imageBMP5.bmp") + ": missing"});

    // The last picture counts too: the pictures run up to the highest number in the folder.
    fs::remove(session.File("imageBMP4.bmp"));
    expected[1].pictures.pop_back();
    ExpectTimeline(
        session, expected,
        {session.File("imageBMP3.bmp") + ": pixel data cut short: needs 8654 bytes, the file has 60",
         session.File("imageBMP4.bmp") + ": missing", session.File("imageBMP5.bmp") + ": missing"});
}

// Offset files shorter than the take, as a template kit may have: the capture skipped the records they
// lack, and the export shows every picture all the same. A step without a cursor record keeps the
// pointer where it was; without frame entries, where a press ends is not known, and each picture from
// there on is a step of its own, of the default length. Each short file is named once.
TEST(TimelineTest, OffsetFilesShorterThanTheTakeCostTimingAndPointerOnly)
{
    const CursorPoint stays{-3, 7};
    const std::string eachItsOwn =
        ": where a key press ends is not known from there on, so each picture is a step of "
        "its own, 50 frames long, with the pointer where it was";
    const struct
    {
        int cursorRows, frameRows;
        std::vector<ExpectedStep> steps; // the pictures' regions are not compared
        std::vector<std::string> gaps;   // after the working directory
    } cases[] = {
        {2,
         400,
         {{45, {10, 20}, {{1, {}}}},
          {30, stays, {{2, {}}, {3, {}}, {4, {}}}},
          {24, stays, {{5, {}}}},
          {24, stays, {{6, {}}}}},
         {"curoffs.ini: no row for steps 3 to 4: the pointer stays where it was"}},
        {400,
         2,
         {{45, {10, 20}, {{1, {}}}},
          {50, stays, {{2, {}}, {3, {}}}},
          {50, stays, {{4, {}}}},
          {50, stays, {{5, {}}}},
          {50, stays, {{6, {}}}}},
         {"frmoffs.ini: no row for pictures 3 to 5" + eachItsOwn}},
        {2,
         4,
         {{45, {10, 20}, {{1, {}}}},
          {30, stays, {{2, {}}, {3, {}}, {4, {}}}},
          {50, stays, {{5, {}}}},
          {50, stays, {{6, {}}}}},
         {"frmoffs.ini: no row for picture 5" + eachItsOwn,
          "curoffs.ini: no row for step 3: the pointer stays where it was"}},
        {3,
         4,
         {{45, {10, 20}, {{1, {}}}},
          {30, stays, {{2, {}}, {3, {}}, {4, {}}}},
          {50, {140, 100}, {{5, {}}}},
          {50, {140, 100}, {{6, {}}}}},
         {"frmoffs.ini: no row for picture 5" + eachItsOwn}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cursorRows) + " cursor rows, " + std::to_string(c.frameRows) +
                     " frame rows");
        CRecordedSession session;
        RecordSample(session);
        ReplaceRow(session, "curoffs.ini", c.cursorRows + 1, "x");
        ReplaceRow(session, "frmoffs.ini", c.frameRows + 1, "x");
        const SessionTimeline timeline = Decode(session);
        ASSERT_EQ(timeline.steps.size(), c.steps.size());
        for (size_t s = 0; s < c.steps.size(); ++s) {
            SCOPED_TRACE("step " + std::to_string(s + 1));
            const TimelineStep& step = timeline.steps[s];
            EXPECT_EQ(step.frames, c.steps[s].frames);
            EXPECT_EQ(step.cursor.x, c.steps[s].cursor.x);
            EXPECT_EQ(step.cursor.y, c.steps[s].cursor.y);
            std::vector<int> numbers, expected;
            for (const TimelinePicture& p : step.pictures)
                numbers.push_back(p.number);
            for (const auto& p : c.steps[s].pictures)
                expected.push_back(p.first);
            EXPECT_EQ(numbers, expected);
        }
        std::vector<std::string> gaps;
        for (const std::string& gap : c.gaps)
            gaps.push_back((session.WorkDir() / gap).string());
        EXPECT_EQ(timeline.gaps, gaps);
    }

    // Once the presses are not known, a change at (0, 0) larger than a grid cell, alone in its step,
    // is still a change; only a picture larger than the window is taken as the window grown.
    CRecordedSession session;
    session.Step({{0, 0, kStageWidth - 1, kStageHeight - 1}}, {1, 1});
    session.Step({{5, 5, 20, 20}}, {2, 2});
    session.Step({{0, 0, 80, 50}, {100, 80, 120, 100}}, {3, 3});
    session.Resize(kStageWidth + 10, kStageHeight);
    session.Step({{0, 0, kStageWidth + 9, kStageHeight - 1}}, {4, 4});
    ReplaceRow(session, "frmoffs.ini", 3, "x");
    const SessionTimeline timeline = Decode(session);
    std::vector<bool> whole;
    for (const TimelineStep& step : timeline.steps)
        whole.push_back(step.pictures.at(0).wholeGrab);
    EXPECT_EQ(whole, (std::vector<bool>{true, false, false, false, true}));
    EXPECT_EQ(timeline.stageWidth, kStageWidth + 10);
}

// A window that changed its size between two presses: its whole grab at (0, 0), the only picture of
// its step, clears the stage, which is as large as the largest window.
TEST(TimelineTest, AWholeGrabOfAnotherSizeIsTheWindowResized)
{
    CRecordedSession session(100, 60);
    session.Step({{0, 0, 99, 59}}, {1, 1});
    g_frameValues = {10, 0};
    session.Resize(140, 50);
    session.Step({{0, 0, 139, 49}}, {2, 2}); // wider, lower
    session.Step({{0, 0, 34, 11}}, {3, 3});  // inside the top-left cell of 140 x 50: a change
    session.Resize(36, 12);                  // one pixel wider than that cell: taken as the window
    session.Step({{0, 0, 35, 11}}, {4, 4});
    session.Step({{0, 0, 35, 11}}, {5, 5}); // the same size again: a change
    const SessionTimeline timeline = Decode(session);
    EXPECT_EQ(timeline.stageWidth, 140);
    EXPECT_EQ(timeline.stageHeight, 60);
    std::vector<bool> whole;
    for (const TimelineStep& step : timeline.steps)
        whole.push_back(step.pictures.at(0).wholeGrab);
    EXPECT_EQ(whole, (std::vector<bool>{true, true, false, true, false}));
}

} // namespace
