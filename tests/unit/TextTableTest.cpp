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
        EXPECT_EQ(Text(language, 35).rfind("The steps file of this session could not be written:\n%s\n", 0),
                  0u);
        for (int unused : {28, 36, 37})
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
    for (int i = 0; i < kTexts + 7; ++i)
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

// Every text a box or caption reads is current after the apply step: one left out would show empty.
TEST_F(TextTableTest, TheApplyStepMakesEveryTextCurrent)
{
    std::string lines;
    for (int id = 0; id < kTexts; ++id)
        lines += "de " + std::to_string(id) + "\n";
    WriteText("de.lan", lines);
    ReadLanguageFiles({{"de.lan", false}});
    RefreshCurrentTexts(1);
    for (int id = 0; id < kTexts; ++id)
        EXPECT_STREQ(CurrentText(id), ("de " + std::to_string(id)).c_str()) << "text " << id;
}

// The German file the program ships: a text for every index that has one in English, each with the
// conversions of the English one in the same order, so that no argument lands in the wrong place or is
// lost.
TEST_F(TextTableTest, TheShippedGermanFileTranslatesEveryTextWithItsArguments)
{
    ASSERT_EQ(ReadLanguageFile(1, FLICKMERE_SOURCE_DIR "/res/lang/deutsch.lan"), kTexts);
    const auto conversions = [](const char* text) {
        std::string found;
        for (const char* c = text; *c; ++c)
            if (*c == '%' && c[1]) {
                found += *++c;
                if (*c == '%')
                    continue;
            }
        return found;
    };
    for (int id = 0; id < kTexts; ++id) {
        EXPECT_EQ(Text(1, id).empty(), Text(0, id).empty()) << "text " << id;
        EXPECT_EQ(conversions(Text(1, id).c_str()), conversions(Text(0, id).c_str())) << "text " << id;
    }
}

TEST(Utf8TextTest, OnlyWellFormedUtf8BeyondAsciiCounts)
{
    // Two, three and four bytes.
    for (const char* utf8 : {"f\xC3\xBCr", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"})
        EXPECT_TRUE(IsUtf8BeyondAscii(utf8, std::strlen(utf8))) << utf8;
    // Plain ASCII; Windows-1252 umlauts; cut short; no continuation; overlong; a surrogate; beyond
    // U+10FFFF; a lone continuation byte.
    for (const char* other : {"ASCII", "f\xFCr gr\xFC\xDFt", "\xC3", "\xC3\x28", "\xC0\xAF", "\xE0\x80\xAF",
                              "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"})
        EXPECT_FALSE(IsUtf8BeyondAscii(other, std::strlen(other))) << other;

    // Ü, €, œ; ś is not in the code page, nor is a cut-off byte a character.
    EXPECT_EQ(Utf8ToWindows1252("\xC3\x9C \xE2\x82\xAC \xC5\x93 \xC5\x9B \xC3", 14), "\xDC \x80 \x9C ? ?");
}

TEST_F(TextTableTest, LanguageFilesSavedAsUtf8ReadLikeTheirAnsiTwin)
{
    const std::string ansi = "; Deutsch\r\nf\xFCr\r\nw\xE4hlen\r\nAktualisieren\r\n";
    const std::string utf8 = "; Deutsch\r\nf\xC3\xBCr\r\nw\xC3\xA4hlen\r\nAktualisieren\r\n";
    // The last is not UTF-8: the mark goes, the bytes stay.
    for (const std::string& bytes : {ansi, utf8, kUtf8Mark + utf8, kUtf8Mark + ansi}) {
        SCOPED_TRACE(bytes);
        WriteText("deutsch.lan", bytes);
        ASSERT_EQ(ReadLanguageFile(1, "deutsch.lan"), 3);
        EXPECT_EQ(Text(1, 0), "f\xFCr");
        EXPECT_EQ(Text(1, 1), "w\xE4hlen");
        EXPECT_EQ(Text(1, 2), "Aktualisieren");
    }
}

} // namespace
