#include "export/codec/ApngEncoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
const char kIhdr[] = "IHDR";
const char kPlte[] = "PLTE";
const char kTrns[] = "tRNS";
const char kActl[] = "acTL";
const char kFctl[] = "fcTL";
const char kIdat[] = "IDAT";
const char kFdat[] = "fdAT";
const char kIend[] = "IEND";

constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kColourTypeRgb = 2;
constexpr uint8_t kColourTypeIndexed = 3;
constexpr uint8_t kColourTypeRgba = 6;
constexpr uint8_t kTransparentEntry = 0;
constexpr size_t kColourCount = size_t{1} << 24;
constexpr uint8_t kDisposeOpNone = 0;
constexpr size_t kDeflateStep = size_t{1} << 16;

enum : uint8_t
{
    kFilterNone,
    kFilterSub,
    kFilterUp,
    kFilterAverage,
    kFilterPaeth,
    kFilterCount
};

// Screenshots are mostly flat areas and repeated detail: the default level finds those nearly as well
// as the highest (5 % larger files on the benchmark's sessions), in half the time.
constexpr int kCompressionLevel = Z_DEFAULT_COMPRESSION;

// PNG stores its numbers big-endian, unlike the bitmap files and the template.
void AppendBigEndian32(std::vector<uint8_t>& out, uint32_t v)
{
    const uint8_t bytes[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    out.insert(out.end(), bytes, bytes + 4);
}

void AppendBigEndian16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// A filtered byte taken as a signed value, as the heuristic counts it.
uint32_t Cost(int difference)
{
    return static_cast<uint32_t>(std::abs(int8_t(uint8_t(difference))));
}

// What a filter predicts for a byte from its left (a), upper (b) and upper-left (c) neighbours.
int Predict(int filter, int a, int b, int c)
{
    switch (filter) {
    case kFilterSub:
        return a;
    case kFilterUp:
        return b;
    case kFilterAverage:
        return (a + b) >> 1;
    case kFilterPaeth:
        return Paeth(a, b, c);
    default:
        return 0;
    }
}

} // namespace

CColourCensus::CColourCensus() : m_seen(kColourCount / 64) {}

void CColourCensus::Add(uint32_t rgb)
{
    uint64_t& word = m_seen[rgb >> 6];
    const uint64_t bit = uint64_t{1} << (rgb & 63);
    if (word & bit)
        return;
    word |= bit;
    if (m_palette.size() <= kMaxPaletteColours)
        m_palette.push_back(rgb);
}

void CColourCensus::Add(const uint8_t* rgb, size_t pixels)
{
    for (size_t i = 0; i < pixels; ++i, rgb += 3)
        Add(uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2]);
}

bool CColourCensus::UnusedColour(uint32_t& rgb) const
{
    for (size_t w = 0; w < m_seen.size(); ++w)
        if (m_seen[w] != ~uint64_t{0})
            for (uint32_t bit = 0; bit < 64; ++bit)
                if (!(m_seen[w] & (uint64_t{1} << bit))) {
                    rgb = static_cast<uint32_t>(w * 64 + bit);
                    return true;
                }
    return false;
}

