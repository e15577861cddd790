// The window capture on a real window of this process, painted with known pixels.
#include "FailingCalls.h"
#include "TestSession.h"
#include "common/File.h"

#include "app/SessionReplies.h"
#include "capture/CaptureState.h"
#include "capture/win32/WindowCapture.h"
#include "output/OffsetTables.h"
#include "state/SessionState.h"
#include "state/win32/SessionWindows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace {

using testfiles::ReadBytes;
using wintest::Call;
using wintest::CFailingCall;

constexpr int kWidth = 120;
constexpr int kHeight = 80;

// Pixels the test window shows: a gradient, and a square the test can move.
struct Scene
{
    int squareX = -100;
    int squareY = -100;
    uint32_t squareColour = 0xE02020;
    // A second square, in another cell of the grid when placed there.
    int otherX = -100;
    int otherY = -100;
    uint32_t Pixel(int x, int y) const
    {
        if (x >= squareX && x < squareX + 10 && y >= squareY && y < squareY + 6)
            return squareColour;
        if (x >= otherX && x < otherX + 4 && y >= otherY && y < otherY + 4)
            return 0x101010;
        return static_cast<uint32_t>((0x40 + x) << 16 | (0x40 + y) << 8 | 0xA0);
    }
} g_scene;

LRESULT CALLBACK PaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return ::DefWindowProcA(window, message, wParam, lParam);
    const CPaintDc dc(window);
    std::vector<uint32_t> pixels(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels[y * kWidth + x] = g_scene.Pixel(x, y);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB};
    ::SetDIBitsToDevice(dc.Get(), 0, 0, kWidth, kHeight, 0, 0, 0, kHeight, pixels.data(), &info,
                        DIB_RGB_COLORS);
    return 0;
}

// The text of the box the dialog shows for `press`, when its caption is `caption`; empty when there is
// no box.
std::string NoticeText(const PressResult& press, const std::string& caption = "Warning")
{
    const std::optional<Notice> notice = ReplyToPress(press, std::numeric_limits<int>::max()).notice;
    if (!notice)
        return "";
    return notice->caption == caption ? notice->text : "caption " + std::string(notice->caption);
}

// The part of `window` that a grab can see, as the platform reports it.
RECT VisibleBox(HWND window)
{
    RECT clip{};
    CWindowDc dc = CWindowDc::FromGetWindowDC(window);
    ::GetClipBox(dc.Get(), &clip);
    return clip;
}

const char kGrabFailedText[] =
    "Could not take the window's picture: Windows is short of graphics resources.\n"
    "Nothing was saved for this key press; the session goes on.";

class WindowCaptureTest : public testsupport::CSessionTest
{
protected:
    void SetUp() override
    {
        CSessionTest::SetUp();
        StartSession(30);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PaintProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "FlickmereCaptureTest";
        ::RegisterClassA(&windowClass);
        const DWORD style = WS_POPUP;
        // Never activated: without a window manager, destroying the active window stalls for seconds.
        m_window =
            ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE, "FlickmereCaptureTest", "capture test", style,
                              200, 150, kWidth, kHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
        ::ShowWindow(m_window, SW_SHOWNOACTIVATE);
        g_scene = Scene{};
        Repaint();
        g_sessionWindows.target = m_window;
    }
    void TearDown() override
    {
        CSessionTest::TearDown();
        ::DestroyWindow(m_window);
    }
    void Repaint()
    {
        ::RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
    }
    // A press that must go as it should: the number of pictures written, or -1 when it found the target
    // gone, and no box to show.
    static int Capture(int x, int y)
    {
        const PressResult step = CaptureTargetWindow(x, y);
        EXPECT_EQ(NoticeText(step), "") << "at (" << x << ", " << y << ")";
        return step.targetGone ? -1 : step.picturesWritten;
    }
    static int32_t Get32(const std::vector<uint8_t>& b, size_t at) { return testfiles::Read32(b, at); }

    HWND m_window = nullptr;
};

