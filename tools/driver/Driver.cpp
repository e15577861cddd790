#include "Driver.h"

#include "DemoScene.h"
#include "TemplateKit.h"
#include "common/File.h"
#include "common/win32/Handles.h"
#include "res/resource.h"

#include <shellapi.h>

#include <cstring>
#include <utility>

namespace e2e {

namespace {

constexpr UINT kSendTimeoutMs = 5000;

struct FindContext
{
    DWORD processId;
    std::function<bool(HWND)> accept;
    bool visibleOnly;
    HWND found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM lParam)
{
    auto* context = reinterpret_cast<FindContext*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != context->processId || (context->visibleOnly && !::IsWindowVisible(window)) ||
        !context->accept(window))
        return TRUE;
    context->found = window;
    return FALSE;
}

HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& accept, bool visibleOnly = true)
{
    FindContext context{processId, accept, visibleOnly};
    ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

bool IsDialogClass(HWND window)
{
    char name[32] = "";
    ::GetClassNameA(window, name, sizeof name);
    return std::string(name) == "#32770";
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

// Asked in UTF-16: Wine hands another process's list texts back in UTF-16 even to the ANSI call.
std::string ListText(HWND list, UINT lengthMessage, UINT textMessage, int index)
{
    const LRESULT length = ::SendMessageW(list, lengthMessage, index, 0);
    if (length < 0)
        return {};
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(list, textMessage, index, reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(std::wcslen(wide.c_str()));
    std::string text(wide.size() * 2 + 1, '\0');
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                            text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(bytes > 0 ? bytes : 0);
    return text;
}

struct IconSearch
{
    HWND icon = nullptr;
};

BOOL CALLBACK FindIconChild(HWND child, LPARAM lParam)
{
    char name[16] = "";
    ::GetClassNameA(child, name, sizeof name);
    const LONG_PTR style = ::GetWindowLongPtrA(child, GWL_STYLE);
    if (_stricmp(name, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON && ::IsWindowVisible(child)) {
        reinterpret_cast<IconSearch*>(lParam)->icon = child;
        return FALSE;
    }
    return TRUE;
}

// Icon handles are per process under Wine, so the icon is told by its colours on the screen: the
// error icon is red, the warning icon yellow, the information icon blue.
BoxIcon ClassifyIcon(HWND box)
{
    IconSearch search;
    ::EnumChildWindows(box, FindIconChild, reinterpret_cast<LPARAM>(&search));
    if (!search.icon)
        return BoxIcon::None;
    RECT rect;
    ::GetWindowRect(search.icon, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return BoxIcon::None;
    const CWindowDc screen = CWindowDc::FromGetDC(nullptr);
    int red = 0, yellow = 0, blue = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF c = ::GetPixel(screen.Get(), x, y);
            const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (r > 160 && g < 110 && b < 110)
                ++red;
            else if (r > 170 && g > 140 && b < 100)
                ++yellow;
            else if (b > 150 && r < 120)
                ++blue;
        }
    }
    if (red >= yellow && red >= blue && red > 10)
        return BoxIcon::Error;
    if (yellow >= blue && yellow > 10)
        return BoxIcon::Warning;
    if (blue > 10)
        return BoxIcon::Information;
    return BoxIcon::None;
}

} // namespace

void Pump(std::chrono::milliseconds duration)
{
    WaitUntil([] { return false; }, duration);
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::string BinDir()
{
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/"));
}

std::string AppDir()
{
    char dir[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableA("FLICKMERE_APP_DIR", dir, sizeof dir);
    return length > 0 && length < sizeof dir ? std::string(dir, length) : BinDir();
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    DWORD_PTR ignored;
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                          kSendTimeoutMs, &ignored);
    return text;
}

CWorkDir::CWorkDir(const WorkDirOptions& options)
{
    static int counter = 0;
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    m_path = std::string(temp) + "flickmere-e2e-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(counter++);
    ::CreateDirectoryA(m_path.c_str(), nullptr);
    ::CopyFileA((AppDir() + "\\Flickmere.exe").c_str(), File("Flickmere.exe").c_str(), FALSE);
    if (options.hookDll) {
        for (const char* name : {"HookDll.dll", "HookDll32.dll", "FlickmereHook32.exe"})
            ::CopyFileA((AppDir() + "\\" + name).c_str(), File(name).c_str(), FALSE);
    }
    if (options.templateKit) {
        TemplateKitOptions kit;
        kit.capacity = options.capacity;
        std::string error;
        WriteTemplateKit(m_path, kit, error);
    }
}

CWorkDir::~CWorkDir()
{
    SHFILEOPSTRUCTA op{};
    std::string from = m_path + '\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationA(&op);
}

void CWorkDir::Write(const std::string& name, const std::string& bytes) const
{
    CFile file(File(name).c_str(), "wb");
    if (file)
        std::fwrite(bytes.data(), 1, bytes.size(), file.Get());
}

void CWorkDir::Remove(const std::string& name) const
{
    ::DeleteFileA(File(name).c_str());
}

int CWorkDir::Pictures(int session) const
{
    WIN32_FIND_DATAA found;
    const std::string pattern = File("session" + std::to_string(session) + "\\imageBMP*.bmp");
    const HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return count;
}

CProcess::CProcess(std::string commandLine, const std::string& workDir)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         workDir.empty() ? nullptr : workDir.c_str(), &startup, &m_info))
        ::CloseHandle(std::exchange(m_info.hThread, nullptr));
    else
        m_info = {};
}

