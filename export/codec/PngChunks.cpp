#include "export/codec/PngChunks.h"

#include <zlib.h>

namespace {

constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kDeflateMethod = 0;
constexpr uint8_t kAdaptiveFiltering = 0;
constexpr uint8_t kNoInterlace = 0;

} // namespace

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

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

// The CRC covers the type and the data.
bool WritePngChunk(const ByteSink& sink, const char* type, const std::vector<uint8_t>& head,
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
    return sink(start.data(), start.size()) && (body.empty() || sink(body.data(), body.size())) &&
           sink(end.data(), end.size());
}

std::vector<uint8_t> PngHeader(int width, int height, uint8_t colourType)
{
    std::vector<uint8_t> header;
    AppendBigEndian32(header, static_cast<uint32_t>(width));
    AppendBigEndian32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {kBitDepth, colourType, kDeflateMethod, kAdaptiveFiltering, kNoInterlace});
    return header;
}
