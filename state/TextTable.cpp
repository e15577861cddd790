#include "state/TextTable.h"

#include "common/File.h"
#include "common/TextFormat.h"
#include "common/Version.h"
#include "state/Utf8Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

TextTable g_texts;

namespace {

constexpr int kLineBufferBytes = 1000;

struct DefaultText
{
    TextId id;
    const char* text;
};

const DefaultText kDefaults[] = {
    {kTextAbout, "About"},
    {kTextWindowsGroup, "Select an application to be captured"},
    {kTextKeyGroup, "Select \"Capturing Key\""},
    {kTextRefresh, "Refresh"},
    {kTextCapture, "Capture"},
    {kTextPopUp, "Pop up"},
    {kTextAssignKey, "Assign Key"},
    {kTextCurrentKey, "Current key:"},
    {kTextInfoGroup, "Info"},
    {kTextCapturedWindow, "Captured Window:"},
    {kTextLastSession, "Last session info:"},
    {kTextHelp, "Help"},
    {kTextError, "Error!"},
    {kTextReport,
     "Result dir name - session%i.\nYou should delete in resulting *.fla\n  - frames from %i till the "
     "end ;\n  - pictures from %i till the end"},
    {kTextNone, "None"},
    {kTextCantOpenIni, "Can't open INI file: %s!"},
    {kTextCantOpenTemplate, "Can't open template file: %s\n"},
    {kTextUncapture, "Uncapture"},
    {kTextIniEmpty, "INI file: %s is empty!"},
    {kTextTemplateFull, "Template is full"},
    {kTextTargetNotFound, "Target window is not found"},
    {kTextPressCaptureAgain, "Template is full\nPress capture again"},
    {kTextCorruptFile, "Corrupt file: %s\n"},
    {kTextInstructions,
     "1. Select window to be captured.\n \n2. Press button \"capture\".\n \n3. Activate captured "
     "window.\n \n4. Manipulate with the window and press \"Capturing key\" to make BMP pictures.\n \n5. "
     "When you finish return to this dialog box and press button \"Uncapture\".\n \n6. Produced "
     "destination FLAN.fla is located in SessionN directory according \n    to appropriate step of "
     "capturing."},
    {kTextReturn, "Return"},
    {kTextFrame, "Frame:"},
    {kTextOffset, "Offset:"},
    {kTextAboutBox,
     "Flickmere\nVersion " FLICKMERE_VERSION_STRING "\n\nRecords one window, key press by key press, "
     "as pictures and a patched animation template for software demos.\n\nCopyright (c) 2026 the "
     "Flickmere developers."},
    {kTextTitle, "Flickmere"},
    {kTextOnePress, "%i press"},
    {kTextPresses, "%i presses"},
    {kTextOnePicture, "%i picture"},
    {kTextPictures, "%i pictures"},
    {kTextProgress, "%s, %s"},
    {kTextStepsNotWritten,
     "The steps file of this session could not be written:\n%s\n\nThe pictures are saved as "
     "before; the next key press writes the steps file again."},
    {kTextTwinMissing, "FlickmereHook32.exe is missing: it must be beside Flickmere.exe to record a 32-bit "
                       "program."},
    {kTextTwinNotStarted, "FlickmereHook32.exe, which records 32-bit programs, could not be started:\n%s"},
    {kTextTwinNoLibrary, "FlickmereHook32.exe could not load HookDll32.dll: it must be beside Flickmere.exe "
                         "to record a 32-bit program."},
    {kTextTwinNoDialog, "FlickmereHook32.exe could not find Flickmere's window, so it could not record this "
                        "32-bit program."},
    {kTextTwinNoHook, "The keyboard hook could not be installed in this 32-bit program. If the program runs "
                      "as administrator, run Flickmere as administrator too."},
    {kTextTwinNotReady, "FlickmereHook32.exe did not get ready to record this 32-bit program."},
    {kTextExportNotWritten,
     "The player, the animated PNG and the GIF of session %i could not be written:\n%s\n\nThey, "
     "and the session's pictures and template file, are as they were."},
    {kTextExportPlayerNotWritten,
     "The player of session %i could not be written, and so its animated PNG and GIF were "
     "not written either:\n%s\n\nThey are as they were."},
    {kTextExportAnimationNotWritten, "The player of session %i was written, but its animated PNG could not "
                                     "be, and so its GIF was not written either:\n%s\n\nBoth are as they "
                                     "were."},
    {kTextWatchEnded, "Flickmere does not notice edits saved in the session folders here while it runs: a "
                      "saved edit reaches the player and the animated PNG when Flickmere starts again."},
    {kTextExportGifNotWritten, "The player and the animated PNG of session %i were written, but its GIF "
                               "could not be:\n%s\n\nThe GIF is as it was."},
    {kTextNoSessionNumber,
     "No new session folder can be made: a session folder here already has the largest number there can "
     "be (session2147483647).\nMove or rename that folder, then press Capture again."},
    {kTextFolderNotCreated, "Can't create the session folder %s:\n%s"},
    {kTextGrabFailed, "Could not take the window's picture: Windows is short of graphics resources.\n"
                      "Nothing was saved for this key press; the session goes on."},
    {kTextPictureNotWritten,
     "Could not write %s: out of memory, or the disk is full.\nThe session goes on without it."},
    {kTextPicturesNotWritten,
     "Could not write %s: out of memory, or the disk is full.\nThe session goes on without them."},
    {kTextUnexpectedError, "unexpected error"},
    {kTextNoExportThread, "no thread could be started for it"},
    {kTextSystemErrorNumber, "Error %u"},
    {kTextSuggestPress, "Press %s"},
    {kTextSuggestClick, "Click %s"},
    {kTextSuggestSelect, "Select %s"},
    {kTextSuggestTypeIn, "Type in %s"},
    {kTextSuggestIn, "In %s"},
    {kTextExportGuideNotWritten, "The player, the animated PNG and the GIF of session %i were written, but "
                                 "its step guide (guide.html) could not be:\n%s\n\nThe guide is as it was."},
};

bool EndsWithLan(const std::string& name)
{
    if (name.size() < 4)
        return false;
    const char* ext = name.c_str() + name.size() - 4;
    return ext[0] == '.' && (ext[1] | 0x20) == 'l' && (ext[2] | 0x20) == 'a' && (ext[3] | 0x20) == 'n';
}

bool LessByName(const DirEntry& a, const DirEntry& b)
{
    // Case-insensitive ASCII order, as a file manager shows them; byte order breaks ties.
    const int n = static_cast<int>(std::min(a.name.size(), b.name.size()));
    for (int i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a.name[i]);
        unsigned char y = static_cast<unsigned char>(b.name[i]);
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return x < y;
    }
    if (a.name.size() != b.name.size())
        return a.name.size() < b.name.size();
    return a.name < b.name;
}

