#include "harness/WindowSearch.h"

#include "harness/Process.h"

#include "common/win32/Handles.h"

#include <cstring>

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

} // namespace

HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& accept, bool visibleOnly)
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

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    DWORD_PTR ignored;
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                          kSendTimeoutMs, &ignored);
    return text;
}

std::vector<std::string> ListTexts(HWND list, UINT countMessage, UINT lengthMessage, UINT textMessage)
{
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendWithTimeout(list, countMessage));
    for (int i = 0; i < count; ++i)
        texts.push_back(ListText(list, lengthMessage, textMessage, i));
    return texts;
}

MessageBoxInfo ReadMessageBox(HWND box)
{
    Pump(200ms); // let the box paint its icon before its pixels are read
    MessageBoxInfo info;
    info.window = box;
    info.caption = WindowText(box);
    info.text = WindowText(::GetDlgItem(box, kMessageBoxTextId));
    info.icon = ClassifyIcon(box);
    return info;
}

} // namespace e2e
