#include "ProgramState.h"
#include "TestFiles.h"
#include "state/TextTable.h"
#include "state/Utf8Text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using testfiles::CCurrentDir;
using testfiles::CScratchDir;
using testfiles::WriteText;

std::string Text(int language, int id)
{
    return LanguageText(language, id);
}

class TextTableTest : public testsupport::CProgramTest
{
protected:
    CScratchDir m_dir;
    CCurrentDir m_cd{m_dir.Path()};
};

TEST_F(TextTableTest, EveryBlockStartsWithTheEnglishDefaults)
{
    EXPECT_EQ(g_texts.count, 1);
    EXPECT_EQ(g_texts.current, 0);
    EXPECT_STREQ(g_texts.names[0], "english");
    for (int language = 0; language < kLanguages; ++language) {
        EXPECT_EQ(Text(language, 13),
                  "Result dir name - session%i.\nYou should delete in resulting *.fla\n  - frames "
                  "from %i till the end ;\n  - pictures from %i till the end");
        EXPECT_EQ(Text(language, 2), "Select \"Capturing Key\"");
        EXPECT_EQ(Text(language, 16), "Can't open template file: %s\n");
        EXPECT_EQ(Text(language, 29), "Flickmere");
        EXPECT_EQ(Text(language, 27).substr(0, 10), "Flickmere\n");
        EXPECT_EQ(Text(language, 30), "%i press");
        EXPECT_EQ(Text(language, 34), "%s, %s");
        for (int unused : {28, 35, 36, 37})
            EXPECT_EQ(Text(language, unused), "") << unused;
    }
    const std::string help = Text(0, 23);
    EXPECT_EQ(help.substr(0, 36), "1. Select window to be captured.\n \n2");
    EXPECT_NE(
        help.find("press button \"Uncapture\".\n \n6. Produced destination FLAN.fla is located in SessionN "
                  "directory according \n    to appropriate step of capturing."),
        std::string::npos);
    // Nothing is current before the first apply step.
    EXPECT_STREQ(CurrentText(kTextTitle), "");
}

TEST_F(TextTableTest, LanguageFileLinesBecomeTextsInOrder)
{
    WriteText("deutsch.lan", "; a comment takes no index\r\n"
                             "Ueber\r\n"
                             "\r\n"
                             "; nor does this one\r\n"
                             "  zwei  \r\n"
                             "mit\\nUmbruch\\n\r\n"
                             "ohne Zeilenende");
    EXPECT_EQ(ReadLanguageFile(1, "deutsch.lan"), 5);
    EXPECT_EQ(Text(1, 0), "Ueber");
    EXPECT_EQ(Text(1, 1), ""); // an empty line is an empty text
    EXPECT_EQ(Text(1, 2), "  zwei  ");
    EXPECT_EQ(Text(1, 3), "mit\nUmbruch\n"); // only the real line end is removed
    EXPECT_EQ(Text(1, 4), "ohne Zeilenende");
    EXPECT_EQ(Text(1, 5), "Pop up"); // not reached: still English
    EXPECT_EQ(Text(2, 0), "About");
    EXPECT_EQ(ReadLanguageFile(2, "missing.lan"), -1);
}

TEST_F(TextTableTest, OverlongFilesAndLinesStayInsideTheTable)
{
    std::string file;
    for (int i = 0; i < 45; ++i)
        file += "text " + std::to_string(i) + "\n";
    file.replace(file.find("text 3\n"), 7, std::string(600, 'a') + "\n");
    file.replace(file.find("text 5\n"), 7, std::string(1500, 'b') + "\n");
    WriteText("lang.lan", file);
    EXPECT_EQ(ReadLanguageFile(9, "lang.lan"), kTexts);
    EXPECT_EQ(Text(9, 3), std::string(499, 'a'));
    // A line longer than the 1000-byte line buffer does not spill into the next text.
    EXPECT_EQ(Text(9, 5), std::string(499, 'b'));
    EXPECT_EQ(Text(9, 6), "text 6");
    EXPECT_EQ(Text(9, 37), "text 37");
}

TEST_F(TextTableTest, StartupMarkNeedsLowerCaseYes)
{
    std::string lines;
    for (int i = 0; i < 37; ++i)
        lines += "t\n";
    WriteText("a.lan", lines + "Yes\n");
    WriteText("b.lan", lines + "yes, please\n");
    ReadLanguageFile(1, "a.lan");
    EXPECT_EQ(g_texts.current, 0);
    ReadLanguageFile(2, "b.lan");
    EXPECT_EQ(g_texts.current, 2);
}

