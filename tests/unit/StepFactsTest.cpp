#include "common/SessionNames.h"
#include "export/render/MarkRenderer.h"
#include "export/render/MarkStyle.h"
#include "export/take/StepFacts.h"
#include "export/take/Suggestion.h"
#include "state/TextTable.h"
#include "tests/support/ProgramState.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <utility>

namespace {

using testsupport::CProgramTest;

StepControl ControlAt(const std::string& name, const std::string& role, std::optional<StepRect> rect = {})
{
    StepControl control;
    control.name = name;
    control.role = role;
    control.rect = rect;
    return control;
}

StepRecord Record(int press, std::vector<int> pictures, std::vector<std::string> chords,
                  std::optional<StepControl> control = {}, const std::string& window = "")
{
    StepRecord record;
    record.press = press;
    record.pictures = std::move(pictures);
    record.chords = std::move(chords);
    record.control = std::move(control);
    record.window = window;
    record.lookup = control ? StepLookup::Answered : StepLookup::Outside;
    return record;
}

// A press that changed nothing gives the next step with pictures its chords, and nothing else; presses
// after the last step belong to none.
TEST(StepFactsTest, PressesWithoutPicturesFoldTheirChordsIntoTheNextStep)
{
    const std::vector<StepRecord> records = {
        Record(1, {1}, {}, ControlAt("Save", "button"), "Notes"),
        Record(2, {}, {"Ctrl+C"}, ControlAt("Edit", "menu-item"), "Notes"),
        Record(3, {}, {"Ctrl+V"}),
        Record(4, {2, 3}, {"Ctrl+S"}),
        Record(5, {4}, {}, ControlAt("", "window"), "Other"),
        Record(6, {}, {"Alt+F4"}),
    };
    const std::vector<StepFacts> facts = MatchStepFacts(records);
    ASSERT_EQ(facts.size(), 3u);
    EXPECT_EQ(facts[0].chords, std::vector<std::string>{});
    EXPECT_EQ(facts[0].control->name, "Save");
    EXPECT_EQ(facts[1].chords, (std::vector<std::string>{"Ctrl+C", "Ctrl+V", "Ctrl+S"}));
    EXPECT_FALSE(facts[1].control) << "the menu item of a press without pictures is not the step's";
    EXPECT_EQ(facts[1].window, "");
    EXPECT_EQ(facts[2].window, "Other");
    EXPECT_TRUE(MatchStepFacts({}).empty());
}

class StepFactsFileTest : public CProgramTest
{
protected:
    std::filesystem::path StepsFile() const
    {
        const std::filesystem::path folder = m_dir.Path() / SessionFolderName(1);
        std::filesystem::create_directories(folder);
        return folder / StepsFileName(1);
    }
    testfiles::CScratchDir m_dir;
};

// No steps file is no facts, silently; a broken one is refused naming the file; a whole one is matched.
TEST_F(StepFactsFileTest, AMissingFileIsNoFactsAndABrokenOneIsNamed)
{
    const CResult<std::vector<StepFacts>> none = ReadStepFacts(m_dir.Path(), 1);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());

    for (const char* broken : {"{\"format\": \"flickmere-steps\", \"version\": 1, \"steps\": [", "[]",
                               "{\"format\": \"flickmere-steps\", \"version\": 2, \"steps\": []}"}) {
        std::ofstream(StepsFile(), std::ios::binary) << broken;
        const CResult<std::vector<StepFacts>> refused = ReadStepFacts(m_dir.Path(), 1);
        ASSERT_FALSE(refused) << broken;
        EXPECT_NE(refused.Error().text.find(StepsFileName(1)), std::string::npos) << refused.Error().text;
    }

    ASSERT_TRUE(
        WriteStepsFile(StepsFile(), {Record(1, {1}, {"Ctrl+S"}), Record(2, {}, {}), Record(3, {2}, {})}));
    const CResult<std::vector<StepFacts>> read = ReadStepFacts(m_dir.Path(), 1);
    ASSERT_TRUE(read) << read.Error().text;
    EXPECT_EQ(read->size(), 2u);
}

struct SuggestionCase
{
    StepFacts facts;
    std::string text;
    std::string name; // the part of the text the span names
};

// The English words are the text table's defaults.
class SuggestionTest : public CProgramTest
{
};