TEST_F(WindowCaptureTest, FirstGrabIsWholeThenOnlyTheChange)
{
    EXPECT_EQ(Capture(230, 170), 1);
    EXPECT_EQ(g_session.lastCaptureX, 230);
    const auto whole = ReadBytes(Picture(1));
    ASSERT_EQ(whole.size(), 54u + kWidth * 3 * kHeight);
    EXPECT_EQ(Get32(whole, 18), kWidth);
    EXPECT_EQ(Get32(whole, 22), kHeight);
    // Bottom row first, blue-green-red: the file's first pixel is (0, kHeight - 1).
    const uint32_t corner = g_scene.Pixel(0, kHeight - 1);
    EXPECT_EQ(whole[54] | whole[55] << 8 | whole[56] << 16, static_cast<int>(corner));

    // Cursor points are measured from the window's corner, one pixel in.
    const auto destination = ReadBytes(g_session.destinationFile);
    const std::optional<int32_t> cursorOffset = CursorOffset(1, 1);
    ASSERT_TRUE(cursorOffset);
    EXPECT_EQ(Get32(destination, *cursorOffset), (230 - 200 - 1) * 20);
    EXPECT_EQ(Get32(destination, *cursorOffset + 4), (170 - 150 - 1) * 20);

    // Unchanged: nothing is written and the count stays.
    EXPECT_EQ(Capture(230, 170), 1);
    EXPECT_FALSE(FileExists(Picture(2)));
    EXPECT_EQ(ReadBytes(g_session.destinationFile), destination);

    g_scene.squareX = 33;
    g_scene.squareY = 5;
    Repaint();
    EXPECT_EQ(Capture(201, 151), 2);
    const auto square = ReadBytes(Picture(2));
    ASSERT_EQ(square.size(), 54u + 32 * 6);
    EXPECT_EQ(Get32(square, 18), 10);
    const auto patched = ReadBytes(g_session.destinationFile);
    EXPECT_EQ(Get32(patched, PlacementOffset(2, 1) + 16), 33 * 20);
    EXPECT_EQ(Get32(patched, PlacementOffset(2, 1) + 20), 5 * 20);
}

