#include "BmpReader.h"

#include "common/File.h"
#include "common/LittleEndian.h"
#include "output/DibFile.h"

#include <cstring>

namespace {

// Far beyond any window grab; keeps a corrupt header from asking for gigabytes.
constexpr int32_t kMaxSide = 32768;
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;

} // namespace

bool DecodeBmp(const uint8_t* data, size_t size, RgbImage& image, std::string& error)
{
    if (size < kFileHeaderBytes + sizeof(DibHeader)) {
        error = "too short for a bitmap header (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (data[0] != 'B' || data[1] != 'M') {
        error = "not a bitmap (no \"BM\" signature)";
        return false;
    }
    const uint32_t pixelOffset = Get32(data + 10);
    const uint8_t* info = data + kFileHeaderBytes;
    // Later header versions (V4, V5) only append fields; the 12-byte OS/2 header has 16-bit sizes.
    const uint32_t headerSize = Get32(info);
    if (headerSize < sizeof(DibHeader)) {
        error = "unsupported bitmap header of " + std::to_string(headerSize) + " bytes";
        return false;
    }
    const int32_t width = static_cast<int32_t>(Get32(info + 4));
    const int32_t height = static_cast<int32_t>(Get32(info + 8));
    const uint16_t bitCount = Get16(info + 14);
    const uint32_t compression = Get32(info + 16);
    if (bitCount != 24 || compression != kBiRgb) {
        error = "only 24-bit uncompressed (BI_RGB) bitmaps are supported, this one has " +
                std::to_string(bitCount) + " bits per pixel and compression " + std::to_string(compression);
        return false;
    }
    if (width <= 0 || height == 0 || width > kMaxSide || height > kMaxSide || height < -kMaxSide ||
        uint64_t(width) * uint64_t(height < 0 ? -height : height) > kMaxPixels) {
        error = "unusable size " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    const bool topDown = height < 0;
    const int rows = topDown ? -height : height;
    const uint32_t rowBytes = DibRowBytes(width, 24);
    const uint64_t needed = uint64_t{pixelOffset} + uint64_t{rowBytes} * rows;
    if (pixelOffset < uint64_t{kFileHeaderBytes} + headerSize || needed > size) {
        error = "pixel data cut short: needs " + std::to_string(needed) + " bytes, the file has " +
                std::to_string(size);
        return false;
    }

    image.width = width;
    image.height = rows;
    image.rgb.assign(size_t(width) * rows * 3, 0);
    for (int y = 0; y < rows; ++y) {
        const int fileRow = topDown ? y : rows - 1 - y;
        const uint8_t* in = data + pixelOffset + size_t(fileRow) * rowBytes;
        uint8_t* out = image.rgb.data() + size_t(y) * width * 3;
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return true;
}

bool ReadBmpFile(const std::filesystem::path& path, RgbImage& image, std::string& error)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path.string().c_str(), bytes)) {
        error = "cannot be read";
        return false;
    }
    return DecodeBmp(bytes.data(), bytes.size(), image, error);
}
