#include "app/win32/CurrentDirectory.h"

#include "state/WorkingDirectory.h"

#include <windows.h>

bool RecordWorkingDirectory()
{
    // A directory too long for the buffer is not copied at all: the call answers the size it needs.
    const DWORD length = ::GetCurrentDirectoryA(kPathBytes, g_workDir);
    if (length != 0 && length < static_cast<DWORD>(kPathBytes))
        return true;
    g_workDir[0] = '\0';
    return false;
}
