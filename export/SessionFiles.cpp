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

bool OpenTake(const fs::path& workDir, int session, const TakeSource& source, Take& take, std::string& error)
{
    if (!DecodeSession(workDir, session, take.timeline, error))
        return false;
    const fs::path file = source.projectFile.empty() ? ProjectFileOf(workDir, session) : source.projectFile;
    std::error_code ec;
    const bool edited = source.edit == TakeSource::Edit::Required ||
                        (source.edit == TakeSource::Edit::IfThere && fs::exists(file, ec));
    take.project.reset();
    if (!edited)
        return true;
    Project project;
    if (!LoadProject(file, take.timeline, project, error))
        return false;
    take.project = std::move(project);
    return true;
}

CResult<> WriteSessionFiles(const fs::path& workDir, int session)
{
    Take take;
    std::string error;
    if (!OpenTake(workDir, session, {}, take, error))
        return Fail(error, kTakeNotOpened);
    if (!WritePlayerFile(take.timeline, session, kDefaultFps, take.Edit(), PlayerFile(workDir, session),
                         error))
        return Fail(error, kPlayerNotWritten);
    const ApngOptions options{take.project ? take.project->fps : kDefaultFps};
    uint64_t bytes = 0;
    if (!WriteApngFile(take.timeline, options, take.Edit(), AnimationFile(workDir, session), bytes, error))
        return Fail(error, kAnimationNotWritten);
    return {};
}
