#include "export/codec/GifEncoder.h"

#include "export/codec/GifLzw.h"

#include <algorithm>
#include <utility>

namespace {

const char kHeader[] = "GIF89a";
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kBlockEnd = 0;
constexpr size_t kMaxSubBlock = 255;
constexpr uint8_t kTableFlag = 0x80;
constexpr size_t kMaxColours = 256;
constexpr uint8_t kTransparentFlag = 0x01;
constexpr uint8_t kDisposeKeep = 1;
constexpr uint8_t kDisposeRestorePrevious = 3;
constexpr int kMinCodeSize = 2;

void Append16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

// The colour table's size as GIF stores it, 2^(bits) entries with bits from 1 to 8.
int TableBits(size_t colours)
{
    int bits = 1;
    while ((size_t{1} << bits) < colours)
        ++bits;
    return bits;
}

// The table padded to its 2^bits entries.
void AppendTable(std::vector<uint8_t>& out, const std::vector<uint32_t>& colours, int bits)
{
    if (colours.empty())
        return;
    for (size_t i = 0; i < (size_t{1} << bits); ++i) {
        const uint32_t rgb = i < colours.size() ? colours[i] : 0;
        out.insert(out.end(), {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
    }
}

} // namespace

CGifEncoder::CGifEncoder(int width, int height, bool loop, ByteSink sink)
    : m_width(width), m_height(height), m_loop(loop), m_sink(std::move(sink))
{
}

void CGifEncoder::SetGlobalColours(std::vector<uint32_t> colours)
{
    m_global = std::move(colours);
}

void CGifEncoder::PutHeader()
{
    std::vector<uint8_t> head(kHeader, kHeader + 6);
    Append16(head, uint32_t(m_width));
    Append16(head, uint32_t(m_height));
    const int globalBits = m_global.empty() ? 0 : TableBits(m_global.size());
    head.push_back(m_global.empty() ? 0 : uint8_t(kTableFlag | (globalBits - 1)));
    head.insert(head.end(), {0 /* background */, 0 /* aspect */});
    AppendTable(head, m_global, globalBits);
    if (m_loop) {
        // The application extension that browsers read as a loop count; 0 is for ever.
        const char application[] = "NETSCAPE2.0";
        head.insert(head.end(), {kExtension, kApplicationLabel, 11});
        head.insert(head.end(), application, application + 11);
        head.insert(head.end(), {3, 1, 0, 0, kBlockEnd});
    }
    Put(head);
}

CResult<void> CGifEncoder::AddFrame(const GifFrame& frame)
{
    const Region& r = frame.region;
    const bool first = m_framesAdded == 0;
    const std::vector<uint32_t>& table = frame.colours.empty() ? m_global : frame.colours;
    if (r.left < 0 || r.top < 0 || r.Width() < 1 || r.Height() < 1 || r.right >= m_width ||
        r.bottom >= m_height || table.empty() || table.size() > kMaxColours ||
        frame.indexes.size() != size_t(r.Width()) * r.Height() ||
        (first && (r.Width() != m_width || r.Height() != m_height)))
        return Fail("frame " + std::to_string(m_framesAdded + 1) + " does not fit the animation");

    if (first)
        PutHeader();
    std::vector<uint8_t> out{kExtension, kGraphicControlLabel, 4};
    out.push_back(uint8_t((frame.revert ? kDisposeRestorePrevious : kDisposeKeep) << 2 |
                          (frame.transparent >= 0 ? kTransparentFlag : 0)));
    Append16(out, frame.delay);
    out.push_back(uint8_t(std::max(frame.transparent, 0)));
    out.push_back(kBlockEnd);

    const int bits = TableBits(table.size());
    out.push_back(kImageSeparator);
    for (int v : {r.left, r.top, r.Width(), r.Height()})
        Append16(out, uint32_t(v));
    out.push_back(frame.colours.empty() ? 0 : uint8_t(kTableFlag | (bits - 1)));
    if (!frame.colours.empty())
        AppendTable(out, frame.colours, bits);
    const int codeSize = std::max(bits, kMinCodeSize);
    out.push_back(uint8_t(codeSize));
    const std::vector<uint8_t> codes = LzwEncode(frame.indexes.data(), frame.indexes.size(), codeSize);
    for (size_t at = 0; at < codes.size(); at += kMaxSubBlock) {
        const size_t size = std::min(kMaxSubBlock, codes.size() - at);
        out.push_back(uint8_t(size));
        out.insert(out.end(), codes.begin() + at, codes.begin() + at + size);
    }
    out.push_back(kBlockEnd);
    Put(out);
    ++m_framesAdded;
    if (!m_ok)
        return Fail("frame " + std::to_string(m_framesAdded) + " could not be written");
    return {};
}

CResult<void> CGifEncoder::Finish()
{
    if (m_framesAdded == 0)
        return Fail("the animation has no frame");
    Put({kTrailer});
    if (!m_ok)
        return Fail("the animation could not be completed");
    return {};
}

void CGifEncoder::Put(const std::vector<uint8_t>& bytes)
{
    m_ok = m_ok && m_sink(bytes.data(), bytes.size());
}
