#pragma once
// The files a session is shown by, each under its final name only once it is complete: what the
// command writes on request and the program writes when a session ends.
#include "export/ApngAnimation.h"
#include "export/take/Project.h"
#include "export/take/SessionTimeline.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

constexpr int kDefaultFps = 12;

// session<N>/ under the working directory, and its player page and animated PNG.
std::filesystem::path SessionFolder(const std::filesystem::path& workDir, int session);
std::filesystem::path PlayerFile(const std::filesystem::path& workDir, int session);
std::filesystem::path AnimationFile(const std::filesystem::path& workDir, int session);
// session<N>/session<N>.gif
std::filesystem::path GifFile(const std::filesystem::path& workDir, int session);

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
};

// A recorded take and the edit it is shown with, if any.
struct Take
{
    SessionTimeline timeline;
    std::optional<Project> project;

    const Project* Edit() const { return project ? &*project : nullptr; }
};

// The one place that decides whether a take is shown edited: decodes the session and reads and checks
// the project file `source` names, whole, before anything is written. False, with one line in `error`,
// when the session cannot be decoded or the project file is refused.
bool OpenTake(const std::filesystem::path& workDir, int session, const TakeSource& source, Take& take,
              std::string& error);

// The player page, which starts from `project` (when given) and lets it be edited further.
bool WritePlayerFile(const SessionTimeline& timeline, int session, int fps, const Project* project,
                     const std::filesystem::path& file, std::string& error);
// The take as recorded, or as `project` (when given) edits it. `bytes` is the size of the file written.
bool WriteApngFile(const SessionTimeline& timeline, const AnimationOptions& options, const Project* project,
                   const std::filesystem::path& file, uint64_t& bytes, std::string& error);
// The same as a GIF; the size of the file written.
CResult<uint64_t> WriteGifFile(const SessionTimeline& timeline, const AnimationOptions& options,
                               const Project* project, const std::filesystem::path& file);

// All three, as a session ends: the player page, and the looping animated PNG and GIF with the
// pointer, at the default speed, or as the project file beside the take edits them when there is one.
// Pictures left out are not failures. False, with one line in `error`, when one could not be written or
// the project file is refused; the session's own files are never changed.
bool WriteSessionFiles(const std::filesystem::path& workDir, int session, std::string& error);
