#pragma once
#include "common/DirEntry.h"

// The entries of the current directory that match `pattern` (FindFirstFileA), in listing order.
DirListing ListDirectory(const char* pattern);
