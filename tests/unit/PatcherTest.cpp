// The output step against a template-kit copy: the destination file must differ from the template at
// exactly the bytes a sequence of capture steps should patch, with the expected values.
#include "TestSession.h"
#include "output/OffsetTables.h"
#include "output/OutputStep.h"
#include "state/Notice.h"
#include "output/TemplatePatcher.h"
#include "state/FrameValues.h"
#include "state/SessionState.h"
#include "state/TextTable.h"
#include "state/WorkingDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

namespace {

using testfiles::ReadBytes;
using testsupport::CExpectedDestination;
using FatalOutput = testsupport::CFatalOutput;

class CRecordingWriter final : public IImageWriter
{
public:
    bool WriteImage(const Region& region, const char* fileName) override
    {
        regions.push_back(region);
        names.push_back(fileName);
        return static_cast<int>(names.size()) != failingCall;
    }
    std::vector<Region> regions;
    std::vector<std::string> names;
    int failingCall = 0; // 1-based number of the call that cannot write its picture, 0 for none
};

class PatcherTest : public testsupport::CSessionTest
{
protected:
    void SetUp() override
    {
        CSessionTest::SetUp();
        Prepare(10);
    }

    void Prepare(int capacity)
    {
        StartSession(capacity);
        m_expected = std::make_unique<CExpectedDestination>(m_dir.File("template.fla"));
    }

    // One capture step as the capture side starts it.
    UnwrittenPictures Step(std::vector<Region> regions, CursorPoint cursor)
    {
        return RunOutputStep(static_cast<int>(regions.size()), cursor, regions.data(), m_writer);
    }

    void ExpectPlacement(int row, int32_t x, int32_t y) { m_expected->Placement(row, x, y); }
    void ExpectCursor(int row, int32_t x, int32_t y) { m_expected->Cursor(row, x, y); }
    void ExpectSpan(int row, uint16_t a, uint16_t b) { m_expected->Span(row, a, b); }
    void ExpectFrame(int entry, uint16_t value) { m_expected->Frame(entry, value); }
    void CompareWithDestination() { EXPECT_TRUE(m_expected->Matches(g_session.destinationFile)); }

