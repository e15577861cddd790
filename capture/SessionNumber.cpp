#include "capture/SessionNumber.h"

#include "common/IntScan.h"
#include "common/SessionNames.h"

#include <cstring>
#include <limits>

namespace {

// ASCII only: a folder's name is compared the way the file system matches it, not by the user's locale.
bool StartsWithWordAnyCase(const char* name, const char* word)
{
    for (; *word; ++name, ++word) {
        const char c = (*name >= 'A' && *name <= 'Z') ? static_cast<char>(*name - 'A' + 'a') : *name;
        if (c != *word)
            return false;
    }
    return true;
}

} // namespace

int SessionNumberOf(const char* name)
{
    if (!StartsWithWordAnyCase(name, kSessionWord))
        return 0;
    const char* rest = name + sizeof kSessionWord - 1;
    CIntScanner in(rest, std::strlen(rest));
    int32_t value = 0;
    return in.ReadInt(value) ? value : 0;
}

SessionNumberScan ScanSessionNumber(const DirListing& entries)
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
            return SessionNumberScan{kNoSessionNumber, highest};
        next = highest + 1;
    }
    return SessionNumberScan{next, highest};
}
