#include "ProgramState.h"

#include "capture/CaptureState.h"
#include "output/FatalOutput.h"
#include "output/OffsetTables.h"
#include "state/FrameValues.h"
#include "state/SessionState.h"
#include "state/TextTable.h"
#include "state/Utf8Text.h"
#include "state/WorkingDirectory.h"
#ifdef _WIN32
#include "state/win32/SessionWindows.h"
#endif

namespace testsupport {

namespace {

void ThrowFatal(const char* message)
{
    throw CFatalOutput(message);
}

} // namespace

void ResetProgramState()
{
#ifdef _WIN32
    // The hook, the target and the 32-bit helper's handle and thread; a helper still running ends with
    // this process, as it does with the program's.
    g_sessionWindows = SessionWindows{};
#endif
    SetUtf8Converter(nullptr);
    SetAnsiReader(nullptr);
    g_workDir[0] = '\0';
    FillDefaultTexts();
    ResetSessionState();
    g_frameValues = FrameValues{};
    ResetOffsetTables();
    ReleaseComparisonImage();
    g_capture = CaptureState{};
    SetFatalOutputHandler(ThrowFatal);
}

} // namespace testsupport
