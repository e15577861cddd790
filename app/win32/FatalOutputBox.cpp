#include "app/win32/FatalOutputBox.h"

#include "capture/win32/Session.h"
#include "output/FatalOutput.h"

namespace {

HWND g_owner = nullptr;

void ShowFatalOutputBox(const char* message)
{
    RemoveSessionHooks();
    ::MessageBoxA(g_owner, message, nullptr, MB_OK | MB_ICONERROR);
}

} // namespace

void InstallFatalOutputBox(HWND owner)
{
    g_owner = owner;
    SetFatalOutputHandler(ShowFatalOutputBox);
}
