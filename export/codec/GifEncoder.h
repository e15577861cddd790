#pragma once
// An animated GIF written frame by frame. Each frame is a rectangle with its own colour table, drawn
// over what the frames before it left; its transparent entry, if it has one, leaves what was there.
// After its time a frame stays, or its rectangle goes back to what it was before the frame.
#include "common/Region.h"
#include "common/Result.h"
#include "export/codec/ByteSink.h"

#include <cstdint>
#include <vector>

struct GifFrame
{
    Region region;
    uint16_t delay = 0; // hundredths of a second
    bool revert = false;
    std::vector<uint32_t> colours; // its own table, 0xRRGGBB, at most 256; empty for the global table's
    int transparent = -1;          // the entry that leaves the pixel as it was; -1 for none
    std::vector<uint8_t> indexes;  // the rectangle's pixels, rows top first
};

class CGifEncoder
{
public:
    // `loop`: play for ever, else once.
    CGifEncoder(int width, int height, bool loop, ByteSink sink);

    // The table that frames without one of their own use, at most 256 colours; before the first frame.
    void SetGlobalColours(std::vector<uint32_t> colours);

    // The first frame must be the whole canvas. Fails when the sink failed or the frame does not fit.
    [[nodiscard]] CResult<void> AddFrame(const GifFrame& frame);
    [[nodiscard]] CResult<void> Finish();

private:
    void Put(const std::vector<uint8_t>& bytes);
    void PutHeader();

    int m_width;
    int m_height;
    bool m_loop;
    std::vector<uint32_t> m_global;
    uint32_t m_framesAdded = 0;
    ByteSink m_sink;
    bool m_ok = true;
};
