// A take exported as its project edits it. Random edit scripts against a recorded take: two
// independent decoders of each animation must see every shown step as the cropped stage of its source
// step with its caption drawn by the program's own renderer, for as long as the project says, and no
// frame of 10 ms or less. An edit that does not fit is refused before anything is written.
#include "AnimationChecks.h"
#include "RecordedSession.h"
#include "export/render/CaptionRenderer.h"
#include "export/render/StageComposer.h"
#include "export/take/TakeEdit.h"
#include "state/FrameValues.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>

namespace {

using namespace exporttest;

// 64 x 48, then grown to 80 x 40 (grabbed whole, so the stage is 80 x 48), then changed in places.
void RecordResizedTake(CRecordedSession& session)
{
    session.Step({{0, 0, 63, 47}}, {10, 10});
    g_frameValues = {6, 0};
    session.Step({{5, 5, 30, 20}}, {40, 30});
    session.Step({{40, 30, 63, 47}, {0, 40, 9, 47}}, {40, 30});
    session.Resize(80, 40);
    session.Step({{0, 0, 79, 39}}, {70, 5});
    session.Step({{60, 0, 79, 9}}, {-4, 35});
    session.Step({{10, 10, 20, 30}, {50, 20, 70, 25}}, {15, 15});
}

// The composer goes back and forth over a take, with no copies kept (replaying from the whole grabs),
// with copies of some steps (replaying from them) and of every step: every stage is the one composed
// here from the window's history, and changed only inside the box it says.
TEST(StageComposerTest, ComposesAnyStepInAnyOrder)
{
    std::mt19937 random{5};
    for (const bool resize : {true, false}) {
        // One take at a time: recording one starts a session of the program.
        const auto session =
            resize ? std::make_unique<CRecordedSession>(64, 48) : std::make_unique<CRecordedSession>();
        resize ? RecordResizedTake(*session) : RecordSample(*session);
        const CResult<SessionTimeline> decoded = DecodeSession(session->WorkDir(), 1);
        ASSERT_TRUE(decoded) << decoded.Error().text;
        const SessionTimeline& timeline = *decoded;
        const size_t stageBytes = size_t(timeline.stageWidth) * timeline.stageHeight * 3;
        for (const size_t copies : {0, 1, 2, 6}) {
            CStageComposer composer(timeline, true, copies * stageBytes);
            for (int i = 0; i < 40; ++i) {
                const int step = int(random() % timeline.steps.size()) + 1;
                const std::vector<uint8_t> before = composer.Stage().rgb;
                const CResult<Region> composed = composer.ComposeStep(size_t(step) - 1);
                ASSERT_TRUE(composed) << composed.Error().text;
                const Region changed = *composed;
                const RgbImage& stage = composer.Stage();
                EXPECT_TRUE(stage.rgb == session->StageAtStep(step, true).rgb)
                    << session->Steps() << " steps, " << copies << " copies, draw " << i << ": step " << step;
                int outside = 0; // pixels changed outside the box said to hold every change
                for (int y = 0; y < stage.height; ++y)
                    for (int x = 0; x < stage.width; ++x) {
                        const size_t at = (size_t(y) * stage.width + x) * 3;
                        const bool inside = x >= changed.left && x <= changed.right && y >= changed.top &&
                                            y <= changed.bottom;
                        outside += !inside && !std::equal(before.begin() + at, before.begin() + at + 3,
                                                          stage.rgb.begin() + at);
                    }
                EXPECT_EQ(outside, 0) << copies << " copies, draw " << i << ": step " << step;
            }
            EXPECT_FALSE(composer.ComposeStep(timeline.steps.size()));
        }
    }
}

// A project that is not valid or does not fit the take is refused with its file, line and reason,
// before the player or the animation is begun; --no-project exports the take as recorded all the same.
TEST(EditedExportCommandTest, AnEditThatDoesNotFitIsRefusedWithItsLine)
{
    CRecordedSession session;
    RecordSample(session);
    const std::string beside = ProjectFileOf(session.WorkDir(), 1).string();
    const std::string head = "{\n  \"format\": \"flickmere-project\",\n  \"version\": 1,\n  \"fps\": 12,\n";
    const struct
    {
        std::string text; // empty: no file
        std::string message;
    } cases[] = {
        {head + "  \"steps\": [\n    { \"source\": 1, \"frames\": 0 }\n  ]\n}\n",
         beside + ": line 6: \"frames\" of step 1 must be a whole number from 1 to 65535"},
        {head + "  \"steps\": [\n    { \"source\": 2, \"frames\": 5 },\n    { \"frames\": 5,\n      "
                "\"source\": 5 }\n  ]\n}\n",
         beside + ": line 8: step 2 shows recorded step 5, but the take has 4"},
        {head + "  \"crop\": { \"x\": 100, \"y\": 0, \"width\": 58, \"height\": 10 },\n  \"steps\": [\n    { "
                "\"source\": 1, \"frames\": 5 }\n  ]\n}\n",
         beside + ": line 5: the crop reaches beyond the stage of 157 x 121"},
        {"", beside + ": the project file cannot be read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::remove(beside.c_str());
        if (!c.text.empty())
            testfiles::WriteText(beside, c.text);
        const std::string take = Quoted(session.WorkDir()) + " 1";
        for (const std::string& options : {std::string(" --project"), std::string(" --apng --project")}) {
            std::string output;
            EXPECT_EQ(RunExport(take + options, output), 1) << output;
            EXPECT_EQ(output,
                      "flickmere-export: " + c.message + "; --no-project exports the take as recorded\n");
            EXPECT_FALSE(fs::exists(session.File("player.html")));
            EXPECT_FALSE(fs::exists(session.File("session1.png")));
        }
        std::string output;
        EXPECT_EQ(RunExport(take + " --apng --no-project", output), 0) << output;
        fs::remove(session.File("session1.png"));
    }
}

// The animation's captions are drawn with the font built into the program: characters it lacks are named.
TEST(EditedExportCommandTest, CharactersTheCaptionFontLacksAreNamed)
{
    CRecordedSession session;
    RecordSample(session);
    testfiles::WriteText(ProjectFileOf(session.WorkDir(), 1).string(),
                         R"({"format": "flickmere-project", "version": 1, "fps": 12, "steps": [
        {"source": 1, "frames": 5, "caption": {"text": "Save", "x": 1, "y": 1, "width": 40, "height": 30}},
        {"source": 2, "frames": 5, "caption": {"text": "\u4fdd\u5b58 Save \u4fdd\n\ud83d\ude42",
         "x": 1, "y": 1, "width": 40, "height": 30}}]})");
    std::string output;
    ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --apng", output), 0) << output;
    EXPECT_NE(
        output.find("flickmere-export: the caption of step 2 has characters the caption font cannot draw, "
                    "shown as empty boxes: \u4FDD (U+4FDD), \u5B58 (U+5B58), \U0001F642 (U+1F642)\n"),
        std::string::npos)
        << output;
    EXPECT_EQ(output.find("step 1 has"), std::string::npos) << output;
}

