#pragma once
#include "common/DirEntry.h"

// The number a directory name gives under the pattern "session%i": the word "session" in any letter
// case (a folder "Session3" is the folder "session3" to the file system) followed by an integer read
// like "%i" (so "session010" is 8 and "session0x10" is 16); 0 when the name does not match. Numbers
// beyond the 32-bit range read as the largest one.
int SessionNumberOf(const char* name);

// What the scan answers when no session can follow: a session folder already has the largest number
// there can be, so the next one would overflow into a number whose folder is, or becomes, taken.
constexpr int kNoSessionNumber = -1;

struct SessionNumberScan
{
    // One more than the largest number of a session directory, 1 when there is none, and 0 only when
    // the directory holds nothing but "." and "..". kNoSessionNumber when the largest number found
    // leaves no room for another.
    int next = 0;
    int highest = 0;
};

// The session-number scan over the working directory's entries.
SessionNumberScan ScanSessionNumber(const DirListing& entries);
