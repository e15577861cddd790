#pragma once
// The files a session is shown by, each under its final name only once it is complete: what the
// command writes on request and the program writes when a session ends.
#include "common/Result.h"
#include "export/ApngAnimation.h"
#include "export/take/Project.h"
#include "export/take/SessionTimeline.h"
#include "export/take/StepFacts.h"
#include "export/take/Suggestion.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

constexpr int kDefaultFps = 12;

// session<N>/ under the working directory, and its player page and animated PNG.
std::filesystem::path SessionFolder(const std::filesystem::path& workDir, int session);
std::filesystem::path PlayerFile(const std::filesystem::path& workDir, int session);
std::filesystem::path AnimationFile(const std::filesystem::path& workDir, int session);
// session<N>/session<N>.gif
std::filesystem::path GifFile(const std::filesystem::path& workDir, int session);

// session<N>/guide.html
std::filesystem::path GuideFile(const std::filesystem::path& workDir, int session);

// Which edit a take is shown with.
struct TakeSource
{
    enum class Edit
    {
        IfThere, // the project file, when there is one
        Required,
        None,
    } edit = Edit::IfThere;
    std::filesystem::path projectFile; // empty: the one beside the take
    int fps = 0;                       // the rate to show the take at, over the project's own; 0: none
    // The words of the steps' suggested captions, taken by whoever asks for the export on the thread
    // that may change the language; none: English.
    std::optional<SuggestionWords> words;
};

// A recorded take and the edit it is shown with, if any.
struct Take
{
    SessionTimeline timeline;
    std::optional<Project> project;
    std::filesystem::path projectFile; // where the edit was read from
    // The rate the page and the animation both play at: the one asked for, else the project's, else
    // kDefaultFps. The project is given the same, so that the page plays, and saves, at it.
    int fps = kDefaultFps;
    // What each recorded step was about, one per step of the timeline; none without a steps file.
    std::vector<StepFacts> facts;
    // Each recorded step's suggested caption, in the words of TakeSource; empty without facts.
    std::vector<Suggestion> suggestions;
    // Why the steps file was left out, for the export's warnings: "" when it was read or is not there.
    std::string factsProblem;

    const Project* Edit() const { return project ? &*project : nullptr; }
};

// The failure code of OpenTake when the take is fine but its project file is refused.
constexpr int kProjectRefused = 1;

// The one place that decides whether a take is shown edited: decodes the session and reads and checks
// the project file `source` names, whole, before anything is written. It reads the steps file too: one
// that cannot be read, or that does not count the take's steps, costs only the suggested words and the
// marks, with its line in `factsProblem`. Refused, with one line, when the
// session cannot be decoded or (kProjectRefused) the project file is refused.
CResult<Take> OpenTake(const std::filesystem::path& workDir, int session, const TakeSource& source);

// The player page, which starts from the take's edit (when it has one) and lets it be edited further.
CResult<> WritePlayerFile(const Take& take, int session, const std::filesystem::path& file);
// The take as recorded, or as edited, as an animated PNG or a GIF; answers the size of the file written.
CResult<uint64_t> WriteApngFile(const Take& take, const AnimationOptions& options,
                                const std::filesystem::path& file);
CResult<uint64_t> WriteGifFile(const Take& take, const AnimationOptions& options,
                               const std::filesystem::path& file);

// The step guide as one page (StepGuide.h).
CResult<> WriteGuideFile(const Take& take, int session, const std::filesystem::path& file);
// The step guide as Markdown: `dir`/guide.md and a picture file a step beside it (`dir` is made when
// it is not there). Answers the files written, guide.md last; a failure leaves the pictures written
// before it and guide.md as it was.
CResult<std::vector<std::filesystem::path>> WriteGuideMarkdown(const Take& take, int session,
                                                               const std::filesystem::path& dir);

// What WriteSessionFiles could not write, as its failure's code. It writes them in this order and
// stops at the first it cannot write.
enum SessionFilesFailure
{
    // The take could not be opened (see OpenTake): nothing was written.
    kTakeNotOpened = 1,
    // The player page could not be written, so neither animation was written.
    kPlayerNotWritten,
    // The player page was written, the animated PNG (and so the GIF) was not.
    kAnimationNotWritten,
    // The player page and the animated PNG were written, the GIF (and so the guide) was not.
    kGifNotWritten,
    // The player page and both animations were written, the guide was not.
    kGuideNotWritten,
};

// All four, as a session ends or its edit changes: the player page, then the looping animated PNG and
// GIF with the pointer, then the step guide, at the default speed, or as the project file beside the take
// edits them when there is one. Pictures left out are not failures. A failure's code is a
// SessionFilesFailure; a file that is not written keeps what it held, and the session's own files are never
// changed.
CResult<> WriteSessionFiles(const std::filesystem::path& workDir, int session, const SuggestionWords& words);
