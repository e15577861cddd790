#pragma once
// The main dialog's creation step, before the dialog is shown: the checks and loads in their fixed
// order, stopping at the first failure with the box that tells the user. The dialog does each step
// for real; tests hand in their own.
#include <cstddef>

class ICreationSteps
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
    ~ICreationSteps() = default;
};

constexpr size_t kStartupMessageBytes = 260;

// What the user is told when start-up cannot go on: fixed English texts, as no language has been
// applied yet.
struct StartupRefusal
{
    char message[kStartupMessageBytes] = "";
    const char* caption = "Error!";
    // Only a missing hook library shows the warning icon. Another running copy is no fault: its box
    // shows the information icon under the program's name. Every other refusal the error icon.
    bool warning = false;
    bool information = false;
};

// Runs the steps; false, with `refusal` filled in, at the first that fails.
bool RunCreationSteps(ICreationSteps& steps, StartupRefusal& refusal);
