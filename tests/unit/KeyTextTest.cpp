// The capturing key as the dialog shows it, and the chords of the recorded program: which key-downs
// the hook reports, and how the steps file writes them.
#include "capture/KeyText.h"
#include "common/KeyChord.h"

#include <gtest/gtest.h>

namespace {

using namespace keychord;

KeyDown Down(int key, bool ctrl, bool alt, bool shift = false)
{
    KeyDown down;
    down.vk = key;
    down.ctrl = ctrl;
    down.alt = alt;
    down.shift = shift;
    return down;
}

KeyDown With(KeyDown down, bool rightAlt, bool extended, char32_t character = 0)
{
    down.rightAlt = rightAlt;
    down.extended = extended;
    down.character = character;
    return down;
}

struct ChordCase
{
    const char* what;
    KeyDown down;
    const char* text; // nullptr when the key-down is not reported
};

const ChordCase kChordCases[] = {
    {"Ctrl+S", Down('S', true, false), "Ctrl+S"},
    {"Alt+F4", Down(0x73, false, true), "Alt+F4"},
    {"all three modifiers in their order", Down('Z', true, true, true), "Ctrl+Alt+Shift+Z"},
    {"Ctrl+Shift+Left, the arrow key", With(Down(kLeft, true, false, true), false, true), "Ctrl+Shift+Left"},
    {"Ctrl with a digit", Down('1', true, false), "Ctrl+1"},
    {"Ctrl+Del", With(Down(kDelete, true, false), false, true), "Ctrl+Del"},
    {"Ctrl with the number pad's plus", Down(kAdd, true, false), "Ctrl+Num +"},
    {"a layout's key by the character it types", With(Down(0xBF, true, false), false, false, U'/'), "Ctrl+/"},
    {"Alt with the arrow key beside the pad", With(Down(kLeft, false, true), false, true), "Alt+Left"},
    {"plain typing", Down('S', false, false), nullptr},
    {"Shift alone is typing too", Down('S', false, false, true), nullptr},
    {"a modifier on its own", Down(kControl, true, false), nullptr},
    {"the right-hand Alt on its own", Down(kRightMenu, false, true), nullptr},
    {"the Windows key with Ctrl", Down(kLeftWin, true, false), nullptr},
    {"AltGr typing @ on a German layout", With(Down('Q', true, true), true, false), nullptr},
    {"Alt with a pad digit types a code", Down(kNumpad0 + 1, false, true), nullptr},
    {"Alt with a pad key, Num Lock off", With(Down(kEnd, false, true), false, false), nullptr},
    {"Alt with the pad's plus starts a hex code", Down(kAdd, false, true), nullptr},
    {"a layout's letter is no name", With(Down(0xBA, true, false), false, false, U'\u00F6'), nullptr},
    {"the hook's own mask key", Down(0xE8, false, true), nullptr},
};

TEST(KeyChordTest, ReportsChordsAndNeverTyping)
{
    for (const ChordCase& c : kChordCases) {
        EXPECT_EQ(IsReportedChord(c.down), c.text != nullptr) << c.what;
        if (c.text) {
            EXPECT_EQ(ChordText(c.down), c.text) << c.what;
        }
    }
}

// Every key-down the hook reports comes through the message intact and has a text with Ctrl or Alt in
// it; nothing else has a text once the modifiers are gone.
TEST(KeyChordTest, EveryReportedChordSurvivesTheMessageAndReads)
{
    const char32_t characters[] = {0, U'/', U'\u00E4'};
    for (int key = 0; key < 0x100; ++key)
        for (int modifiers = 0; modifiers < 32; ++modifiers)
            for (char32_t character : characters) {
                const KeyDown down = With(Down(key, modifiers & 1, modifiers & 2, modifiers & 4),
                                          modifiers & 8, modifiers & 16, character);
                if (!IsReportedChord(down))
                    continue;
                const KeyDown received = UnpackChord(PackKey(down), character);
                const std::string text = ChordText(received);
                ASSERT_FALSE(text.empty()) << key;
                EXPECT_TRUE(text.rfind("Ctrl+", 0) == 0 || text.rfind("Alt+", 0) == 0) << text;
                EXPECT_EQ(received.shift, down.shift);
            }
}

TEST(KeyTextTest, ModifiersAlwaysInTheOrderCtrlAltShift)
{
    EXPECT_EQ(CaptureKeyText({123}), "F12");
    EXPECT_EQ(CaptureKeyText({112, false, true, true}), "Alt+Shift+F1");
    EXPECT_EQ(CaptureKeyText({116, true, true, true}), "Ctrl+Alt+Shift+F5");
    EXPECT_EQ(CaptureKeyText({121, true, false, false}), "Ctrl+F10");
}

} // namespace
