#pragma once
// The capture session: the Capture button's toggle, the end of a session, and the handler of the
// capture message. All of it works on the main dialog's controls.
#include <windows.h>

class CHookLibrary;

void StartSession(HWND dialog, const CHookLibrary& hooks);
void EndSession(HWND dialog);
LRESULT OnCaptureMessage(HWND dialog, WPARAM x, LPARAM y);
