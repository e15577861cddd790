#include "output/FatalOutput.h"

#include <cstdio>
#include <cstdlib>

namespace {

void PrintAndExit(const char* message)
{
    std::fputs(message, stderr);
}

FatalOutputHandler g_handler = PrintAndExit;

} // namespace

void SetFatalOutputHandler(FatalOutputHandler handler)
{
    g_handler = handler ? handler : PrintAndExit;
}

void FailOutput(const char* message)
{
    g_handler(message);
    std::exit(kFatalExitStatus);
}
