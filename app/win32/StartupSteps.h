#pragma once
#include "app/Startup.h"

class CHookLibrary;
class CRunningInstance;

// The start-up steps done for real: the main dialog's running-instance mark and hook library,
// the texts from the language files, and the offset tables from the working directory.
class CStartupSteps : public IStartupSteps
{
public:
    CStartupSteps(CRunningInstance& instance, CHookLibrary& hooks, bool workDirRecorded)
        : m_instance(instance), m_hooks(hooks), m_workDirRecorded(workDirRecorded)
    {
    }

    bool ClaimSoleCopy() override;
    bool WorkingDirectoryRecorded() override { return m_workDirRecorded; }
    void ReadTexts() override;
    int LoadBitmapOffsets() override;
    int LoadCursorOffsets() override;
    int LoadFrameOffsets() override;
    bool LoadHookLibrary() override;

private:
    CRunningInstance& m_instance;
    CHookLibrary& m_hooks;
    bool m_workDirRecorded;
};
