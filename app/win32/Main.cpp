#include "app/win32/CaptureApp.h"
#include "common/win32/CrashReport.h"

#include <windows.h>

namespace {
CCaptureApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ReportCrashes("Flickmere");
    return theApp.Run();
}
