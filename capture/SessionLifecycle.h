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
    char sessionDir[kPathBytes] = "";
    char templatePath[kPathBytes] = "";
};

// Numbers the next session from the working directory's entries and sets its frame total and
// destination file in the session state.
SessionPlan PlanSession(const DirListing& workDirEntries);

// Deletes imageBMP1.bmp, imageBMP2.bmp, ... of an earlier session of the same number in `sessionDir`,
// up to the first that `deleteFile` cannot delete (normally the first missing number).
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
