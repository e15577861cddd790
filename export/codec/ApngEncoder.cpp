#include "export/codec/ApngEncoder.h"

#include <utility>

namespace {

const char kIhdr[] = "IHDR";
const char kPlte[] = "PLTE";
const char kTrns[] = "tRNS";
const char kActl[] = "acTL";
const char kFctl[] = "fcTL";
const char kIdat[] = "IDAT";
const char kFdat[] = "fdAT";
const char kIend[] = "IEND";

constexpr bool kWithTransparency = true;

} // namespace

CApngEncoder::CApngEncoder(int width, int height, uint32_t frameCount, uint32_t plays,
                           const CColourCensus& colours, ByteSink sink)
    : m_format(colours, kWithTransparency), m_width(width), m_height(height), m_frameCount(frameCount),
      m_sink(std::move(sink))
{
    m_ok = m_sink(kPngSignature, sizeof kPngSignature);
    WriteChunk(kIhdr, PngHeader(width, height, m_format.ColourType()));
    std::vector<uint8_t> control;
    AppendBigEndian32(control, frameCount);
    AppendBigEndian32(control, plays);
    WriteChunk(kActl, control);
    if (!m_format.Palette().empty())
        WriteChunk(kPlte, m_format.Palette());
    if (!m_format.Transparency().empty())
        WriteChunk(kTrns, m_format.Transparency());
}

CResult<CompressedRows> CApngEncoder::Compress(int width, int height,
                                               const std::vector<RowSource>& sources) const
{
    std::vector<uint8_t> rgba(size_t(width) * 4);
    std::vector<PngRowSource> converted;
    for (const RowSource& rows : sources)
        converted.push_back([&rgba, &rows, width, this](int y, uint8_t* row) {
            rows(y, rgba.data());
            m_format.Convert(rgba.data(), width, row);
        });
    return CompressSmallest({width, height, m_format.BytesPerPixel()}, converted);
}

CResult<void> CApngEncoder::AddFrame(const ApngFrame& frame, const std::vector<uint8_t>& deflated)
{
    const bool first = m_framesAdded == 0;
    const Region& r = frame.region;
    if (m_framesAdded == m_frameCount || r.left < 0 || r.top < 0 || r.Width() < 1 || r.Height() < 1 ||
        r.right >= m_width || r.bottom >= m_height ||
        (first && (r.Width() != m_width || r.Height() != m_height || frame.blend != BlendOp::Source ||
                   frame.dispose != DisposeOp::None)))
        return Fail("frame " + std::to_string(m_framesAdded + 1) + " does not fit the animation");

    std::vector<uint8_t> control;
    AppendBigEndian32(control, m_sequence++);
    AppendBigEndian32(control, static_cast<uint32_t>(r.Width()));
    AppendBigEndian32(control, static_cast<uint32_t>(r.Height()));
    AppendBigEndian32(control, static_cast<uint32_t>(r.left));
    AppendBigEndian32(control, static_cast<uint32_t>(r.top));
    AppendBigEndian16(control, frame.delayNum);
    AppendBigEndian16(control, frame.delayDen);
    control.push_back(static_cast<uint8_t>(frame.dispose));
    control.push_back(static_cast<uint8_t>(frame.blend));
    WriteChunk(kFctl, control);

    // The first frame's data is the IDAT of a still PNG; the later ones go into fdAT chunks, which put
    // the next sequence number before the zlib stream.
    std::vector<uint8_t> sequence;
    if (!first)
        AppendBigEndian32(sequence, m_sequence++);
    WriteChunk(first ? kIdat : kFdat, sequence, deflated);
    ++m_framesAdded;
    if (!m_ok)
        return Fail("frame " + std::to_string(m_framesAdded) + " could not be written");
    return {};
}

CResult<void> CApngEncoder::Finish()
{
    if (m_framesAdded != m_frameCount)
        return Fail("the animation has " + std::to_string(m_framesAdded) + " of its " +
                    std::to_string(m_frameCount) + " frames");
    WriteChunk(kIend, {});
    if (!m_ok)
        return Fail("the animation could not be completed");
    return {};
}

void CApngEncoder::WriteChunk(const char* type, const std::vector<uint8_t>& head,
                              const std::vector<uint8_t>& body)
{
    m_ok = m_ok && WritePngChunk(m_sink, type, head, body);
}
