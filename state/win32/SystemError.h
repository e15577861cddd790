#pragma once
#include <windows.h>

#include <string>

// The system's words for `error`, a code taken right after the call that failed; where the system has
// none, the text table's words with its number.
std::string SystemErrorText(DWORD error);
