#pragma once
#include "app/DirEntry.h"

// The number a directory name gives under the pattern "session%i": the word "session" (case matters)
// followed by an integer read like "%i" (so "session010" is 8 and "session0x10" is 16); 0 when the
// name does not match.
int SessionNumberOf(const char* name);

// The session-number scan over the working directory's entries: one more than the largest number of a
// session directory, 1 when there is none, and 0 only when the directory holds nothing but "." and
// "..". Sets g_session's session number and highest session found.
int ScanSessionNumber(const DirListing& entries);
