// What the steps file says was under the pointer, from what the lookup found out: MSAA where it names a
// role, the list box's item, the non-client hit test, and the window class last; the fallback from what
// the press alone saw; and never a protected field's text.
#include "capture/PointedControl.h"

#include <gtest/gtest.h>

namespace {

constexpr int kRoleClient = 0x0A, kRoleText = 0x2A, kRolePushButton = 0x2B, kRoleListItem = 0x22;
constexpr uint32_t kStateFocused = 0x4, kStateProtected = 0x20000000;
constexpr uint32_t kAutoCheckBox = 0x3, kPassword = 0x20, kStaticBitmap = 0xE, kNoPrefix = 0x80;
constexpr int kHitMenu = 5, kHitClient = 1;

PointerFacts On(const char* className, uint32_t style = 0)
{
    PointerFacts facts;
    facts.window.inRecordedProgram = true;
    facts.window.className = className;
    facts.window.style = style;
    facts.window.rect = StepRect{110, 220, 80, 24};
    facts.window.title = "Controls";
    facts.window.originX = 100;
    facts.window.originY = 200;
    return facts;
}

PointerFacts Named(PointerFacts facts, const char* name, int role, uint32_t state = 0)
{
    facts.accessible = AccessibleAnswer{name, role, state, StepRect{112, 222, 76, 20}, false};
    return facts;
}

PointerFacts Text(PointerFacts facts, const char* text, int check = -1)
{
    facts.messages.text = text;
    facts.messages.check = check;
    return facts;
}

struct ControlCase
{
    const char* what;
    PointerFacts facts;
    const char* name;
    const char* role;
    std::vector<std::string> states;
    const char* source;
    StepRect rect;
};

PointerFacts ListItem(PointerFacts facts)
{
    facts.messages.listItem = ListItemAnswer{"Item 3", StepRect{110, 260, 80, 16}, true};
    return facts;
}

PointerFacts HitTest(PointerFacts facts, int hit)
{
    facts.messages.hitTest = hit;
    return facts;
}

PointerFacts Disabled(PointerFacts facts)
{
    facts.window.enabled = false;
    return facts;
}

const StepRect kWindow{10, 20, 80, 24};
const StepRect kAccessible{12, 22, 76, 20};

TEST(PointedControlTest, EachLinkOfTheChainNamesWhatItKnows)
{
    const ControlCase cases[] = {
        {"a button as MSAA names it under Wine, role from its style",
         Named(On("Button"), "Save", kRoleClient),
         "Save",
         "button",
         {},
         "button",
         kAccessible},
        {"a button MSAA gives a role to, as on Windows",
         Named(On("Button"), "Save", kRolePushButton, kStateFocused),
         "Save",
         "button",
         {"focused"},
         "msaa",
         kAccessible},
        {"a button's own text without its & marks",
         Text(On("Button"), "Save && &Quit"),
         "Save & Quit",
         "button",
         {},
         "button",
         kWindow},
        {"a check box, checked",
         Text(On("Button", kAutoCheckBox), "&Bold", 1),
         "Bold",
         "check-box",
         {"checked"},
         "button",
         kWindow},
        {"an edit named by its label",
         Named(On("Edit"), "User name:", kRoleText),
         "User name:",
         "text-field",
         {},
         "msaa",
         kAccessible},
        {"a password edit",
         Named(On("Edit", kPassword), "Password:", kRoleText, kStateProtected),
         "Password:",
         "text-field",
         {"protected"},
         "msaa",
         kAccessible},
        {"a password edit's own text is never its name",
         Text(On("Edit", kPassword), "hunter2"),
         "",
         "text-field",
         {"protected"},
         "class",
         kWindow},
        {"a label",
         Named(On("Static"), "User name:", kRoleClient),
         "User name:",
         "label",
         {},
         "class",
         kAccessible},
        {"a label's & stays where it shows",
         Text(On("Static", kNoPrefix), "Tom & Jerry"),
         "Tom & Jerry",
         "label",
         {},
         "class",
         kWindow},
        {"a picture, not named by its resource",
         Text(On("Static", kStaticBitmap), "#101"),
         "",
         "picture",
         {},
         "class",
         kWindow},
        {"a list box item",
         ListItem(Named(On("ListBox"), "Fruit:", kRoleClient)),
         "Item 3",
         "list-item",
         {"selected"},
         "list-box",
         StepRect{10, 60, 80, 16}},
        {"a list item MSAA knows",
         ListItem(Named(On("ListBox"), "Item 3", kRoleListItem)),
         "Item 3",
         "list-item",
         {},
         "msaa",
         kAccessible},
        {"the menu bar", HitTest(On("Notes"), kHitMenu), "", "menu-bar", {}, "hit-test", kWindow},
        {"the client area is no part of the frame",
         HitTest(On("Notes"), kHitClient),
         "",
         "window",
         {},
         "class",
         kWindow},
        {"an open menu", On("#32768"), "", "menu", {}, "menu", kWindow},
        {"a common control by its class", On("SysTreeView32"), "", "tree", {}, "class", kWindow},
        {"a window of its own kind", On("NotesCanvas"), "", "window", {}, "class", kWindow},
        {"a disabled button",
         Disabled(Text(On("Button"), "OK")),
         "OK",
         "button",
         {"disabled"},
         "button",
         kWindow},
    };
    for (const ControlCase& c : cases) {
        const std::optional<StepControl> control = DecideControl(c.facts);
        ASSERT_TRUE(control) << c.what;
        EXPECT_EQ(control->name, c.name) << c.what;
        EXPECT_EQ(control->role, c.role) << c.what;
        EXPECT_EQ(control->states, c.states) << c.what;
        EXPECT_EQ(control->source, c.source) << c.what;
        EXPECT_EQ(control->rect, c.rect) << c.what;
        EXPECT_EQ(control->className, c.facts.window.className) << c.what;
    }
}

TEST(PointedControlTest, NothingOfAnotherProgramIsRecorded)
{
    PointerFacts facts = Named(On("Button"), "Send", kRolePushButton);
    facts.window.inRecordedProgram = false;
    EXPECT_FALSE(DecideControl(facts));
}

TEST(PointedControlTest, LongNamesAreCutBetweenCharacters)
{
    std::string name = "  ";
    for (int i = 0; i < 150; ++i)
        name += "\xC3\xA4x"; // ä, two bytes, then x
    const std::optional<StepControl> control = DecideControl(Named(On("Static"), name.c_str(), kRoleClient));
    ASSERT_TRUE(control);
    EXPECT_EQ(control->name.size(), 300u); // 200 characters, the first 100 of the pairs
    EXPECT_EQ(control->name.substr(0, 3), "\xC3\xA4x");
}

TEST(PointedControlTest, OnlyButtonsAndLabelsMayBeAskedForTheirText)
{
    const std::pair<const char*, WindowKind> kinds[] = {
        {"Button", WindowKind::Button},     {"BUTTON", WindowKind::Button},
        {"Static", WindowKind::Label},      {"ListBox", WindowKind::ListBox},
        {"ComboLBox", WindowKind::ListBox}, {"Edit", WindowKind::Edit},
        {"RichEdit20W", WindowKind::Edit},  {"WindowsForms10.EDIT.app.0.1", WindowKind::Edit},
        {"TEdit", WindowKind::Edit},        {"#32768", WindowKind::Menu},
        {"ComboBox", WindowKind::Other},
    };
    for (const auto& [className, kind] : kinds)
        EXPECT_EQ(KindOfClass(className), kind) << className;
}

TEST(PointedControlTest, UiAutomationControlTypesReadAsRoles)
{
    EXPECT_STREQ(RoleWord(RoleOfControlType(50000)), "button");
    EXPECT_STREQ(RoleWord(RoleOfControlType(50004)), "text-field");
    EXPECT_STREQ(RoleWord(RoleOfControlType(50007)), "list-item");
    EXPECT_STREQ(RoleWord(RoleOfControlType(50011)), "menu-item");
    EXPECT_STREQ(RoleWord(RoleOfControlType(50019)), "tab");
    EXPECT_STREQ(RoleWord(RoleOfControlType(50037)), "title-bar");
    EXPECT_EQ(RoleOfControlType(50038), 0);
    EXPECT_EQ(RoleOfControlType(49999), 0);
}

} // namespace