TEST_F(WindowCaptureTest, WindowLeftOfTheScreenMeasuresTheCursorFromZero)
{
    ::SetWindowPos(m_window, nullptr, -50, -30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Repaint();
    EXPECT_EQ(Capture(10, 20), 1);
    // Exactly the visible part is grabbed. How much of a window beyond the screen's edge counts as
    // visible is the display's business (Wine reports more than the on-screen 70 x 50 pixels).
    const RECT visible = VisibleBox(m_window);
    const auto picture = ReadBytes(Picture(1));
    ASSERT_GE(picture.size(), 54u);
    EXPECT_EQ(Get32(picture, 18), visible.right - visible.left);
    EXPECT_EQ(Get32(picture, 22), visible.bottom - visible.top);
    const auto destination = ReadBytes(g_session.destinationFile);
    const std::optional<int32_t> cursorOffset = CursorOffset(1, 1);
    ASSERT_TRUE(cursorOffset);
    EXPECT_EQ(Get32(destination, *cursorOffset), (10 - 0 - 1) * 20);
    EXPECT_EQ(Get32(destination, *cursorOffset + 4), (20 - 0 - 1) * 20);
}

TEST_F(WindowCaptureTest, InvisibleWindowWarnsAndChangesNothing)
{
    EXPECT_EQ(Capture(210, 160), 1);
    const auto comparison = g_capture.comparison;
    ::ShowWindow(m_window, SW_HIDE);
    Repaint();
    const auto before = ReadBytes(g_session.destinationFile);
    {
        const PressResult step = CaptureTargetWindow(5, 6);
        EXPECT_EQ(step.picturesWritten, 1);
        EXPECT_EQ(NoticeText(step), "Check if the window is visible!");
    }
    EXPECT_EQ(g_session.lastCaptureX, 5);
    EXPECT_EQ(ReadBytes(g_session.destinationFile), before);
    EXPECT_EQ(g_capture.comparison, comparison);
    EXPECT_FALSE(FileExists(Picture(2)));
}

TEST_F(WindowCaptureTest, MinimisedWindowDoesNotBreakTheSession)
{
    EXPECT_EQ(Capture(210, 160), 1);
    ::ShowWindow(m_window, SW_MINIMIZE);
    Repaint();
    // Windows moves a minimised window out of sight: nothing is visible, so the press warns and writes
    // nothing. Wine without a window manager leaves a small iconic frame on the screen instead, whose
    // grab differs in size and is written whole.
    const RECT visible = VisibleBox(m_window);
    const bool nothingVisible = visible.right <= visible.left || visible.bottom <= visible.top;
    std::string box;
    int written;
    {
        const PressResult step = CaptureTargetWindow(5, 6);
        written = step.picturesWritten;
        box = NoticeText(step);
    }
    ::ShowWindow(m_window, SW_RESTORE);
    Repaint();
    if (nothingVisible) {
        EXPECT_EQ(box, "Check if the window is visible!");
        EXPECT_EQ(written, 1);
        // Restored, it is compared with the grab before the warning, the last one that saw it.
        EXPECT_EQ(Capture(5, 6), 1);
        EXPECT_FALSE(FileExists(Picture(2)));
        return;
    }
    EXPECT_EQ(box, "");
    ASSERT_EQ(written, 2);
    const auto iconic = ReadBytes(Picture(2));
    ASSERT_GE(iconic.size(), 54u);
    EXPECT_EQ(Get32(iconic, 18), visible.right - visible.left);
    EXPECT_EQ(Get32(iconic, 22), visible.bottom - visible.top);
    // Restored, its size differs from the iconic grab's, so it is written whole again.
    EXPECT_EQ(Capture(5, 6), 3);
    const auto restored = ReadBytes(Picture(3));
    ASSERT_GE(restored.size(), 54u);
    EXPECT_EQ(Get32(restored, 18), kWidth);
    EXPECT_EQ(Get32(restored, 22), kHeight);
}

TEST_F(WindowCaptureTest, FailedGrabSavesNothingAndTheSessionGoesOn)
{
    // At the session's first press: the next press is the first again and grabs the whole window.
    {
        CFailingCall fails(Call::CreateCompatibleBitmap);
        const PressResult step = CaptureTargetWindow(210, 160);
        EXPECT_EQ(step.picturesWritten, 0);
        EXPECT_EQ(NoticeText(step), kGrabFailedText);
    }
    EXPECT_FALSE(HoldsComparisonImage());
    EXPECT_FALSE(FileExists(Picture(1)));
    EXPECT_EQ(Capture(210, 160), 1);

    g_scene.squareX = 33;
    g_scene.squareY = 5;
    const uint32_t colours[] = {0x20E020, 0x2020E0, 0xE0E020, 0x20E0E0};
    int next = 0;
    for (Call call :
         {Call::CreateCompatibleDC, Call::CreateCompatibleBitmap, Call::BitBlt, Call::GetDIBits}) {
        SCOPED_TRACE(CallName(call));
        const auto comparison = g_capture.comparison;
        const auto destination = ReadBytes(g_session.destinationFile);
        const int written = g_session.imageCounter - 1;
        g_scene.squareColour = colours[next++];
        Repaint();
        {
            CFailingCall fails(call);
            const PressResult step = CaptureTargetWindow(210, 160);
            EXPECT_EQ(step.picturesWritten, written);
            EXPECT_EQ(NoticeText(step), kGrabFailedText);
            EXPECT_EQ(fails.Failures(), 1);
        }
        EXPECT_FALSE(FileExists(Picture(written + 1)));
        EXPECT_EQ(ReadBytes(g_session.destinationFile), destination);
        EXPECT_EQ(g_capture.comparison, comparison);
        EXPECT_EQ(g_capture.previousWidth, kWidth);
        EXPECT_EQ(g_capture.previousHeight, kHeight);
        // The next press compares with the last good grab: only the square is written.
        EXPECT_EQ(Capture(210, 160), written + 1);
        const auto square = ReadBytes(Picture(written + 1));
        ASSERT_GE(square.size(), 54u);
        EXPECT_EQ(Get32(square, 18), 10);
        EXPECT_EQ(Get32(square, 22), 6);
    }
}

TEST_F(WindowCaptureTest, PictureThatCannotBeWrittenIsNamedOnceAndKeepsItsPlace)
{
    EXPECT_EQ(Capture(210, 160), 1);
    g_scene.squareX = 33;
    g_scene.squareY = 5;
    struct SCase
    {
        Call call;
        int skip; // calls of the grab itself that still go through
    };
    const SCase cases[] = {{Call::CreateCompatibleBitmap, 1},
                           {Call::BitBlt, 1},
                           {Call::GetDIBits, 1},
                           {Call::GlobalAlloc, 0},
                           {Call::GlobalLock, 0}};
    const uint32_t colours[] = {0x20E020, 0x2020E0, 0xE0E020, 0x20E0E0, 0xE020E0};
    int next = 0;
    for (const SCase& c : cases) {
        SCOPED_TRACE(CallName(c.call));
        const int k = g_session.imageCounter;
        g_scene.squareColour = colours[next++];
        Repaint();
        {
            CFailingCall fails(c.call, c.skip);
            const PressResult step = CaptureTargetWindow(210, 160);
            EXPECT_EQ(step.picturesWritten, k);
            EXPECT_EQ(NoticeText(step, "Error!"), "Could not write imageBMP" + std::to_string(k) +
                                                      ".bmp: out of memory, or the disk is full.\n"
                                                      "The session goes on without it.");
        }
        EXPECT_FALSE(FileExists(Picture(k)));
        // Its place in the destination file is patched all the same, so later pictures keep theirs.
        const auto destination = ReadBytes(g_session.destinationFile);
        EXPECT_EQ(Get32(destination, PlacementOffset(k, 1) + 16), 33 * 20);
        EXPECT_EQ(Get32(destination, PlacementOffset(k, 1) + 20), 5 * 20);
    }
    g_scene.squareColour = 0x00FF00;
    Repaint();
    const int k = g_session.imageCounter;
    EXPECT_EQ(Capture(210, 160), k);
    EXPECT_TRUE(FileExists(Picture(k)));
}

// A picture that could not be written is taken again at the next press, though nothing changed since.
TEST_F(WindowCaptureTest, AMissingFirstPictureIsWrittenWholeAtTheNextPress)
{
    {
        CFailingCall fails(Call::GlobalAlloc);
        const PressResult step = CaptureTargetWindow(210, 160);
        EXPECT_EQ(step.picturesWritten, 1);
        EXPECT_EQ(NoticeText(step, "Error!"),
                  "Could not write imageBMP1.bmp: out of memory, or the disk is full.\n"
                  "The session goes on without it.");
    }
    EXPECT_FALSE(FileExists(Picture(1)));
    EXPECT_EQ(Capture(210, 160), 2);
    const auto whole = ReadBytes(Picture(2));
    ASSERT_GE(whole.size(), 54u);
    EXPECT_EQ(Get32(whole, 18), kWidth);
    EXPECT_EQ(Get32(whole, 22), kHeight);
    const auto destination = ReadBytes(g_session.destinationFile);
    EXPECT_EQ(Get32(destination, PlacementOffset(2, 1) + 16), 0);
    // From then on only changes are written.
    EXPECT_EQ(Capture(210, 160), 2);
}

TEST_F(WindowCaptureTest, AMissingChangeIsWrittenAtTheNextPressAndOnlyIt)
{
    EXPECT_EQ(Capture(210, 160), 1);
    g_scene.squareX = 33;
    g_scene.squareY = 5;
    g_scene.otherX = 100;
    g_scene.otherY = 70;
    Repaint();
    {
        // The first of the two pictures is written, the second is not.
        CFailingCall fails(Call::GlobalAlloc, 1);
        const PressResult step = CaptureTargetWindow(210, 160);
        EXPECT_EQ(step.picturesWritten, 3);
        EXPECT_EQ(NoticeText(step, "Error!"),
                  "Could not write imageBMP3.bmp: out of memory, or the disk is full.\n"
                  "The session goes on without it.");
    }
    ASSERT_TRUE(FileExists(Picture(2)));
    EXPECT_EQ(Get32(ReadBytes(Picture(2)), 18), 10);
    EXPECT_FALSE(FileExists(Picture(3)));

    EXPECT_EQ(Capture(210, 160), 4);
    const auto retaken = ReadBytes(Picture(4));
    ASSERT_GE(retaken.size(), 54u);
    EXPECT_EQ(Get32(retaken, 18), 4);
    EXPECT_EQ(Get32(retaken, 22), 4);
    const auto destination = ReadBytes(g_session.destinationFile);
    EXPECT_EQ(Get32(destination, PlacementOffset(4, 1) + 16), 100 * 20);
    EXPECT_EQ(Get32(destination, PlacementOffset(4, 1) + 20), 70 * 20);
    EXPECT_EQ(Capture(210, 160), 4);
}

TEST_F(WindowCaptureTest, DestroyedTargetIsReportedWithoutAnyBox)
{
    ::DestroyWindow(m_window);
    m_window = nullptr;
    EXPECT_EQ(Capture(1, 2), -1);
    EXPECT_EQ(g_session.lastCaptureX, 0);
    g_sessionWindows.target = nullptr;
    EXPECT_EQ(Capture(1, 2), -1);
}

} // namespace
