// The scripted demo of ./run.sh: starts Flickmere in a working directory together with the demo
// target, records a short session through real key presses, and saves a picture of the dialog with
// its last-session report. Prints what it made, one "name: value" line each.
#include "DemoScene.h"
#include "harness/App.h"
#include "harness/DemoTargetClient.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"
#include "common/File.h"
#include "common/win32/Handles.h"

#include "output/DibFile.h"
#include "res/resource.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace e2e;

// Saves the screen area of `window` as a 24-bit bitmap file.
bool SaveWindowPicture(HWND window, const std::string& path)
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const CWindowDc screen = CWindowDc::FromGetDC(nullptr);
    const CMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    const CBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    {
        // The bitmap's bits are read once it is out of the memory context again.
        CSelection selection(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
    }

    BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB};
    header.biSizeImage = DibRowBytes(width, 24) * height;
    std::vector<uint8_t> block(sizeof header + header.biSizeImage);
    std::memcpy(block.data(), &header, sizeof header);
    ::GetDIBits(screen.Get(), bitmap.Get(), 0, height, block.data() + sizeof header,
                reinterpret_cast<BITMAPINFO*>(block.data()), DIB_RGB_COLORS);
    return WritePackedDib(path.c_str(), block.data(), static_cast<uint32_t>(block.size())) == 1;
}

bool Press(CApp& app, CDemoTarget& target, const std::string& picture, POINT at)
{
    Activate(target.Window());
    RECT rect;
    ::GetWindowRect(target.Window(), &rect);
    ::SetCursorPos(rect.left + at.x, rect.top + at.y);
    PressKey(CaptureKey{VK_F12});
    const bool written = picture.empty() || WaitUntil([&] { return FileExists(picture); }, 10s);
    app.WaitForHandlers();
    return written;
}

int Fail(const char* what)
{
    std::printf("error: %s\n", what);
    return 1;
}

} // namespace

// With a folder for pictures, also saves the dialog at start, the popup and the dialog in German
// (when deutsch.lan is in the working directory), for the user guide.
void SaveGuidePictures(CApp& app, const std::string& folder)
{
    Pump(500ms);
    SaveWindowPicture(app.Dialog(), folder + "\\main-dialog.bmp");
    SaveWindowPicture(app.Popup(), folder + "\\popup.bmp");
    const auto languages = app.ComboItems(IDC_LANGUAGE_LIST);
    for (size_t i = 0; i < languages.size(); ++i) {
        if (languages[i] != "deutsch")
            continue;
        app.SelectCombo(IDC_LANGUAGE_LIST, static_cast<int>(i));
        WaitUntil([&] { return app.Text(IDC_REFRESH) == "Aktualisieren"; });
        Pump(300ms);
        SaveWindowPicture(app.Dialog(), folder + "\\main-dialog-deutsch.bmp");
        app.SelectCombo(IDC_LANGUAGE_LIST, 0);
        WaitUntil([&] { return app.Text(IDC_REFRESH) == "Refresh"; });
    }
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return Fail(
            "usage: FlickmereDemoRun <working directory> [dialog picture] [folder for guide pictures]");
    const std::string workDir = argv[1];
    const std::string shot = argc > 2 ? argv[2] : workDir + "\\dialog.bmp";

    CDemoTarget target(40, 60);
    if (!target.Window())
        return Fail("the demo target did not start");
    CApp app(workDir);
    if (!app.WaitForDialog())
        return Fail("Flickmere did not show its dialog");
    if (argc > 3)
        SaveGuidePictures(app, argv[3]);
    if (!app.SelectListEntry(IDC_WINDOW_LIST, kDemoTitle))
        return Fail("the demo target is not in the window list");
    app.Click(IDC_CAPTURE);
    if (!WaitUntil([&] { return app.Text(IDC_CAPTURE) == "Uncapture"; }))
        return Fail("the session did not start");

    // A new session is numbered one above the highest existing one, so it is the highest now.
    std::string session;
    for (int n = 1; n < 10000; ++n) {
        const std::string dir = workDir + "\\session" + std::to_string(n);
        if (FileExists(dir))
            session = dir;
    }
    const auto picture = [&](int k) { return session + "\\imageBMP" + std::to_string(k) + ".bmp"; };

    bool ok = Press(app, target, picture(1), {60, 80});
    // A square inside one cell of the comparison grid, one across four cells, one more inside a cell.
    target.AddSquare(40, 20, 0xE02020);
    ok = ok && Press(app, target, picture(2), {70, 70});
    target.AddSquare(150, 90, 0x20C040);
    ok = ok && Press(app, target, picture(6), {170, 110});
    target.AddSquare(260, 150, 0x2040E0);
    ok = ok && Press(app, target, picture(7), {280, 170});
    if (!ok)
        return Fail("a key press was not captured");

    app.Click(IDC_CAPTURE);
    if (!WaitUntil([&] { return app.Text(IDC_CAPTURE) == "Capture"; }))
        return Fail("the session did not end");
    Activate(app.Dialog());
    Pump(500ms);
    const bool saved = SaveWindowPicture(app.Dialog(), shot);

    std::printf("session: %s\n", session.c_str());
    std::printf("report: %s\n", app.Text(IDC_LAST_SESSION).c_str());
    if (saved)
        std::printf("dialog picture: %s\n", shot.c_str());
    ::PostMessageA(app.Dialog(), WM_CLOSE, 0, 0);
    app.WaitForExit();
    return 0;
}
