// Crashes in the way its argument names, after ReportCrashes, so that a test can see how the programs'
// mains end when they crash.
#include "common/win32/CrashReport.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

namespace {

// Each call keeps a page of its own on the stack, so that the overflow comes soon; no depth ends it.
int Recurse(volatile int depth)
{
    volatile char page[4096];
    page[0] = static_cast<char>(depth);
    return depth < 0 ? 0 : Recurse(depth + 1) + page[0];
}

DWORD WINAPI RecurseInThread(LPVOID)
{
    return static_cast<DWORD>(Recurse(0));
}

} // namespace

int main(int argc, char** argv)
{
    ReportCrashes("crashpeer");
    const char* how = argc > 1 ? argv[1] : "";
    if (std::strcmp(how, "overflow") == 0)
        return Recurse(0);
    if (std::strcmp(how, "access") == 0)
        return *static_cast<volatile int*>(nullptr);
    if (std::strcmp(how, "throw") == 0)
        throw std::runtime_error("thrown and never caught");
    if (std::strcmp(how, "thread") == 0) {
        const HANDLE thread = ::CreateThread(nullptr, 0, RecurseInThread, nullptr, 0, nullptr);
        ::WaitForSingleObject(thread, INFINITE);
    }
    return 0;
}