const char* const kTexts[] = {"Click Save", "Zwei\nZeilen \u00FCber", "\u65E5\u672C", "a\n\nb c d e f g h"};

// A random edit of a take of `recorded` steps on a stage of the given size: steps deleted,
// duplicated, moved and given lengths, captions with and without an arrow, a crop, a frame rate.
Project RandomEdit(std::mt19937& random, int recorded, int width, int height)
{
    const auto pick = [&random](int from, int to) { return from + int(random() % unsigned(to - from + 1)); };
    Project project;
    const int rates[] = {12, 25, 100, 1000};
    project.fps = rates[pick(0, 3)];
    for (int s = 1; s <= recorded; ++s)
        project.steps.push_back({s, pick(1, 30), std::nullopt, ProjectJson::object(), std::nullopt});
    for (int edits = pick(1, 8); edits > 0; --edits) {
        std::vector<ProjectStep>& steps = project.steps;
        const size_t at = size_t(pick(0, int(steps.size()) - 1));
        switch (pick(0, 6)) {
        case 0:
            if (steps.size() > 1)
                steps.erase(steps.begin() + at);
            break;
        case 1:
            steps.insert(steps.begin() + at, steps[at]);
            break;
        case 2: {
            const ProjectStep moved = steps[at];
            steps.erase(steps.begin() + at);
            steps.insert(steps.begin() + pick(0, int(steps.size())), moved);
            break;
        }
        case 3:
            steps[at].frames = pick(1, 60);
            break;
        case 4:
        case 5: {
            ProjectCaption caption;
            caption.text = kTexts[pick(0, 3)];
            caption.box = {pick(0, width - 1), pick(0, height - 1), pick(1, width), pick(1, height)};
            if (pick(0, 1))
                caption.arrow =
                    ProjectArrow{{pick(0, width - 1), pick(0, height - 1)}, ProjectJson::object()};
            steps[at].caption = caption;
            break;
        }
        case 6: {
            ProjectCrop crop;
            crop.rect.x = pick(0, width - 1);
            crop.rect.y = pick(0, height - 1);
            crop.rect.width = pick(1, width - crop.rect.x);
            crop.rect.height = pick(1, height - crop.rect.y);
            project.crop = crop;
            break;
        }
        }
    }
    return project;
}

