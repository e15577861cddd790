#include "capture/PointedControl.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace {

// MSAA's role numbers and state bits (oleacc.h), which are fixed.
constexpr int kRoleTitleBar = 0x01, kRoleMenuBar = 0x02, kRoleScrollBar = 0x03, kRoleWindow = 0x09,
              kRoleClient = 0x0A, kRoleMenuPopup = 0x0B, kRoleMenuItem = 0x0C, kRoleTooltip = 0x0D,
              kRoleApplication = 0x0E, kRoleDocument = 0x0F, kRolePane = 0x10, kRoleDialog = 0x12,
              kRoleGrouping = 0x14, kRoleToolbar = 0x16, kRoleStatusBar = 0x17, kRoleTable = 0x18,
              kRoleColumnHeader = 0x19, kRoleRowHeader = 0x1A, kRoleRow = 0x1C, kRoleCell = 0x1D,
              kRoleLink = 0x1E, kRoleList = 0x21, kRoleListItem = 0x22, kRoleOutline = 0x23,
              kRoleOutlineItem = 0x24, kRolePageTab = 0x25, kRoleGraphic = 0x28, kRoleStaticText = 0x29,
              kRoleText = 0x2A, kRolePushButton = 0x2B, kRoleCheckButton = 0x2C, kRoleRadioButton = 0x2D,
              kRoleComboBox = 0x2E, kRoleDropList = 0x2F, kRoleProgressBar = 0x30, kRoleSlider = 0x33,
              kRoleSpinButton = 0x34, kRoleButtonDropDown = 0x38, kRoleButtonMenu = 0x39,
              kRolePageTabList = 0x3C, kRoleSplitButton = 0x3E;

constexpr uint32_t kStateUnavailable = 0x1, kStateSelected = 0x2, kStateFocused = 0x4, kStatePressed = 0x8,
                   kStateChecked = 0x10, kStateMixed = 0x20, kStateReadOnly = 0x40, kStateDefault = 0x100,
                   kStateExpanded = 0x200, kStateCollapsed = 0x400, kStateBusy = 0x800,
                   kStateProtected = 0x20000000, kStateHasPopup = 0x40000000;

struct RoleName
{
    int role;
    const char* word;
};

const RoleName kRoleWords[] = {
    {kRoleTitleBar, "title-bar"},
    {kRoleMenuBar, "menu-bar"},
    {kRoleScrollBar, "scroll-bar"},
    {kRoleWindow, "window"},
    {kRoleClient, "window"},
    {kRoleMenuPopup, "menu"},
    {kRoleMenuItem, "menu-item"},
    {kRoleTooltip, "tooltip"},
    {kRoleApplication, "window"},
    {kRoleDocument, "document"},
    {kRolePane, "window"},
    {kRoleDialog, "window"},
    {kRoleGrouping, "group"},
    {kRoleToolbar, "toolbar"},
    {kRoleStatusBar, "status-bar"},
    {kRoleTable, "table"},
    {kRoleColumnHeader, "header"},
    {kRoleRowHeader, "header"},
    {kRoleRow, "row"},
    {kRoleCell, "cell"},
    {kRoleLink, "link"},
    {kRoleList, "list"},
    {kRoleListItem, "list-item"},
    {kRoleOutline, "tree"},
    {kRoleOutlineItem, "tree-item"},
    {kRolePageTab, "tab"},
    {kRoleGraphic, "picture"},
    {kRoleStaticText, "label"},
    {kRoleText, "text-field"},
    {kRolePushButton, "button"},
    {kRoleCheckButton, "check-box"},
    {kRoleRadioButton, "radio-button"},
    {kRoleComboBox, "combo-box"},
    {kRoleDropList, "combo-box"},
    {kRoleProgressBar, "progress-bar"},
    {kRoleSlider, "slider"},
    {kRoleSpinButton, "spin-button"},
    {kRoleButtonDropDown, "button"},
    {kRoleButtonMenu, "button"},
    {kRolePageTabList, "tab-list"},
    {kRoleSplitButton, "button"},
};

struct StateName
{
    uint32_t bit;
    const char* word;
};

// In the order the file lists them.
const StateName kStateWords[] = {
    {kStateUnavailable, "disabled"}, {kStateFocused, "focused"}, {kStateSelected, "selected"},
    {kStatePressed, "pressed"},      {kStateChecked, "checked"}, {kStateMixed, "mixed"},
    {kStateReadOnly, "read-only"},   {kStateDefault, "default"}, {kStateExpanded, "expanded"},
    {kStateCollapsed, "collapsed"},  {kStateBusy, "busy"},       {kStateHasPopup, "has-popup"},
    {kStateProtected, "protected"},
};

