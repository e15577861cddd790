#pragma once
// What was under the pointer at a press, decided from the facts that the Windows side gathers: the
// window under the pointer (read at the press itself, with no message to it), what the accessibility
// interfaces said about the point, and what the window's own messages told. The Windows side only asks;
// the choice of role, name, states and rectangle, and of the fallback when the asking took too long,
// is made here.
#include "output/StepsFile.h"

#include <cstdint>
#include <optional>
#include <string>

// The window under the pointer, as the press saw it.
struct PointedWindow
{
    // False when the window belongs to another program than the recorded one: nothing of it is recorded.
    bool inRecordedProgram = false;
    std::string className;
    uint32_t style = 0; // the window's style bits, as GetWindowLong gives them
    bool enabled = true;
    StepRect rect; // on the screen
    // The title of the top-level window it belongs to; for an open menu, of the window that opened it.
    std::string title;
    // Where the session's grabs start on the screen: rectangles are recorded from there.
    int32_t originX = 0;
    int32_t originY = 0;
};

// What an accessibility interface said about the point: MSAA's, or UI Automation's in MSAA's terms.
struct AccessibleAnswer
{
    std::string name;
    int role = 0;                 // an MSAA role number (ROLE_SYSTEM_...), 0 for none
    uint32_t state = 0;           // MSAA state bits (STATE_SYSTEM_...)
    std::optional<StepRect> rect; // on the screen
    bool fromUiAutomation = false;
};

// An item of a list box under the pointer.
struct ListItemAnswer
{
    std::string text;
    std::optional<StepRect> rect; // on the screen
    bool selected = false;
};

// What the window's own messages told, where they were sent.
struct WindowAnswer
{
    // The text of a button or a label (never of anything that may be an edit field), as the window
    // holds it, with its & marks.
    std::optional<std::string> text;
    int check = -1; // a check box's or radio button's BM_GETCHECK: 0, 1 or 2 (mixed); -1 when not asked
    std::optional<ListItemAnswer> listItem;
    int hitTest = 0; // WM_NCHITTEST of the top-level window where the pointer is off its client area
};

struct PointerFacts
{
    PointedWindow window;
    std::optional<AccessibleAnswer> accessible;
    WindowAnswer messages;
};

// The control to record, with its rectangle in the pictures' coordinates; none outside the recorded
// program. With only `window` known this is the fallback: the role from the class and style, no name.
std::optional<StepControl> DecideControl(const PointerFacts& facts);

// What kind of window a class is, as far as the lookup needs to know: which messages it may send.
enum class WindowKind
{
    Button,
    Label,
    ListBox,
    Edit, // any class that may be an edit field: its text is never asked for
    Menu, // an open menu's window
    Other,
};
WindowKind KindOfClass(const std::string& className);

// The role word of an MSAA role number ("button", "text-field", ...); "other" for one without a word.
const char* RoleWord(int msaaRole);
// The MSAA role number of a UI Automation control type, 0 for none.
int RoleOfControlType(int controlType);
// Whether the window under the pointer needs WM_NCHITTEST: the pointer is on a top-level window
// itself, not on a child, and off its client area (its menu bar, title bar or frame).
bool AsksHitTest(bool topLevel, bool inClientArea);
