#include "output/win32/CaptureOutput.h"

#include "common/win32/Handles.h"
#include "output/OutputStep.h"
#include "output/win32/PackedDib.h"

#include <new>

namespace {

class CGdiImageWriter final : public IImageWriter
{
public:
    CGdiImageWriter(HDC grab, HDC work) : m_grab(grab), m_work(work) {}

    bool WriteImage(const Region& region, const char* fileName) override
    {
        // Out of memory anywhere on the way loses this one picture, not the capture step.
        try {
            const CGlobalMemory dib = CutOut(region);
            return dib && WritePackedDib(fileName, dib.Get()) == 1;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

private:
    // The region as a 24-bit DIB block; empty when a GDI call or an allocation failed.
    CGlobalMemory CutOut(const Region& region) const
    {
        CBitmap cut(m_work ? ::CreateCompatibleBitmap(m_grab, region.Width(), region.Height()) : nullptr);
        if (!cut)
            return CGlobalMemory();
        // A bitmap's bits can only be read while it is not selected into a device context, so the
        // cut-out is selected only for the copy.
        {
            CSelection selection(m_work, cut.Get());
            if (!selection.Previous() || !::BitBlt(m_work, 0, 0, region.Width(), region.Height(), m_grab,
                                                   region.left, region.top, SRCCOPY))
                return CGlobalMemory();
        }
        return MakePackedDib(cut.Get(), BI_RGB, 24, nullptr);
    }

    HDC m_grab;
    HDC m_work;
};

} // namespace

UnwrittenPictures WriteCaptureOutput(HDC grab, int count, const CursorPoint& cursor, const Region* regions)
{
    CMemoryDc work(::CreateCompatibleDC(grab));
    CGdiImageWriter writer(grab, work.Get());
    return RunOutputStep(count, cursor, regions, writer);
}

