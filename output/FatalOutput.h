#pragma once

// A failure that would leave the destination file inconsistent ends the process with status 2 after
// showing `message`. The Windows shell installs a handler with a message box; tests install one that
// throws. When the handler returns, the process exits with status 2.
using FatalOutputHandler = void (*)(const char* message);

void SetFatalOutputHandler(FatalOutputHandler handler);
[[noreturn]] void FailOutput(const char* message);

constexpr int kFatalExitStatus = 2;
