// flickmere-export: turns one recorded capture session into a self-contained HTML player, or into an
// animated PNG.
#include "export/ApngAnimation.h"
#include "export/HtmlPlayer.h"
#include "export/SessionTimeline.h"
#include "common/File.h"
#include "common/Version.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultFps = 12;
constexpr int kMaxFps = 1000;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] = "usage: flickmere-export <working directory> <session number> [--fps N] [--version]\n"
                      "       flickmere-export <working directory> <session number> --apng [FILE] "
                      "[--no-cursor] [--once] [--fps N]\n";

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

// The file appears under its final name only when it is complete, so a failed write never leaves a
// truncated file behind, nor replaces a good one.
bool WriteAtomically(const fs::path& target, const char* data, size_t size, std::string& error)
{
    fs::path temporary = target;
    temporary += ".tmp";
    {
        CFile out(temporary.string().c_str(), "wb");
        if (!out) {
            // Whatever stands under that name is not ours to remove.
            error = temporary.string() + ": cannot be written";
            return false;
        }
        const bool written = std::fwrite(data, 1, size, out.Get()) == size;
        if (!out.Close() || !written) {
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

struct Options
{
    int session = 0;
    fs::path workDir;
    bool apng = false;
    fs::path apngFile; // empty: session<N>/session<N>.png
    ApngOptions animation{kDefaultFps};
};

int WritePlayer(const Options& options, const SessionTimeline& timeline)
{
    std::string html, error;
    if (!BuildPlayerHtml(timeline, options.session, options.animation.fps, html, error))
        return Failed(error);
    const fs::path player = options.workDir / ("session" + std::to_string(options.session)) / "player.html";
    if (!WriteAtomically(player, html.data(), html.size(), error))
        return Failed(error);
    std::printf("%s: %d steps, %d x %d\n", player.string().c_str(), static_cast<int>(timeline.steps.size()),
                timeline.stageWidth, timeline.stageHeight);
    return 0;
}

int WriteApng(const Options& options, const SessionTimeline& timeline)
{
    std::vector<uint8_t> png;
    std::string error;
    if (!BuildApng(timeline, options.animation, png, error))
        return Failed(error);
    const std::string name = "session" + std::to_string(options.session);
    const fs::path file =
        options.apngFile.empty() ? options.workDir / name / (name + ".png") : options.apngFile;
    if (!WriteAtomically(file, reinterpret_cast<const char*>(png.data()), png.size(), error))
        return Failed(error);
    std::printf("%s: %d steps, %d x %d, %s bytes\n", file.string().c_str(),
                static_cast<int>(timeline.steps.size()), timeline.stageWidth, timeline.stageHeight,
                std::to_string(png.size()).c_str());
    return 0;
}

int Run(int argc, char** argv)
{
    Options options;
    std::string positional[2];
    int positionalCount = 0;
    bool animationOnly = false; // an option that means nothing without --apng was given
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version") {
            std::printf("flickmere-export %s\n", FLICKMERE_VERSION_STRING);
            return 0;
        }
        if (arg == "--fps") {
            if (i + 1 >= argc || !ParsePositive(argv[i + 1], kMaxFps, options.animation.fps))
                return UsageError("--fps needs a whole number of frames per second from 1 to " +
                                  std::to_string(kMaxFps));
            ++i;
        } else if (arg == "--apng") {
            options.apng = true;
            // FILE is optional: the next word is it unless it is an option.
            if (i + 1 < argc && argv[i + 1][0] != '-' && argv[i + 1][0] != '\0')
                options.apngFile = argv[++i];
        } else if (arg == "--no-cursor") {
            options.animation.pointer = false;
            animationOnly = true;
        } else if (arg == "--once") {
            options.animation.loop = false;
            animationOnly = true;
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
    if (animationOnly && !options.apng)
        return UsageError("--no-cursor and --once go with --apng");
    if (!ParsePositive(positional[1], 999999999, options.session))
        return UsageError("the session number must be a positive whole number, not \"" + positional[1] +
                          "\"");
    options.workDir = positional[0];

    SessionTimeline timeline;
    std::string error;
    if (!DecodeSession(options.workDir, options.session, timeline, error))
        return Failed(error);
    return options.apng ? WriteApng(options, timeline) : WritePlayer(options, timeline);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) { // out of memory, or a path the file system library refuses
        return Failed(e.what());
    }
}
