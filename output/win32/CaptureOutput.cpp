#include "output/win32/CaptureOutput.h"

#include "app/win32/Handles.h"
#include "output/FatalOutput.h"
#include "output/OutputStep.h"
#include "output/win32/PackedDib.h"

namespace {

class CGdiImageWriter final : public IImageWriter
{
public:
    CGdiImageWriter(HDC grab, HDC work) : m_grab(grab), m_work(work) {}

    void WriteImage(const Region& region, const char* fileName) override
    {
        // A bitmap's bits can only be read while it is not selected into a device context, so the
        // cut-out is selected only for the copy.
        CBitmap cut(::CreateCompatibleBitmap(m_grab, region.Width(), region.Height()));
        {
            CSelection selection(m_work, cut.Get());
            ::BitBlt(m_work, 0, 0, region.Width(), region.Height(), m_grab, region.left, region.top, SRCCOPY);
        }
        CGlobalMemory dib = MakePackedDib(cut.Get(), BI_RGB, 24, nullptr);
        WritePackedDib(fileName, dib.Get());
    }

private:
    HDC m_grab;
    HDC m_work;
};

void ShowFatalOutputBox(const char* message)
{
    ::MessageBoxA(nullptr, message, nullptr, MB_OK | MB_ICONERROR);
}

} // namespace

void WriteCaptureOutput(HDC grab, int count, const CursorPoint& cursor, const Region* regions)
{
    CMemoryDc work(::CreateCompatibleDC(grab));
    CGdiImageWriter writer(grab, work.Get());
    RunOutputStep(count, cursor, regions, writer);
}

void InstallFatalOutputBox()
{
    SetFatalOutputHandler(ShowFatalOutputBox);
}
