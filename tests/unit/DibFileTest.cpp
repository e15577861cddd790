#include "DibBlock.h"
#include "FailingAllocations.h"
#include "TestFiles.h"
#include "output/DibFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Records what would be written; can be told to fall short at a given write.
class CRecordingSink final : public IFileSink
{
public:
    bool Create(const char* fileName) override
    {
        created = fileName;
        return canCreate;
    }
    uint32_t Write(const void* data, uint32_t size) override
    {
        pieces.push_back(size);
        bytes.insert(bytes.end(), static_cast<const uint8_t*>(data),
                     static_cast<const uint8_t*>(data) + size);
        return static_cast<int>(pieces.size()) == shortWrite ? size / 2 : size;
    }
    bool Commit() override
    {
        ++commits;
        return true;
    }
    void Discard() override { ++discards; }

    bool canCreate = true;
    int shortWrite = 0; // 1-based number of the write that falls short, 0 for none
    std::string created;
    std::vector<uint32_t> pieces;
    std::vector<uint8_t> bytes;
    int commits = 0;
    int discards = 0;
};

uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

TEST(DibFileTest, ColourTableFollowsBitDepthAndIs16Bit)
{
    DibHeader h{};
    const std::pair<uint16_t, uint16_t> depths[] = {{1, 2}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0}};
    for (auto [bits, entries] : depths) {
        h.biBitCount = bits;
        EXPECT_EQ(DibColourCount(h), entries) << bits;
        EXPECT_EQ(DibColourTableSize(h), entries * 4) << bits;
    }
    h.biClrUsed = 20;
    EXPECT_EQ(DibColourTableSize(h), 80);
    // Both results are kept in 16 bits: 16384 entries make 65536 bytes, which wraps to 0.
    h.biClrUsed = 16384;
    EXPECT_EQ(DibColourTableSize(h), 0);
    h.biClrUsed = 0x10005;
    EXPECT_EQ(DibColourCount(h), 5);
}

TEST(DibFileTest, RowsArePaddedToFourBytes)
{
    EXPECT_EQ(DibRowBytes(1, 24), 4u);
    EXPECT_EQ(DibRowBytes(4, 24), 12u);
    EXPECT_EQ(DibRowBytes(5, 24), 16u);
    EXPECT_EQ(DibRowBytes(3, 16), 8u);
}

TEST(DibFileTest, BlocksOfAnySizeReadBackWhole)
{
    // Sizes around the pieces the block is handed over in: a reader sees every byte, in order.
    testfiles::CScratchDir dir;
    for (int32_t width : {1, 10922, 10923, 21846}) {
        const auto block = PatternedDibBlock(width, 1, 24);
        const std::string path = dir.File("picture.bmp");
        ASSERT_EQ(WritePackedDib(path.c_str(), block.data(), static_cast<uint32_t>(block.size())), 1)
            << width;
        const std::vector<uint8_t> file = testfiles::ReadBytes(path);
        ASSERT_EQ(file.size(), kFileHeaderBytes + block.size()) << width;
        EXPECT_TRUE(std::equal(block.begin(), block.end(), file.begin() + kFileHeaderBytes)) << width;
    }
    // A piece that falls short anywhere fails the whole write.
    std::vector<uint8_t> data(70000);
    for (int shortWrite : {1, 3}) {
        CRecordingSink sink;
        sink.shortWrite = shortWrite;
        EXPECT_EQ(WriteChunked(sink, data.data(), static_cast<uint32_t>(data.size())), 0u) << shortWrite;
    }
}

TEST(DibFileTest, FileHeaderPrecedesTheBlock)
{
    const auto block = DibBlock(1, 1, 24);
    CRecordingSink sink;
    EXPECT_EQ(WritePackedDib("pic.bmp", block.data(), block.size(), sink), 1);
    EXPECT_EQ(sink.created, "pic.bmp");
    EXPECT_EQ(sink.pieces, (std::vector<uint32_t>{2, 12, 44}));
    ASSERT_EQ(sink.bytes.size(), 58u);
    EXPECT_EQ(sink.bytes[0], 'B');
    EXPECT_EQ(sink.bytes[1], 'M');
    EXPECT_EQ(Get32(sink.bytes, 2), 58u);
    EXPECT_EQ(Get32(sink.bytes, 6), 0u);
    EXPECT_EQ(Get32(sink.bytes, 10), 54u);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), sink.bytes.begin() + 14));

    // With a colour table the pixels start behind it.
    const auto indexed = DibBlock(3, 2, 8);
    CRecordingSink sink8;
    EXPECT_EQ(WritePackedDib("p8.bmp", indexed.data(), indexed.size(), sink8), 1);
    EXPECT_EQ(Get32(sink8.bytes, 10), 14u + 40 + 1024);
    EXPECT_EQ(Get32(sink8.bytes, 2), 14u + indexed.size());
}

TEST(DibFileTest, FailuresAreReportedHonestly)
{
    const auto block = DibBlock(4, 4, 24);
    CRecordingSink noFile;
    noFile.canCreate = false;
    EXPECT_EQ(WritePackedDib("x.bmp", block.data(), block.size(), noFile), 0);
    EXPECT_TRUE(noFile.pieces.empty());

    EXPECT_EQ(WritePackedDib("x.bmp", nullptr, 0, noFile), 0);
    EXPECT_EQ(WritePackedDib("x.bmp", block.data(), 39, noFile), 0); // too short to hold a header

    for (int shortAt : {1, 2, 3}) {
        CRecordingSink sink;
        sink.shortWrite = shortAt;
        EXPECT_EQ(WritePackedDib("x.bmp", block.data(), block.size(), sink), 0) << shortAt;
        EXPECT_EQ(sink.discards, 1) << shortAt;
        EXPECT_EQ(sink.commits, 0) << shortAt;
    }
}

TEST(DibFileTest, ReplacesAnExistingFile)
{
    testfiles::CScratchDir dir;
    const std::string name = dir.File("imageBMP1.bmp");
    testfiles::WriteText(name, std::string(500, 'x'));
    const auto block = DibBlock(2, 2, 24);
    EXPECT_EQ(WritePackedDib(name.c_str(), block.data(), block.size()), 1);
    EXPECT_EQ(testfiles::ReadBytes(name).size(), 14 + block.size());
    EXPECT_EQ(WritePackedDib(dir.File("missing/imageBMP1.bmp").c_str(), block.data(), block.size()), 0);
}

TEST(DibFileTest, OutOfMemoryLeavesNoPictureBehind)
{
    testfiles::CScratchDir dir;
    const std::string name = dir.File("imageBMP1.bmp");
    const auto block = DibBlock(64, 64, 24);
    {
        testalloc::CFailingAllocations outOfMemory(4096);
        EXPECT_EQ(WritePackedDib(name.c_str(), block.data(), block.size()), 0);
        EXPECT_GT(outOfMemory.Failures(), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(name));
    // The next picture is written as if nothing had happened.
    EXPECT_EQ(WritePackedDib(name.c_str(), block.data(), block.size()), 1);
    EXPECT_EQ(testfiles::ReadBytes(name).size(), 14 + block.size());
}

} // namespace
