#include "export/take/TakeEdit.h"

#include "common/File.h"
#include "common/SessionNames.h"

#include <vector>

namespace fs = std::filesystem;

namespace {

// The reason, after the line of the value at `path` when the lines are known.
Failure Misfit(const JsonLines* lines, const std::string& path, const std::string& why)
{
    return Fail(lines ? "line " + std::to_string(LineOf(*lines, path)) + ": " + why : why);
}

} // namespace

fs::path ProjectFileOf(const fs::path& workDir, int session)
{
    return workDir / SessionFolderName(session) / ProjectFileName(session);
}

CResult<> FitsTake(const Project& project, const SessionTimeline& timeline, const JsonLines* lines)
{
    const int recorded = static_cast<int>(timeline.steps.size());
    for (size_t i = 0; i < project.steps.size(); ++i)
        if (project.steps[i].source < 1 || project.steps[i].source > recorded)
            return Misfit(lines, "steps[" + std::to_string(i) + "].source",
                          "step " + std::to_string(i + 1) + " shows recorded step " +
                              std::to_string(project.steps[i].source) + ", but the take has " +
                              std::to_string(recorded));
    if (project.crop) {
        const ProjectRect& r = project.crop->rect;
        // 64 bits: each part may be as large as a window can be.
        if (int64_t{r.x} + r.width > timeline.stageWidth || int64_t{r.y} + r.height > timeline.stageHeight)
            return Misfit(lines, "crop",
                          "the crop reaches beyond the stage of " + std::to_string(timeline.stageWidth) +
                              " x " + std::to_string(timeline.stageHeight));
    }
    return {};
}

CResult<Project> LoadProject(const fs::path& file, const SessionTimeline& timeline)
{
    const std::string name = file.u8string();
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(file, bytes))
        return Fail(name + ": the project file cannot be read");
    const CResult<LinedJson> json = ParseJsonWithLines(std::string(bytes.begin(), bytes.end()));
    if (!json)
        return Fail(name + ": " + json.Error().text);
    CResult<Project> project = ReadProject(*json);
    if (!project)
        return Fail(name + ": " + project.Error().text);
    if (const CResult<> fits = FitsTake(*project, timeline, &json->lines); !fits)
        return Fail(name + ": " + fits.Error().text);
    return project;
}
