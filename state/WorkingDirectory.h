#pragma once

constexpr int kPathBytes = 260;

// The process's current directory, recorded when the main dialog is constructed. Session paths are
// built from it; offset and language files are opened by bare names, which is the same directory
// since nothing changes the current directory afterwards. Owned by the application module.
extern char g_workDir[kPathBytes];
