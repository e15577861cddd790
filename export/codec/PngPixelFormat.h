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
    std::vector<std::pair<uint32_t, uint8_t>> m_index; // palette entry by colour, sorted, when indexed
    bool m_keyed = false;                              // RGB with m_key transparent
    uint32_t m_key = 0;
    std::vector<uint8_t> m_palette;
    std::vector<uint8_t> m_transparency;
};
