#include "output/FatalOutput.h"

#include <cstdio>
#include <cstdlib>

namespace {

void PrintToStandardError(const char* message)
{
    std::fputs(message, stderr);
}

FatalOutputHandler g_handler = PrintToStandardError;

} // namespace

void SetFatalOutputHandler(FatalOutputHandler handler)
{
    g_handler = handler ? handler : PrintToStandardError;
}

void FailOutput(const char* message)
{
    g_handler(message);
    std::exit(kFatalExitStatus);
}
