#include "common/RgbImage.h"

#include <algorithm>

namespace {

constexpr size_t kPixelBytes = 3;

size_t OffsetOf(const RgbImage& image, int x, int y)
{
    return (size_t(y) * image.width + x) * kPixelBytes;
}

} // namespace

std::vector<uint8_t> CopyOut(const RgbImage& image, const Region& box)
{
    std::vector<uint8_t> pixels;
    if (IsEmpty(box))
        return pixels;
    const size_t rowBytes = size_t(box.Width()) * kPixelBytes;
    pixels.reserve(rowBytes * box.Height());
    for (int y = box.top; y <= box.bottom; ++y) {
        const auto row = image.rgb.begin() + OffsetOf(image, box.left, y);
        pixels.insert(pixels.end(), row, row + rowBytes);
    }
    return pixels;
}

void CopyIn(RgbImage& image, const Region& box, const std::vector<uint8_t>& pixels)
{
    if (IsEmpty(box))
        return;
    const size_t rowBytes = size_t(box.Width()) * kPixelBytes;
    auto in = pixels.begin();
    for (int y = box.top; y <= box.bottom; ++y, in += rowBytes)
        std::copy(in, in + rowBytes, image.rgb.begin() + OffsetOf(image, box.left, y));
}
