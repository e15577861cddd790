#include "export/SessionFiles.h"

#include "common/SessionNames.h"
#include "export/GifAnimation.h"
#include "export/HtmlPlayer.h"
#include "export/StepGuide.h"
#include "common/ReplacingFile.h"
#include "export/take/TakeEdit.h"
#include "state/TextTable.h"

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
    return SessionFolder(workDir, session) / GifFileName(session);
}

fs::path GuideFile(const fs::path& workDir, int session)
{
    return SessionFolder(workDir, session) / kGuideFileName;
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

// The text handed to `sink`, as bytes.
TextSink TextInto(const ByteSink& sink)
{
    return [&sink](const std::string& text) {
        return sink(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    };
}

// `size` bytes from `data` as the whole of `file`.
CResult<> WriteWhole(const fs::path& file, const void* data, size_t size)
{
    const CResult<uint64_t> written = WriteReplacing(file, [&](const ByteSink& sink) -> CResult<> {
        if (!sink(static_cast<const uint8_t*>(data), size))
            return Fail(file.u8string() + ": cannot be written");
        return {};
    });
    if (!written)
        return written.Error();
    return {};
}

void ReadFacts(const fs::path& workDir, int session, const TakeSource& source, Take& take)
{
    CResult<std::vector<StepFacts>> facts = ReadStepFacts(workDir, session);
    if (!facts) {
        take.factsProblem = facts.Error().text + ": left out";
        return;
    }
    // A steps file of another take (copied in, or of a session the capture could not time) would put
    // words and marks on the wrong steps.
    if (!facts->empty() && facts->size() != take.timeline.steps.size()) {
        take.factsProblem = (SessionFolderName(session) + "/" + StepsFileName(session)) + " holds " +
                            std::to_string(facts->size()) + " steps with pictures, the take " +
                            std::to_string(take.timeline.steps.size()) + ": left out";
        return;
    }
    take.facts = std::move(*facts);
    const SuggestionWords words = source.words ? *source.words : SuggestionWordsOf(kEnglishLanguage);
    for (const StepFacts& step : take.facts)
        take.suggestions.push_back(SuggestStep(step, words));
}

} // namespace

CResult<> WritePlayerFile(const Take& take, int session, const fs::path& file)
{
    const CResult<uint64_t> written = WriteReplacing(file, [&](const ByteSink& sink) {
        return WritePlayerHtml(take.timeline, session, take.fps, TextInto(sink), take.Edit(), &take.facts,
                               &take.suggestions);
    });
    if (!written)
        return written.Error();
    return {};
}

CResult<> WriteGuideFile(const Take& take, int session, const fs::path& file)
{
    const CResult<uint64_t> written = WriteReplacing(
        file, [&](const ByteSink& sink) { return WriteGuideHtml(take, session, TextInto(sink)); });
    if (!written)
        return written.Error();
    return {};
}

CResult<std::vector<fs::path>> WriteGuideMarkdown(const Take& take, int session, const fs::path& dir)
{
    std::error_code ec;
    if (!fs::is_directory(dir, ec) && !fs::create_directories(dir, ec))
        return Fail(dir.u8string() + ": the folder could not be made: " + ec.message());
    std::vector<fs::path> files;
    std::string markdown = GuideMarkdownTitle(session);
    const CResult<> drawn = DrawGuide(take, [&](const GuideStep& step) -> CResult<> {
        const fs::path picture = dir / GuidePictureName(step.number, step.count);
        if (const CResult<> written = WriteWhole(picture, step.png->data(), step.png->size()); !written)
            return written;
        files.push_back(picture);
        markdown += GuideMarkdownStep(step);
        return {};
    });
    if (!drawn)
        return drawn.Error();
    const fs::path guide = dir / kGuideMarkdownName;
    if (const CResult<> written = WriteWhole(guide, markdown.data(), markdown.size()); !written)
        return written.Error();
    files.push_back(guide);
    return files;
}

CResult<uint64_t> WriteApngFile(const Take& take, const AnimationOptions& options, const fs::path& file)
{
    return WriteReplacing(file, [&](const ByteSink& sink) {
        return WriteApng(take.timeline, take.Edit(), take.facts, options, sink);
    });
}

CResult<uint64_t> WriteGifFile(const Take& take, const AnimationOptions& options, const fs::path& file)
{
    return WriteReplacing(file, [&](const ByteSink& sink) {
        return WriteGif(take.timeline, take.Edit(), take.facts, options, sink);
    });
}

CResult<Take> OpenTake(const fs::path& workDir, int session, const TakeSource& source)
{
    CResult<SessionTimeline> timeline = DecodeSession(workDir, session);
    if (!timeline)
        return timeline.Error();
    Take take;
    take.timeline = std::move(*timeline);
    take.fps = source.fps != 0 ? source.fps : kDefaultFps;
    ReadFacts(workDir, session, source, take);
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

CResult<> WriteSessionFiles(const fs::path& workDir, int session, const SuggestionWords& words)
{
    TakeSource source;
    source.words = words;
    const CResult<Take> take = OpenTake(workDir, session, source);
    if (!take)
        return Fail(take.Error().text, kTakeNotOpened);
    if (const CResult<> player = WritePlayerFile(*take, session, PlayerFile(workDir, session)); !player)
        return Fail(player.Error().text, kPlayerNotWritten);
    const AnimationOptions options{take->fps};
    if (const CResult<uint64_t> animation = WriteApngFile(*take, options, AnimationFile(workDir, session));
        !animation)
        return Fail(animation.Error().text, kAnimationNotWritten);
    // The GIF costs less than half the animated PNG's time, a seventh on a full-HD take (scripts/bench.sh).
    if (const CResult<uint64_t> gif = WriteGifFile(*take, options, GifFile(workDir, session)); !gif)
        return Fail(gif.Error().text, kGifNotWritten);
    if (const CResult<> guide = WriteGuideFile(*take, session, GuideFile(workDir, session)); !guide)
        return Fail(guide.Error().text, kGuideNotWritten);
    return {};
}
