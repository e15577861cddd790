#include "state/win32/NoticeBox.h"

#include "common/win32/CodePages.h"

namespace {

UINT IconStyle(NoticeIcon icon)
{
    switch (icon) {
    case NoticeIcon::Information:
        return MB_ICONINFORMATION;
    case NoticeIcon::Warning:
        return MB_ICONWARNING;
    case NoticeIcon::Error:
        return MB_ICONERROR;
    case NoticeIcon::None:
        break;
    }
    return 0;
}

} // namespace

void ShowNotice(HWND dialog, const Notice& notice)
{
    const HWND owner = notice.owned ? dialog : nullptr;
    const UINT style = MB_OK | IconStyle(notice.icon) | (notice.inFront ? MB_TOPMOST | MB_SETFOREGROUND : 0);
    // Texts in the ANSI code page go without a copy: a notice may tell of memory running out.
    if (!notice.utf8) {
        ::MessageBoxA(owner, notice.text, notice.caption, style);
        return;
    }
    const std::wstring caption = notice.caption ? WideFromCodePage(CP_ACP, notice.caption) : std::wstring();
    ::MessageBoxW(owner, WideFromCodePage(CP_UTF8, notice.text).c_str(),
                  notice.caption ? caption.c_str() : nullptr, style);
}
