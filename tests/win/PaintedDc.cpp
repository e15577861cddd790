#include "PaintedDc.h"

namespace wintest {

CPaintedDc::CPaintedDc(int width, int height, const std::function<uint32_t(int, int)>& colour)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CWindowDc screen = CWindowDc::FromGetDC(nullptr);
    m_bitmap.Reset(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = colour(x, y);
    m_dc.Reset(::CreateCompatibleDC(screen.Get()));
    m_selection = std::make_unique<CSelection>(m_dc.Get(), m_bitmap.Get());
}

} // namespace wintest
