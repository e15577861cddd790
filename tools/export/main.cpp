// flickmere-export: turns one recorded capture session into a self-contained HTML player, an animated
// PNG, a GIF or a step guide, as its project file edits it.
#include "common/Utf8.h"
#include "common/Version.h"
#include "export/SessionFiles.h"
#include "export/render/CaptionRenderer.h"
#include "state/TextTable.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include "common/win32/CrashReport.h"
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kMaxFps = 1000;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kGoOn = -1; // the command line asks for an export

const char kUsage[] =
    "usage: flickmere-export <working directory> <session number> [--fps N] [--project [FILE] | "
    "--no-project]\n"
    "       flickmere-export <working directory> <session number> --apng [FILE] [--no-cursor] [--once] "
    "[--fps N]\n"
    "                        [--project [FILE] | --no-project]\n"
    "       flickmere-export <working directory> <session number> --gif [FILE] [--no-cursor] [--once] "
    "[--fps N]\n"
    "                        [--project [FILE] | --no-project]\n"
    "       flickmere-export <working directory> <session number> --guide [FILE] [--guide-md DIR]\n"
    "                        [--project [FILE] | --no-project]\n"
    "       flickmere-export <working directory> <session number> --guide-md DIR [--project [FILE] | "
    "--no-project]\n"
    "       flickmere-export --help | --version\n"
    "The take is exported as its project file session<N>/session<N>.flickmere.json edits it, when there is "
    "one.\n";

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

struct Options
{
    int session = 0;
    fs::path workDir;
    bool apng = false;
    fs::path apngFile; // empty: session<N>/session<N>.png
    bool gif = false;
    fs::path gifFile; // empty: session<N>/session<N>.gif
    bool guide = false;
    fs::path guideFile;                      // empty: session<N>/guide.html
    fs::path guideMarkdownDir;               // empty: no Markdown guide
    AnimationOptions animation{kDefaultFps}; // its rate is the take's
    TakeSource source;
};

// The picture files left out cost only themselves, and offset files too short for the take only the
// timing and pointer of some steps, and a steps file that cannot be used only the suggested words and
// the marks; each is named once.
void ReportShortcomings(const Take& take)
{
    for (const std::string& line : take.timeline.skipped)
        std::fprintf(stderr, "flickmere-export: %s: left out\n", line.c_str());
    for (const std::string& line : take.timeline.gaps)
        std::fprintf(stderr, "flickmere-export: %s\n", line.c_str());
    if (!take.factsProblem.empty())
        std::fprintf(stderr, "flickmere-export: %s\n", take.factsProblem.c_str());
}

// Characters a caption's font has no glyph for are empty boxes in the animation; each caption names its
// own once.
void ReportMissingCharacters(const Project* project)
{
    if (!project)
        return;
    const CCaptionRenderer captions;
    for (size_t s = 0; s < project->steps.size(); ++s) {
        const std::optional<ProjectCaption>& caption = project->steps[s].caption;
        const std::u32string missing = caption ? captions.MissingCharacters(caption->text) : U"";
        std::string names;
        for (const char32_t point : missing) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(point));
            names += (names.empty() ? "" : ", ") + EncodeUtf8(std::u32string(1, point)) + " (" + code + ")";
        }
        if (!names.empty())
            std::fprintf(stderr,
                         "flickmere-export: the caption of step %d has characters the caption font cannot "
                         "draw, shown as empty boxes: %s\n",
                         static_cast<int>(s + 1), names.c_str());
    }
}

// What was written, as a viewer sees it: the edit's steps cut to its crop, or the take as recorded;
// `more` after it (the size, when known).
void SayWritten(const fs::path& file, const Take& take, const std::string& more = {})
{
    const Project* edit = take.Edit();
    const int steps = static_cast<int>(edit ? edit->steps.size() : take.timeline.steps.size());
    const bool cropped = edit && edit->crop;
    const int width = cropped ? edit->crop->rect.width : take.timeline.stageWidth;
    const int height = cropped ? edit->crop->rect.height : take.timeline.stageHeight;
    std::printf("%s: %d %s, %d x %d%s%s\n", file.u8string().c_str(), steps, steps == 1 ? "step" : "steps",
                width, height, more.c_str(),
                edit ? ("; edited by " + take.projectFile.u8string()).c_str() : "");
}

int WritePlayer(const Options& options, const Take& take)
{
    const fs::path player = PlayerFile(options.workDir, options.session);
    if (const CResult<> written = WritePlayerFile(take, options.session, player); !written)
        return Failed(written.Error().text);
    ReportShortcomings(take);
    SayWritten(player, take);
    return 0;
}

using AnimationWriter = CResult<uint64_t> (*)(const Take&, const AnimationOptions&, const fs::path&);

// The animated PNG or the GIF.
int WriteAnimation(const Options& options, const Take& take, const fs::path& target, AnimationWriter write)
{
    AnimationOptions animation = options.animation;
    animation.fps = take.fps;
    const CResult<uint64_t> bytes = write(take, animation, target);
    if (!bytes)
        return Failed(bytes.Error().text);
    ReportShortcomings(take);
    ReportMissingCharacters(take.Edit());
    SayWritten(target, take, ", " + std::to_string(*bytes) + " bytes");
    return 0;
}

