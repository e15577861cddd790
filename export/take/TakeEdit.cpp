#include "export/take/TakeEdit.h"

#include "common/File.h"
#include "common/SessionNames.h"
#include "export/take/ProjectLines.h"

#include <vector>

namespace fs = std::filesystem;

fs::path ProjectFileOf(const fs::path& workDir, int session)
{
    return workDir / SessionFolderName(session) / ProjectFileName(session);
}

bool FitsTake(const Project& project, const SessionTimeline& timeline, std::string& path, std::string& error)
{
    const int recorded = static_cast<int>(timeline.steps.size());
    for (size_t i = 0; i < project.steps.size(); ++i)
        if (project.steps[i].source < 1 || project.steps[i].source > recorded) {
            path = "steps[" + std::to_string(i) + "].source";
            error = "step " + std::to_string(i + 1) + " shows recorded step " +
                    std::to_string(project.steps[i].source) + ", but the take has " +
                    std::to_string(recorded);
            return false;
        }
    if (project.crop) {
        const ProjectRect& r = project.crop->rect;
        // 64 bits: each part may be as large as a window can be.
        if (int64_t{r.x} + r.width > timeline.stageWidth || int64_t{r.y} + r.height > timeline.stageHeight) {
            path = "crop";
            error = "the crop reaches beyond the stage of " + std::to_string(timeline.stageWidth) + " x " +
                    std::to_string(timeline.stageHeight);
            return false;
        }
    }
    return true;
}

bool LoadProject(const fs::path& file, const SessionTimeline& timeline, Project& project, std::string& error)
{
    const std::string name = file.u8string();
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(file, bytes)) {
        error = name + ": the project file cannot be read";
        return false;
    }
    const std::string text(bytes.begin(), bytes.end());
    Project read;
    std::string path, why;
    if (!ParseProject(text, read, why)) {
        error = name + ": " + why;
        return false;
    }
    if (!FitsTake(read, timeline, path, why)) {
        // The text was read once already, so it is JSON; the second reading only finds the line.
        ProjectJson document;
        JsonLines lines;
        std::string ignored;
        ParseJsonWithLines(text, document, lines, ignored);
        const auto line = lines.find(path);
        error = name + ": line " + std::to_string(line != lines.end() ? line->second : 1) + ": " + why;
        return false;
    }
    project = std::move(read);
    return true;
}
