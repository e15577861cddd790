// flickmere-export: turns one recorded capture session into a self-contained HTML player.
#include "HtmlPlayer.h"
#include "SessionTimeline.h"
#include "common/Version.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultFps = 12;
constexpr int kMaxFps = 1000;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] = "usage: flickmere-export <working directory> <session number> [--fps N] [--version]\n";

bool ParsePositive(const std::string& text, int limit, int& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return value >= 1 && value <= limit;
}

int UsageError(const std::string& what)
{
    std::fprintf(stderr, "flickmere-export: %s\n%s", what.c_str(), kUsage);
    return kExitUsage;
}

int Failed(const std::string& what)
{
    std::fprintf(stderr, "flickmere-export: %s\n", what.c_str());
    return kExitFailed;
}

// The page appears under its final name only when it is complete, so a failed write never leaves a
// truncated player behind, nor replaces a good one.
bool WriteAtomically(const fs::path& target, const std::string& text, std::string& error)
{
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            error = temporary.string() + ": cannot be written";
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = target.string() + ": cannot be written (" + ec.message() + ")";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string positional[2];
    int positionalCount = 0;
    int fps = kDefaultFps;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version") {
            std::printf("flickmere-export %s\n", FLICKMERE_VERSION_STRING);
            return 0;
        }
        if (arg == "--fps") {
            if (i + 1 >= argc || !ParsePositive(argv[i + 1], kMaxFps, fps))
                return UsageError("--fps needs a whole number of frames per second from 1 to " +
                                  std::to_string(kMaxFps));
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option " + arg);
        } else if (positionalCount < 2) {
            positional[positionalCount++] = arg;
        } else {
            return UsageError("unexpected argument " + arg);
        }
    }
    if (positionalCount < 2)
        return UsageError("a working directory and a session number are needed");
    int session;
    if (!ParsePositive(positional[1], 999999999, session))
        return UsageError("the session number must be a positive whole number, not \"" + positional[1] +
                          "\"");

    const fs::path workDir = positional[0];
    SessionTimeline timeline;
    std::string error;
    if (!DecodeSession(workDir, session, timeline, error))
        return Failed(error);
    std::string html;
    if (!BuildPlayerHtml(timeline, session, fps, html, error))
        return Failed(error);
    const fs::path player = workDir / ("session" + std::to_string(session)) / "player.html";
    if (!WriteAtomically(player, html, error))
        return Failed(error);
    std::printf("%s: %d steps, %d x %d\n", player.string().c_str(), static_cast<int>(timeline.steps.size()),
                timeline.stageWidth, timeline.stageHeight);
    return 0;
}
