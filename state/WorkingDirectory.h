#pragma once

constexpr int kPathBytes = 260;

// The process's current directory, recorded when the main dialog is constructed. Session paths are
// built from it; offset and language files are opened by bare names, which is the same directory
// since nothing changes the current directory afterwards. Written once, by the main dialog's
// constructor; read-only after that.
extern char g_workDir[kPathBytes];
