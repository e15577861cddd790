#include "export/codec/Deflate.h"

#include <zlib.h>

namespace {

// The largest window and hash table zlib has.
constexpr int kWindowBits = 15;
constexpr int kMemLevel = 9;

} // namespace

CResult<std::vector<uint8_t>> Deflate(const std::vector<uint8_t>& bytes, int level)
{
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, kWindowBits, kMemLevel, Z_DEFAULT_STRATEGY) != Z_OK)
        return Fail("zlib could not start");
    std::vector<uint8_t> out(deflateBound(&stream, static_cast<uLong>(bytes.size())));
    // zlib reads through a non-const pointer but never writes through it.
    stream.next_in = const_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        return Fail("zlib could not compress " + std::to_string(bytes.size()) + " bytes");
    return out;
}
