#pragma once
// The session folders under a working directory that the export writes into.
#include <filesystem>
#include <functional>
#include <string>

// The session of a folder named (in UTF-8) as SessionFolder names it: session<N>, N in decimal, the
// word in any letter case, since the file system on Windows matches names so; 0 for any other name.
int SessionOfFolderName(const std::string& name);

// Shows `visit` every such folder under `workDir` with its number. Without exceptions: a folder that
// cannot be read, or read to its end, shows what it could.
void ForEachSessionFolder(const std::filesystem::path& workDir,
                          const std::function<void(int session, const std::filesystem::path& folder)>& visit);

// Shows `visit` every entry of `folder`, likewise without exceptions.
void ForEachEntry(const std::filesystem::path& folder,
                  const std::function<void(const std::filesystem::directory_entry& entry)>& visit);
