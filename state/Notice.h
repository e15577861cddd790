#pragma once
// What the user is told in one box: its words, chosen by the portable rules, and how the box looks. The
// Windows shell shows every one of them in one place (state/win32/NoticeBox.h). Held without
// allocation: running out of memory is one way to get here.
#include "common/TextFormat.h"
#include "state/TextTable.h"

#include <cstddef>
#include <initializer_list>

enum class NoticeIcon
{
    None,
    Information,
    Warning,
    Error,
};

// Long enough for a text of the table with two paths and the system's words in it.
constexpr size_t kNoticeBytes = 2048;

struct Notice
{
    char text[kNoticeBytes] = "";
    // A text of the program's, valid until the language changes; null for the system's own caption.
    const char* caption = nullptr;
    NoticeIcon icon = NoticeIcon::None;
    // Owned by the main dialog, which stays disabled while it shows. A box without owner leaves the dialog
    // working behind it: a press of the capturing key may come meanwhile.
    bool owned = true;
    // The text is UTF-8, as the export's words and paths are; else it is in the ANSI code page, like the
    // text table.
    bool utf8 = false;
    // Shown over every window and brought to the front: it may come while the user works elsewhere.
    bool inFront = false;
};

// Text `format` of the current language with `args` filled in, under `caption`.
Notice NoticeOf(TextId format, std::initializer_list<FormatArg> args, const char* caption, NoticeIcon icon,
                bool owned = true);
// `text` shown as it is: a text of the table that takes no arguments, a message made elsewhere, or a
// text the program shows in English whatever the language.
Notice PlainNotice(const char* text, const char* caption, NoticeIcon icon, bool owned = true);

// Texts shown in English in every language: captions and words the program has always shown the same,
// and, before the text table is read at start-up, every word.
constexpr char kFixedPleaseWait[] = "Please Wait";         // the Capture button while a session starts
constexpr char kFixedTargetGoneCaption[] = "HWND Problem"; // caption of the target-gone box
constexpr char kFixedHelpCaption[] = "Instruction";        // caption of the Help box
constexpr char kFixedWarningCaption[] = "Warning";         // caption of a capture step's warnings
constexpr char kFixedNotVisible[] = "Check if the window is visible!";
constexpr char kFixedErrorCaption[] = "Error!"; // before the text table is read
