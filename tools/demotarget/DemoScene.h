#pragma once
// What the demo target window shows, as a pure function of its state, so that a test can compute every
// pixel a grab of it must hold.
#include <cstdint>
#include <vector>

struct DemoSquare
{
    int x;
    int y;
    uint32_t colour; // 0x00RRGGBB
};

struct DemoScene
{
    int width = 320;
    int height = 200;
    uint32_t fill = 0; // when not 0, the whole window shows this colour
    std::vector<DemoSquare> squares;
};

constexpr int kDemoSquareSize = 20;

// A soft two-way gradient: every pixel of the background differs from its neighbours' 5-bit colours
// only gradually, and no square colour below occurs in it.
inline uint32_t DemoBackground(int x, int y)
{
    const uint32_t r = 0x40 + (x * 0x60) / 320;
    const uint32_t g = 0x40 + (y * 0x60) / 200;
    return r << 16 | g << 8 | 0xA0;
}

inline uint32_t DemoPixel(const DemoScene& scene, int x, int y)
{
    if (scene.fill != 0)
        return scene.fill;
    uint32_t colour = DemoBackground(x, y);
    for (const DemoSquare& s : scene.squares)
        if (x >= s.x && x < s.x + kDemoSquareSize && y >= s.y && y < s.y + kDemoSquareSize)
            colour = s.colour;
    return colour;
}

// Messages the demo target understands (sent by the test harness or run.sh's demo).
enum DemoMessage : unsigned
{
    kDemoAddSquare = 0x8001,  // WM_APP + 1: wParam = MAKEWPARAM(x, y), lParam = colour
    kDemoClear = 0x8002,      // WM_APP + 2: back to the plain background
    kDemoFill = 0x8003,       // WM_APP + 3: lParam = colour over the whole window
    kDemoResize = 0x8004,     // WM_APP + 4: wParam = MAKEWPARAM(width, height) of the client area
    kDemoMenuEvents = 0x8005, // WM_APP + 5: returns how often the window was asked into menu mode
};

// Started with this word after its position, the demo target has a menu bar and counts the requests
// to enter menu mode (SC_KEYMENU, WM_ENTERMENULOOP) instead of entering it.
constexpr const char* kDemoMenuArgument = "menu";

constexpr const char* kDemoTitle = "Flickmere Demo Target";