CProcess::~CProcess()
{
    End();
    if (m_info.hProcess)
        ::CloseHandle(m_info.hProcess);
}

bool CProcess::Running() const
{
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> CProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    if (!m_info.hProcess || !WaitUntil([&] { return !Running(); }, timeout))
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

void CProcess::End(HWND window)
{
    if (!Running())
        return;
    if (window) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_info.hProcess, 5000) == WAIT_OBJECT_0)
            return;
    }
    ::TerminateProcess(m_info.hProcess, 99);
    ::WaitForSingleObject(m_info.hProcess, 5000);
}

CApp::CApp(const std::string& workDir)
{
    // The popup opens centred on the mouse and stays on top: keep it clear of the demo targets, which
    // sit near the screen's top-left corner.
    ::SetCursorPos(1100, 950);
    m_process = std::make_unique<CProcess>("\"" + workDir + "\\Flickmere.exe\"", workDir);
}

HWND CApp::WaitForDialog(std::chrono::milliseconds timeout)
{
    WaitUntil(
        [&] {
            m_dialog = FindWindowOf(ProcessId(), [](HWND w) {
                return IsDialogClass(w) && ::GetDlgItem(w, IDC_CAPTURE) != nullptr;
            });
            return m_dialog != nullptr;
        },
        timeout);
    return m_dialog;
}

HWND CApp::Popup() const
{
    // Visible or not: Escape hides the popup.
    return FindWindowOf(
        ProcessId(), [](HWND w) { return ::GetDlgItem(w, IDC_FRAME_EDIT) != nullptr; }, false);
}

void CApp::WaitForHandlers() const
{
    // The dialog answers a sent message only between two handlers, so whatever handler is running
    // (a capture step writing its files, say) has finished when this returns.
    DWORD_PTR ignored;
    ::SendMessageTimeoutA(m_dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

std::optional<MessageBoxInfo> CApp::WaitForMessageBox(std::chrono::milliseconds timeout)
{
    HWND box = nullptr;
    WaitUntil(
        [&] {
            box = FindWindowOf(ProcessId(), [](HWND w) {
                return IsDialogClass(w) && !::GetDlgItem(w, IDC_CAPTURE) &&
                       !::GetDlgItem(w, IDC_FRAME_EDIT) && !::GetDlgItem(w, IDC_ABOUT_TEXT) &&
                       ::GetDlgItem(w, 0xFFFF);
            });
            return box != nullptr;
        },
        timeout);
    if (!box)
        return std::nullopt;
    Pump(200ms); // let the box paint its icon before its pixels are read
    MessageBoxInfo info;
    info.window = box;
    info.caption = WindowText(box);
    info.text = WindowText(::GetDlgItem(box, 0xFFFF));
    info.icon = ClassifyIcon(box);
    return info;
}

void CApp::AssignKey(int index, bool shift, bool ctrl, bool alt) const
{
    Send(Control(IDC_KEY_LIST), LB_SETCURSEL, index);
    SetCheck(IDC_SHIFT, shift);
    SetCheck(IDC_CTRL, ctrl);
    SetCheck(IDC_ALT, alt);
    Click(IDC_ASSIGN_KEY);
}

bool CApp::StartCapture(const std::string& title) const
{
    if (!SelectListEntry(IDC_WINDOW_LIST, title) || !WaitUntil([&] { return Enabled(IDC_CAPTURE); }))
        return false;
    Click(IDC_CAPTURE);
    return WaitUntil([&] { return Text(IDC_CAPTURE) == "Uncapture"; });
}

std::optional<DWORD> CApp::Close()
{
    ::PostMessageA(m_dialog, WM_CLOSE, 0, 0);
    return WaitForExit();
}

void CApp::CloseMessageBox(const MessageBoxInfo& box)
{
    const int button = ::GetDlgItem(box.window, IDOK) ? IDOK : IDCANCEL;
    ::PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box.window, button)));
    WaitUntil([&] { return !::IsWindow(box.window); }, 5s);
}

