#include "harness/DemoTargetClient.h"

#include "harness/WindowSearch.h"

#include "DemoScene.h"
#include "common/win32/Handles.h"

#include <string>

namespace e2e {

CDemoTarget::CDemoTarget(int left, int top, bool menuBar, bool thirtyTwoBit)
{
    const char* program = thirtyTwoBit ? "FlickmereDemoTarget32.exe" : "FlickmereDemoTarget.exe";
    std::string command =
        "\"" + BinDir() + "\\" + program + "\" " + std::to_string(left) + " " + std::to_string(top);
    if (menuBar)
        command += std::string(" ") + kDemoMenuArgument;
    m_process = std::make_unique<CProcess>(command);
    WaitUntil(
        [&] {
            m_window = FindWindowOf(m_process->Id(), [](HWND w) { return WindowText(w) == kDemoTitle; });
            return m_window != nullptr;
        },
        30s);
    if (!m_window)
        return;
    const DemoScene scene;
    const int right = scene.width - 1, bottom = scene.height - 1;
    WaitUntilShown({{0, 0, DemoPixel(scene, 0, 0)}, {right, bottom, DemoPixel(scene, right, bottom)}});
}

CDemoTarget::~CDemoTarget()
{
    Close();
}

void CDemoTarget::Close()
{
    if (m_process)
        m_process->End(m_window);
    m_process.reset();
}

void CDemoTarget::AddSquare(int x, int y, uint32_t colour) const
{
    SendWithTimeout(m_window, kDemoAddSquare, MAKEWPARAM(x, y), colour);
    WaitUntilShown({{x, y, colour}, {x + kDemoSquareSize - 1, y + kDemoSquareSize - 1, colour}});
}

void CDemoTarget::WaitUntilShown(std::initializer_list<ShownPixel> pixels) const
{
    // Wine hands a window's new pixels to the display a moment after the window painted them, and a
    // grab in between sees only part of the change.
    const CWindowDc screen = CWindowDc::FromGetDC(nullptr);
    WaitUntil([&] {
        for (const ShownPixel& pixel : pixels) {
            POINT point{pixel.x, pixel.y};
            ::ClientToScreen(m_window, &point);
            const uint32_t c = pixel.colour;
            if (::GetPixel(screen.Get(), point.x, point.y) !=
                RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF))
                return false;
        }
        return true;
    });
}

void CDemoTarget::Clear() const
{
    SendWithTimeout(m_window, kDemoClear);
}

void CDemoTarget::Fill(uint32_t colour) const
{
    SendWithTimeout(m_window, kDemoFill, 0, colour);
    RECT client;
    ::GetClientRect(m_window, &client);
    WaitUntilShown({{0, 0, colour}, {client.right - 1, client.bottom - 1, colour}});
}

int CDemoTarget::MenuRequests() const
{
    return static_cast<int>(SendWithTimeout(m_window, kDemoMenuEvents));
}

} // namespace e2e