// The step guide as a page, or as Markdown with its pictures.
int WriteGuide(const Options& options, const Take& take)
{
    if (options.guide) {
        const fs::path target =
            options.guideFile.empty() ? GuideFile(options.workDir, options.session) : options.guideFile;
        if (const CResult<> written = WriteGuideFile(take, options.session, target); !written)
            return Failed(written.Error().text);
        ReportShortcomings(take);
        SayWritten(target, take);
    }
    if (!options.guideMarkdownDir.empty()) {
        const auto files = WriteGuideMarkdown(take, options.session, options.guideMarkdownDir);
        if (!files)
            return Failed(files.Error().text);
        if (!options.guide)
            ReportShortcomings(take);
        const size_t pictures = files->size() - 1;
        SayWritten(files->back(), take,
                   "; " + std::to_string(pictures) + (pictures == 1 ? " picture" : " pictures") +
                       " beside it");
    }
    return 0;
}

// Reads the command line into `options`; -1 to go on, else the exit status (a usage error, or --help or
// --version done). `args` in UTF-8, the program's name left out.
int ParseArguments(const std::vector<std::string>& args, Options& options)
{
    std::string positional[2];
    int positionalCount = 0;
    bool animationOnly = false; // an option that means nothing without --apng was given
    const int argc = static_cast<int>(args.size());
    for (int i = 0; i < argc; ++i) {
        const std::string& arg = args[i];
        if (arg == "--version") {
            std::printf("flickmere-export %s\n", FLICKMERE_VERSION_STRING);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::printf("%s", kUsage);
            return 0;
        }
        if (arg == "--fps") {
            if (i + 1 >= argc || !ParsePositive(args[i + 1], kMaxFps, options.source.fps))
                return UsageError("--fps needs a whole number of frames per second from 1 to " +
                                  std::to_string(kMaxFps));
            ++i;
        } else if (arg == "--project") {
            if (options.source.edit == TakeSource::Edit::None)
                return UsageError("--project and --no-project exclude each other");
            options.source.edit = TakeSource::Edit::Required;
            if (i + 1 < argc && !args[i + 1].empty() && args[i + 1][0] != '-')
                options.source.projectFile = fs::u8path(args[++i]);
        } else if (arg == "--no-project") {
            if (options.source.edit == TakeSource::Edit::Required)
                return UsageError("--project and --no-project exclude each other");
            options.source.edit = TakeSource::Edit::None;
        } else if (arg == "--apng") {
            options.apng = true;
            // FILE is optional: the next word is it unless it is an option.
            if (i + 1 < argc && !args[i + 1].empty() && args[i + 1][0] != '-')
                options.apngFile = fs::u8path(args[++i]);
        } else if (arg == "--gif") {
            options.gif = true;
            if (i + 1 < argc && !args[i + 1].empty() && args[i + 1][0] != '-')
                options.gifFile = fs::u8path(args[++i]);
        } else if (arg == "--guide") {
            options.guide = true;
            if (i + 1 < argc && !args[i + 1].empty() && args[i + 1][0] != '-')
                options.guideFile = fs::u8path(args[++i]);
        } else if (arg == "--guide-md") {
            if (i + 1 >= argc || args[i + 1].empty())
                return UsageError("--guide-md needs the folder to write the Markdown guide into");
            options.guideMarkdownDir = fs::u8path(args[++i]);
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
    if (animationOnly && !options.apng && !options.gif)
        return UsageError("--no-cursor and --once go with --apng or --gif");
    if (!ParsePositive(positional[1], 999999999, options.session))
        return UsageError("the session number must be a positive whole number, not \"" + positional[1] +
                          "\"");
    options.workDir = fs::u8path(positional[0]);
    return kGoOn;
}

int Run(const std::vector<std::string>& args)
{
    Options options;
    // The command reads no language file: its suggested captions are English.
    FillDefaultTexts();
    if (const int status = ParseArguments(args, options); status != kGoOn)
        return status;
    const CResult<Take> take = OpenTake(options.workDir, options.session, options.source);
    if (!take && take.Error().code == kProjectRefused)
        return Failed(take.Error().text + "; --no-project exports the take as recorded");
    if (!take)
        return Failed(take.Error().text);
    const bool guide = options.guide || !options.guideMarkdownDir.empty();
    if (!options.gif && !options.apng && !guide)
        return WritePlayer(options, *take);
    if (options.gif) {
        const fs::path target =
            options.gifFile.empty() ? GifFile(options.workDir, options.session) : options.gifFile;
        if (const int status = WriteAnimation(options, *take, target, WriteGifFile); status != 0)
            return status;
    }
    if (options.apng) {
        const fs::path target =
            options.apngFile.empty() ? AnimationFile(options.workDir, options.session) : options.apngFile;
        if (const int status = WriteAnimation(options, *take, target, WriteApngFile); status != 0)
            return status;
    }
    return guide ? WriteGuide(options, *take) : 0;
}

int RunCaught(const std::vector<std::string>& args)
{
    try {
        return Run(args);
    } catch (const std::exception& e) { // out of memory, or a path the file system library refuses
        return Failed(e.what());
    }
}

} // namespace

#ifdef _WIN32
// The wide command line, so that a name beyond the ANSI code page arrives as it was typed; the
// arguments go on in UTF-8 and become paths again with u8path.
int wmain(int argc, wchar_t** argv)
{
    ReportCrashes("flickmere-export");
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(fs::path(argv[i]).u8string());
    return RunCaught(args);
}
#else
int main(int argc, char** argv)
{
    return RunCaught(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