TEST_F(SuggestionTest, EachKindOfStepGetsItsWords)
{
    const StepRect rect{10, 10, 80, 24};
    const SuggestionCase cases[] = {
        {{"Notes", ControlAt("Save", "button"), {"Ctrl+S"}}, "Press Ctrl+S", "Ctrl+S"},
        {{"Notes", {}, {"Ctrl+C", "Ctrl+V"}}, "Press Ctrl+C, Ctrl+V", "Ctrl+C, Ctrl+V"},
        {{"Notes", ControlAt("Save", "button", rect), {}}, "Click Save", "Save"},
        {{"Notes", ControlAt("Bold", "check-box"), {}}, "Click Bold", "Bold"},
        {{"Notes", ControlAt("Help", "link"), {}}, "Click Help", "Help"},
        {{"Notes", ControlAt("Open...", "menu-item"), {}}, "Click Open...", "Open..."},
        {{"Notes", ControlAt("Fonts", "tab"), {}}, "Click Fonts", "Fonts"},
        {{"Notes", ControlAt("Item 3", "list-item"), {}}, "Select Item 3", "Item 3"},
        {{"Notes", ControlAt("Documents", "tree-item"), {}}, "Select Documents", "Documents"},
        {{"Notes", ControlAt("User name:", "text-field"), {}}, "Type in User name:", "User name:"},
        // A password field is named by its label like any other field; its contents are never known.
        {{"Notes", ControlAt("Password:", "text-field"), {}}, "Type in Password:", "Password:"},
        // A control without a name, or one nobody acts on, says where the step is.
        {{"Untitled - Notes", ControlAt("", "button"), {}}, "In Untitled - Notes", "Untitled - Notes"},
        {{"Untitled - Notes", ControlAt("Ready", "label"), {}}, "In Untitled - Notes", "Untitled - Notes"},
        // A name read with a line break in it stays one line.
        {{"Notes", ControlAt("Two\nlines", "button"), {}}, "Click Two lines", "Two lines"},
        {{"", {}, {}}, "", ""},
        {{"", ControlAt("", "window"), {}}, "", ""},
    };
    const SuggestionWords english = SuggestionWordsOf(0);
    for (const SuggestionCase& c : cases) {
        const Suggestion s = SuggestStep(c.facts, english);
        EXPECT_EQ(s.text, c.text);
        ASSERT_LE(s.nameStart + s.nameLength, s.text.size()) << c.text;
        EXPECT_EQ(s.text.substr(s.nameStart, s.nameLength), c.name) << c.text;
    }
}

// The words come from the text table, so that a language file translates them, in UTF-8 whatever the
// code page the table holds; a translation without a place for the name still says something.
TEST_F(SuggestionTest, SuggestedWordsFollowTheLanguage)
{
    ASSERT_EQ(ReadLanguageFile(1, FLICKMERE_SOURCE_DIR "/res/lang/deutsch.lan"), kTexts);
    const StepFacts field{"Notes", ControlAt("Benutzer:", "text-field"), {}};
    const StepFacts chord{"Notes", {}, {"Strg+S"}};
    const Suggestion typed = SuggestStep(field, SuggestionWordsOf(1));
    EXPECT_EQ(typed.text, "Geben Sie in Benutzer: ein");
    EXPECT_EQ(typed.text.substr(typed.nameStart, typed.nameLength), "Benutzer:");
    EXPECT_EQ(SuggestStep(chord, SuggestionWordsOf(1)).text, "Dr\xC3\xBC"
                                                             "cken Sie Strg+S");

    g_texts.current = 1;
    EXPECT_EQ(SuggestStep(chord, CurrentSuggestionWords()).text, "Dr\xC3\xBC"
                                                                 "cken Sie Strg+S")
        << "the current language";
    strcpy(g_texts.texts[1][kTextSuggestPress], "");
    EXPECT_EQ(SuggestStep(chord, CurrentSuggestionWords()).text, "Press Strg+S")
        << "an empty text is the English one";
    strcpy(g_texts.texts[1][kTextSuggestPress], "Tastenkombination");
    const Suggestion bare = SuggestStep(chord, CurrentSuggestionWords());
    EXPECT_EQ(bare.text, "Tastenkombination");
    EXPECT_EQ(bare.nameLength, 0u);
}

