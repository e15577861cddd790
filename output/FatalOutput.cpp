#include "output/FatalOutput.h"

#include <cstdio>
#include <cstdlib>

namespace {

void PrintToStandardError(const char* message)
{
    std::fputs(message, stderr);
}

FatalOutputHandler g_handler = PrintToStandardError;
bool g_pending = false;

} // namespace

void SetFatalOutputHandler(FatalOutputHandler handler)
{
    g_handler = handler ? handler : PrintToStandardError;
    // A handler that returned to a test's fresh records starts afresh.
    g_pending = false;
}

bool FatalOutputPending()
{
    return g_pending;
}

void FailOutput(const char* message)
{
    g_pending = true;
    g_handler(message);
    std::exit(kFatalExitStatus);
}
