#pragma once
// The rules of a session's start and end that need no window: the Windows side does the file and hook
// work they call for, and the main dialog shows the outcome.
#include "common/DirEntry.h"
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

// What one attempt to create a folder gave.
enum class FolderCreation
{
    Created,
    // A folder or file of that name is there already.
    Taken,
    Failed,
};

enum class SessionFolder
{
    Created,
    // Every number after the plan's is taken (see kNoSessionNumber).
    NoNumberLeft,
    // The next free number's paths would not fit their buffers.
    PathsDoNotFit,
    // The folder could not be created for another reason than its name being taken.
    Failed,
};

// A session starts only in a folder it has just created, so that nothing of an earlier take is deleted
// or overwritten. While the plan's folder name is taken anyway (a plain file of that name, a folder of
// another letter case, one that another program made since the scan), the plan moves on to the next
// number and names its files anew.
SessionFolder CreateSessionFolder(SessionPlan& plan,
                                  const std::function<FolderCreation(const char* path)>& createFolder);

// Deletes imageBMP1.bmp, imageBMP2.bmp, ... in `sessionDir`, up to the first that `deleteFile` cannot
// delete (normally the first missing number). The folder was just created, so normally there is none;
// kept so that a folder filled between its creation and the template copy starts clean all the same.
void DeleteStalePictures(const char* sessionDir, const std::function<bool(const char* path)>& deleteFile);

// Ends the session's counters. Returns true when the session wrote pictures: its report values are
// then recorded, and the report is the one to show.
bool EndSessionRecords();

// What a capture step's result means for the session: the template is full (checked first), the
// target window is gone (-1), or the session goes on.
enum class CaptureVerdict
{
    Continue,
    TemplateFull,
    TargetLost,
};
CaptureVerdict JudgeCapture(int written, int templateCapacity);
