#include "ApngEncoder.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace {

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
const char kIhdr[] = "IHDR";
const char kActl[] = "acTL";
const char kFctl[] = "fcTL";
const char kIdat[] = "IDAT";
const char kFdat[] = "fdAT";
const char kIend[] = "IEND";

constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kColourTypeRgb = 2;
constexpr int kBytesPerPixel = 3;
constexpr uint8_t kDisposeOpNone = 0;
constexpr uint8_t kBlendOpSource = 0;

enum : uint8_t
{
    kFilterNone,
    kFilterSub,
    kFilterUp,
    kFilterAverage,
    kFilterPaeth,
    kFilterCount
};

// Screenshots are mostly flat areas and repeated detail: the default level finds those as well as the
// highest, in far less time.
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

void PatchBigEndian32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    const uint8_t bytes[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    std::memcpy(out.data() + at, bytes, 4);
}

// Opens a chunk: length to be filled in by CloseChunk, then the type.
size_t OpenChunk(std::vector<uint8_t>& out, const char* type)
{
    const size_t start = out.size();
    AppendBigEndian32(out, 0);
    out.insert(out.end(), type, type + 4);
    return start;
}

// The CRC covers the type and the data, not the length.
void CloseChunk(std::vector<uint8_t>& out, size_t start)
{
    const size_t dataBytes = out.size() - start - 8;
    PatchBigEndian32(out, start, static_cast<uint32_t>(dataBytes));
    const uLong crc = crc32(crc32(0, Z_NULL, 0), out.data() + start + 4, static_cast<uInt>(dataBytes + 4));
    AppendBigEndian32(out, static_cast<uint32_t>(crc));
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

CApngEncoder::CApngEncoder(int width, int height, uint32_t frameCount, uint32_t plays)
    : m_width(width), m_height(height), m_frameCount(frameCount)
{
    m_png.assign(kSignature, kSignature + sizeof kSignature);
    size_t chunk = OpenChunk(m_png, kIhdr);
    AppendBigEndian32(m_png, static_cast<uint32_t>(width));
    AppendBigEndian32(m_png, static_cast<uint32_t>(height));
    const uint8_t rest[] = {kBitDepth, kColourTypeRgb, 0 /* deflate */, 0 /* adaptive filtering */,
                            0 /* no interlace */};
    m_png.insert(m_png.end(), rest, rest + sizeof rest);
    CloseChunk(m_png, chunk);
    chunk = OpenChunk(m_png, kActl);
    AppendBigEndian32(m_png, frameCount);
    AppendBigEndian32(m_png, plays);
    CloseChunk(m_png, chunk);
}

bool CApngEncoder::AddFrame(const uint8_t* canvas, const Region& region, uint16_t delayNum, uint16_t delayDen)
{
    const bool first = m_framesAdded == 0;
    if (m_framesAdded == m_frameCount || region.left < 0 || region.top < 0 || region.Width() < 1 ||
        region.Height() < 1 || region.right >= m_width || region.bottom >= m_height ||
        (first && (region.Width() != m_width || region.Height() != m_height)))
        return false;

    const size_t chunk = OpenChunk(m_png, kFctl);
    AppendBigEndian32(m_png, m_sequence++);
    AppendBigEndian32(m_png, static_cast<uint32_t>(region.Width()));
    AppendBigEndian32(m_png, static_cast<uint32_t>(region.Height()));
    AppendBigEndian32(m_png, static_cast<uint32_t>(region.left));
    AppendBigEndian32(m_png, static_cast<uint32_t>(region.top));
    AppendBigEndian16(m_png, delayNum);
    AppendBigEndian16(m_png, delayDen);
    m_png.push_back(kDisposeOpNone);
    m_png.push_back(kBlendOpSource);
    CloseChunk(m_png, chunk);

    FilterRows(canvas, region);
    if (!AppendDeflated(first))
        return false;
    ++m_framesAdded;
    return true;
}

bool CApngEncoder::Finish(std::vector<uint8_t>& png)
{
    if (m_framesAdded != m_frameCount)
        return false;
    CloseChunk(m_png, OpenChunk(m_png, kIend));
    png = std::move(m_png);
    m_png.clear();
    return true;
}

// Each row is scored under every filter type by the sum of its filtered bytes taken as signed values,
// and kept under the lowest: a cheap guess at what deflate will compress best. The row above the
// first is zero, as every frame is decoded as a picture of its own.
void CApngEncoder::FilterRows(const uint8_t* canvas, const Region& region)
{
    const size_t rowBytes = size_t(region.Width()) * kBytesPerPixel;
    const size_t stride = size_t(m_width) * kBytesPerPixel;
    m_filtered.resize((rowBytes + 1) * region.Height());
    const std::vector<uint8_t> zeros(rowBytes, 0);
    const uint8_t* row = canvas + size_t(region.top) * stride + size_t(region.left) * kBytesPerPixel;
    const uint8_t* above = zeros.data();
    uint8_t* out = m_filtered.data();
    for (int y = 0; y < region.Height(); ++y, above = row, row += stride, out += rowBytes + 1) {
        uint32_t sums[kFilterCount] = {};
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
            const int b = above[i];
            const int c = i >= kBytesPerPixel ? above[i - kBytesPerPixel] : 0;
            sums[kFilterNone] += Cost(row[i]);
            sums[kFilterSub] += Cost(row[i] - a);
            sums[kFilterUp] += Cost(row[i] - b);
            sums[kFilterAverage] += Cost(row[i] - ((a + b) >> 1));
            sums[kFilterPaeth] += Cost(row[i] - Paeth(a, b, c));
        }
        int best = kFilterNone;
        for (int f = kFilterSub; f < kFilterCount; ++f)
            if (sums[f] < sums[best])
                best = f;
        out[0] = static_cast<uint8_t>(best);
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
            const int c = i >= kBytesPerPixel ? above[i - kBytesPerPixel] : 0;
            out[1 + i] = uint8_t(row[i] - Predict(best, a, above[i], c));
        }
    }
}

// The first frame's data is the IDAT of a still PNG; the later ones go into fdAT chunks, which put
// the next sequence number before the zlib stream.
bool CApngEncoder::AppendDeflated(bool firstFrame)
{
    z_stream stream{};
    if (deflateInit(&stream, kCompressionLevel) != Z_OK)
        return false;
    const size_t chunk = OpenChunk(m_png, firstFrame ? kIdat : kFdat);
    if (!firstFrame)
        AppendBigEndian32(m_png, m_sequence++);
    const size_t start = m_png.size();
    const uLong bound = deflateBound(&stream, static_cast<uLong>(m_filtered.size()));
    m_png.resize(start + bound);
    stream.next_in = m_filtered.data();
    stream.avail_in = static_cast<uInt>(m_filtered.size());
    stream.next_out = m_png.data() + start;
    stream.avail_out = static_cast<uInt>(bound);
    const int status = deflate(&stream, Z_FINISH);
    m_png.resize(start + stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        return false;
    CloseChunk(m_png, chunk);
    return true;
}
