#include "SessionFiles.h"

#include "HtmlPlayer.h"
#include "ReplacingFile.h"

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

bool WritePlayerFile(const SessionTimeline& timeline, int session, int fps, const fs::path& file,
                     std::string& error)
{
    CReplacingFile out;
    return out.Open(file, error) &&
           WritePlayerHtml(
               timeline, session, fps,
               [&](const std::string& text) { return out.Write(text.data(), text.size()); }, error) &&
           out.Commit(error);
}

bool WriteApngFile(const SessionTimeline& timeline, const ApngOptions& options, const fs::path& file,
                   uint64_t& bytes, std::string& error)
{
    CReplacingFile out;
    bytes = 0;
    const auto sink = [&](const uint8_t* data, size_t size) {
        bytes += size;
        return out.Write(data, size);
    };
    return out.Open(file, error) && WriteApng(timeline, options, sink, error) && out.Commit(error);
}

bool WriteSessionFiles(const fs::path& workDir, int session, std::string& error)
{
    SessionTimeline timeline;
    uint64_t bytes = 0;
    return DecodeSession(workDir, session, timeline, error) &&
           WritePlayerFile(timeline, session, kDefaultFps, PlayerFile(workDir, session), error) &&
           WriteApngFile(timeline, ApngOptions{kDefaultFps}, AnimationFile(workDir, session), bytes, error);
}
