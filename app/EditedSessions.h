#pragma once
// Which sessions' player page and animated PNG are behind their edit, so that the program writes them
// again: the project file saved while the program runs, and at start every session whose project file
// is newer than what was written from it.
#include <filesystem>
#include <string>
#include <vector>

// The session whose project file `relative` (in UTF-8, under the working directory, with either
// separator) names: session<N>/session<N>.flickmere.json, the folder as the export writes into it
// (SessionFolders.h); 0 for every other file.
int SessionOfProjectFile(const std::string& relative);

// The sessions under `workDir` with a project file that is newer than their player page or their
// animated PNG, or beside which either is missing, in ascending order.
std::vector<int> SessionsBehindTheirEdit(const std::filesystem::path& workDir);
