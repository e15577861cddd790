#include "capture/SessionNumber.h"

#include "common/IntScan.h"
#include "state/SessionState.h"

#include <cstring>
#include <limits>

int SessionNumberOf(const char* name)
{
    static const char kWord[] = "session";
    const size_t wordLength = sizeof kWord - 1;
    if (std::strncmp(name, kWord, wordLength) != 0)
        return 0;
    const char* rest = name + wordLength;
    CIntScanner in(rest, std::strlen(rest));
    int32_t value = 0;
    return in.ReadInt(value) ? value : 0;
}

int ScanSessionNumber(const DirListing& entries)
{
    int highest = 0;
    int next = 0;
    for (const DirEntry& entry : entries) {
        if (entry.name == "." || entry.name == "..")
            continue;
        if (entry.isDirectory) {
            const int number = SessionNumberOf(entry.name.c_str());
            if (number > highest)
                highest = number;
        }
        // The scanner saturates, so "session2147483647" and "session99999999999" both end up here.
        if (highest == std::numeric_limits<int>::max())
            return kNoSessionNumber;
        next = highest + 1;
    }
    g_session.highestSessionFound = highest;
    g_session.sessionNumber = next;
    return next;
}
