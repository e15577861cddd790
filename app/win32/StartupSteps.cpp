#include "app/win32/StartupSteps.h"

#include "app/win32/RunningInstance.h"
#include "capture/win32/HookLibrary.h"
#include "common/TextFormat.h"
#include "common/win32/DirectoryListing.h"
#include "output/OffsetTables.h"
#include "state/TextTable.h"
#include "state/Utf8Text.h"
#include "state/win32/AnsiCodePage.h"

bool CStartupSteps::ClaimSoleCopy()
{
    return m_instance.Claim();
}

void CStartupSteps::ReadTexts()
{
    SetUtf8Converter(Utf8ToAnsiCodePage);
    SetAnsiReader(AnsiCodePageToUtf8);
    FillDefaultTexts();
    char pattern[16];
    FormatText(pattern, sizeof pattern, "*.%s", {"lan"});
    ReadLanguageFiles(ListDirectory(pattern));
}

int CStartupSteps::LoadBitmapOffsets()
{
    return ::LoadBitmapOffsets();
}

int CStartupSteps::LoadCursorOffsets()
{
    return ::LoadCursorOffsets();
}

int CStartupSteps::LoadFrameOffsets()
{
    return ::LoadFrameOffsets();
}

bool CStartupSteps::LoadHookLibrary()
{
    return m_hooks.Load();
}
