#pragma once
// A GIF frame's colour table. A frame of at most `limit` colours keeps them exactly; one with more gets
// `limit` colours chosen for it by median cut, and each pixel the nearest of them. Never dithered:
// dithering turns the flat surfaces of a user interface into noise.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class CGifPalette
{
public:
    // `colours`: every opaque pixel's 0xRRGGBB, repeats included (they weigh the cut).
    CGifPalette(const std::vector<uint32_t>& colours, size_t limit);

    const std::vector<uint32_t>& Colours() const { return m_colours; }
    bool Exact() const { return m_exact; }
    // The entry that shows `rgb`, or the nearest one; `rgb` must be one of the colours given.
    uint8_t Index(uint32_t rgb) const { return m_index.at(rgb); }

private:
    std::vector<uint32_t> m_colours;
    std::unordered_map<uint32_t, uint8_t> m_index;
    bool m_exact = true;
};
