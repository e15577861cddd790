#pragma once

// A failure that would leave the destination file inconsistent ends the process with status 2 after
// showing `message`. The Windows shell installs a handler with a message box; tests install one that
// throws. When the handler returns, the process exits with status 2.
using FatalOutputHandler = void (*)(const char* message);

void SetFatalOutputHandler(FatalOutputHandler handler);
[[noreturn]] void FailOutput(const char* message);

// True from the moment a fatal output failure is being shown until the process ends: the box's message
// loop must not run another capture step, which would write into the unfinished one's files.
bool FatalOutputPending();

constexpr int kFatalExitStatus = 2;
