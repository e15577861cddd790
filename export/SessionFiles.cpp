#include "export/SessionFiles.h"

#include "common/SessionNames.h"
#include "export/HtmlPlayer.h"
#include "export/codec/ReplacingFile.h"
#include "export/take/TakeEdit.h"

namespace fs = std::filesystem;

fs::path SessionFolder(const fs::path& workDir, int session)
{
    return workDir / SessionFolderName(session);
}

fs::path PlayerFile(const fs::path& workDir, int session)
{
    return SessionFolder(workDir, session) / kPlayerFileName;
}

fs::path AnimationFile(const fs::path& workDir, int session)
{
    return SessionFolder(workDir, session) / AnimationFileName(session);
}

CResult<> WritePlayerFile(const SessionTimeline& timeline, int session, int fps, const Project* project,
                          const fs::path& file)
{
    CReplacingFile out;
    std::string error;
    if (!out.Open(file, error))
        return Fail(error);
    const CResult<> written = WritePlayerHtml(
        timeline, session, fps, [&](const std::string& text) { return out.Write(text.data(), text.size()); },
        project);
    if (!written)
        return written;
    if (!out.Commit(error))
        return Fail(error);
    return {};
}

CResult<uint64_t> WriteApngFile(const SessionTimeline& timeline, const ApngOptions& options,
                                const Project* project, const fs::path& file)
{
    CReplacingFile out;
    uint64_t bytes = 0;
    const auto sink = [&](const uint8_t* data, size_t size) {
        bytes += size;
        return out.Write(data, size);
    };
    std::string error;
    const bool written = out.Open(file, error) &&
                         (project ? WriteEditedApng(timeline, *project, options, sink, error)
                                  : WriteApng(timeline, options, sink, error)) &&
                         out.Commit(error);
    if (!written)
        return Fail(error);
    return bytes;
}

CResult<Take> OpenTake(const fs::path& workDir, int session, const TakeSource& source)
{
    CResult<SessionTimeline> timeline = DecodeSession(workDir, session);
    if (!timeline)
        return timeline.Error();
    Take take;
    take.timeline = std::move(*timeline);
    const fs::path file = source.projectFile.empty() ? ProjectFileOf(workDir, session) : source.projectFile;
    std::error_code ec;
    const bool edited = source.edit == TakeSource::Edit::Required ||
                        (source.edit == TakeSource::Edit::IfThere && fs::exists(file, ec));
    if (!edited)
        return take;
    CResult<Project> project = LoadProject(file, take.timeline);
    if (!project)
        return Fail(project.Error().text, kProjectRefused);
    take.project = std::move(*project);
    take.projectFile = file;
    return take;
}

CResult<> WriteSessionFiles(const fs::path& workDir, int session)
{
    const CResult<Take> take = OpenTake(workDir, session, {});
    if (!take)
        return take.Error();
    const ApngOptions options{take->project ? take->project->fps : kDefaultFps};
    if (const CResult<> player =
            WritePlayerFile(take->timeline, session, kDefaultFps, take->Edit(), PlayerFile(workDir, session));
        !player)
        return player;
    const CResult<uint64_t> animation =
        WriteApngFile(take->timeline, options, take->Edit(), AnimationFile(workDir, session));
    if (!animation)
        return animation.Error();
    return {};
}
