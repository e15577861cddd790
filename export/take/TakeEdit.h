#pragma once
// A project file applied to the take it lies beside: read, and checked against what was recorded.
#include "common/Result.h"
#include "export/take/Project.h"
#include "export/take/SessionTimeline.h"

#include <filesystem>

// session<N>/session<N>.flickmere.json under the working directory.
std::filesystem::path ProjectFileOf(const std::filesystem::path& workDir, int session);

// What of an edit the take cannot show: every step's source must name a recorded step, and the crop
// must lie within the stage. Refused with the reason, after "line L: " when the file's `lines` are
// given.
CResult<> FitsTake(const Project& project, const SessionTimeline& timeline, const JsonLines* lines = nullptr);

// Reads the project file and checks it against the take. A file that cannot be read, is not a valid
// project or does not fit the take is refused whole, with "<file>: line L: what is wrong" (no line
// where the file cannot be read).
CResult<Project> LoadProject(const std::filesystem::path& file, const SessionTimeline& timeline);
