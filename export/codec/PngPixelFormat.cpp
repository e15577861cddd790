#include "export/codec/PngPixelFormat.h"

#include "export/codec/PngChunks.h"

#include <algorithm>

namespace {

constexpr uint8_t kColourTypeRgb = 2;
constexpr uint8_t kColourTypeIndexed = 3;
constexpr uint8_t kColourTypeRgba = 6;
constexpr uint8_t kTransparentEntry = 0;
constexpr uint8_t kOpaque = 0xFF;

// Fibonacci hashing into the table's 1024 slots.
size_t Slot(uint32_t rgb)
{
    return (rgb * 2654435761u) >> 22;
}

} // namespace

uint8_t CPngPixelFormat::Entry(uint32_t rgb) const
{
    for (size_t slot = Slot(rgb);; slot = (slot + 1) % kIndexSlots) {
        if (m_slotColours[slot] == (rgb | kSlotUsed))
            return m_slotEntries[slot];
        if (m_slotColours[slot] == 0)
            return kTransparentEntry;
    }
}

CPngPixelFormat::CPngPixelFormat(const CColourCensus& colours, bool transparency)
{
    const size_t entries = CColourCensus::kMaxPaletteColours - (transparency ? 1 : 0);
    if (colours.AtMost(entries)) {
        m_format = Format::Indexed;
        m_bytesPerPixel = 1;
        if (transparency) {
            m_palette = {0, 0, 0};
            m_transparency = {0}; // entries past the end of tRNS are opaque
        }
        m_slotColours.assign(kIndexSlots, 0);
        m_slotEntries.assign(kIndexSlots, kTransparentEntry);
        for (uint32_t rgb : colours.Palette()) {
            size_t slot = Slot(rgb);
            while (m_slotColours[slot] != 0)
                slot = (slot + 1) % kIndexSlots;
            m_slotColours[slot] = rgb | kSlotUsed;
            m_slotEntries[slot] = static_cast<uint8_t>(m_palette.size() / 3);
            m_palette.insert(m_palette.end(), {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
        }
    } else if (!transparency || colours.UnusedColour(m_key)) {
        m_format = Format::Rgb;
        m_bytesPerPixel = 3;
        m_keyed = transparency;
        if (m_keyed)
            for (int shift : {16, 8, 0})
                AppendBigEndian16(m_transparency, uint16_t((m_key >> shift) & 0xFF));
    }
}

uint8_t CPngPixelFormat::ColourType() const
{
    return m_format == Format::Indexed ? kColourTypeIndexed
           : m_format == Format::Rgb   ? kColourTypeRgb
                                       : kColourTypeRgba;
}

void CPngPixelFormat::Convert(const uint8_t* rgba, int width, uint8_t* out) const
{
    if (m_format == Format::Indexed) {
        // Screens have long runs of one colour: the last one found is tried first.
        uint32_t lastRgb = 0;
        uint8_t lastEntry = kTransparentEntry;
        bool last = false;
        for (int x = 0; x < width; ++x, rgba += 4) {
            if (rgba[3] != kOpaque) {
                *out++ = kTransparentEntry;
                continue;
            }
            const uint32_t rgb = PackRgb(rgba);
            if (!last || rgb != lastRgb) {
                lastEntry = Entry(rgb);
                lastRgb = rgb;
                last = true;
            }
            *out++ = lastEntry;
        }
        return;
    }
    for (int x = 0; x < width; ++x, rgba += 4) {
        if (m_format == Format::Rgba) {
            out = std::copy_n(rgba, 4, out);
            continue;
        }
        const uint32_t shown = rgba[3] != kOpaque && m_keyed ? m_key : PackRgb(rgba);
        *out++ = uint8_t(shown >> 16), *out++ = uint8_t(shown >> 8), *out++ = uint8_t(shown);
    }
}
