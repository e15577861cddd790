#pragma once
// The colours a picture or an animation shows, gathered before it is written: a PNG's or a GIF's
// palette, and a colour it never shows, for a transparent key.
#include <cstddef>
#include <cstdint>
#include <vector>

class CColourCensus
{
public:
    CColourCensus();
    void Add(const uint8_t* rgb, size_t pixels);
    void Add(uint32_t rgb);

    // Whether there are at most `colours` of them.
    bool AtMost(size_t colours) const { return m_palette.size() <= colours; }
    // The first kMaxPaletteColours colours, in the order they were met (more than that only tells that
    // there are more).
    const std::vector<uint32_t>& Palette() const { return m_palette; }
    // A colour never shown; false when all of them are.
    bool UnusedColour(uint32_t& rgb) const;

    static constexpr size_t kMaxPaletteColours = 256;

private:
    std::vector<uint64_t> m_seen; // one bit per 24-bit colour
    std::vector<uint32_t> m_palette;
};

inline uint32_t PackRgb(const uint8_t* rgb)
{
    return uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2];
}
