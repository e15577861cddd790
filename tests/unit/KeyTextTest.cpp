#include "capture/KeyText.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyTextTest, ModifiersAlwaysInTheOrderCtrlAltShift)
{
    EXPECT_EQ(CaptureKeyText(123, false, false, false), "F12");
    EXPECT_EQ(CaptureKeyText(112, true, false, true), "Alt+Shift+F1");
    EXPECT_EQ(CaptureKeyText(116, true, true, true), "Ctrl+Alt+Shift+F5");
    EXPECT_EQ(CaptureKeyText(121, false, true, false), "Ctrl+F10");
}

} // namespace