TEST(StepMarkTest, OnlyClickTargetsWithARectangleAreMarkedByDefault)
{
    const StepRect rect{5, 6, 70, 20};
    const std::pair<StepFacts, bool> cases[] = {
        {{"W", ControlAt("Save", "button", rect), {}}, true},
        {{"W", ControlAt("Name", "text-field", rect), {}}, true},
        {{"W", ControlAt("Item", "list-item", rect), {}}, true},
        {{"W", ControlAt("Save", "button"), {}}, false},
        {{"W", ControlAt("Save", "button", StepRect{5, 6, 0, 20}), {}}, false},
        // Numbers no stage has: an outline of them would overflow, or walk two billion rows.
        {{"W", ControlAt("Save", "button", StepRect{INT32_MAX - 4, 6, 70, 20}), {}}, false},
        {{"W", ControlAt("Save", "button", StepRect{5, INT32_MIN, 70, 20}), {}}, false},
        {{"W", ControlAt("Save", "button", StepRect{5, 6, 70, INT32_MAX}), {}}, false},
        {{"W", ControlAt("Save", "button", StepRect{-65535, -40, 65535, 20}), {}}, true},
        {{"W", ControlAt("Ready", "label", rect), {}}, false},
        {{"W", ControlAt("", "window", rect), {}}, false},
        {{"W", {}, {"Ctrl+S"}}, false},
    };
    for (const auto& [facts, marked] : cases)
        EXPECT_EQ(MarkedByDefault(facts), marked) << facts.control.value_or(StepControl{}).role;
    EXPECT_TRUE(MarkRectOf(cases[9].first)) << "a label can still be marked by hand";
}

// The outline is a ring of kMarkWidth pixels around the rectangle, kMarkMargin away from it along the
// sides, with rounded corners, and never covers the control.
TEST(MarkRendererTest, TheOutlineRingsTheRectangleAtItsMargin)
{
    for (const StepRect rect : {StepRect{20, 30, 90, 24}, StepRect{20, 30, 1, 1}, StepRect{0, 0, 3, 40}}) {
        std::set<std::pair<int, int>> pixels;
        int lastRow = INT32_MIN;
        ForEachMarkRun(rect, [&](int y, int left, int right) {
            EXPECT_GE(y, lastRow);
            EXPECT_LE(left, right);
            lastRow = y;
            for (int x = left; x <= right; ++x)
                EXPECT_TRUE(pixels.insert({x, y}).second) << "runs overlap at " << x << "," << y;
        });
        const Region bounds = MarkBounds(rect);
        const int out = kMarkMargin + kMarkWidth;
        EXPECT_EQ(bounds.left, rect.x - out);
        EXPECT_EQ(bounds.bottom, rect.y + rect.height - 1 + out);
        // The control stays clear, its rounded corners included; the middle of each side is outlined
        // kMarkWidth thick.
        for (int y = rect.y; y < rect.y + rect.height; ++y)
            for (int x = rect.x; x < rect.x + rect.width; ++x)
                EXPECT_FALSE(pixels.count({x, y}));
        const int midX = rect.x + rect.width / 2, midY = rect.y + rect.height / 2;
        for (int d = 0; d < kMarkWidth; ++d) {
            EXPECT_TRUE(pixels.count({midX, bounds.top + d}));
            EXPECT_TRUE(pixels.count({bounds.left + d, midY}));
            EXPECT_TRUE(pixels.count({bounds.right - d, midY}));
            EXPECT_TRUE(pixels.count({midX, bounds.bottom - d}));
        }
        // The corners are cut round.
        EXPECT_FALSE(pixels.count({bounds.left, bounds.top}));
        EXPECT_FALSE(pixels.count({bounds.right, bounds.bottom}));
    }

    // Drawn on a stage it is cut to it.
    RgbImage stage{10, 10, std::vector<uint8_t>(300, 0)};
    DrawMark(stage, {0, 0, 4, 4});
    EXPECT_EQ(stage.rgb[(7 * 10 + 2) * 3], uint8_t(kMarkColour >> 16)) << "the bottom side";
    EXPECT_EQ(stage.rgb[(2 * 10 + 2) * 3], 0) << "inside the rectangle";
}

} // namespace