// The bytes of a language file, read one at a time like a stream.
struct CByteReader
{
    const std::vector<uint8_t>& bytes;
    size_t at;

    int Get() { return at < bytes.size() ? bytes[at++] : EOF; }
    void Unget() { --at; }
};

// One physical line in text mode: a CR LF pair reads as LF. At most kLineBufferBytes - 1 bytes are
// kept, line feed included; the rest of an over-long line is dropped rather than read as further
// texts, so every text keeps the index of its line.
bool ReadLine(CByteReader& in, char* line, int& length)
{
    length = 0;
    int c = in.Get();
    if (c == EOF)
        return false;
    bool kept = true;
    for (; c != EOF; c = in.Get()) {
        if (c == '\r') {
            const int next = in.Get();
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                in.Unget();
        }
        if (kept && length < kLineBufferBytes - 1)
            line[length++] = static_cast<char>(c);
        else
            kept = false;
        if (c == '\n')
            break;
    }
    return true;
}

// "\n" written as backslash and n becomes a real line feed, before anything else looks at the line.
void ExpandLineFeeds(char* line, int& length)
{
    int out = 0;
    for (int in = 0; in < length; ++in) {
        if (line[in] == '\\' && in + 1 < length && line[in + 1] == 'n') {
            line[out++] = '\n';
            ++in;
        } else {
            line[out++] = line[in];
        }
    }
    length = out;
}

} // namespace

void FillDefaultTexts()
{
    std::memset(&g_texts, 0, sizeof g_texts);
    for (auto& language : g_texts.texts)
        for (const DefaultText& d : kDefaults)
            CopyText(language[d.id], kTextBytes, d.text);
    CopyText(g_texts.names[0], kLanguageNameBytes, "english");
    g_texts.count = 1;
    g_texts.current = 0;
}

int ReadLanguageFile(int language, const char* path)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes))
        return -1;
    // Saved as UTF-8 by an editor: the mark would hide the ';' of a first comment line and shift every
    // text by one, and each letter beyond ASCII would show as two or three wrong ones.
    CByteReader in{bytes, 0};
    if (bytes.size() >= kUtf8MarkBytes && std::memcmp(bytes.data(), kUtf8Mark, kUtf8MarkBytes) == 0)
        in.at = kUtf8MarkBytes;
    const bool utf8 =
        IsUtf8BeyondAscii(reinterpret_cast<const char*>(bytes.data()) + in.at, bytes.size() - in.at);
    char line[kLineBufferBytes];
    int length;
    int stored = 0;
    while (ReadLine(in, line, length)) {
        ExpandLineFeeds(line, length);
        if (length > 0 && line[0] == ';')
            continue;
        if (length > 0 && line[length - 1] == '\n')
            --length;
        // The table has kTexts texts of 499 bytes: later lines are ignored, longer ones shortened.
        if (stored >= kTexts)
            continue;
        char* text = g_texts.texts[language][stored++];
        if (utf8) {
            CopyText(text, kTextBytes, Utf8ToAnsi(line, static_cast<size_t>(length)).c_str());
            continue;
        }
        if (length > kTextBytes - 1)
            length = kTextBytes - 1;
        std::memcpy(text, line, length);
        text[length] = '\0';
    }
    if (std::strncmp(g_texts.texts[language][kTextStartupMark], "yes", 3) == 0)
        g_texts.current = language;
    return stored;
}

void ReadLanguageFiles(DirListing entries)
{
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const DirEntry& e) {
                                     return e.isDirectory || e.name == "." || e.name == ".." ||
                                            !EndsWithLan(e.name);
                                 }),
                  entries.end());
    std::sort(entries.begin(), entries.end(), LessByName);
    for (const DirEntry& entry : entries) {
        if (g_texts.count >= kLanguages)
            break;
        const int language = g_texts.count;
        CopyText(g_texts.names[language], kLanguageNameBytes,
                 entry.name.substr(0, entry.name.size() - 4).c_str());
        ReadLanguageFile(language, entry.name.c_str());
        ++g_texts.count;
    }
}

void RefreshCurrentText(int language, int id)
{
    std::memcpy(g_texts.currentTexts[id], g_texts.texts[language][id], kTextBytes);
}

void RefreshCurrentTexts(int language)
{
    for (int id = 0; id < kTexts; ++id)
        RefreshCurrentText(language, id);
}
