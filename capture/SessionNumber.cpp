#include "capture/SessionNumber.h"

#include "capture/SessionState.h"
#include "output/IntScan.h"

#include <cstring>

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
    g_session.highestSessionFound = 0;
    g_session.sessionNumber = 0;
    for (const DirEntry& entry : entries) {
        if (entry.name == "." || entry.name == "..")
            continue;
        if (entry.isDirectory) {
            const int number = SessionNumberOf(entry.name.c_str());
            if (number > g_session.highestSessionFound)
                g_session.highestSessionFound = number;
        }
        g_session.sessionNumber = g_session.highestSessionFound + 1;
    }
    return g_session.sessionNumber;
}
