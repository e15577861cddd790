#include "SessionFiles.h"

#include "HtmlPlayer.h"
#include "ReplacingFile.h"
#include "TakeEdit.h"

namespace fs = std::filesystem;

fs::path SessionFolder(const fs::path& workDir, int session)
{
    return workDir / ("session" + std::to_string(session));
}

fs::path PlayerFile(const fs::path& workDir, int session)
{
    return SessionFolder(workDir, session) / "player.html";
}

fs::path AnimationFile(const fs::path& workDir, int session)
{
    return SessionFolder(workDir, session) / ("session" + std::to_string(session) + ".png");
}

bool WritePlayerFile(const SessionTimeline& timeline, int session, int fps, const Project* project,
                     const fs::path& file, std::string& error)
{
    CReplacingFile out;
    return out.Open(file, error) &&
           WritePlayerHtml(
               timeline, session, fps,
               [&](const std::string& text) { return out.Write(text.data(), text.size()); }, error,
               project) &&
           out.Commit(error);
}

bool WriteApngFile(const SessionTimeline& timeline, const ApngOptions& options, const Project* project,
                   const fs::path& file, uint64_t& bytes, std::string& error)
{
    CReplacingFile out;
    bytes = 0;
    const auto sink = [&](const uint8_t* data, size_t size) {
        bytes += size;
        return out.Write(data, size);
    };
    const auto write = [&] {
        return project ? WriteEditedApng(timeline, *project, options, sink, error)
                       : WriteApng(timeline, options, sink, error);
    };
    return out.Open(file, error) && write() && out.Commit(error);
}

bool WriteSessionFiles(const fs::path& workDir, int session, std::string& error)
{
    SessionTimeline timeline;
    if (!DecodeSession(workDir, session, timeline, error))
        return false;
    Project project;
    const fs::path projectFile = ProjectFileOf(workDir, session);
    std::error_code ec;
    const bool edited = fs::exists(projectFile, ec);
    if (edited && !LoadProject(projectFile, timeline, project, error))
        return false;
    ApngOptions options{edited ? project.fps : kDefaultFps};
    uint64_t bytes = 0;
    return WritePlayerFile(timeline, session, kDefaultFps, edited ? &project : nullptr,
                           PlayerFile(workDir, session), error) &&
           WriteApngFile(timeline, options, edited ? &project : nullptr, AnimationFile(workDir, session),
                         bytes, error);
}
