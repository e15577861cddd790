#pragma once
// Starts the demo target (tools/demotarget) and changes what it shows through its messages.
#include "harness/Process.h"

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <memory>

namespace e2e {

// The demo target window in its own process.
// Colours of the squares the tests add, 0xRRGGBB.
constexpr uint32_t kRed = 0xE02020;
constexpr uint32_t kGreen = 0x20C040;

class CDemoTarget
{
public:
    // With `menuBar`, the window has one and counts the requests to enter menu mode (MenuRequests);
    // with `thirtyTwoBit`, it is the 32-bit build of the demo target.
    CDemoTarget(int left = 60, int top = 60, bool menuBar = false, bool thirtyTwoBit = false);
    ~CDemoTarget();
    HWND Window() const { return m_window; }
    // The window, and each change, are there once the screen shows them.
    void AddSquare(int x, int y, uint32_t colour) const;
    void Clear() const;
    void Fill(uint32_t colour) const;
    int MenuRequests() const;
    void Close();

private:
    // A pixel of the client area and the colour (0x00RRGGBB) it should show.
    struct ShownPixel
    {
        int x;
        int y;
        uint32_t colour;
    };
    // Waits (a while at most) until the screen shows every one of `pixels`.
    void WaitUntilShown(std::initializer_list<ShownPixel> pixels) const;

    std::unique_ptr<CProcess> m_process;
    HWND m_window = nullptr;
};

} // namespace e2e
