// Every test starts as the program starts: whatever a test leaves in the process-wide records, the
// reset puts back.
#include "ProgramState.h"
#include "capture/CaptureState.h"
#include "output/OffsetTables.h"
#include "state/FrameValues.h"
#include "state/SessionState.h"
#include "state/TextTable.h"
#include "state/Utf8Text.h"
#include "state/WorkingDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Question(const char*, size_t)
{
    return "?";
}

TEST(ProgramStateTest, TheResetPutsBackWhatATestChanged)
{
    const std::string umlaut = "\xC3\xA4";
    testsupport::ResetProgramState();
    const std::string fresh = Utf8ToAnsi(umlaut.data(), umlaut.size());

    std::strcpy(g_workDir, "w");
    std::strcpy(g_texts.currentTexts[kTextError], "Fehler!");
    g_session.imageCounter = 7;
    g_frameValues.frame = 9;
    g_offsets.bitmapRows = 3;
    g_capture.previousWidth = 5;
    SetUtf8Converter(Question);
    testsupport::ResetProgramState();

    EXPECT_STREQ(g_workDir, "");
    EXPECT_STREQ(CurrentText(kTextError), "");
    EXPECT_EQ(g_session.imageCounter, 1);
    EXPECT_EQ(g_frameValues.frame, FrameValues{}.frame);
    EXPECT_EQ(g_offsets.bitmapRows, 0);
    EXPECT_EQ(g_capture.previousWidth, 0);
    EXPECT_EQ(Utf8ToAnsi(umlaut.data(), umlaut.size()), fresh)
        << "the UTF-8 converter of the program's start";
    EXPECT_EQ(fresh, "\xE4");
}

} // namespace
