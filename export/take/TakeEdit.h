#pragma once
// A project file applied to the take it lies beside: read, and checked against what was recorded.
#include "export/take/Project.h"
#include "export/take/SessionTimeline.h"

#include <filesystem>
#include <string>

// session<N>/session<N>.flickmere.json under the working directory.
std::filesystem::path ProjectFileOf(const std::filesystem::path& workDir, int session);

// What of an edit the take cannot show: every step's source must name a recorded step, and the crop
// must lie within the stage. False with the path of the value ("steps[2].source", "crop") in `path`
// and the reason in `error`.
bool FitsTake(const Project& project, const SessionTimeline& timeline, std::string& path, std::string& error);

// Reads the project file and checks it against the take. A file that cannot be read, is not a valid
// project or does not fit the take is refused whole: false, with "<file>: line L: what is wrong" (no
// line where the file cannot be read) in `error`, and `project` left as it was.
bool LoadProject(const std::filesystem::path& file, const SessionTimeline& timeline, Project& project,
                 std::string& error);
