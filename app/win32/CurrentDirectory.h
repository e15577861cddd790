#pragma once

// Records the process's current directory as the working directory (g_workDir). False, with the
// working directory left empty, when it cannot be read or does not fit: session paths built from an
// empty or stale buffer would land somewhere else entirely.
bool RecordWorkingDirectory();
