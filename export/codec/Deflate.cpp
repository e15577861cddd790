#include "export/codec/Deflate.h"

#include <zlib.h>

namespace {

// The largest window and hash table zlib has.
constexpr int kWindowBits = 15;
constexpr int kMemLevel = 9;
constexpr size_t kOutputStep = size_t{1} << 14;

} // namespace

struct CDeflater::Stream
{
    z_stream z{};
    bool started = false;
};

CDeflater::CDeflater(int level) : m_stream(std::make_unique<Stream>())
{
    m_stream->started =
        deflateInit2(&m_stream->z, level, Z_DEFLATED, kWindowBits, kMemLevel, Z_DEFAULT_STRATEGY) == Z_OK;
    m_ok = m_stream->started;
}

CDeflater::~CDeflater()
{
    if (m_stream->started)
        deflateEnd(&m_stream->z);
}

void CDeflater::Add(const uint8_t* bytes, size_t size)
{
    // zlib reads through a non-const pointer but never writes through it.
    m_stream->z.next_in = const_cast<Bytef*>(bytes);
    m_stream->z.avail_in = static_cast<uInt>(size);
    Run(Z_NO_FLUSH);
}

CResult<std::vector<uint8_t>> CDeflater::Finish()
{
    m_stream->z.next_in = nullptr;
    m_stream->z.avail_in = 0;
    Run(Z_FINISH);
    if (!m_ok)
        return Fail("zlib could not compress the picture");
    m_out.shrink_to_fit();
    return std::move(m_out);
}

// Until zlib has taken all the input (and with Z_FINISH, ended the stream), a step of output at a time.
void CDeflater::Run(int flush)
{
    z_stream& z = m_stream->z;
    uint8_t step[kOutputStep];
    while (m_ok) {
        z.next_out = step;
        z.avail_out = static_cast<uInt>(kOutputStep);
        const int status = deflate(&z, flush);
        const bool roomLeft = z.avail_out > 0;
        m_out.insert(m_out.end(), step, step + (kOutputStep - z.avail_out));
        if (status == Z_STREAM_END || (flush != Z_FINISH && z.avail_in == 0 && roomLeft))
            return;
        // Z_BUF_ERROR with room left: no progress was possible.
        m_ok = status == Z_OK || (status == Z_BUF_ERROR && !roomLeft);
    }
}