TEST_F(TextTableTest, EnumerationSortsByNameAndKeepsToTenLanguages)
{
    std::string marked;
    for (int i = 0; i < 37; ++i)
        marked += "x\n";
    marked += "yes\n";
    DirListing entries = {{".", true}, {"..", true}, {"folder.lan", true}, {"notes.txt", false}};
    const char* names[] = {"kk", "bb", "aa", "jj", "cc", "dd", "ee", "ff", "gg", "hh", "ii"};
    for (const char* name : names) {
        WriteText(std::string(name) + ".lan", std::string(name) + "\n");
        entries.push_back({std::string(name) + ".lan", false});
    }
    // Two files carry the mark: the later one in name order wins.
    WriteText("bb.lan", marked);
    WriteText("dd.lan", marked);
    WriteText("Upper.LAN", "upper\n");
    entries.push_back({"Upper.LAN", false});

    ReadLanguageFiles(entries);
    EXPECT_EQ(g_texts.count, kLanguages);
    const char* expected[] = {"english", "aa", "bb", "cc", "dd", "ee", "ff", "gg", "hh", "ii"};
    for (int i = 0; i < kLanguages; ++i)
        EXPECT_STREQ(g_texts.names[i], expected[i]) << i;
    EXPECT_EQ(Text(1, 0), "aa");
    EXPECT_EQ(g_texts.current, 4);
}

TEST_F(TextTableTest, RefreshingCopiesTheChosenLanguage)
{
    WriteText("de.lan", "Ueber\n");
    ReadLanguageFiles({{"de.lan", false}});
    RefreshCurrentText(1, kTextAbout);
    RefreshCurrentText(1, kTextTitle);
    EXPECT_STREQ(CurrentText(kTextAbout), "Ueber");
    EXPECT_STREQ(CurrentText(kTextTitle), "Flickmere");
}

TEST(Utf8TextTest, OnlyWellFormedUtf8BeyondAsciiCounts)
{
    struct SCase
    {
        const char* bytes;
        bool utf8;
    };
    const SCase cases[] = {
        {"\xC3\x9C"
         "ber",
         true},                      // "Über"
        {"Euro \xE2\x82\xAC", true}, // three bytes
        {"\xF0\x9F\x98\x80", true},  // four bytes
        {"plain ASCII", false},      // nothing to convert
        {"\xDC"
         "ber",
         false}, // "Über" in Windows-1252
        {"gr\xFC\xDF"
         "e",
         false},                     // "grüße" in Windows-1252
        {"\xC3", false},             // cut short
        {"\xC3\x28", false},         // not a continuation byte
        {"\xC0\xAF", false},         // overlong '/'
        {"\xE0\x80\xAF", false},     // overlong again
        {"\xED\xA0\x80", false},     // a surrogate
        {"\xF4\x90\x80\x80", false}, // beyond U+10FFFF
        {"\x80", false},             // a lone continuation byte
    };
    for (const SCase& c : cases)
        EXPECT_EQ(IsUtf8BeyondAscii(c.bytes, std::strlen(c.bytes)), c.utf8) << c.bytes;

    const std::string ansi = Utf8ToWindows1252("\xC3\x9C \xE2\x82\xAC \xC5\x93 \xC5\x9B \xC3", 14);
    EXPECT_EQ(ansi, "\xDC \x80 \x9C ? ?"); // Ü, €, œ; ś is not in the code page; a cut-off byte
}

TEST_F(TextTableTest, LanguageFilesSavedAsUtf8ReadLikeTheirAnsiTwin)
{
    const std::string ansi = "; Deutsch\r\n\xDC"
                             "ber\r\nFenster f\xFCr die Aufnahme w\xE4hlen\r\nAktualisieren\r\n";
    const std::string utf8 = "; Deutsch\r\n\xC3\x9C"
                             "ber\r\nFenster f\xC3\xBCr die Aufnahme w\xC3\xA4hlen\r\n"
                             "Aktualisieren\r\n";
    struct SCase
    {
        const char* what;
        std::string bytes;
    };
    const SCase cases[] = {
        {"ANSI", ansi},
        {"UTF-8", utf8},
        {"UTF-8 with a mark", kUtf8Mark + utf8},
        {"ANSI with a mark", kUtf8Mark + ansi}, // not UTF-8: the mark goes, the bytes stay
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.what);
        WriteText("deutsch.lan", c.bytes);
        ASSERT_EQ(ReadLanguageFile(1, "deutsch.lan"), 3);
        EXPECT_EQ(Text(1, 0), "\xDC"
                              "ber");
        EXPECT_EQ(Text(1, 1), "Fenster f\xFCr die Aufnahme w\xE4hlen");
        EXPECT_EQ(Text(1, 2), "Aktualisieren");
    }
    // A mark before ASCII text alone, and a first line that is a text, not a comment.
    WriteText("ascii.lan", std::string(kUtf8Mark) + "About\nCapture\n");
    ASSERT_EQ(ReadLanguageFile(2, "ascii.lan"), 2);
    EXPECT_EQ(Text(2, 0), "About");

    // On Windows the system's converter does the work, into whatever the ANSI code page is.
    SetUtf8Converter([](const char*, size_t size) { return std::string(size, '#'); });
    WriteText("deutsch.lan", utf8);
    ReadLanguageFile(1, "deutsch.lan");
    SetUtf8Converter(nullptr);
    EXPECT_EQ(Text(1, 0), "#####");
    EXPECT_EQ(Text(1, 2), "#############");
}

} // namespace
