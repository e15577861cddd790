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

CResult<> WritePlayerFile(const Take& take, int session, const fs::path& file)
{
    CReplacingFile out;
    std::string error;
    if (!out.Open(file, error))
        return Fail(error);
    const CResult<> written = WritePlayerHtml(
        take.timeline, session, take.fps,
        [&](const std::string& text) { return out.Write(text.data(), text.size()); }, take.Edit());
    if (!written)
        return written;
    if (!out.Commit(error))
        return Fail(error);
    return {};
}

CResult<uint64_t> WriteApngFile(const Take& take, const ApngOptions& options, const fs::path& file)
{
    CReplacingFile out;
    uint64_t bytes = 0;
    const auto sink = [&](const uint8_t* data, size_t size) {
        bytes += size;
        return out.Write(data, size);
    };
    std::string error;
    const bool written = out.Open(file, error) &&
                         (take.project ? WriteEditedApng(take.timeline, *take.project, options, sink, error)
                                       : WriteApng(take.timeline, options, sink, error)) &&
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
    take.fps = source.fps != 0 ? source.fps : kDefaultFps;
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
    if (source.fps != 0)
        take.project->fps = source.fps;
    take.fps = take.project->fps;
    return take;
}

CResult<> WriteSessionFiles(const fs::path& workDir, int session)
{
    const CResult<Take> take = OpenTake(workDir, session, {});
    if (!take)
        return Fail(take.Error().text, kTakeNotOpened);
    if (const CResult<> player = WritePlayerFile(*take, session, PlayerFile(workDir, session)); !player)
        return Fail(player.Error().text, kPlayerNotWritten);
    const CResult<uint64_t> animation =
        WriteApngFile(*take, ApngOptions{take->fps}, AnimationFile(workDir, session));
    if (!animation)
        return Fail(animation.Error().text, kAnimationNotWritten);
    return {};
}
