#include "app/Startup.h"

#include "capture/SessionLifecycle.h"

namespace {

const char kCantOpenIni[] = "Can't open INI file: %s!";
const char kProgramName[] = "Flickmere";

Notice StartupFailure(const char* format, const char* fileName = "", NoticeIcon icon = NoticeIcon::Error)
{
    Notice notice;
    FormatText(notice.text, sizeof notice.text, format, {fileName});
    notice.caption = kFixedErrorCaption;
    notice.icon = icon;
    return notice;
}

} // namespace

std::optional<Notice> RunStartupSteps(IStartupSteps& steps)
{
    if (!steps.ClaimSoleCopy())
        return PlainNotice(
            "Flickmere is already running, possibly for another user.\nOnly one copy can record "
            "at a time on this computer: please use the one that is open.",
            kProgramName, NoticeIcon::Information);
    if (!steps.WorkingDirectoryRecorded())
        return StartupFailure(
            "Can't read the working directory: its path must be shorter than 260 characters.");
    if (!SessionPathsFit())
        return StartupFailure("The working directory's path is too long for the session files.\nPlease start "
                              "Flickmere from a folder with a shorter path.");
    steps.ReadTexts();
    const int capacity = steps.LoadBitmapOffsets();
    if (capacity == -1)
        return StartupFailure(kCantOpenIni, "bmpoffs.ini");
    if (capacity == 0)
        return StartupFailure("INI file: %s is empty!", "bmpoffs.ini");
    if (steps.LoadCursorOffsets() == -1)
        return StartupFailure(kCantOpenIni, "curoffs.ini");
    if (steps.LoadFrameOffsets() == -1)
        return StartupFailure(kCantOpenIni, "frmoffs.ini");
    if (!steps.LoadHookLibrary())
        return StartupFailure("Can't load HookDll.dll.", "", NoticeIcon::Warning);
    return std::nullopt;
}
