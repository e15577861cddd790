#include "export/take/BmpReader.h"

#include "common/LittleEndian.h"
#include "output/DibFile.h"

namespace {

// Far beyond any window grab; keeps a corrupt header from asking for gigabytes.
constexpr int32_t kMaxSide = 32768;
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;

} // namespace

CResult<> CBmpFile::Open(const std::filesystem::path& path)
{
    std::error_code ec;
    m_file = CFile(path, "rb");
    if (!m_file)
        return Fail(std::filesystem::exists(path, ec) ? "cannot be read" : "missing");
    const uint64_t size = std::filesystem::file_size(path, ec);
    uint8_t data[kFileHeaderBytes + sizeof(DibHeader)];
    if (ec || size < sizeof data || std::fread(data, 1, sizeof data, m_file.Get()) != sizeof data)
        return Fail(ec ? "cannot be read"
                       : "too short for a bitmap header (" + std::to_string(size) + " bytes)");
    if (data[0] != 'B' || data[1] != 'M')
        return Fail("not a bitmap (no \"BM\" signature)");
    const uint32_t pixelOffset = Get32(data + 10);
    const uint8_t* info = data + kFileHeaderBytes;
    // Later header versions (V4, V5) only append fields; the 12-byte OS/2 header has 16-bit sizes.
    const uint32_t headerSize = Get32(info);
    if (headerSize < sizeof(DibHeader))
        return Fail("unsupported bitmap header of " + std::to_string(headerSize) + " bytes");
    const int32_t width = static_cast<int32_t>(Get32(info + 4));
    const int32_t height = static_cast<int32_t>(Get32(info + 8));
    const uint16_t bitCount = Get16(info + 14);
    const uint32_t compression = Get32(info + 16);
    if (bitCount != 24 || compression != kBiRgb)
        return Fail("only 24-bit uncompressed (BI_RGB) bitmaps are supported, this one has " +
                    std::to_string(bitCount) + " bits per pixel and compression " +
                    std::to_string(compression));
    if (width <= 0 || height == 0 || width > kMaxSide || height > kMaxSide || height < -kMaxSide ||
        uint64_t(width) * uint64_t(height < 0 ? -height : height) > kMaxPixels)
        return Fail("unusable size " + std::to_string(width) + " x " + std::to_string(height));
    m_topDown = height < 0;
    m_rows = m_topDown ? -height : height;
    m_width = width;
    m_rowBytes = DibRowBytes(width, 24);
    m_pixelOffset = pixelOffset;
    const uint64_t needed = uint64_t{pixelOffset} + uint64_t{m_rowBytes} * m_rows;
    if (pixelOffset < uint64_t{kFileHeaderBytes} + headerSize || needed > size)
        return Fail("pixel data cut short: needs " + std::to_string(needed) + " bytes, the file has " +
                    std::to_string(size));
    return {};
}

CResult<> CBmpFile::ReadRows(const std::function<void(int y, const uint8_t* rgb)>& row)
{
    std::vector<uint8_t> in(m_rowBytes), out(size_t(m_width) * 3);
    if (!m_file || std::fseek(m_file.Get(), static_cast<long>(m_pixelOffset), SEEK_SET) != 0)
        return Fail("cannot be read");
    for (int fileRow = 0; fileRow < m_rows; ++fileRow) {
        if (std::fread(in.data(), 1, in.size(), m_file.Get()) != in.size())
            return Fail("pixel data cut short");
        for (size_t x = 0; x < out.size(); x += 3) {
            out[x] = in[x + 2];
            out[x + 1] = in[x + 1];
            out[x + 2] = in[x];
        }
        row(m_topDown ? fileRow : m_rows - 1 - fileRow, out.data());
    }
    return {};
}

CResult<RgbImage> ReadBmpFile(const std::filesystem::path& path)
{
    CBmpFile file;
    if (const CResult<> opened = file.Open(path); !opened)
        return opened.Error();
    RgbImage image;
    image.width = file.Width();
    image.height = file.Height();
    image.rgb.assign(size_t(image.width) * image.height * 3, 0);
    const CResult<> read = file.ReadRows([&](int y, const uint8_t* rgb) {
        std::copy_n(rgb, size_t(image.width) * 3, image.rgb.begin() + size_t(y) * image.width * 3);
    });
    if (!read)
        return read.Error();
    return image;
}
