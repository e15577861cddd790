#pragma once
// How a PNG file stores its pixels, one format for the whole file as IHDR has it, chosen from the
// colours it shows: indexed (PLTE) where they fit a palette, else RGB, else RGBA. A file whose pixels
// may be fully transparent (an animation's frames) spends a palette entry on that (entry 0,
// transparent in tRNS), or makes a colour it never shows transparent in tRNS.
#include "export/codec/ColourCensus.h"

#include <cstdint>
#include <utility>
#include <vector>

class CPngPixelFormat
{
public:
    CPngPixelFormat(const CColourCensus& colours, bool transparency);

    uint8_t ColourType() const;
    int BytesPerPixel() const { return m_bytesPerPixel; }
    bool Indexed() const { return m_format == Format::Indexed; }
    // The data of the PLTE and tRNS chunks; empty where the file has none.
    const std::vector<uint8_t>& Palette() const { return m_palette; }
    const std::vector<uint8_t>& Transparency() const { return m_transparency; }

    // A row of RGBA pixels, whose alpha is 0 or 255, in this format.
    void Convert(const uint8_t* rgba, int width, uint8_t* out) const;

private:
    enum class Format
    {
        Indexed,
        Rgb,
        Rgba,
    };
    Format m_format = Format::Rgba;
    int m_bytesPerPixel = 4;
    uint8_t Entry(uint32_t rgb) const;

    // The palette entry of each colour, when indexed: an open-addressed table of kIndexSlots slots,
    // each the colour with kSlotUsed set and its entry; a lookup costs a multiplication, where a search
    // of a sorted list costs eight comparisons, for every change of colour along a row of text.
    static constexpr size_t kIndexSlots = 1024;
    static constexpr uint32_t kSlotUsed = 1u << 24;
    std::vector<uint32_t> m_slotColours;
    std::vector<uint8_t> m_slotEntries;
    bool m_keyed = false; // RGB with m_key transparent
    uint32_t m_key = 0;
    std::vector<uint8_t> m_palette;
    std::vector<uint8_t> m_transparency;
};
