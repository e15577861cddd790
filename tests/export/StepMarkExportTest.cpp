// A take with a steps file: the animated PNG (and the GIF, from the same frames) shows each step's mark
// around its control, under the pointer, as the edit switches it on or off; a steps file that cannot be used
// costs only the marks, and the command says so once.
#include "AnimationChecks.h"
#include "export/SessionFiles.h"
#include "export/render/MarkRenderer.h"
#include "export/render/PointerShape.h"
#include "output/StepsFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>

namespace {

using namespace exporttest;

constexpr StepRect kSaveButton{20, 30, 50, 20};
constexpr StepRect kStatusLabel{10, 100, 60, 12};
// Under step 3's pointer at (140, 100): the arrow is drawn over the mark.
constexpr StepRect kCornerButton{125, 92, 22, 14};

StepRecord Press(int press, std::vector<int> pictures, const std::string& role, std::optional<StepRect> rect)
{
    StepRecord record;
    record.press = press;
    record.pictures = std::move(pictures);
    record.lookup = StepLookup::Answered;
    record.window = "Sample";
    record.control = StepControl{"Control " + std::to_string(press), role, {}, rect, "Button", "msaa"};
    return record;
}

class StepMarkExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RecordSample(m_session);
        // The sample's pictures: 1 for step 1, 2 to 4 for step 2, 5 for step 3, 6 for step 4; a press
        // between steps 2 and 3 changed nothing.
        ASSERT_TRUE(
            WriteStepsFile(m_session.File("session1.steps.json"),
                           {Press(1, {1}, "button", kSaveButton), Press(2, {2, 3, 4}, "label", kStatusLabel),
                            Press(3, {}, "button", kSaveButton), Press(4, {5}, "button", kCornerButton),
                            Press(5, {6}, "window", std::nullopt)}));
    }

    std::string Export(const std::string& options)
    {
        std::string output;
        EXPECT_EQ(RunExport(Quoted(m_session.WorkDir().string()) + " 1 " + options, output), 0) << output;
        return output;
    }

    // The stage at step s with the mark of `rect`, if any, drawn under the pointer.
    ExpectedFrame Stage(int s, double seconds, std::optional<StepRect> rect) const
    {
        RgbImage stage = m_session.StageAtStep(s, false);
        if (rect)
            DrawMark(stage, *rect);
        DrawPointer(stage.rgb.data(), stage.width, stage.height, m_session.CursorAtStep(s));
        return {stage, seconds};
    }

    CRecordedSession m_session;
};

TEST_F(StepMarkExportTest, ClickTargetsAreMarkedUnderThePointerUnlessTheEditSaysOtherwise)
{
    // As recorded: the two buttons are marked, the label and the window are not.
    Export("--apng");
    const std::vector<ExpectedFrame> recorded = {Stage(1, 45 / 12.0, kSaveButton), Stage(2, 30 / 12.0, {}),
                                                 Stage(3, 20 / 12.0, kCornerButton), Stage(4, 24 / 12.0, {})};
    ExpectApngShows(m_session.File("session1.png"), recorded);

    // The edit takes the first button's mark away, marks the label, and shows step 3 twice, the second
    // time without its mark.
    std::ofstream(m_session.File("session1.flickmere.json"))
        << R"({"format": "flickmere-project", "version": 1, "fps": 10, "steps": [
            {"source": 1, "frames": 10, "mark": false}, {"source": 2, "frames": 10, "mark": true},
            {"source": 3, "frames": 10}, {"source": 3, "frames": 10, "mark": false},
            {"source": 4, "frames": 10, "mark": true}]})";
    Export("--apng");
    ExpectApngShows(m_session.File("session1.png"),
                    {Stage(1, 1, {}), Stage(2, 1, kStatusLabel), Stage(3, 1, kCornerButton), Stage(3, 1, {}),
                     Stage(4, 1, {})});
}

// A steps file that does not parse, or that counts other steps than the take has, is named once and
// costs only the marks: everything else is written as without one.
TEST_F(StepMarkExportTest, AStepsFileThatCannotBeUsedIsNamedAndLeftOut)
{
    const std::vector<ExpectedFrame> plain = {Stage(1, 45 / 12.0, {}), Stage(2, 30 / 12.0, {}),
                                              Stage(3, 20 / 12.0, {}), Stage(4, 24 / 12.0, {})};
    const struct
    {
        std::string text;
        std::string said;
    } cases[] = {
        {"{\"format\": \"flickmere-steps\", \"version\": 1, \"steps\": [", "not a valid steps file"},
        {StepsFileText({Press(1, {1}, "button", kSaveButton)}), "holds 1 steps with pictures, the take 4"},
    };
    for (const auto& c : cases) {
        std::ofstream(m_session.File("session1.steps.json"), std::ios::binary) << c.text;
        const std::string output = Export("--apng");
        EXPECT_NE(output.find(c.said), std::string::npos) << output;
        EXPECT_NE(output.find("session1.steps.json"), std::string::npos) << output;
        ExpectApngShows(m_session.File("session1.png"), plain);
    }
}

// The session's end exports on a thread of its own, which reads no texts: the page's suggested captions
// are in the words the export was handed, whatever language is current by then.
TEST_F(StepMarkExportTest, TheSessionsEndSuggestsInTheWordsItWasHanded)
{
    const SuggestionWords handed{"Dr\xC3\xBC"
                                 "cken Sie %s",
                                 "Klicken Sie auf %s", "W\xC3\xA4hlen Sie %s", "Geben Sie in %s ein",
                                 "In %s"};
    const CResult<> written = WriteSessionFiles(m_session.WorkDir(), 1, handed);
    ASSERT_TRUE(written) << written.Error().text;
    std::ifstream file(m_session.File("player.html"), std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(page.find("\"Klicken Sie auf Control 1\""), std::string::npos);
    EXPECT_EQ(page.find("\"Click Control 1\""), std::string::npos);
}

} // namespace
