#pragma once
#include <string>
#include <vector>

// A directory entry as the platform's listing yields it; the Windows side lists with FindFirstFileA.
struct DirEntry
{
    std::string name;
    bool isDirectory;
};

using DirListing = std::vector<DirEntry>;
