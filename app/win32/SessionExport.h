#pragma once
// Writes a finished session's player page and animated PNG on a thread of its own, so that the dialog
// goes on while a long session is drawn; a failure shows one box and leaves the session's files as they
// were.
#include "common/win32/Handles.h"

#include <string>

class CSessionExport
{
public:
    CSessionExport() = default;
    ~CSessionExport() { Wait(); } // the files are complete before the program ends
    CSessionExport(const CSessionExport&) = delete;
    CSessionExport& operator=(const CSessionExport&) = delete;

    // `workDir` in the ANSI code page, as the program keeps it. Waits for an earlier export first.
    void Start(const char* workDir, int session);
    // Returns once the export started last has finished, so that a new session never runs beside it:
    // both read the offset files and the new one writes beside the pictures being read.
    void Wait();

private:
    static DWORD WINAPI Run(LPVOID self);

    std::wstring m_workDir;
    int m_session = 0;
    CKernelHandle m_thread;
};
