#include "export/codec/ColourCensus.h"

namespace {

constexpr size_t kColourCount = size_t{1} << 24;

} // namespace

CColourCensus::CColourCensus() : m_seen(kColourCount / 64) {}

void CColourCensus::Add(uint32_t rgb)
{
    uint64_t& word = m_seen[rgb >> 6];
    const uint64_t bit = uint64_t{1} << (rgb & 63);
    if (word & bit)
        return;
    word |= bit;
    if (m_palette.size() <= kMaxPaletteColours)
        m_palette.push_back(rgb);
}

void CColourCensus::Add(const uint8_t* rgb, size_t pixels)
{
    for (size_t i = 0; i < pixels; ++i, rgb += 3)
        Add(PackRgb(rgb));
}

bool CColourCensus::UnusedColour(uint32_t& rgb) const
{
    for (size_t w = 0; w < m_seen.size(); ++w)
        if (m_seen[w] != ~uint64_t{0})
            for (uint32_t bit = 0; bit < 64; ++bit)
                if (!(m_seen[w] & (uint64_t{1} << bit))) {
                    rgb = static_cast<uint32_t>(w * 64 + bit);
                    return true;
                }
    return false;
}
