#include "export/SessionFiles.h"

#include "common/SessionNames.h"
#include "export/GifAnimation.h"
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

fs::path GifFile(const fs::path& workDir, int session)
{
    fs::path file = AnimationFile(workDir, session);
    return file.replace_extension(".gif");
}

bool WritePlayerFile(const SessionTimeline& timeline, int session, int fps, const Project* project,
                     const fs::path& file, std::string& error)
{
    CReplacingFile out;
    if (auto opened = out.Open(file); !opened) {
        error = opened.Error().text;
        return false;
    }
    if (!WritePlayerHtml(
            timeline, session, fps,
            [&](const std::string& text) { return out.Write(text.data(), text.size()); }, error, project))
        return false;
    auto committed = out.Commit();
    if (!committed)
        error = committed.Error().text;
    return committed.Ok();
}

namespace {

// The file written through `write`, which hands its bytes to the sink it is given; the file's size.
CResult<uint64_t> WriteReplacing(const fs::path& file,
                                 const std::function<CResult<void>(const ByteSink& sink)>& write)
{
    CReplacingFile out;
    if (auto opened = out.Open(file); !opened)
        return opened.Error();
    uint64_t bytes = 0;
    if (auto written = write([&](const uint8_t* data, size_t size) {
            bytes += size;
            return out.Write(data, size);
        });
        !written)
        return written.Error();
    if (auto committed = out.Commit(); !committed)
        return committed.Error();
    return bytes;
}

} // namespace

bool WriteApngFile(const SessionTimeline& timeline, const AnimationOptions& options, const Project* project,
                   const fs::path& file, uint64_t& bytes, std::string& error)
{
    auto written = WriteReplacing(
        file, [&](const ByteSink& sink) { return WriteApng(timeline, project, options, sink); });
    if (!written) {
        error = written.Error().text;
        return false;
    }
    bytes = *written;
    return true;
}

CResult<uint64_t> WriteGifFile(const SessionTimeline& timeline, const AnimationOptions& options,
                               const Project* project, const fs::path& file)
{
    return WriteReplacing(file,
                          [&](const ByteSink& sink) { return WriteGif(timeline, project, options, sink); });
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

bool WriteSessionFiles(const fs::path& workDir, int session, std::string& error)
{
    Take take;
    if (!OpenTake(workDir, session, {}, take, error))
        return false;
    const AnimationOptions options{take.project ? take.project->fps : kDefaultFps};
    uint64_t bytes = 0;
    if (!WritePlayerFile(take.timeline, session, kDefaultFps, take.Edit(), PlayerFile(workDir, session),
                         error) ||
        !WriteApngFile(take.timeline, options, take.Edit(), AnimationFile(workDir, session), bytes, error))
        return false;
    // The GIF costs less than half the animated PNG's time, a seventh on a full-HD take (scripts/bench.sh).
    const auto gif = WriteGifFile(take.timeline, options, take.Edit(), GifFile(workDir, session));
    if (!gif)
        error = gif.Error().text;
    return gif.Ok();
}
