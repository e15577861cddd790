#pragma once
// What exports left that did not finish: a program ended while it wrote a session's player page,
// animated PNG, GIF or guide leaves the file under its temporary name (common/ReplacingFile.h).
#include <filesystem>
#include <vector>

// Removes, in every session folder under `workDir`, the temporary files of its player page, animated
// PNG, GIF and guide, and nothing else. A file that cannot be removed stays: on Windows one that another
// program (a running flickmere-export) still writes. Returns the files removed.
std::vector<std::filesystem::path> RemoveExportLeftovers(const std::filesystem::path& workDir);
