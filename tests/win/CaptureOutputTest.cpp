// The output step on a real memory device context: bitmap files as GDI produces them, and the
// destination file patched beside them.
#include "PaintedDc.h"
#include "TestSession.h"
#include "common/File.h"

#include "output/OffsetTables.h"
#include "output/win32/CaptureOutput.h"
#include "output/win32/PackedDib.h"
#include "state/SessionState.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using testfiles::CScratchDir;
using testfiles::ReadBytes;
using wintest::CPaintedDc;

uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint32_t>(testfiles::Read32(b, at));
}

uint32_t Colour(int x, int y)
{
    return static_cast<uint32_t>((x * 30) << 16 | (y * 40) << 8 | (x + y + 1));
}

class CaptureOutputTest : public testsupport::CSessionTest
{
protected:
    void SetUp() override
    {
        CSessionTest::SetUp();
        StartSession(3);
    }

    std::vector<uint8_t> PictureBytes(int k) { return ReadBytes(Picture(k)); }
};

TEST_F(CaptureOutputTest, WritesBottomUpBgrFilesWithPaddedRows)
{
    // A stale, longer file of the same name must be replaced, not partly overwritten.
    {
        std::vector<char> junk(1000, 'x');
        FILE* f = std::fopen(m_dir.File("session1\\imageBMP1.bmp").c_str(), "wb");
        std::fwrite(junk.data(), 1, junk.size(), f);
        std::fclose(f);
    }
    CPaintedDc grab(8, 6, Colour);
    const Region regions[] = {{3, 4, 3, 4}, {1, 1, 5, 2}};
    WriteCaptureOutput(grab.Get(), 2, CursorPoint{7, -1}, regions);

    const auto one = PictureBytes(1);
    ASSERT_EQ(one.size(), 58u);
    EXPECT_EQ(one[0], 'B');
    EXPECT_EQ(one[1], 'M');
    EXPECT_EQ(Get32(one, 2), 58u);  // bfSize
    EXPECT_EQ(Get32(one, 10), 54u); // bfOffBits
    EXPECT_EQ(Get32(one, 14), 40u);
    EXPECT_EQ(Get32(one, 18), 1u);
    EXPECT_EQ(Get32(one, 22), 1u);
    EXPECT_EQ(one[28], 24);
    EXPECT_EQ(Get32(one, 34), 4u); // biSizeImage: one row of 3 bytes padded to 4
    const uint32_t c = Colour(3, 4);
    EXPECT_EQ(one[54], c & 0xFF);
    EXPECT_EQ(one[55], (c >> 8) & 0xFF);
    EXPECT_EQ(one[56], (c >> 16) & 0xFF);

    // Width 5: 15 bytes of pixels and one fill byte per row; the file starts with the bottom row.
    const auto two = PictureBytes(2);
    ASSERT_EQ(two.size(), 54u + 2 * 16);
    EXPECT_EQ(Get32(two, 18), 5u);
    EXPECT_EQ(Get32(two, 22), 2u);
    for (int row = 0; row < 2; ++row) {
        const int y = 2 - row;
        for (int i = 0; i < 5; ++i) {
            const uint32_t expected = Colour(1 + i, y);
            const size_t at = 54 + row * 16 + i * 3;
            EXPECT_EQ(two[at] | two[at + 1] << 8 | two[at + 2] << 16, expected)
                << "row " << row << " px " << i;
        }
    }
}

TEST_F(CaptureOutputTest, PatchesThePlacementsAndDropsRegionsBeyondTheTemplate)
{
    CPaintedDc grab(8, 6, Colour);
    const auto before = ReadBytes(g_session.destinationFile);
    const Region regions[] = {{0, 0, 7, 5}, {2, 3, 4, 4}, {6, 1, 7, 1}, {1, 1, 1, 1}};
    WriteCaptureOutput(grab.Get(), 4, CursorPoint{7, -1}, regions);

    // Capacity 3: the fourth region is dropped.
    EXPECT_EQ(g_session.imageCounter, 4);
    EXPECT_EQ(g_session.imagesWritten, 3);
    EXPECT_EQ(g_session.patcherSteps, 1);
    EXPECT_FALSE(FileExists(m_dir.File("session1\\imageBMP4.bmp")));

    const auto after = ReadBytes(g_session.destinationFile);
    ASSERT_EQ(after.size(), before.size());
    const int32_t place2 = PlacementOffset(2, 1) + 16;
    EXPECT_EQ(Get32(after, place2), 40u);
    EXPECT_EQ(Get32(after, place2 + 4), 60u);
    const std::optional<int32_t> cursor = CursorOffset(1, 2);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(Get32(after, *cursor), 140u);
    EXPECT_EQ(static_cast<int32_t>(Get32(after, *cursor + 4)), -20);
}

TEST(PackedDibTest, NoBitmapGivesNoBlockAndNoFile)
{
    CScratchDir dir;
    CGlobalMemory block = MakePackedDib(nullptr, BI_RGB, 24, nullptr);
    EXPECT_FALSE(block);
    EXPECT_EQ(WritePackedDib(dir.File("none.bmp").c_str(), block.Get()), 0);
    EXPECT_FALSE(FileExists(dir.File("none.bmp")));
}

} // namespace
