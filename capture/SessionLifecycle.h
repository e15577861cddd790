#pragma once
// The rules of a session's start and end that need no window: the Windows side does the file and hook
// work they call for, and the main dialog shows the outcome.
#include "common/DirEntry.h"
#include "common/Result.h"
#include "state/WorkingDirectory.h"

#include <functional>

// What a press of Capture starts, worked out before anything is created.
struct SessionPlan
{
    // False when no session can follow the folders that are there (see ScanSessionNumber); nothing
    // else of the plan is set then, and nothing may be created or deleted.
    bool numbered = false;
    // False when a path would not fit its buffer: cut short it could name another file, so the
    // session cannot be made, as when the template cannot be copied.
    bool pathsFit = false;
    int sessionNumber = 0;
    // The largest session number the scan found.
    int highestSessionFound = 0;
    char sessionDir[kPathBytes] = "";
    char templatePath[kPathBytes] = "";
    char destinationFile[kPathBytes] = "";
};

// Numbers the next session from the working directory's entries and names its files. Changes nothing:
// the session state takes the plan only when the session is started (ApplySessionPlan).
SessionPlan PlanSession(const DirListing& workDirEntries);

// Makes the plan the session state's: its number and destination file, and a frame total and press
// count that start again.
void ApplySessionPlan(const SessionPlan& plan);

// Whether the paths of every session there can be, up to the largest number, fit their buffers under
// the working directory. Checked once at start-up, so that no Capture press finds out too late.
bool SessionPathsFit();

// Why a press of Capture started no session: the code of its Failure. The Windows side fills in the
// system's error where there is one, and the failure's text names the file or folder concerned, or
// holds the whole message where the refusal has no text of its own.
enum class StartRefusal
{
    // The selected window was closed since the list was filled.
    TargetGone = 1,
    // Every session number after the highest one there is taken (see kNoSessionNumber).
    NoSessionNumber,
    // An offset file sends a patch outside the template; the text is the message.
    RecordOutsideTemplate,
    // The text is the folder.
    FolderNotCreated,
    // The template could not be copied, or a path did not fit; the text is the template's path. The
    // program must end.
    TemplateNotCopied,
    HookNotInstalled,
    // The 32-bit twin of the hook could not be put into a 32-bit target: its helper is missing, could
    // not be started, could not load the twin, find the dialog or install its hook, or was not ready.
    TwinMissing,
    TwinNotStarted,
    TwinNoLibrary,
    TwinNoDialog,
    TwinNoHook,
    TwinNotReady,
};

inline Failure Refusal(StartRefusal refusal, std::string text = {}, uint32_t systemError = 0)
{
    return Fail(std::move(text), static_cast<int>(refusal), systemError);
}

inline StartRefusal RefusalOf(const Failure& failure)
{
    return static_cast<StartRefusal>(failure.code);
}

// What one attempt to create a folder gave: true when it was created, false when a folder or file of
// that name is there already, or why it failed otherwise.
using FolderCreator = std::function<CResult<bool>(const char* path)>;

// A session starts only in a folder it has just created, so that nothing of an earlier take is deleted
// or overwritten. While the plan's folder name is taken anyway (a plain file of that name, a folder of
// another letter case, one that another program made since the scan), the plan moves on to the next
// number and names its files anew. Refuses with NoSessionNumber when every number after the plan's is
// taken, TemplateNotCopied when the next free number's paths would not fit their buffers, and
// FolderNotCreated (with the creator's system error) when it failed for another reason than its name.
CResult<void> CreateSessionFolder(SessionPlan& plan, const FolderCreator& createFolder);

// Deletes imageBMP1.bmp, imageBMP2.bmp, ... in `sessionDir`, up to the first that `deleteFile` cannot
// delete (normally the first missing number). The folder was just created, so normally there is none;
// kept so that a folder filled between its creation and the template copy starts clean all the same.
void DeleteStalePictures(const char* sessionDir, const std::function<bool(const char* path)>& deleteFile);

// Ends the session's counters. Returns true when the session wrote pictures: its report values are
// then recorded, and the report is the one to show.
bool EndSessionRecords();
