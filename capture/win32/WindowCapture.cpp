#include "capture/win32/WindowCapture.h"

#include "capture/CaptureState.h"
#include "common/ChangeDetection.h"
#include "common/win32/Handles.h"
#include "output/win32/CaptureOutput.h"
#include "state/SessionState.h"
#include "state/win32/SessionWindows.h"

#include <new>

namespace {

PressResult Problem(PressProblem problem)
{
    PressResult press;
    press.targetGone = false;
    press.problem = problem;
    return press;
}

} // namespace

PressResult CaptureTargetWindow(int x, int y)
{
    const HWND target = g_sessionWindows.target;
    if (!::IsWindow(target))
        return PressResult{};
    ++g_session.presses;
    g_session.lastCaptureX = x;
    g_session.lastCaptureY = y;
    RECT rect{};
    ::GetWindowRect(target, &rect);
    // Measured from the window's corner, or from the screen's origin for a window that starts left of
    // or above it.
    const int left = rect.left > 0 ? rect.left : 0;
    const int top = rect.top > 0 ? rect.top : 0;
    PressResult press = GrabWindowImage(CursorPoint{x - left - 1, y - top - 1});
    press.picturesWritten = g_session.imageCounter - 1;
    return press;
}

bool MakeComparisonImage(HDC context, HGDIOBJ replaced, std::vector<uint16_t>& pixels, int& stride)
{
    // A bitmap's bits are read while it is not selected into a device context.
    const HGDIOBJ grab = ::SelectObject(context, replaced);
    BITMAP size{};
    if (!grab || !::GetObjectA(grab, sizeof size, &size) || size.bmWidth <= 0 || size.bmHeight <= 0) {
        if (grab)
            ::SelectObject(context, grab);
        return false;
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = -size.bmHeight; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_RGB;

    // 16-bit rows are padded to 4 bytes: an odd width gets one more pixel.
    stride = size.bmWidth + (size.bmWidth & 1);
    bool complete = true;
    try {
        pixels.resize(static_cast<size_t>(stride) * static_cast<size_t>(size.bmHeight));
    } catch (const std::bad_alloc&) {
        complete = false;
    }
    // Rows that GetDIBits did not copy would hold the previous grab's pixels and hide changes.
    if (complete)
        complete = ::GetDIBits(context, static_cast<HBITMAP>(grab), 0, static_cast<UINT>(size.bmHeight),
                               pixels.data(), &info, DIB_RGB_COLORS) == size.bmHeight;
    ::SelectObject(context, grab);
    return complete;
}

PressResult GrabWindowImage(const CursorPoint& cursor)
{
    const HWND target = g_sessionWindows.target;

    // Without the window's device context or its clip box there is nothing to grab: this press writes
    // nothing and the session goes on.
    CWindowDc windowDc = CWindowDc::FromGetWindowDC(target);
    RECT clip{};
    if (!windowDc || ::GetClipBox(windowDc.Get(), &clip) == ERROR) {
        return Problem(PressProblem::GrabFailed);
    }
    const int width = clip.right - clip.left;
    const int height = clip.bottom - clip.top;
    if (width <= 0 || height <= 0) {
        return Problem(PressProblem::WindowNotVisible);
    }

    // A window too large for the memory left, or GDI objects used up: every call below can fail, and
    // then this press saves nothing while the comparison image and the grab size stay as they were.
    CMemoryDc memory(::CreateCompatibleDC(windowDc.Get()));
    CBitmap grab(memory ? ::CreateCompatibleBitmap(windowDc.Get(), width, height) : nullptr);
    if (!grab) {
        return Problem(PressProblem::GrabFailed);
    }
    CSelection selection(memory.Get(), grab.Get());
    const bool copied = selection.Previous() && ::BitBlt(memory.Get(), 0, 0, width, height, windowDc.Get(),
                                                         clip.left, clip.top, SRCCOPY);
    windowDc.Reset();
    std::vector<uint16_t> pixels = std::move(g_capture.spare);
    int stride = 0;
    if (!copied || !MakeComparisonImage(memory.Get(), selection.Previous(), pixels, stride)) {
        g_capture.spare = std::move(pixels);
        selection.Restore();
        return Problem(PressProblem::GrabFailed);
    }

    Region regions[kMaxChangedRegions];
    int count = 1;
    const bool comparable = ComparesWithPrevious(g_session.imageCounter, width, height);
    if (comparable)
        count = DetectChanges(g_capture.comparison.data(), pixels.data(), width, height, stride, regions);
    else
        regions[0] = WholeBox(width, height);
    g_capture.previousWidth = width;
    g_capture.previousHeight = height;

    PressResult press = Problem(PressProblem::None);
    UnwrittenPictures& unwritten = press.unwritten;
    const int firstPicture = g_session.imageCounter;
    if (count > 0)
        unwritten = WriteCaptureOutput(memory.Get(), count, cursor, regions);

    selection.Restore();
    // What was not written must be found again at the next press: a region keeps the pixels it was
    // compared with, and a whole picture that is missing leaves no comparison image at all, so that the
    // next press writes the whole window once more.
    if (comparable)
        for (int i = 0; i < unwritten.count; ++i)
            KeepPreviousPixels(g_capture.comparison.data(), pixels.data(), stride,
                               regions[unwritten.numbers[i] - firstPicture]);
    g_capture.spare = std::move(g_capture.comparison);
    g_capture.comparison = std::move(pixels);
    g_capture.comparisonStride = stride;
    if (!comparable && unwritten.count > 0)
        g_capture.comparison.clear(); // its memory stays for the next grab
    if (unwritten.count > 0)
        press.problem = PressProblem::PicturesNotWritten;
    return press;
}
