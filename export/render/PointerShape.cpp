#include "export/render/PointerShape.h"

#include <algorithm>

namespace {

// 'X' edge, 'o' fill, anything else see-through; the tip is the top-left pixel.
const char* const kArrow[kPointerHeight] = {
    "X           ", //
    "XX          ", //
    "XoX         ", //
    "XooX        ", //
    "XoooX       ", //
    "XooooX      ", //
    "XoooooX     ", //
    "XooooooX    ", //
    "XoooooooX   ", //
    "XooooooooX  ", //
    "XoooooooooX ", //
    "XooooooXXXXX", //
    "XoooXooX    ", //
    "XooXXooX    ", //
    "XoX  XooX   ", //
    "XX   XooX   ", //
    "X     XooX  ", //
    "      XooX  ", //
    "       XX   ", //
};

constexpr uint8_t kEdgeRgb[3] = {uint8_t(kPointerEdgeRgb >> 16), uint8_t(kPointerEdgeRgb >> 8),
                                 uint8_t(kPointerEdgeRgb)};
constexpr uint8_t kFillRgb[3] = {uint8_t(kPointerFillRgb >> 16), uint8_t(kPointerFillRgb >> 8),
                                 uint8_t(kPointerFillRgb)};

// Each horizontal run of one colour becomes a one-pixel-high rectangle.
std::string PathOf(PointerPixel colour)
{
    std::string path;
    for (int y = 0; y < kPointerHeight; ++y)
        for (int x = 0; x < kPointerWidth;) {
            if (PointerAt(x, y) != colour) {
                ++x;
                continue;
            }
            int end = x;
            while (end < kPointerWidth && PointerAt(end, y) == colour)
                ++end;
            path += "M" + std::to_string(x) + " " + std::to_string(y) + "h" + std::to_string(end - x) +
                    "v1h-" + std::to_string(end - x) + "z";
            x = end;
        }
    return path;
}

} // namespace

PointerPixel PointerAt(int x, int y)
{
    if (x < 0 || y < 0 || x >= kPointerWidth || y >= kPointerHeight)
        return PointerPixel::None;
    switch (kArrow[y][x]) {
    case 'X':
        return PointerPixel::Edge;
    case 'o':
        return PointerPixel::Fill;
    default:
        return PointerPixel::None;
    }
}

std::string PointerSvg(const char* id)
{
    const std::string w = std::to_string(kPointerWidth), h = std::to_string(kPointerHeight);
    return std::string("<svg id=\"") + id + "\" width=\"" + w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w +
           " " + h + "\" shape-rendering=\"crispEdges\" aria-hidden=\"true\"><path fill=\"#000\" d=\"" +
           PathOf(PointerPixel::Edge) + "\"/><path fill=\"#fff\" d=\"" + PathOf(PointerPixel::Fill) +
           "\"/></svg>";
}

bool PointerRegion(CursorPoint cursor, int stageWidth, int stageHeight, Region& region)
{
    // 64-bit: a cursor record may hold any 32-bit position.
    const int64_t left = std::max<int64_t>(cursor.x, 0);
    const int64_t top = std::max<int64_t>(cursor.y, 0);
    const int64_t right = std::min<int64_t>(int64_t{cursor.x} + kPointerWidth, stageWidth) - 1;
    const int64_t bottom = std::min<int64_t>(int64_t{cursor.y} + kPointerHeight, stageHeight) - 1;
    if (right < left || bottom < top)
        return false;
    region = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
    return true;
}

void DrawPointer(uint8_t* stage, int stageWidth, int stageHeight, CursorPoint cursor)
{
    Region box;
    if (!PointerRegion(cursor, stageWidth, stageHeight, box))
        return;
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) {
            const PointerPixel pixel = PointerAt(x - cursor.x, y - cursor.y);
            if (pixel != PointerPixel::None)
                std::copy_n(pixel == PointerPixel::Edge ? kEdgeRgb : kFillRgb, 3,
                            stage + (size_t(y) * stageWidth + x) * 3);
        }
}
