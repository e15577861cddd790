#pragma once
// An animated PNG written chunk by chunk as its frames come. Every frame is a rectangle of the canvas
// shown over what the frames before it left (dispose op NONE): with blend op SOURCE it replaces the
// rectangle, with OVER its transparent pixels leave what was there. Every row is filtered with the
// filter that gives it the smallest sum of absolute differences, then deflated with zlib.
//
// The colour type is one for the whole file, as IHDR is: indexed (PLTE, with entry 0 transparent in
// tRNS) where the whole animation has at most 255 colours, else RGB with one colour it never shows
// made transparent by tRNS, else RGBA.
#include "common/Region.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

enum class BlendOp : uint8_t
{
    Source = 0,
    Over = 1,
};

// The colours an animation shows, gathered before it is written, and the pixel format they allow.
class CColourCensus
{
public:
    CColourCensus();
    void Add(const uint8_t* rgb, size_t pixels);
    void Add(uint32_t rgb);

    // At most 255 colours: the palette, in the order they were met.
    bool Indexed() const { return m_palette.size() <= kMaxPaletteColours; }
    const std::vector<uint32_t>& Palette() const { return m_palette; }
    // A colour the animation never shows; false when it shows all of them.
    bool UnusedColour(uint32_t& rgb) const;

    static constexpr size_t kMaxPaletteColours = 255; // entry 0 is the transparent one

private:
    std::vector<uint64_t> m_seen; // one bit per 24-bit colour
    std::vector<uint32_t> m_palette;
};

class CApngEncoder
{
public:
    // Takes every byte of the file in order; false stops the encoder.
    using Sink = std::function<bool(const uint8_t* bytes, size_t size)>;
    // Fills row y (0 at the frame's top) of a frame with its RGBA pixels.
    using RowSource = std::function<void(int y, uint8_t* rgba)>;

    // `frameCount` is the number of AddFrame calls to come; `plays` 0 loops for ever; `colours` holds
    // every colour the frames will show.
    CApngEncoder(int width, int height, uint32_t frameCount, uint32_t plays, const CColourCensus& colours,
                 Sink sink);

    // The filtered and deflated rows of a frame of width x height pixels, for AddFrame; the caller may
    // compress a frame in several ways and keep the smallest.
    bool Compress(int width, int height, const RowSource& rows, std::vector<uint8_t>& deflated) const;

    // Writes the frame. The first one must be the whole canvas with blend op SOURCE: it is also the still
    // picture that viewers without animation show. False when the sink failed, or when the frame breaks
    // these rules.
    bool AddFrame(const Region& region, uint16_t delayNum, uint16_t delayDen, BlendOp blend,
                  const std::vector<uint8_t>& deflated);

    // Ends the file; false unless exactly `frameCount` frames were added and every write succeeded.
    bool Finish();

private:
    bool WriteChunk(const char* type, const std::vector<uint8_t>& head,
                    const std::vector<uint8_t>& body = {});
    // One row of RGBA pixels in the file's pixel format.
    void Convert(const uint8_t* rgba, int width, uint8_t* out) const;

    enum class Format
    {
        Indexed,
        RgbKey,
        Rgba,
    };
    Format m_format = Format::Rgba;
    int m_bytesPerPixel = 4;
    std::vector<std::pair<uint32_t, uint8_t>> m_index; // palette entry by colour, sorted, when indexed
    uint32_t m_key = 0;                                // the transparent colour of the RGB format

    int m_width;
    int m_height;
    uint32_t m_frameCount;
    uint32_t m_framesAdded = 0;
    uint32_t m_sequence = 0; // fcTL and fdAT chunks share one count
    Sink m_sink;
    bool m_ok = true;
};