// UI Automation's control types (UIA_ButtonControlTypeId = 50000, ...), in MSAA's roles.
const int kControlTypeRoles[] = {
    kRolePushButton,   0,
    kRoleCheckButton,  kRoleComboBox,
    kRoleText,         kRoleLink,
    kRoleGraphic,      kRoleListItem,
    kRoleList,         kRoleMenuPopup,
    kRoleMenuBar,      kRoleMenuItem,
    kRoleProgressBar,  kRoleRadioButton,
    kRoleScrollBar,    kRoleSlider,
    kRoleSpinButton,   kRoleStatusBar,
    kRolePageTabList,  kRolePageTab,
    kRoleStaticText,   kRoleToolbar,
    kRoleTooltip,      kRoleOutline,
    kRoleOutlineItem,  0,
    kRoleGrouping,     0,
    kRoleTable,        kRoleRow,
    kRoleDocument,     kRoleSplitButton,
    kRoleWindow,       kRolePane,
    kRoleColumnHeader, kRoleColumnHeader,
    kRoleTable,        kRoleTitleBar,
};
constexpr int kFirstControlType = 50000;

// Window styles of the standard controls, as Windows numbers them.
constexpr uint32_t kButtonTypeMask = 0xF, kEditPassword = 0x20, kStaticTypeMask = 0x1F,
                   kStaticNoPrefix = 0x80;
constexpr uint32_t kCheckBox = 0x2, kAutoCheckBox = 0x3, kRadioButton = 0x4, kThreeState = 0x5,
                   kAutoThreeState = 0x6, kGroupBox = 0x7, kAutoRadioButton = 0x9;
constexpr uint32_t kStaticIcon = 0x3, kStaticBitmap = 0xE, kStaticMetafile = 0xF;
// WM_NCHITTEST answers.
constexpr int kHitCaption = 2, kHitSystemMenu = 3, kHitMenu = 5, kHitHorizontalScroll = 6,
              kHitVerticalScroll = 7, kHitMinimize = 8, kHitMaximize = 9, kHitClose = 20, kHitHelp = 21;
constexpr int kChecked = 1, kMixed = 2;

// Names are for captions: a list item or a label may hold a whole paragraph.
constexpr size_t kMaxNameCharacters = 200;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsGenericRole(int role)
{
    return role == 0 || role == kRoleClient || role == kRoleWindow || role == kRolePane;
}

int ButtonRole(uint32_t style)
{
    switch (style & kButtonTypeMask) {
    case kCheckBox:
    case kAutoCheckBox:
    case kThreeState:
    case kAutoThreeState:
        return kRoleCheckButton;
    case kRadioButton:
    case kAutoRadioButton:
        return kRoleRadioButton;
    case kGroupBox:
        return kRoleGrouping;
    default:
        return kRolePushButton;
    }
}

struct ClassRole
{
    const char* className; // lower case
    int role;
};

const ClassRole kClassRoles[] = {
    {"combobox", kRoleComboBox},
    {"comboboxex32", kRoleComboBox},
    {"syslistview32", kRoleList},
    {"systreeview32", kRoleOutline},
    {"systabcontrol32", kRolePageTabList},
    {"msctls_trackbar32", kRoleSlider},
    {"msctls_progress32", kRoleProgressBar},
    {"toolbarwindow32", kRoleToolbar},
    {"msctls_statusbar32", kRoleStatusBar},
    {"scrollbar", kRoleScrollBar},
    {"syslink", kRoleLink},
    {"msctls_updown32", kRoleSpinButton},
};

int RoleOfClass(const PointedWindow& window, WindowKind kind)
{
    switch (kind) {
    case WindowKind::Button:
        return ButtonRole(window.style);
    case WindowKind::Label: {
        const uint32_t type = window.style & kStaticTypeMask;
        return type == kStaticIcon || type == kStaticBitmap || type == kStaticMetafile ? kRoleGraphic
                                                                                       : kRoleStaticText;
    }
    case WindowKind::ListBox:
        return kRoleList;
    case WindowKind::Edit:
        return kRoleText;
    case WindowKind::Menu:
        return kRoleMenuPopup;
    case WindowKind::Other:
        break;
    }
    const std::string lower = Lower(window.className);
    for (const ClassRole& entry : kClassRoles)
        if (lower == entry.className)
            return entry.role;
    return kRoleWindow;
}

int RoleOfHitTest(int hit)
{
    switch (hit) {
    case kHitMenu:
        return kRoleMenuBar;
    case kHitCaption:
    case kHitSystemMenu:
    case kHitMinimize:
    case kHitMaximize:
    case kHitClose:
    case kHitHelp:
        return kRoleTitleBar;
    case kHitHorizontalScroll:
    case kHitVerticalScroll:
        return kRoleScrollBar;
    default:
        return 0;
    }
}

// "&Save" as the window holds it, "Save" as it shows; "&&" shows one "&".
std::string WithoutMnemonics(const std::string& text)
{
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        else if (text[i] == '&')
            continue;
        shown += text[i];
    }
    return shown;
}