    CRecordingWriter m_writer;
    std::unique_ptr<CExpectedDestination> m_expected;
};

TEST_F(PatcherTest, CaptureStepsPatchExactlyTheirRecords)
{
    Step({{0, 0, 99, 79}}, {10, 20});
    ExpectPlacement(1, 0, 0);
    ExpectCursor(1, 10, 20);
    EXPECT_EQ(g_session.patcherSteps, 1);
    EXPECT_EQ(g_session.imageCounter, 2);
    CompareWithDestination(); // the first step writes no 16-bit value

    // Default frame 50, offset 5: the first span is 45 = 22 + 23.
    Step({{12, 7, 20, 9}}, {-1, 5});
    ExpectPlacement(2, 12, 7);
    ExpectCursor(2, -1, 5);
    ExpectSpan(1, 22, 23);
    ExpectFrame(1, 50);
    EXPECT_EQ(g_session.frameTotal, 51);
    EXPECT_EQ(g_session.previousOffset, 5);
    CompareWithDestination();

    // Three pictures in one step: one cursor record, the earlier pictures of the step get frame 0 and
    // the step's last picture waits for the next step.
    Step({{1, 1, 2, 2}, {3, 3, 4, 4}, {5, 5, 6, 6}}, {7, 8});
    ExpectPlacement(3, 1, 1);
    ExpectPlacement(4, 3, 3);
    ExpectPlacement(5, 5, 5);
    ExpectCursor(3, 7, 8);
    ExpectSpan(2, 25, 25);
    ExpectFrame(2, 50);
    ExpectFrame(3, 0);
    ExpectFrame(4, 0);
    EXPECT_EQ(g_session.frameTotal, 101);
    CompareWithDestination();

    // The offset changes from 5 to 10: the span grows by the old value and shrinks by the new one.
    g_frameValues.offset = 10;
    Step({{0, 0, 0, 0}}, {0, 0});
    ExpectPlacement(6, 0, 0);
    ExpectCursor(4, 0, 0);
    ExpectSpan(3, 22, 23);
    ExpectFrame(5, 50);
    CompareWithDestination();

    // Frame 65536 is 0 in 16 bits: with the same offset both span parts are 0, and written as 0 rather
    // than left as the template holds them.
    g_frameValues.frame = 65536;
    Step({{2, 2, 2, 2}}, {1, 1});
    ExpectPlacement(7, 2, 2);
    ExpectCursor(5, 1, 1);
    ExpectSpan(4, 0, 0);
    ExpectFrame(6, 0);
    CompareWithDestination();

    // v = 1: a = 0 and b = 1, both written.
    g_frameValues.frame = 11;
    g_frameValues.offset = 20;
    Step({{3, 3, 3, 3}}, {2, 2});
    ExpectPlacement(8, 3, 3);
    ExpectCursor(6, 2, 2);
    ExpectSpan(5, 0, 1);
    ExpectFrame(7, 11);
    CompareWithDestination();
    EXPECT_EQ(g_session.frameTotal, 1 + 50 + 50 + 50 + 65536 + 11);

    ASSERT_EQ(m_writer.names.size(), 8u);
    EXPECT_EQ(m_writer.names[0], m_dir.File("session1/imageBMP1.bmp"));
    EXPECT_EQ(m_writer.names[7], m_dir.File("session1/imageBMP8.bmp"));
}

TEST(SpanTest, SplitsTheLow16BitsInHalves)
{
    EXPECT_EQ(SplitSpan(45).first, 22);
    EXPECT_EQ(SplitSpan(45).second, 23);
    EXPECT_EQ(SplitSpan(50).first, 25);
    EXPECT_EQ(SplitSpan(1).first, 0);
    EXPECT_EQ(SplitSpan(1).second, 1);
    // Only the low 16 bits of v are halved; b keeps the rest and is then cut to 16 bits.
    EXPECT_EQ(SplitSpan(65537).first, 0);
    EXPECT_EQ(SplitSpan(65537).second, 1);
    EXPECT_EQ(SplitSpan(-1).first, 32767);
    EXPECT_EQ(SplitSpan(-1).second, static_cast<uint16_t>(-1 - 32767));
}

TEST_F(PatcherTest, TemplateCapacityDropsFurtherRegions)
{
    Prepare(3);
    Step({{0, 0, 9, 9}}, {0, 0});
    Step({{1, 0, 1, 0}, {2, 0, 2, 0}, {3, 0, 3, 0}, {4, 0, 4, 0}}, {0, 0});
    EXPECT_EQ(g_session.imageCounter, 4);
    EXPECT_EQ(m_writer.regions.size(), 3u);
    EXPECT_EQ(m_writer.regions.back(), (Region{2, 0, 2, 0}));
}

TEST_F(PatcherTest, RowsNoFileSuppliedAreSkippedNotWrittenAtOffsetZero)
{
    // curoffs.ini and frmoffs.ini name only one row: rows 1 and 2 fall back to the built-in offsets,
    // which lie beyond this small file, and later rows are skipped.
    ResetOffsetTables();
    ASSERT_EQ(LoadBitmapOffsets(m_dir.File("bmpoffs.ini").c_str()), 10);
    const std::string oneRow = "100;108;116;118;\n";
    ASSERT_EQ(ParseCursorOffsets(oneRow.data(), oneRow.size(), g_offsets), 1);
    ASSERT_EQ(ParseFrameOffsets("120;", 4, g_offsets), 1);

    for (int i = 0; i < 4; ++i)
        Step({{i, 0, i, 0}}, {1, 1});
    const auto actual = ReadBytes(g_session.destinationFile);
    const auto original = ReadBytes(m_dir.File("template.fla"));
    ASSERT_GT(actual.size(), 556020u);
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 64, actual.begin()));
    EXPECT_EQ(g_session.frameTotal, 1 + 3 * 50);
    EXPECT_EQ(g_session.patcherSteps, 4);
}

