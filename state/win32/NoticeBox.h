#pragma once
// The one place where the program's words become a box: every notice the portable rules choose is shown
// here, owned by `dialog` where the notice says so.
#include "state/Notice.h"

#include <windows.h>

void ShowNotice(HWND dialog, const Notice& notice);
