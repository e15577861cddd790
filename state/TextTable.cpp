#include "state/TextTable.h"

#include "common/TextFormat.h"
#include "common/Version.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

TextTable g_texts;

namespace {

constexpr int kLineBufferBytes = 1000;

struct DefaultText
{
    int id;
    const char* text;
};

const DefaultText kDefaults[] = {
    {0, "About"},
    {1, "Select an application to be captured"},
    {2, "Select \"Capturing Key\""},
    {3, "Refresh"},
    {4, "Capture"},
    {5, "Pop up"},
    {6, "Assign Key"},
    {7, "Current key:"},
    {8, "Info"},
    {9, "Captured Window:"},
    {10, "Last session info:"},
    {11, "Help"},
    {12, "Error!"},
    {13, "Result dir name - session%i.\nYou should delete in resulting *.fla\n  - frames from %i till the "
         "end ;\n  - pictures from %i till the end"},
    {14, "None"},
    {15, "Can't open INI file: %s!"},
    {16, "Can't open template file: %s\n"},
    {17, "Uncapture"},
    {18, "INI file: %s is empty!"},
    {19, "Template is full"},
    {20, "Target window is not found"},
    {21, "Template is full\nPress capture again"},
    {22, "Corrupt file: %s\n"},
    {23, "1. Select window to be captured.\n \n2. Press button \"capture\".\n \n3. Activate captured "
         "window.\n \n4. Manipulate with the window and press \"Capturing key\" to make BMP pictures.\n \n5. "
         "When you finish return to this dialog box and press button \"Uncapture\".\n \n6. Produced "
         "destination FLAN.fla is located in SessionN directory according \n    to appropriate step of "
         "capturing."},
    {24, "Return"},
    {25, "Frame:"},
    {26, "Offset:"},
    {27, "Flickmere\nVersion " FLICKMERE_VERSION_STRING "\n\nRecords one window, key press by key press, "
         "as pictures and a patched animation template for software demos.\n\nCopyright (c) 2026 the "
         "Flickmere developers."},
    {29, "Flickmere"},
};

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
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

// One physical line in text mode: a CR LF pair reads as LF. At most kLineBufferBytes - 1 bytes are
// kept, line feed included; the rest of an over-long line is dropped rather than read as further
// texts, so every text keeps the index of its line.
bool ReadLine(std::FILE* file, char* line, int& length)
{
    length = 0;
    int c = std::fgetc(file);
    if (c == EOF)
        return false;
    bool kept = true;
    for (; c != EOF; c = std::fgetc(file)) {
        if (c == '\r') {
            const int next = std::fgetc(file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, file);
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
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return -1;
    char line[kLineBufferBytes];
    int length;
    int stored = 0;
    while (ReadLine(file.get(), line, length)) {
        ExpandLineFeeds(line, length);
        if (length > 0 && line[0] == ';')
            continue;
        if (length > 0 && line[length - 1] == '\n')
            --length;
        // The table has 38 texts of 499 bytes: later lines are ignored, longer ones shortened.
        if (stored >= kTexts)
            continue;
        if (length > kTextBytes - 1)
            length = kTextBytes - 1;
        char* text = g_texts.texts[language][stored++];
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
