#include "common/win32/DirectoryListing.h"

#include "common/win32/Handles.h"

DirListing ListDirectory(const char* pattern)
{
    DirListing entries;
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA(pattern, &data));
    if (!find)
        return entries;
    do {
        entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (::FindNextFileA(find.Get(), &data));
    return entries;
}
