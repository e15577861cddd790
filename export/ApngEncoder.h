#pragma once
// An animated PNG built in memory, frame by frame. Every frame is a rectangle cut from a picture the
// size of the canvas and shown at the same place, over what the frames before it left (dispose op NONE,
// blend op SOURCE), so a frame needs to hold only what changed. 8-bit RGB; every row is filtered with
// the filter that gives it the smallest sum of absolute differences, then deflated with zlib.
#include "common/Region.h"

#include <cstdint>
#include <vector>

class CApngEncoder
{
public:
    // `frameCount` is the number of AddFrame calls to come; `plays` 0 loops for ever.
    CApngEncoder(int width, int height, uint32_t frameCount, uint32_t plays);

    // `canvas` holds width x height RGB pixels, top row first. The first frame must be the whole
    // canvas: it is also the still picture that viewers without animation show. A delay of 0 shows
    // the next frame at once. False when zlib fails, or when the frame breaks these rules.
    bool AddFrame(const uint8_t* canvas, const Region& region, uint16_t delayNum, uint16_t delayDen);

    // The complete file, handed over; false unless exactly `frameCount` frames were added.
    bool Finish(std::vector<uint8_t>& png);

private:
    void FilterRows(const uint8_t* canvas, const Region& region);
    bool AppendDeflated(bool firstFrame);

    int m_width;
    int m_height;
    uint32_t m_frameCount;
    uint32_t m_framesAdded = 0;
    uint32_t m_sequence = 0; // fcTL and fdAT chunks share one count
    std::vector<uint8_t> m_png;
    std::vector<uint8_t> m_filtered; // the frame's rows, each behind its filter type byte
};
