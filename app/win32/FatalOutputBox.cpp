#include "app/win32/FatalOutputBox.h"

#include "capture/win32/Session.h"
#include "output/FatalOutput.h"
#include "state/win32/NoticeBox.h"

namespace {

HWND g_owner = nullptr;

void ShowFatalOutputBox(const char* message)
{
    RemoveSessionHooks();
    // The system's own caption: the box has never had one of its own.
    ShowNotice(g_owner, PlainNotice(message, nullptr, NoticeIcon::Error));
}

} // namespace

void InstallFatalOutputBox(HWND owner)
{
    g_owner = owner;
    SetFatalOutputHandler(ShowFatalOutputBox);
}