CApngEncoder::CApngEncoder(int width, int height, uint32_t frameCount, uint32_t plays,
                           const CColourCensus& colours, Sink sink)
    : m_width(width), m_height(height), m_frameCount(frameCount), m_sink(std::move(sink))
{
    uint8_t colourType = kColourTypeRgba;
    if (colours.Indexed()) {
        m_format = Format::Indexed;
        m_bytesPerPixel = 1;
        colourType = kColourTypeIndexed;
    } else if (colours.UnusedColour(m_key)) {
        m_format = Format::RgbKey;
        m_bytesPerPixel = 3;
        colourType = kColourTypeRgb;
    }
    m_ok = m_sink(kSignature, sizeof kSignature);
    std::vector<uint8_t> header;
    AppendBigEndian32(header, static_cast<uint32_t>(width));
    AppendBigEndian32(header, static_cast<uint32_t>(height));
    header.insert(header.end(),
                  {kBitDepth, colourType, 0 /* deflate */, 0 /* adaptive filtering */, 0 /* no interlace */});
    WriteChunk(kIhdr, header);
    std::vector<uint8_t> control;
    AppendBigEndian32(control, frameCount);
    AppendBigEndian32(control, plays);
    WriteChunk(kActl, control);
    if (m_format == Format::Indexed) {
        std::vector<uint8_t> palette{0, 0, 0}; // the transparent entry
        for (uint32_t rgb : colours.Palette()) {
            m_index.emplace_back(rgb, static_cast<uint8_t>(palette.size() / 3));
            palette.insert(palette.end(), {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
        }
        std::sort(m_index.begin(), m_index.end());
        WriteChunk(kPlte, palette);
        // Entries past the end of tRNS are opaque.
        WriteChunk(kTrns, {0});
    } else if (m_format == Format::RgbKey) {
        std::vector<uint8_t> key;
        for (int shift : {16, 8, 0})
            AppendBigEndian16(key, uint16_t((m_key >> shift) & 0xFF));
        WriteChunk(kTrns, key);
    }
}

void CApngEncoder::Convert(const uint8_t* rgba, int width, uint8_t* out) const
{
    if (m_format == Format::Indexed) {
        // Screens have long runs of one colour: the last one found is tried first.
        uint32_t lastRgb = 0;
        uint8_t lastEntry = kTransparentEntry;
        bool last = false;
        for (int x = 0; x < width; ++x, rgba += 4) {
            if (rgba[3] == 0) {
                *out++ = kTransparentEntry;
                continue;
            }
            const uint32_t rgb = uint32_t{rgba[0]} << 16 | uint32_t{rgba[1]} << 8 | rgba[2];
            if (!last || rgb != lastRgb) {
                const auto found =
                    std::lower_bound(m_index.begin(), m_index.end(), std::make_pair(rgb, uint8_t{0}));
                lastEntry = found != m_index.end() && found->first == rgb ? found->second : kTransparentEntry;
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
        const uint32_t shown =
            rgba[3] == 0 ? m_key : uint32_t{rgba[0]} << 16 | uint32_t{rgba[1]} << 8 | rgba[2];
        *out++ = uint8_t(shown >> 16), *out++ = uint8_t(shown >> 8), *out++ = uint8_t(shown);
    }
}

// Each row is scored under every filter type by the sum of its filtered bytes taken as signed values,
// and kept under the lowest: a cheap guess at what deflate will compress best. The row above the
// first is zero, as every frame is decoded as a picture of its own. Rows go to zlib one at a time, so
// that no more than two rows of the frame are held unfiltered.
bool CApngEncoder::Compress(int width, int height, const RowSource& rows,
                            std::vector<uint8_t>& deflated) const
{
    const size_t bytesPerPixel = m_bytesPerPixel;
    const size_t rowBytes = size_t(width) * bytesPerPixel;
    std::vector<uint8_t> rgba(size_t(width) * 4), row(rowBytes), above(rowBytes, 0), out(rowBytes + 1);
    z_stream stream{};
    if (deflateInit(&stream, kCompressionLevel) != Z_OK)
        return false;
    deflated.clear();
    int status = Z_OK;
    for (int y = 0; y < height && status == Z_OK; ++y) {
        rows(y, rgba.data());
        Convert(rgba.data(), width, row.data());
        uint32_t sums[kFilterCount] = {};
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= bytesPerPixel ? row[i - bytesPerPixel] : 0;
            const int b = above[i];
            const int c = i >= bytesPerPixel ? above[i - bytesPerPixel] : 0;
            sums[kFilterNone] += Cost(row[i]);
            sums[kFilterSub] += Cost(row[i] - a);
            sums[kFilterUp] += Cost(row[i] - b);
            sums[kFilterAverage] += Cost(row[i] - ((a + b) >> 1));
            sums[kFilterPaeth] += Cost(row[i] - Paeth(a, b, c));
        }
        // Palette entries are names, not amounts: their differences predict nothing, and rows of
        // indexes left unfiltered compress best (a sixth smaller on the benchmark's typing session).
        int best = kFilterNone;
        for (int f = kFilterSub; f < kFilterCount && m_format != Format::Indexed; ++f)
            if (sums[f] < sums[best])
                best = f;
        out[0] = static_cast<uint8_t>(best);
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= bytesPerPixel ? row[i - bytesPerPixel] : 0;
            const int c = i >= bytesPerPixel ? above[i - bytesPerPixel] : 0;
            out[1 + i] = uint8_t(row[i] - Predict(best, a, above[i], c));
        }
        row.swap(above);
        stream.next_in = out.data();
        stream.avail_in = static_cast<uInt>(out.size());
        const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
        do {
            const size_t at = deflated.size();
            deflated.resize(at + kDeflateStep);
            stream.next_out = deflated.data() + at;
            stream.avail_out = static_cast<uInt>(kDeflateStep);
            status = deflate(&stream, flush);
            deflated.resize(at + kDeflateStep - stream.avail_out);
        } while (status == Z_OK && (stream.avail_in > 0 || (flush == Z_FINISH && stream.avail_out == 0)));
    }
    deflateEnd(&stream);
    deflated.shrink_to_fit();
    return status == Z_STREAM_END;
}

bool CApngEncoder::AddFrame(const Region& region, uint16_t delayNum, uint16_t delayDen, BlendOp blend,
                            const std::vector<uint8_t>& deflated)
{
    const bool first = m_framesAdded == 0;
    if (m_framesAdded == m_frameCount || region.left < 0 || region.top < 0 || region.Width() < 1 ||
        region.Height() < 1 || region.right >= m_width || region.bottom >= m_height ||
        (first && (region.Width() != m_width || region.Height() != m_height || blend != BlendOp::Source)))
        return false;

    std::vector<uint8_t> control;
    AppendBigEndian32(control, m_sequence++);
    AppendBigEndian32(control, static_cast<uint32_t>(region.Width()));
    AppendBigEndian32(control, static_cast<uint32_t>(region.Height()));
    AppendBigEndian32(control, static_cast<uint32_t>(region.left));
    AppendBigEndian32(control, static_cast<uint32_t>(region.top));
    AppendBigEndian16(control, delayNum);
    AppendBigEndian16(control, delayDen);
    control.push_back(kDisposeOpNone);
    control.push_back(static_cast<uint8_t>(blend));
    WriteChunk(kFctl, control);

    // The first frame's data is the IDAT of a still PNG; the later ones go into fdAT chunks, which put
    // the next sequence number before the zlib stream.
    std::vector<uint8_t> sequence;
    if (!first)
        AppendBigEndian32(sequence, m_sequence++);
    WriteChunk(first ? kIdat : kFdat, sequence, deflated);
    ++m_framesAdded;
    return m_ok;
}

bool CApngEncoder::Finish()
{
    if (m_framesAdded != m_frameCount)
        return false;
    WriteChunk(kIend, {});
    return m_ok;
}

// Length, type, data (`head` then `body`) and the CRC, which covers the type and the data.
bool CApngEncoder::WriteChunk(const char* type, const std::vector<uint8_t>& head,
                              const std::vector<uint8_t>& body)
{
    std::vector<uint8_t> start;
    AppendBigEndian32(start, static_cast<uint32_t>(head.size() + body.size()));
    start.insert(start.end(), type, type + 4);
    start.insert(start.end(), head.begin(), head.end());
    uLong crc = crc32(crc32(0, Z_NULL, 0), start.data() + 4, static_cast<uInt>(start.size() - 4));
    if (!body.empty()) // zlib answers a fresh start for no buffer
        crc = crc32(crc, body.data(), static_cast<uInt>(body.size()));
    std::vector<uint8_t> end;
    AppendBigEndian32(end, static_cast<uint32_t>(crc));
    m_ok = m_ok && m_sink(start.data(), start.size()) && (body.empty() || m_sink(body.data(), body.size())) &&
           m_sink(end.data(), end.size());
    return m_ok;
}