// Trimmed of surrounding white space and cut after kMaxNameCharacters characters, never inside one.
std::string Shortened(const std::string& name)
{
    const size_t first = name.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const size_t last = name.find_last_not_of(" \t\r\n");
    std::string trimmed = name.substr(first, last - first + 1);
    size_t characters = 0;
    for (size_t i = 0; i < trimmed.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(trimmed[i]) & 0xC0) != 0x80;
        if (starts && ++characters > kMaxNameCharacters)
            return trimmed.substr(0, i);
    }
    return trimmed;
}

std::vector<std::string> StateWords(uint32_t state)
{
    std::vector<std::string> words;
    for (const StateName& named : kStateWords)
        if ((state & named.bit) != 0)
            words.emplace_back(named.word);
    return words;
}

StepRect FromOrigin(const StepRect& screen, const PointedWindow& window)
{
    return StepRect{screen.x - window.originX, screen.y - window.originY, screen.width, screen.height};
}

// The states that the window itself shows, whatever else answered.
uint32_t WindowState(const PointerFacts& facts, WindowKind kind)
{
    uint32_t state = facts.window.enabled ? 0 : kStateUnavailable;
    if (kind == WindowKind::Edit && (facts.window.style & kEditPassword) != 0)
        state |= kStateProtected;
    if (facts.messages.check == kChecked)
        state |= kStateChecked;
    else if (facts.messages.check == kMixed)
        state |= kStateMixed;
    return state;
}

// The name from the window's own text: only a button's or a label's, never a protected field's. A
// picture's text names its resource, not what it shows.
std::string TextName(const PointerFacts& facts, WindowKind kind, int role, uint32_t state)
{
    if (!facts.messages.text || (state & kStateProtected) != 0 || role == kRoleGraphic)
        return {};
    const bool noPrefix = kind == WindowKind::Label && (facts.window.style & kStaticNoPrefix) != 0;
    return noPrefix ? *facts.messages.text : WithoutMnemonics(*facts.messages.text);
}

} // namespace

WindowKind KindOfClass(const std::string& className)
{
    const std::string lower = Lower(className);
    if (lower.find("edit") != std::string::npos)
        return WindowKind::Edit; // Edit, RichEdit20W, TEdit, WindowsForms10.EDIT..., TRichEdit, ...
    if (lower == "button")
        return WindowKind::Button;
    if (lower == "static")
        return WindowKind::Label;
    if (lower == "listbox" || lower == "combolbox")
        return WindowKind::ListBox;
    if (lower == "#32768")
        return WindowKind::Menu;
    return WindowKind::Other;
}

const char* RoleWord(int msaaRole)
{
    for (const RoleName& named : kRoleWords)
        if (named.role == msaaRole)
            return named.word;
    return "other";
}

int RoleOfControlType(int controlType)
{
    const int index = controlType - kFirstControlType;
    return index >= 0 && index < static_cast<int>(std::size(kControlTypeRoles)) ? kControlTypeRoles[index]
                                                                                : 0;
}

bool AsksHitTest(bool topLevel, bool inClientArea)
{
    return topLevel && !inClientArea;
}

std::optional<StepControl> DecideControl(const PointerFacts& facts)
{
    const PointedWindow& window = facts.window;
    if (!window.inRecordedProgram)
        return std::nullopt;
    const WindowKind kind = KindOfClass(window.className);
    const std::optional<AccessibleAnswer>& accessible = facts.accessible;
    uint32_t state = WindowState(facts, kind) | (accessible ? accessible->state : 0);

    StepControl control;
    control.className = window.className;
    control.rect = FromOrigin(accessible && accessible->rect ? *accessible->rect : window.rect, window);
    if (accessible && !IsGenericRole(accessible->role)) {
        control.name = Shortened(accessible->name);
        control.role = RoleWord(accessible->role);
        control.source = accessible->fromUiAutomation ? "uia" : "msaa";
    } else if (const std::optional<ListItemAnswer>& item = facts.messages.listItem) {
        control.name = Shortened(item->text);
        control.role = RoleWord(kRoleListItem);
        if (item->rect)
            control.rect = FromOrigin(*item->rect, window);
        state = (state & ~kStateSelected) | (item->selected ? kStateSelected : 0);
        control.source = "list-box";
    } else if (const int hitRole = RoleOfHitTest(facts.messages.hitTest)) {
        control.role = RoleWord(hitRole);
        control.source = "hit-test";
    } else {
        const int role = RoleOfClass(window, kind);
        const std::string ownName = TextName(facts, kind, role, state);
        control.name = Shortened(accessible && !accessible->name.empty() ? accessible->name : ownName);
        control.role = RoleWord(role);
        control.source = kind == WindowKind::Button ? "button" : kind == WindowKind::Menu ? "menu" : "class";
    }
    control.states = StateWords(state);
    return control;
}
