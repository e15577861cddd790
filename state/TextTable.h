#pragma once
#include "common/DirEntry.h"

constexpr int kLanguages = 10;
constexpr int kEnglishLanguage = 0; // the built-in table, always there
constexpr int kTexts = 63;
constexpr int kTextBytes = 500;
constexpr int kLanguageNameBytes = 255;

// The index of every text of a language, as language files number their lines. Those marked spare
// are read from language files like any other but shown nowhere.
enum TextId
{
    kTextAbout = 0,          // About button
    kTextWindowsGroup = 1,   // group box around the window list
    kTextKeyGroup = 2,       // group box around the capturing key
    kTextRefresh = 3,        // Refresh button
    kTextCapture = 4,        // Capture button while no session is active
    kTextPopUp = 5,          // Pop up button
    kTextAssignKey = 6,      // key button
    kTextCurrentKey = 7,     // label of the current key
    kTextInfoGroup = 8,      // group box around the session information
    kTextCapturedWindow = 9, // label of the captured window's title
    kTextLastSession = 10,   // label of the last-session report
    kTextHelp = 11,          // Help button
    kTextError = 12,         // caption of error boxes during use
    kTextReport = 13,        // the last-session report, a format with three integers
    kTextNone = 14,          // captured window field while idle
    kTextCantOpenIni = 15,   // spare: start-up boxes are fixed English texts
    kTextCantOpenTemplate = 16,
    kTextUncapture = 17, // Capture button while a session is active
    kTextIniEmpty = 18,  // spare, like kTextCantOpenIni
    kTextTemplateFull = 19,
    kTextTargetNotFound = 20,
    kTextPressCaptureAgain = 21, // spare
    kTextCorruptFile = 22,
    kTextInstructions = 23, // the Help box
    kTextReturn = 24,       // the popup's Return button
    kTextFrame = 25,        // the popup's frame label
    kTextOffset = 26,       // the popup's offset label
    kTextAboutBox = 27,     // the About box's text
    kTextSpare28 = 28,
    kTextTitle = 29, // the main dialog's title, also the hook library's name for it
    // The info area during a session: the presses and pictures so far, each counted in its singular
    // (exactly one) or plural form, then joined, for example "3 presses, 7 pictures".
    kTextOnePress = 30,
    kTextPresses = 31,
    kTextOnePicture = 32,
    kTextPictures = 33,
    kTextProgress = 34,
    kTextStepsNotWritten = 35, // the steps file could not be written, with %s for the reason
    kTextSpare36 = 36,
    kTextStartupMark = 37, // "yes..." makes the language the one the program starts in
    // Why no session started on a 32-bit program: FlickmereHook32.exe, which puts the hook's 32-bit
    // twin into it, is missing, could not be started (%s the system's reason), could not load
    // HookDll32.dll, could not find the dialog, could not install the hook, or was not ready.
    kTextTwinMissing = 38,
    kTextTwinNotStarted = 39,
    kTextTwinNoLibrary = 40,
    kTextTwinNoDialog = 41,
    kTextTwinNoHook = 42,
    kTextTwinNotReady = 43,
    // What of a session's export could not be written, %i the session, %s why: nothing (the take could
    // not be opened), the player (and so neither animation after it), the animated PNG (and so not the
    // GIF after it), or the GIF alone.
    kTextExportNotWritten = 44,
    kTextExportPlayerNotWritten = 45,
    kTextExportAnimationNotWritten = 46,
    // The program cannot notice edits saved while it runs.
    kTextWatchEnded = 47,
    kTextExportGifNotWritten = 48,
    // Why no session started: every session number is taken (a folder has the largest there can be), or
    // the session folder could not be created (%s the folder, %s the system's reason).
    kTextNoSessionNumber = 49,
    kTextFolderNotCreated = 50,
    // A capture step's failures: no picture could be taken, or pictures could not be written (%s names
    // the one, or the several, files).
    kTextGrabFailed = 51,
    kTextPictureNotWritten = 52,
    kTextPicturesNotWritten = 53,
    // Why an export was not done: a failure that came without words, or no thread could be started.
    kTextUnexpectedError = 54,
    kTextNoExportThread = 55,
    // The system's reason when it has no words for its error number %u.
    kTextSystemErrorNumber = 56,
    // The words suggested for a step's caption, %s the name of what it was about: the chords pressed,
    // the control clicked, the item selected, the field typed into, or the window the step is in.
    kTextSuggestPress = 57,
    kTextSuggestClick = 58,
    kTextSuggestSelect = 59,
    kTextSuggestTypeIn = 60,
    kTextSuggestIn = 61,
    // The player and both animations of session %i were written, its step guide was not (%s why).
    kTextExportGuideNotWritten = 62,
};

// Every UI text in every language, fixed size: text k of language L is texts[L][k], at most 499
// bytes and its zero byte, in the ANSI code page (a language file saved as UTF-8 is converted when it
// is read; nothing else is).
struct TextTable
{
    char texts[kLanguages][kTexts][kTextBytes];
    char names[kLanguages][kLanguageNameBytes];
    int count;
    int current;
    // Copies of the current language's texts that messages and captions read; refreshed only by the
    // apply step, so they stay empty until the first one.
    char currentTexts[kTexts][kTextBytes];
};

// Filled by the main dialog's creation step; the language list changes the current language and the
// apply step the current texts. Everything else only reads it.
extern TextTable g_texts;

// The English defaults in all ten blocks, language 0 named "english", one language, English current.
void FillDefaultTexts();

// Reads the language files among `entries` (files whose names end in ".lan"), sorted by name, as
// languages 1 to 9; further files are ignored because the table has room for ten languages.
void ReadLanguageFiles(DirListing entries);

// Reads one language file into block `language`; returns the number of texts stored or -1 when it
// cannot be opened. A text 37 starting with "yes" makes the language current. A UTF-8 byte-order mark
// is skipped, and a file that is UTF-8 with characters beyond ASCII is converted to the ANSI code page
// (see Utf8Text.h); any other file is taken byte for byte.
int ReadLanguageFile(int language, const char* path);

// Copies text `id` of `language` into the current texts.
void RefreshCurrentText(int language, int id);
// The apply step's part: every text of `language` becomes current, so that no box or caption can read a
// text that was never made current.
void RefreshCurrentTexts(int language);

inline const char* CurrentText(int id)
{
    return g_texts.currentTexts[id];
}
inline const char* LanguageText(int language, int id)
{
    return g_texts.texts[language][id];
}
