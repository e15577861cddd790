#pragma once
// The Windows side of a capture session: its folder and template copy, the target window and the
// keyboard hook. The main dialog decides when, and shows what these return.
#include "capture/SessionLifecycle.h"
#include "capture/win32/TwinHook.h"

#include <windows.h>

class CHookLibrary;

// Creates the plan's folder (under the next free number when the plan's is taken), makes the plan the
// session state's (ApplySessionPlan), deletes its stale pictures, copies the template, makes `target` the
// target window and installs the hook, and on a 32-bit target its twin; once started, the target is
// brought to the top with the mouse in its middle. A StartRefusal otherwise: nothing was created when
// the folder was not; the session is not active after a hook that could not be installed; the program
// must end when the template was not copied.
[[nodiscard]] CResult<void> StartSession(SessionPlan& plan, HWND target, const CHookLibrary& hooks);

// Removes the hook and ends the 32-bit helper with its twin of the hook.
void RemoveSessionHooks();

// Whether a session runs on a window that no longer exists. Checked by the main dialog's timer, so that
// a closed window ends the session at once rather than at the next press of the key.
bool TargetGone();

// Removes the hooks, releases the comparison image and forgets the target window; a session that wrote
// pictures records its report values.
void EndSession();

// At the program's close: removes a running session's hooks and releases the comparison image, without
// ending the session's records. Harmless when no session runs, and when called twice.
void AbandonSession();
