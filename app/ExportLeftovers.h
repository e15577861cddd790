#pragma once
// What exports left that did not finish: a program ended while it wrote a player page or an animated
// PNG leaves the file under its temporary name (export/codec/ReplacingFile.h).
#include <filesystem>
#include <vector>

// Removes, in every session folder under `workDir`, the temporary files of its player page and its
// animated PNG, and nothing else. A file that cannot be removed stays: on Windows one that another
// program (a running flickmere-export) still writes. Returns the files removed.
std::vector<std::filesystem::path> RemoveExportLeftovers(const std::filesystem::path& workDir);
