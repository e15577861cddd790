#include "app/win32/CaptureApp.h"

#include <windows.h>

namespace {
CCaptureApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return theApp.Run();
}
