#pragma once
// The session folders under a working directory that the export writes into: session<N> as
// SessionFolder names it, in any letter case, since the file system matches names so on Windows.
#include <filesystem>
#include <functional>

// Shows `visit` every such folder with its number. Without exceptions: a folder that cannot be read, or
// read to its end, shows what it could.
void ForEachSessionFolder(const std::filesystem::path& workDir,
                          const std::function<void(int session, const std::filesystem::path& folder)>& visit);

// Shows `visit` every entry of `folder`, likewise without exceptions.
void ForEachEntry(const std::filesystem::path& folder,
                  const std::function<void(const std::filesystem::directory_entry& entry)>& visit);
