#pragma once
// An animated PNG written chunk by chunk as its frames come. Every frame is a rectangle of the canvas
// drawn over what the frames before it left: with blend op SOURCE it replaces the rectangle, with OVER
// its transparent pixels leave what was there. After its time a frame stays (dispose op NONE), or the
// rectangle goes back to what it was before the frame (PREVIOUS).
//
// The pixel format is one for the whole file (CPngPixelFormat), with transparency.
#include "common/Region.h"
#include "common/Result.h"
#include "export/codec/ColourCensus.h"
#include "export/codec/PngChunks.h"
#include "export/codec/PngPixelFormat.h"
#include "export/codec/PngRaster.h"

#include <cstdint>
#include <functional>
#include <vector>

enum class BlendOp : uint8_t
{
    Source = 0,
    Over = 1,
};

enum class DisposeOp : uint8_t
{
    None = 0,
    Previous = 2,
};

struct ApngFrame
{
    Region region;
    uint16_t delayNum = 0;
    uint16_t delayDen = 0;
    DisposeOp dispose = DisposeOp::None;
    BlendOp blend = BlendOp::Source;
};

class CApngEncoder
{
public:
    // Fills row y (0 at the frame's top) of a frame with its RGBA pixels, whose alpha is 0 or 255.
    using RowSource = std::function<void(int y, uint8_t* rgba)>;

    // `frameCount` is the number of AddFrame calls to come; `plays` 0 loops for ever; `colours` holds
    // every colour the frames will show.
    CApngEncoder(int width, int height, uint32_t frameCount, uint32_t plays, const CColourCensus& colours,
                 ByteSink sink);

    // The frame's pixels of width x height, filtered and deflated, for AddFrame: the smallest of
    // `sources`, which show the same over what the frame is drawn on (CompressSmallest).
    CResult<CompressedRows> Compress(int width, int height, const std::vector<RowSource>& sources) const;

    // Writes the frame. The first one must be the whole canvas with blend op SOURCE and dispose op NONE:
    // it is also the still picture that viewers without animation show. Fails when the sink failed, or
    // when the frame breaks these rules.
    [[nodiscard]] CResult<void> AddFrame(const ApngFrame& frame, const std::vector<uint8_t>& deflated);

    // Ends the file; fails unless exactly `frameCount` frames were added and every write succeeded.
    [[nodiscard]] CResult<void> Finish();

private:
    void WriteChunk(const char* type, const std::vector<uint8_t>& head,
                    const std::vector<uint8_t>& body = {});

    CPngPixelFormat m_format;
    int m_width;
    int m_height;
    uint32_t m_frameCount;
    uint32_t m_framesAdded = 0;
    uint32_t m_sequence = 0; // fcTL and fdAT chunks share one count
    ByteSink m_sink;
    bool m_ok = true;
};
