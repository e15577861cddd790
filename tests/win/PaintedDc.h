#pragma once
// A memory device context holding a bitmap with pixels the test chose, for the GDI tests.
#include "common/win32/Handles.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace wintest {

// A 32-bit DIB section of w x h selected into a memory DC, filled by colour(x, y) -> 0x00RRGGBB.
class CPaintedDc
{
public:
    CPaintedDc(int width, int height, const std::function<uint32_t(int, int)>& colour);
    HDC Get() const { return m_dc.Get(); }

private:
    CMemoryDc m_dc;
    CBitmap m_bitmap;
    // Last, so that it puts the previous bitmap back before the bitmap and the context go.
    std::unique_ptr<CSelection> m_selection;
};

} // namespace wintest
