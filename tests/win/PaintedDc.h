#pragma once
// A memory device context holding a bitmap with pixels the test chose, for the GDI tests.
#include "common/win32/Handles.h"

#include <cstdint>
#include <functional>

namespace wintest {

// A 32-bit DIB section of w x h selected into a memory DC, filled by colour(x, y) -> 0x00RRGGBB.
class CPaintedDc
{
public:
    CPaintedDc(int width, int height, const std::function<uint32_t(int, int)>& colour);
    ~CPaintedDc();
    HDC Get() const { return m_dc.Get(); }

private:
    CMemoryDc m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
};

} // namespace wintest
