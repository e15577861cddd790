#pragma once
// The program's start-up, done in the main dialog before it is shown: the checks and loads in their
// fixed order, stopping at the first failure with the box that tells the user. The dialog does each step
// for real (app/win32/StartupSteps); tests hand in their own.
#include "state/Notice.h"

#include <optional>

class IStartupSteps
{
public:
    // False when another copy of the program runs.
    virtual bool ClaimSoleCopy() = 0;
    // False when the working directory could not be recorded.
    virtual bool WorkingDirectoryRecorded() = 0;
    // The English defaults and the language files; never fails.
    virtual void ReadTexts() = 0;
    // The offset loaders: -1 when the file cannot be opened, else the rows read.
    virtual int LoadBitmapOffsets() = 0;
    virtual int LoadCursorOffsets() = 0;
    virtual int LoadFrameOffsets() = 0;
    // False when HookDll.dll or one of its exports is missing.
    virtual bool LoadHookLibrary() = 0;

protected:
    ~IStartupSteps() = default;
};

// Runs the steps; the box of the first that fails, which ends the program, or none when all went
// well. Its words are fixed English: the first boxes come before the language files are read, and none
// of them has ever been translated. Only a missing hook library shows the warning icon; another running
// copy is no fault, and its box informs under the program's name.
std::optional<Notice> RunStartupSteps(IStartupSteps& steps);
