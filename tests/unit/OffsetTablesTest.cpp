#include "ProgramState.h"
#include "TestFiles.h"
#include "output/OffsetTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testfiles::CCurrentDir;
using testfiles::CScratchDir;
using testfiles::WriteText;

class OffsetTablesTest : public testsupport::CProgramTest
{
protected:
    int Cursor(const std::string& text) { return ParseCursorOffsets(text.data(), text.size(), g_offsets); }
    int Frames(const std::string& text) { return ParseFrameOffsets(text.data(), text.size(), g_offsets); }
    int Bitmaps(const std::string& text) { return ParseBitmapOffsets(text.data(), text.size(), g_offsets); }
    std::vector<int32_t> CursorRow(int row)
    {
        return {g_offsets.cursor[0][row - 1], g_offsets.cursor[1][row - 1], g_offsets.cursor[2][row - 1],
                g_offsets.cursor[3][row - 1]};
    }
    std::vector<int32_t> BitmapRow(int row)
    {
        const int32_t* r = g_offsets.bitmap[row - 1];
        return std::vector<int32_t>(r + 1, r + 1 + r[0]);
    }
};

TEST_F(OffsetTablesTest, BuiltInRowsBeforeAnyFile)
{
    EXPECT_EQ(Cursor(""), 0);
    EXPECT_EQ(Frames(""), 0);
    EXPECT_EQ(CursorRow(1), (std::vector<int32_t>{555880, 555880, 555880, 555880}));
    EXPECT_EQ(CursorRow(2), (std::vector<int32_t>{556020, 556020, 556020, 556020}));
    EXPECT_EQ(CursorRow(3), (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(FrameOffset(1), std::optional<int32_t>(555880));
    EXPECT_EQ(FrameOffset(2), std::optional<int32_t>(556020));
    // Row 3 holds nothing any file or default gave: the patcher must skip it, not write at offset 0.
    EXPECT_FALSE(FrameOffset(3));
    EXPECT_FALSE(CursorOffset(3, 1));
    EXPECT_TRUE(CursorOffset(2, 4));
}

TEST_F(OffsetTablesTest, CursorRowsIgnoreLineBreaks)
{
    for (const char* text : {"1;2;3;4;\n", "1;\n2;\n3;\n4;\n", "1;2;3;4;5;6;7;8;", " 1;2;3;4;"}) {
        ResetOffsetTables();
        SCOPED_TRACE(text);
        EXPECT_GE(Cursor(text), 1);
        EXPECT_EQ(CursorRow(1), (std::vector<int32_t>{1, 2, 3, 4}));
    }
    ResetOffsetTables();
    EXPECT_EQ(Cursor("1;2;3;4;5;6;7;8;"), 2);
    EXPECT_EQ(CursorRow(2), (std::vector<int32_t>{5, 6, 7, 8}));
}

TEST_F(OffsetTablesTest, CursorReadingStopsAtABrokenRow)
{
    // A ";" missing inside the row ends the reading; the row's numbers read so far stay in the table.
    EXPECT_EQ(Cursor("1;2;3;4;\n5;6 7;8;\n9;10;11;12;\n"), 1);
    EXPECT_EQ(CursorRow(2), (std::vector<int32_t>{5, 6, 556020, 556020}));
    EXPECT_EQ(CursorOffset(2, 1), std::optional<int32_t>(5)); // a built-in row stays usable

    // The ";" after the fourth number is not needed, and a truncated last row is not counted.
    ResetOffsetTables();
    EXPECT_EQ(Cursor("1;2;3;4\n5;6;7;8\n9;10;11"), 2);
    EXPECT_EQ(CursorRow(3), (std::vector<int32_t>{9, 10, 11, 0}));
    EXPECT_FALSE(CursorOffset(3, 1));

    // The ";" must follow a number at once.
    ResetOffsetTables();
    EXPECT_EQ(Cursor("1;2;x;4;"), 0);
    EXPECT_EQ(Cursor("1 ;2;3;4;"), 0);
}

TEST_F(OffsetTablesTest, FrameRowsWithoutSemicolonsStillRead)
{
    EXPECT_EQ(Frames("10\n20\n30;\n0x28;050;"), 5);
    EXPECT_EQ(g_offsets.frame[3], 40);
    EXPECT_EQ(g_offsets.frame[4], 40);
    ResetOffsetTables();
    EXPECT_EQ(Frames("10;\n;20;\n"), 1);
}

TEST_F(OffsetTablesTest, BitmapRowsFollowTheirCount)
{
    EXPECT_EQ(Bitmaps("1;100;\n3;200;300;400;\n2;0x10;010;\n"), 3);
    EXPECT_EQ(TemplateCapacity(), 3);
    EXPECT_EQ(BitmapRow(1), (std::vector<int32_t>{100}));
    EXPECT_EQ(BitmapRow(2), (std::vector<int32_t>{200, 300, 400}));
    EXPECT_EQ(BitmapRow(3), (std::vector<int32_t>{16, 8}));

    // A count of 3 with two offsets on its line takes the next line's first number: the rows after it
    // are read out of step, and here the last one lacks its final number.
    ResetOffsetTables();
    EXPECT_EQ(Bitmaps("3;10;20;\n1;30;\n2;40;"), 1);
    EXPECT_EQ(BitmapRow(1), (std::vector<int32_t>{10, 20, 1}));
}

TEST_F(OffsetTablesTest, BitmapCountOutsideItsRowEndsTheReading)
{
    for (const char* bad : {"0;5;", "-1;5;", "401;5;"}) {
        ResetOffsetTables();
        SCOPED_TRACE(bad);
        EXPECT_EQ(Bitmaps(std::string("1;7;\n") + bad + "\n1;9;\n"), 1);
        EXPECT_EQ(BitmapRow(1), (std::vector<int32_t>{7}));
        EXPECT_EQ(g_offsets.bitmap[1][0], 0);
    }
    std::string full = "400;";
    for (int j = 1; j <= 400; ++j)
        full += std::to_string(j) + ";";
    ResetOffsetTables();
    EXPECT_EQ(Bitmaps(full), 1);
    EXPECT_EQ(PlacementCount(1), 400);
    EXPECT_EQ(PlacementOffset(1, 400), 400);
}

TEST_F(OffsetTablesTest, AtMost400RowsAreRead)
{
    std::string many;
    for (int i = 1; i <= 450; ++i)
        many += "1;" + std::to_string(i) + ";\n";
    EXPECT_EQ(Bitmaps(many), 400);
    EXPECT_EQ(Frames(many), 400);
    EXPECT_EQ(PlacementOffset(400, 1), 400);
}

TEST_F(OffsetTablesTest, LoadersOpenByBareNameForUpdate)
{
    CScratchDir dir;
    CCurrentDir cd(dir.Path());
    EXPECT_EQ(LoadBitmapOffsets(), -1);
    EXPECT_EQ(LoadCursorOffsets(), -1);
    EXPECT_EQ(LoadFrameOffsets(), -1);
    WriteText("bmpoffs.ini", "");
    WriteText("curoffs.ini", "1;2;3;4;\r\n5;6;7;8;\r\n");
    WriteText("frmoffs.ini", "10;\r\n");
    EXPECT_EQ(LoadBitmapOffsets(), 0);
    EXPECT_EQ(LoadCursorOffsets(), 2);
    EXPECT_EQ(LoadFrameOffsets(), 1);

    // A file that cannot be opened for writing counts as missing. Root may write anywhere, so the
    // check runs as an unprivileged user in a child process.
    ::chmod("curoffs.ini", 0444);
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                std::exit(3);
            std::exit(LoadCursorOffsets() == -1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
