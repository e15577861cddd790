// The caption font cut down to some characters, read back by stb_truetype (the renderer the program's
// animations use): every character kept draws the very same pixels with the same metrics and kerning as
// in the whole font, every other one is missing, and the file's checksums hold.
#include "export/codec/FontSubset.h"

#include <gtest/gtest.h>

#include <random>

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

extern const unsigned char kCaptionFont[];
extern const std::size_t kCaptionFontSize;

namespace {

constexpr float kPixels = 15;

struct Font
{
    explicit Font(const uint8_t* data)
    {
        EXPECT_TRUE(stbtt_InitFont(&info, data, 0));
        scale = stbtt_ScaleForMappingEmToPixels(&info, kPixels);
    }

    std::vector<uint8_t> Bitmap(char32_t c, int& width, int& height) const
    {
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBox(&info, int(c), scale, scale, &x0, &y0, &x1, &y1);
        width = x1 - x0, height = y1 - y0;
        std::vector<uint8_t> pixels(size_t(std::max(width, 0)) * std::max(height, 0));
        if (!pixels.empty())
            stbtt_MakeCodepointBitmap(&info, pixels.data(), width, height, width, scale, scale, int(c));
        return pixels;
    }

    stbtt_fontinfo info;
    float scale = 0;
};

uint32_t Checksum(const std::vector<uint8_t>& data)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < data.size(); i += 4)
        sum +=
            uint32_t(data[i]) << 24 | uint32_t(data[i + 1]) << 16 | uint32_t(data[i + 2]) << 8 | data[i + 3];
    return sum;
}

TEST(FontSubsetTest, KeptCharactersDrawAsInTheWholeFontAndOthersAreMissing)
{
    const Font whole(kCaptionFont);
    // Letters, accented letters (composites of two glyphs), punctuation, Greek, Cyrillic, arrows, a
    // character beyond the Basic Multilingual Plane and one the font does not have.
    std::vector<char32_t> pool;
    for (char32_t c = 0x20; c < 0x250; ++c)
        pool.push_back(c);
    for (const char32_t c :
         {0x391u, 0x3B1u, 0x416u, 0x436u, 0x2013u, 0x201Cu, 0x20ACu, 0x2192u, 0x1D400u, 0x65E5u})
        pool.push_back(c);
    std::mt19937 random{3};
    for (int round = 0; round < 12; ++round) {
        std::set<char32_t> kept;
        for (int n = round * 7; n > 0; --n)
            kept.insert(pool[random() % pool.size()]);
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(kept.size()) + " characters");
        const auto subset = SubsetFont(kCaptionFont, kCaptionFontSize, kept, "Flickmere Caption");
        ASSERT_TRUE(subset) << subset.Error().text;
        EXPECT_EQ(subset->size() % 4, 0u);
        EXPECT_EQ(Checksum(*subset), 0xB1B0AFBAu) << "the checksum adjustment in head";
        const Font cut(subset->data());
        for (const char32_t c : pool) {
            const bool has = stbtt_FindGlyphIndex(&whole.info, int(c)) != 0;
            EXPECT_EQ(stbtt_FindGlyphIndex(&cut.info, int(c)) != 0, has && kept.count(c)) << std::hex << c;
            if (!has || !kept.count(c))
                continue;
            int w1, h1, w2, h2;
            EXPECT_TRUE(whole.Bitmap(c, w1, h1) == cut.Bitmap(c, w2, h2)) << std::hex << c;
            EXPECT_EQ(w1, w2);
            int advance1, bearing1, advance2, bearing2;
            stbtt_GetCodepointHMetrics(&whole.info, int(c), &advance1, &bearing1);
            stbtt_GetCodepointHMetrics(&cut.info, int(c), &advance2, &bearing2);
            EXPECT_EQ(advance1, advance2) << std::hex << c;
            EXPECT_EQ(bearing1, bearing2) << std::hex << c;
            for (const char32_t next : kept)
                EXPECT_EQ(stbtt_GetCodepointKernAdvance(&whole.info, int(c), int(next)),
                          stbtt_GetCodepointKernAdvance(&cut.info, int(c), int(next)))
                    << std::hex << c << " " << next;
        }
    }
}

TEST(FontSubsetTest, AFontThatIsNotOneIsRefused)
{
    std::vector<uint8_t> broken(kCaptionFont, kCaptionFont + 4096); // the table directory, no tables
    EXPECT_FALSE(SubsetFont(broken.data(), broken.size(), {U'a'}, "X"));
    EXPECT_FALSE(SubsetFont(broken.data(), 10, {U'a'}, "X"));
}

} // namespace
