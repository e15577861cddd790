// The capture step on a real window, timed under Windows or Wine. Every result is a ratio of medians
// against a baseline measured in the same run:
//  - the whole capture step (capture message to files written) against a bare GetWindowDC + BitBlt +
//    GetDIBits of the same window, for a small change and for a window that changed everywhere;
//  - the 32-bit to 16-bit conversion (GetDIBits) against a memcpy of the 32-bit pixels;
//  - the output step alone against the same bare grab;
//  - the capture step with the steps file (the press's part of the lookup, the record, the file written
//    whole) against the capture step alone, for a small change. The lookup proper runs on its worker
//    between the presses, as it does while the user works.
#include "TestSession.h"
#include "capture/CaptureState.h"
#include "capture/win32/HookLibrary.h"
#include "capture/win32/StepRecorder.h"
#include "capture/win32/WindowCapture.h"
#include "common/win32/Handles.h"
#include "output/OffsetTables.h"
#include "output/win32/CaptureOutput.h"
#include "state/SessionState.h"
#include "state/win32/SessionWindows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kTemplateSlots = 400;
int g_width = 1280;
int g_height = 800;
std::vector<uint32_t> g_pixels;

LRESULT CALLBACK PaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return ::DefWindowProcA(window, message, wParam, lParam);
    const CPaintDc dc(window);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, g_width, -g_height, 1, 32, BI_RGB};
    ::SetDIBitsToDevice(dc.Get(), 0, 0, g_width, g_height, 0, 0, 0, g_height, g_pixels.data(), &info,
                        DIB_RGB_COLORS);
    return 0;
}

double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Median seconds of `runs` timed calls of `work`; `prepare` runs untimed before each.
double Median(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const double start = Now();
        work();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Repaint(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::GdiFlush();
}

void Paint(uint32_t seed)
{
    for (int y = 0; y < g_height; ++y)
        for (int x = 0; x < g_width; ++x)
            g_pixels[static_cast<size_t>(y) * g_width + x] = (x * 7 + y * 13 + seed * 0x30303) & 0xF8F8F8;
}

void BareGrab(HWND window)
{
    CWindowDc dc = CWindowDc::FromGetWindowDC(window);
    RECT clip;
    ::GetClipBox(dc.Get(), &clip);
    const int w = clip.right - clip.left, h = clip.bottom - clip.top;
    CMemoryDc memory(::CreateCompatibleDC(dc.Get()));
    CBitmap bitmap(::CreateCompatibleBitmap(dc.Get(), w, h));
    {
        CSelection selection(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, w, h, dc.Get(), clip.left, clip.top, SRCCOPY);
    }
    std::vector<uint16_t> pixels(static_cast<size_t>(w + (w & 1)) * h);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 16, BI_RGB};
    ::GetDIBits(memory.Get(), bitmap.Get(), 0, h, pixels.data(), &info, DIB_RGB_COLORS);
}

void Report(const char* name, double value, double baseline)
{
    std::printf("  %-52s %8.2f ms  ratio %6.3f\n", name, value * 1000, value / baseline);
}

HWND MakeWindow()
{
    g_pixels.resize(static_cast<size_t>(g_width) * g_height);
    Paint(0);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PaintProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FlickmereBench";
    ::RegisterClassA(&windowClass);
    const HWND window =
        ::CreateWindowExA(WS_EX_NOACTIVATE, "FlickmereBench", "bench", WS_POPUP, 0, 0, g_width, g_height,
                          nullptr, nullptr, windowClass.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    Repaint(window);
    return window;
}

// Keeps the session far from the template's capacity and the pictures from piling up.
void FreshStep()
{
    if (g_session.imageCounter > 300) {
        g_session.imageCounter = 2;
        g_session.patcherSteps = 1;
    }
}

void ChangeALittle(HWND window)
{
    FreshStep();
    for (int y = 300; y < 320; ++y)
        for (int x = 500; x < 600; ++x)
            g_pixels[static_cast<size_t>(y) * g_width + x] ^= 0xF8F8F8;
    Repaint(window);
}

// Answers the lookup worker's calls into this thread's window, and writes the steps file as the dialog
// does after a press.
void Pump(CStepRecorder& steps)
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        CResult<void> written;
        if (!steps.OnMessage(message.message, message.wParam, message.lParam, written))
            ::DispatchMessageA(&message);
    }
}

