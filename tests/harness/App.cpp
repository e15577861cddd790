#include "harness/App.h"

#include "res/resource.h"

namespace e2e {

namespace {

// Where the popup is kept: clear of the demo targets, which sit near the screen's top-left corner.
constexpr POINT kPopupPlace{1100, 950};

} // namespace

CApp::CApp(const std::string& workDir)
{
    // The popup opens centred on the mouse and stays on top.
    ::SetCursorPos(kPopupPlace.x, kPopupPlace.y);
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
    if (m_dialog)
        KeepPopupAside();
    return m_dialog;
}

void CApp::KeepPopupAside() const
{
    // Under Wine the pointer can still be where the last test left it when the program reads it: a
    // warp can be refused, or undone by a late motion event. The popup, always on top, then covers what
    // the next presses point at. A person would drag it aside.
    const HWND popup = Popup();
    RECT rect{};
    if (!popup || !::GetWindowRect(popup, &rect))
        return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    ::SetWindowPos(popup, nullptr, kPopupPlace.x - width / 2, kPopupPlace.y - height / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
                       ::GetDlgItem(w, kMessageBoxTextId);
            });
            return box != nullptr;
        },
        timeout);
    if (!box)
        return std::nullopt;
    return ReadMessageBox(box);
}

bool CApp::AssignKey(const CaptureKey& key, const std::string& shown) const
{
    SendWithTimeout(Control(IDC_KEY_LIST), LB_SETCURSEL, static_cast<WPARAM>(key.vk - VK_F1));
    SetCheck(IDC_SHIFT, key.shift);
    SetCheck(IDC_CTRL, key.ctrl);
    SetCheck(IDC_ALT, key.alt);
    Click(IDC_ASSIGN_KEY);
    return WaitUntil([&] { return Text(IDC_CURRENT_KEY) == shown; });
}

bool CApp::SelectWindow(const std::string& title) const
{
    return SelectListEntry(IDC_WINDOW_LIST, title) && WaitUntil([&] { return Enabled(IDC_CAPTURE); });
}

bool CApp::StartCapture(const std::string& title) const
{
    if (!SelectWindow(title))
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
    return ListTexts(Control(id), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int CApp::ListSelection(int id) const
{
    return static_cast<int>(SendWithTimeout(Control(id), LB_GETCURSEL));
}

bool CApp::SelectListEntry(int id, const std::string& text) const
{
    const auto items = ListItems(id);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            SendWithTimeout(Control(id), LB_SETCURSEL, i);
            ::PostMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(Control(id)));
            return true;
        }
    }
    return false;
}

std::vector<std::string> CApp::ComboItems(int id) const
{
    return ListTexts(Control(id), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

void CApp::SelectCombo(int id, int index) const
{
    SendWithTimeout(Control(id), CB_SETCURSEL, index);
    ::PostMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Control(id)));
}

void CApp::SetCheck(int id, bool checked) const
{
    SendWithTimeout(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

} // namespace e2e