// What a viewer must see of a project step: the stage of its source step, its caption, the crop.
RgbImage ExpectedPicture(const CRecordedSession& session, const Project& project, const ProjectStep& step,
                         bool pointer, const CCaptionRenderer& captions)
{
    RgbImage stage = session.StageAtStep(step.source, pointer);
    if (step.caption)
        captions.Draw(*step.caption, stage.rgb.data(), stage.width, stage.height);
    if (!project.crop)
        return stage;
    const ProjectRect& c = project.crop->rect;
    RgbImage cropped{c.width, c.height, {}};
    for (int y = c.y; y < c.y + c.height; ++y)
        cropped.rgb.insert(cropped.rgb.end(), stage.rgb.begin() + (size_t(y) * stage.width + c.x) * 3,
                           stage.rgb.begin() + (size_t(y) * stage.width + c.x + c.width) * 3);
    return cropped;
}

class EditedExportTest : public ::testing::TestWithParam<int>
{
};

// 200 edits in all, in four runs that ctest can run side by side. The sanitizers look for memory faults,
// which the first scripts already reach, at several times the cost a script; the native build tries the
// arithmetic at length.
#ifdef __SANITIZE_ADDRESS__
constexpr int kScriptsPerRun = 10;
#else
constexpr int kScriptsPerRun = 50;
#endif

TEST_P(EditedExportTest, EveryFrameIsTheCroppedStageOfItsSourceStepWithItsCaption)
{
    ASSERT_EQ(std::system("command -v ffmpeg ffprobe >/dev/null"), 0) << "ffmpeg is not installed";
    CRecordedSession session(64, 48);
    RecordResizedTake(session);
    const int width = 80, height = 48;
    const CCaptionRenderer captions;
    std::mt19937 random{unsigned(GetParam())};
    for (int script = 0; script < kScriptsPerRun; ++script) {
        const Project project = RandomEdit(random, session.Steps(), width, height);
        const std::string projectText = SerializeProject(project);
        SCOPED_TRACE("script " + std::to_string(script) + ":\n" + projectText);
        // Beside the take, where the export finds it, or named.
        const bool beside = random() % 2;
        const std::string file =
            beside ? ProjectFileOf(session.WorkDir(), 1).string() : session.File("edit.json");
        testfiles::WriteText(file, projectText);
        const bool pointer = random() % 4 != 0;
        std::string output;
        ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --apng " + Quoted(session.File("edit.png")) +
                                " --gif " + Quoted(session.File("edit.gif")) +
                                (pointer ? "" : " --no-cursor") +
                                (beside ? "" : " --project " + Quoted(file)),
                            output),
                  0)
            << output;
        if (beside)
            std::remove(file.c_str());

        // The animated PNG by ffmpeg and apngdis; the GIF by ffmpeg, and by Chromium for every tenth
        // script. The take's pictures are noise: the GIF shows the nearest of 256 colours a frame.
        std::vector<int> lengths;
        for (const ProjectStep& step : project.steps)
            lengths.push_back(step.frames);
        for (const bool gif : {false, true}) {
            std::vector<ExpectedFrame> expected;
            for (const auto& [step, seconds] : ExpectedTiming(lengths, project.fps, gif))
                expected.push_back(
                    {ExpectedPicture(session, project, project.steps[size_t(step) - 1], pointer, captions),
                     seconds, gif ? kNoiseMeanError : 0});
            if (gif)
                ExpectGifShows(session.File("edit.gif"), expected, script % 10 == 0);
            else
                ExpectApngShows(session.File("edit.png"), expected);
        }
        if (HasFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeded, EditedExportTest, ::testing::Values(1, 2, 3, 4));

} // namespace

// The Windows build under Wine must write the very bytes the native build writes for an edited take,
// captions and crop included. Needs FLICKMERE_WINDOWS_EXPORT: ./test.sh runs it with the Windows tests.
TEST(EditedExportUnderWineTest, TheWindowsProgramWritesTheSameEditedAnimation)
{
    const char* exe = std::getenv("FLICKMERE_WINDOWS_EXPORT");
    ASSERT_TRUE(exe && *exe) << "FLICKMERE_WINDOWS_EXPORT does not name flickmere-export.exe";
    CRecordedSession session(64, 48);
    RecordResizedTake(session);
    std::mt19937 random{11};
    Project project = RandomEdit(random, session.Steps(), 80, 48);
    ProjectCaption caption;
    caption.text = kTexts[1];
    caption.box = {5, 4, 60, 30};
    caption.arrow = ProjectArrow{{70, 44}, ProjectJson::object()};
    project.steps.back().caption = caption;
    testfiles::WriteText(ProjectFileOf(session.WorkDir(), 1).string(), SerializeProject(project));
    std::string output;
    ASSERT_EQ(
        RunExport(Quoted(session.WorkDir()) + " 1 --apng " + Quoted(session.File("native.png")), output), 0)
        << output;
    ASSERT_EQ(RunCommand("wine " + Quoted(exe) + " " + Quoted(session.WorkDir()) + " 1 --apng", output), 0)
        << output;
    EXPECT_TRUE(testfiles::ReadBytes(session.File("session1.png")) ==
                testfiles::ReadBytes(session.File("native.png")));
}
