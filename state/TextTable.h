#pragma once
#include "common/DirEntry.h"

constexpr int kLanguages = 10;
constexpr int kTexts = 38;
constexpr int kTextBytes = 500;
constexpr int kLanguageNameBytes = 255;

// Indices of the texts other parts of the program read.
enum TextId
{
    kTextAbout = 0,
    kTextCapture = 4,
    kTextError = 12,
    kTextReport = 13,
    kTextNone = 14,
    kTextCantOpenTemplate = 16,
    kTextUncapture = 17,
    kTextTemplateFull = 19,
    kTextTargetNotFound = 20,
    kTextCorruptFile = 22,
    kTextInstructions = 23,
    kTextReturn = 24,
    kTextFrame = 25,
    kTextOffset = 26,
    kTextAboutBox = 27,
    kTextTitle = 29,
    kTextStartupMark = 37,
};

// Every UI text in every language, fixed size: text k of language L is texts[L][k], at most 499
// bytes and its zero byte, in the ANSI code page (no conversion anywhere).
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

// Owned by the application module.
extern TextTable g_texts;

// The English defaults in all ten blocks, language 0 named "english", one language, English current.
void FillDefaultTexts();

// Reads the language files among `entries` (files whose names end in ".lan"), sorted by name, as
// languages 1 to 9; further files are ignored because the table has room for ten languages.
void ReadLanguageFiles(DirListing entries);

// Reads one language file into block `language`; returns the number of texts stored or -1 when it
// cannot be opened. A text 37 starting with "yes" makes the language current.
int ReadLanguageFile(int language, const char* path);

// Copies text `id` of `language` into the current texts.
void RefreshCurrentText(int language, int id);

inline const char* CurrentText(int id)
{
    return g_texts.currentTexts[id];
}
inline const char* LanguageText(int language, int id)
{
    return g_texts.texts[language][id];
}