// The whole capture step against a bare grab; returns the bare grab's time.
double MeasureCaptureStep(HWND window, int runs)
{
    std::printf("Capture step of a %dx%d window, median of %d runs:\n", g_width, g_height, runs);
    const double bare = Median(
        runs, [] {}, [&] { BareGrab(window); });
    CaptureTargetWindow(10, 10); // the first step writes the whole window
    const double small = Median(
        runs, [&] { ChangeALittle(window); }, [&] { CaptureTargetWindow(10, 10); });
    uint32_t seed = 1;
    const double everything = Median(
        runs,
        [&] {
            FreshStep();
            Paint(++seed);
            Repaint(window);
        },
        [&] { CaptureTargetWindow(10, 10); });
    Report("bare grab (GetWindowDC + BitBlt + GetDIBits)", bare, bare);
    Report("capture step, small change (100x20)", small, bare);
    Report("capture step, everything changed", everything, bare);
    return bare;
}

// The conversion on its own, 1920x1080, against copying the same 32-bit pixels.
void MeasureConversion(int runs)
{
    const int w = 1920, h = 1080;
    CWindowDc screen = CWindowDc::FromGetDC(nullptr);
    CBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), w, h));
    std::vector<uint32_t> source(static_cast<size_t>(w) * h, 0x123456), copy(source.size());
    std::vector<uint16_t> converted(static_cast<size_t>(w) * h);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 16, BI_RGB};
    CMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    const double memcpyTime = Median(
        runs, [] {}, [&] { std::memcpy(copy.data(), source.data(), source.size() * 4); });
    const double conversion = Median(
        runs, [] {},
        [&] { ::GetDIBits(memory.Get(), bitmap.Get(), 0, h, converted.data(), &info, DIB_RGB_COLORS); });
    std::printf("32-bit to 16-bit conversion, 1920x1080:\n");
    Report("memcpy of the 32-bit pixels", memcpyTime, memcpyTime);
    Report("GetDIBits to 16 bits", conversion, memcpyTime);
}

// The output step alone, on the window's grab, against the bare grab.
void MeasureOutputStep(HWND window, int runs, double bare)
{
    CWindowDc dc = CWindowDc::FromGetWindowDC(window);
    CMemoryDc memory(::CreateCompatibleDC(dc.Get()));
    CBitmap bitmap(::CreateCompatibleBitmap(dc.Get(), g_width, g_height));
    CSelection selection(memory.Get(), bitmap.Get());
    ::BitBlt(memory.Get(), 0, 0, g_width, g_height, dc.Get(), 0, 0, SRCCOPY);
    const Region smallRegion[] = {{500, 300, 599, 319}};
    const Region quarters[] = {{0, 0, g_width / 2 - 1, g_height / 2 - 1},
                               {0, g_height / 2, g_width / 2 - 1, g_height - 1},
                               {g_width / 2, 0, g_width - 1, g_height / 2 - 1},
                               {g_width / 2, g_height / 2, g_width - 1, g_height - 1}};
    const double outputSmall = Median(runs, FreshStep, [&] {
        WriteCaptureOutput(memory.Get(), 1, CursorPoint{1, 1}, smallRegion);
    });
    const double outputAll = Median(runs, FreshStep, [&] {
        WriteCaptureOutput(memory.Get(), 4, CursorPoint{1, 1}, quarters);
    });
    std::printf("Output step (pictures written, template patched):\n");
    Report("output step, small change (1 picture)", outputSmall, bare);
    Report("output step, everything changed (4 pictures)", outputAll, bare);
}

// The capture step with the steps file against the capture step alone, the pointer over the window.
void MeasureSteps(HWND window, int runs, const std::filesystem::path& folder)
{
    const CHookLibrary noHook;
    CStepRecorder steps;
    steps.Start(window, window, folder / "bench.steps.json", noHook);
    const int x = g_width / 2, y = g_height / 2;
    const double alone = Median(
        runs, [&] { ChangeALittle(window); }, [&] { CaptureTargetWindow(x, y); });
    std::vector<double> writes;
    const double withSteps = Median(
        runs,
        [&] {
            const double start = Now();
            Pump(steps);
            writes.push_back(Now() - start);
            ChangeALittle(window);
        },
        [&] {
            const int first = g_session.imageCounter;
            CaptureTargetWindow(x, y);
            steps.RecordPress(x, y, first, g_session.imageCounter);
        });
    std::sort(writes.begin(), writes.end());
    std::printf("Capture step with the steps file (goal: ratio 1.2 at most):\n");
    Report("capture step alone, small change", alone, alone);
    Report("capture step and the press's part of the steps", withSteps, alone);
    Report("steps file written after the press", writes[writes.size() / 2], alone);
    steps.End(noHook);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    const testfiles::CScratchDir dir;
    std::string error;
    if (!testsupport::StartSessionIn(dir.Path().string(), kTemplateSlots, error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    const HWND window = MakeWindow();
    g_sessionWindows.target = window;
    const double bare = MeasureCaptureStep(window, runs);
    MeasureConversion(runs);
    MeasureOutputStep(window, runs, bare);
    MeasureSteps(window, runs, dir.Path());
    g_sessionWindows.target = nullptr;
    ::DestroyWindow(window);
    return 0;
}