TEST_F(PatcherTest, FailuresNameTheDestinationAndEndTheStep)
{
    // Placement texts are fixed English; the cursor patch follows the language.
    std::strcpy(g_texts.currentTexts[kTextCorruptFile], "Kaputt: %s\n");
    g_offsets.bitmap[0][1] = -17;
    try {
        PatchImagePlacement(0, 0, 0);
        FAIL() << "a negative position must fail";
    } catch (const FatalOutput& e) {
        EXPECT_EQ(std::string(e.what()), std::string("Corrupt file: ") + g_session.destinationFile + "\n");
    }
    try {
        PatchCursorPoint(10, -1, 0, 0);
        FAIL() << "a negative position must fail";
    } catch (const FatalOutput& e) {
        EXPECT_EQ(std::string(e.what()), std::string("Kaputt: ") + g_session.destinationFile + "\n");
    }
    std::filesystem::remove(g_session.destinationFile);
    EXPECT_THROW(PatchFrameCounts(std::nullopt, std::nullopt, 10, FrameMode::Zero), FatalOutput);
    // The message is bounded to its 256-byte buffer whatever the path's length.
    std::memset(g_session.destinationFile, 'p', kPathBytes - 1);
    g_session.destinationFile[kPathBytes - 1] = '\0';
    try {
        PatchImagePlacement(0, 0, 0);
        FAIL() << "a destination file that cannot be opened must fail";
    } catch (const FatalOutput& e) {
        EXPECT_EQ(std::strlen(e.what()), 255u);
    }
}

// A full disk: the device takes the bytes into the C library's buffer, and refuses them when the close
// writes them out.
TEST_F(PatcherTest, APatchThatDoesNotReachTheDiskIsAFatalFailure)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    std::strcpy(g_session.destinationFile, "/dev/full");
    const std::function<void()> patches[] = {
        [] { PatchImagePlacement(1, 2, 0); },
        [] { PatchCursorPoint(100, 108, 1, 2); },
        [] { PatchFrameCounts(116, 118, 120, FrameMode::Full); },
        [] { PatchFrameCounts(std::nullopt, std::nullopt, 120, FrameMode::Zero); },
    };
    for (const auto& patch : patches) {
        try {
            patch();
            ADD_FAILURE() << "a patch that was not written must fail";
        } catch (const FatalOutput& e) {
            EXPECT_STREQ(e.what(), "Can't write destination file: /dev/full\n");
        }
    }
}

TEST_F(PatcherTest, ASessionStartsOnlyWhenEveryRecordLiesInsideTheTemplate)
{
    const std::string templatePath = m_dir.File("template.fla");
    const int32_t size = static_cast<int32_t>(std::filesystem::file_size(templatePath));
    EXPECT_TRUE(TemplateHoldsEveryRecord(templatePath.c_str()));
    EXPECT_TRUE(TemplateHoldsEveryRecord(m_dir.File("missing.fla").c_str()));

    struct SCase
    {
        int32_t* entry;
        int32_t value;
        const char* file;
        int row;
    };
    const SCase cases[] = {
        // A placement record is 8 bytes, 16 after its offset.
        {&g_offsets.bitmap[2][1], size - 24, nullptr, 0},
        {&g_offsets.bitmap[2][1], size - 23, "bmpoffs.ini", 3},
        {&g_offsets.bitmap[9][g_offsets.bitmap[9][0]], size, "bmpoffs.ini", 10},
        // Cursor records are 8 bytes, span parts and frame counts 2.
        {&g_offsets.cursor[1][4], size - 8, nullptr, 0},
        {&g_offsets.cursor[1][4], size - 7, "curoffs.ini", 5},
        {&g_offsets.cursor[0][9], -1, "curoffs.ini", 10},
        {&g_offsets.cursor[3][8], size - 1, "curoffs.ini", 9},
        {&g_offsets.frame[8], size - 2, nullptr, 0},
        {&g_offsets.frame[8], size - 1, "frmoffs.ini", 9},
        // The last step's span and the last picture's frame count are never written.
        {&g_offsets.cursor[3][9], 1 << 30, nullptr, 0},
        {&g_offsets.frame[9], 1 << 30, nullptr, 0},
        // Rows beyond the template's capacity are never used.
        {&g_offsets.cursor[0][10], 1 << 30, nullptr, 0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + (c.file ? c.file : ""));
        const int32_t kept = *c.entry;
        *c.entry = c.value;
        const CResult<> holds = TemplateHoldsEveryRecord(templatePath.c_str());
        *c.entry = kept;
        ASSERT_EQ(holds.Ok(), c.file == nullptr);
        if (c.file) {
            EXPECT_EQ(holds.Error().text, "Row " + std::to_string(c.row) + " of " + c.file +
                                              " points outside template.fla, which is " +
                                              std::to_string(size) +
                                              " bytes long: the destination file would be damaged or grow.\n"
                                              "Correct the row, then press Capture again.");
        }
    }
}

