#pragma once
#include <windows.h>

// Shows the message of a failure that ends the process with status 2 in a box owned by `owner`, the main
// dialog. The session's hooks, the 32-bit twin's included, are removed first: no key press may start
// another capture step behind the box, and those already queued are turned away by the dialog.
void InstallFatalOutputBox(HWND owner);
