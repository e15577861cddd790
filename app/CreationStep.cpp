#include "app/CreationStep.h"

#include "capture/SessionLifecycle.h"
#include "common/TextFormat.h"

namespace {

const char kCantOpenIni[] = "Can't open INI file: %s!";

bool Refuse(StartupRefusal& refusal, const char* format, const char* fileName = "", bool warning = false)
{
    FormatText(refusal.message, sizeof refusal.message, format, {fileName});
    refusal.warning = warning;
    return false;
}

} // namespace

bool RunCreationSteps(ICreationSteps& steps, StartupRefusal& refusal)
{
    if (!steps.ClaimSoleCopy()) {
        refusal.caption = "Flickmere";
        refusal.information = true;
        return Refuse(refusal, "Flickmere is already running, possibly for another user.\nOnly one copy can "
                               "record at a time on this computer: please use the one that is open.");
    }
    if (!steps.WorkingDirectoryRecorded())
        return Refuse(refusal, "Can't read the working directory: its path must be shorter than 260 "
                               "characters.");
    if (!SessionPathsFit())
        return Refuse(refusal, "The working directory's path is too long for the session files.\nPlease "
                               "start Flickmere from a folder with a shorter path.");
    steps.ReadTexts();
    const int capacity = steps.LoadBitmapOffsets();
    if (capacity == -1)
        return Refuse(refusal, kCantOpenIni, "bmpoffs.ini");
    if (capacity == 0)
        return Refuse(refusal, "INI file: %s is empty!", "bmpoffs.ini");
    if (steps.LoadCursorOffsets() == -1)
        return Refuse(refusal, kCantOpenIni, "curoffs.ini");
    if (steps.LoadFrameOffsets() == -1)
        return Refuse(refusal, kCantOpenIni, "frmoffs.ini");
    if (!steps.LoadHookLibrary())
        return Refuse(refusal, "Can't load HookDll.dll.", "", true);
    return true;
}