std::string CApp::Text(int id) const
{
    return WindowText(Control(id));
}

std::string CApp::Title() const
{
    return WindowText(m_dialog);
}

void CApp::Click(int id) const
{
    ::PostMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
}

std::vector<std::string> CApp::ListItems(int id) const
{
    std::vector<std::string> items;
    const int count = static_cast<int>(Send(Control(id), LB_GETCOUNT));
    for (int i = 0; i < count; ++i)
        items.push_back(ListText(Control(id), LB_GETTEXTLEN, LB_GETTEXT, i));
    return items;
}

int CApp::ListSelection(int id) const
{
    return static_cast<int>(Send(Control(id), LB_GETCURSEL));
}

bool CApp::SelectListEntry(int id, const std::string& text) const
{
    const auto items = ListItems(id);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            Send(Control(id), LB_SETCURSEL, i);
            ::PostMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(Control(id)));
            return true;
        }
    }
    return false;
}

std::vector<std::string> CApp::ComboItems(int id) const
{
    std::vector<std::string> items;
    const int count = static_cast<int>(Send(Control(id), CB_GETCOUNT));
    for (int i = 0; i < count; ++i)
        items.push_back(ListText(Control(id), CB_GETLBTEXTLEN, CB_GETLBTEXT, i));
    return items;
}

void CApp::SelectCombo(int id, int index) const
{
    Send(Control(id), CB_SETCURSEL, index);
    ::PostMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Control(id)));
}

void CApp::SetCheck(int id, bool checked) const
{
    Send(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

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
    Send(m_window, kDemoAddSquare, MAKEWPARAM(x, y), colour);
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
    Send(m_window, kDemoClear);
}

void CDemoTarget::Fill(uint32_t colour) const
{
    Send(m_window, kDemoFill, 0, colour);
    RECT client;
    ::GetClientRect(m_window, &client);
    WaitUntilShown({{0, 0, colour}, {client.right - 1, client.bottom - 1, colour}});
}

int CDemoTarget::MenuRequests() const
{
    return static_cast<int>(Send(m_window, kDemoMenuEvents));
}

void Activate(HWND window)
{
    ::SetForegroundWindow(window);
    ::BringWindowToTop(window);
    WaitUntil([&] { return ::GetForegroundWindow() == window; }, 3s);
    Pump(100ms);
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void PressKey(WORD key, bool shift, bool ctrl, bool alt)
{
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, bool up) { inputs.push_back(KeyInput(vk, up)); };
    const WORD modifiers[] = {static_cast<WORD>(ctrl ? VK_CONTROL : 0), static_cast<WORD>(alt ? VK_MENU : 0),
                              static_cast<WORD>(shift ? VK_SHIFT : 0)};
    for (WORD m : modifiers)
        if (m)
            add(m, false);
    add(key, false);
    add(key, true);
    const auto send = [&] {
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        inputs.clear();
        Pump(50ms);
    };
    // Released in one batch with the key, the modifiers would reach the application before anything
    // the hook sends in reply to the key.
    send();
    for (int i = 2; i >= 0; --i)
        if (modifiers[i])
            add(modifiers[i], true);
    if (!inputs.empty())
        send();
}

} // namespace e2e