// A cursor or frame file with fewer than two rows leaves the program's built-in rows in place of the
// missing ones; one of them outside the template is named as such, with what puts it right.
TEST_F(PatcherTest, ABuiltInRowOutsideTheTemplateIsNamedAsOne)
{
    const std::string templatePath = m_dir.File("template.fla");
    const int32_t size = static_cast<int32_t>(std::filesystem::file_size(templatePath));
    const struct
    {
        int* rows;
        int rowsInFile;
        int32_t* entry;
        const char* file;
        int row;
    } cases[] = {
        {&g_offsets.cursorRows, 1, &g_offsets.cursor[0][1], "curoffs.ini", 2},
        {&g_offsets.cursorRows, 0, &g_offsets.cursor[3][0], "curoffs.ini", 1},
        {&g_offsets.frameRows, 1, &g_offsets.frame[1], "frmoffs.ini", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " row " + std::to_string(c.row));
        const int rows = *c.rows;
        const int32_t kept = *c.entry;
        *c.rows = c.rowsInFile;
        *c.entry = size;
        const CResult<> holds = TemplateHoldsEveryRecord(templatePath.c_str());
        *c.rows = rows;
        *c.entry = kept;
        ASSERT_FALSE(holds);
        const std::string row = std::to_string(c.row);
        EXPECT_EQ(holds.Error().text,
                  std::string(c.file) + " has no row " + row + ", so the program's built-in row " + row +
                      " is used, and it points outside template.fla, which is " + std::to_string(size) +
                      " bytes long: the destination file would be damaged or grow.\n"
                      "Add row " +
                      row + " to " + c.file + ", then press Capture again.");
    }
}

TEST_F(PatcherTest, PictureNameThatDoesNotFitIsNotWrittenButPatched)
{
    std::string longDir(kPathBytes - 20, 'd');
    std::strcpy(g_workDir, longDir.c_str());
    const UnwrittenPictures unwritten = Step({{4, 5, 6, 7}}, {0, 0});
    EXPECT_TRUE(m_writer.names.empty());
    ASSERT_EQ(unwritten.count, 1);
    EXPECT_EQ(unwritten.numbers[0], 1);
    EXPECT_EQ(g_session.imageCounter, 2);
    ExpectPlacement(1, 4, 5);
    ExpectCursor(1, 0, 0);
    CompareWithDestination();
}

TEST_F(PatcherTest, PictureThatCannotBeWrittenKeepsItsPlaceAndIsNamed)
{
    Step({{0, 0, 9, 9}}, {1, 1});
    m_writer.failingCall = 3; // the second of the next step's three pictures
    const UnwrittenPictures unwritten = Step({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 9, 9, 9}}, {2, 2});
    ASSERT_EQ(unwritten.count, 1);
    EXPECT_EQ(unwritten.numbers[0], 3);
    EXPECT_EQ(g_session.imageCounter, 5);
    EXPECT_EQ(g_session.patcherSteps, 2);
    for (int k = 1; k <= 4; ++k)
        ExpectPlacement(k, m_writer.regions[k - 1].left, m_writer.regions[k - 1].top);
    ExpectCursor(1, 1, 1);
    ExpectCursor(2, 2, 2);
    ExpectSpan(1, 22, 23);
    ExpectFrame(1, 50);
    ExpectFrame(2, 0);
    ExpectFrame(3, 0);
    CompareWithDestination();

    const std::optional<Notice> one = UnwrittenPicturesNotice(unwritten);
    ASSERT_TRUE(one);
    EXPECT_STREQ(one->text, "Could not write imageBMP3.bmp: out of memory, or the disk is full.\n"
                            "The session goes on without it.");
    const UnwrittenPictures two{{2, 4}, 2};
    const std::optional<Notice> both = UnwrittenPicturesNotice(two);
    ASSERT_TRUE(both);
    EXPECT_EQ(std::string(both->text).substr(0, 46), "Could not write imageBMP2.bmp, imageBMP4.bmp: ");
    EXPECT_FALSE(UnwrittenPicturesNotice(UnwrittenPictures{}));
}

} // namespace
