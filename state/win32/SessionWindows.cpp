#include "state/win32/SessionWindows.h"

SessionWindows g_sessionWindows;
