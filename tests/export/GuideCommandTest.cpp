// The guide as the command writes it: where its files go, what it says, what it refuses, and that
// each step's picture is the stage after the step, pointer included, cut around what the step changed.
#include "FfmpegDecode.h"
#include "RecordedSession.h"
#include "export/GuideCrop.h"
#include "export/SessionFiles.h"
#include "export/StepGuide.h"
#include "export/render/MarkRenderer.h"
#include "export/render/PointerShape.h"
#include "output/StepsFile.h"
#include "state/TextTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>

namespace {

using namespace exporttest;

std::string Text(const fs::path& file)
{
    const std::vector<uint8_t> bytes = testfiles::ReadBytes(file.string());
    return {bytes.begin(), bytes.end()};
}

std::vector<fs::path> FilesUnder(const fs::path& dir)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files.push_back(fs::relative(entry.path(), dir));
    std::sort(files.begin(), files.end());
    return files;
}

RgbImage DecodePng(const fs::path& file, int width, int height)
{
    RgbImage decoded;
    int frames = 0;
    DecodeApng(file.string(), width, height, [&](const DecodedFrame& frame) {
        decoded = *frame.image;
        ++frames;
    });
    EXPECT_EQ(frames, 1) << file;
    return decoded;
}

RgbImage Cut(const RgbImage& stage, const Region& box)
{
    RgbImage out{box.Width(), box.Height(), {}};
    for (int y = box.top; y <= box.bottom; ++y) {
        const auto row = stage.rgb.begin() + (size_t(y) * stage.width + box.left) * 3;
        out.rgb.insert(out.rgb.end(), row, row + size_t(box.Width()) * 3);
    }
    return out;
}

TEST(GuideCommandTest, ThePageAndTheMarkdownGoWhereAskedAndSaySo)
{
    CRecordedSession session;
    RecordSample(session);
    const fs::path work = session.WorkDir();
    std::string output;
    ASSERT_EQ(RunExport(Quoted(work) + " 1 --guide", output), 0) << output;
    EXPECT_EQ(output, session.File("guide.html") + ": 4 steps, 157 x 121\n");
    const std::string page = Text(session.File("guide.html"));
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    for (const char* part :
         {"<title>session1</title>", "<h1>session1</h1>", "@media print", "break-inside: avoid"})
        EXPECT_NE(page.find(part), std::string::npos) << part;
    for (const char* fetch : {"http:", "https:", "file:", "<link", "<script", "@import"})
        EXPECT_EQ(page.find(fetch), std::string::npos) << fetch;
    const std::regex picture(
        "<li><img width=\"157\" height=\"121\" alt=\"Step \\d\" src=\"data:image/png;base64,");
    EXPECT_EQ(std::distance(std::sregex_iterator(page.begin(), page.end(), picture), std::sregex_iterator()),
              4);

    // FILE, and the Markdown beside it in one run; the page and the animation options together.
    ASSERT_EQ(RunExport(Quoted(work) + " 1 --guide-md " + Quoted((work / "md").string()) + " --guide " +
                            Quoted((work / "g.html").string()),
                        output),
              0)
        << output;
    EXPECT_EQ(output, (work / "g.html").string() + ": 4 steps, 157 x 121\n" +
                          (work / "md/guide.md").string() + ": 4 steps, 157 x 121; 4 pictures beside it\n");
    EXPECT_EQ(Text(work / "g.html"), page);
    EXPECT_EQ(FilesUnder(work / "md"), (std::vector<fs::path>{"guide.md", "step-01.png", "step-02.png",
                                                              "step-03.png", "step-04.png"}));
    EXPECT_EQ(Text(work / "md/guide.md"),
              "# session1\n\n1. ![Step 1](step-01.png)\n\n2. ![Step 2](step-02.png)\n\n"
              "3. ![Step 3](step-03.png)\n\n4. ![Step 4](step-04.png)\n\n");
    ASSERT_EQ(RunExport(Quoted(work) + " 1 --gif --guide", output), 0) << output;
    EXPECT_NE(output.find("session1.gif: 4 steps"), std::string::npos) << output;
    EXPECT_NE(output.find("guide.html: 4 steps"), std::string::npos) << output;

    for (const char* bad : {" 1 --guide-md", " 1 --guide --once", " 1 --guide-md d --no-cursor"}) {
        EXPECT_EQ(RunExport(Quoted(work) + bad, output), 2) << bad;
        EXPECT_EQ(output.find("usage: flickmere-export"), output.find('\n') + 1) << output;
    }
}

TEST(GuideCommandTest, AGuideThatCannotBeWrittenIsRefusedAndLeavesNoHalfFile)
{
    CRecordedSession session;
    RecordSample(session);
    const fs::path work = session.WorkDir();
    fs::create_directory(session.File("guide.html"));
    testfiles::WriteText((work / "taken").string(), "a file where the folder should go");
    for (const std::string& args :
         {std::string(" 1 --guide"), " 1 --guide-md " + Quoted((work / "taken").string())}) {
        SCOPED_TRACE(args);
        std::string output;
        EXPECT_EQ(RunExport(Quoted(work) + args, output), 1);
        EXPECT_EQ(output.rfind("flickmere-export: ", 0), 0u) << output;
        EXPECT_EQ(output.find('\n'), output.size() - 1) << "not one line: " << output;
        for (const fs::path& file : FilesUnder(work))
            EXPECT_EQ(file.string().find(".tmp"), std::string::npos) << file;
    }
    EXPECT_EQ(Text(work / "taken"), "a file where the folder should go");

    // As a session ends: the guide is the last of the four, and its failure is its own.
    const CResult<> ended = WriteSessionFiles(work, 1, SuggestionWordsOf(kEnglishLanguage));
    ASSERT_FALSE(ended);
    EXPECT_EQ(ended.Error().code, kGuideNotWritten);
    EXPECT_NE(ended.Error().text.find("guide.html: cannot be written"), std::string::npos)
        << ended.Error().text;
    for (const char* written : {"player.html", "session1.png", "session1.gif"})
        EXPECT_TRUE(fs::is_regular_file(session.File(written))) << written;
    fs::remove(session.File("guide.html"));
    const CResult<> again = WriteSessionFiles(work, 1, SuggestionWordsOf(kEnglishLanguage));
    EXPECT_TRUE(again) << again.Error().text;
    EXPECT_TRUE(fs::is_regular_file(session.File("guide.html")));
}

// A full-HD-wide window where each step changes a little: each picture is the stage after its step,
// pointer drawn, cut to a box around the change and the pointer; the first is the whole stage.
TEST(GuideCommandTest, EachPictureIsTheStageAfterItsStepCutAroundWhatChanged)
{
    CRecordedSession session(900, 500);
    session.Step({{0, 0, 899, 499}}, {450, 250});
    const struct
    {
        Region change;
        CursorPoint cursor;
    } steps[] = {
        {{600, 400, 619, 409}, {610, 405}}, // a button pressed under the pointer
        {{10, 10, 400, 300}, {880, 480}},   // a dialog opens far from the pointer
        {{890, 5, 899, 14}, {895, 10}},     // a tick in the corner
    };
    for (const auto& s : steps)
        session.Step({s.change}, s.cursor);
    std::string output;
    ASSERT_EQ(
        RunExport(Quoted(session.WorkDir()) + " 1 --guide-md " + Quoted((session.WorkDir() / "md").string()),
                  output),
        0)
        << output;
    const fs::path md = session.WorkDir() / "md";
    const RgbImage first = DecodePng(md / "step-01.png", 900, 500);
    EXPECT_TRUE(first.rgb == session.StageAtStep(1, true).rgb);
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i + 2);
        GuideFocus focus{{0, 0, 899, 499}, steps[i].change};
        PointerRegion(steps[i].cursor, 900, 500, focus.pointer);
        const Region box = GuideCropBox(focus);
        const RgbImage picture = DecodePng(md / GuidePictureName(i + 2, 4), box.Width(), box.Height());
        EXPECT_TRUE(picture.rgb == Cut(session.StageAtStep(int(i) + 2, true), box).rgb);
        EXPECT_EQ(UnionBox(box, steps[i].change), box);
    }
}

// With a steps file and no captions, each step says what its press was about, the name in bold, and its
// picture shows the control's mark under the pointer; the first step is cut around the mark.
TEST(GuideCommandTest, StepsWithoutCaptionsSayTheirSuggestionAndShowTheirMark)
{
    CRecordedSession session(900, 500);
    session.Step({{0, 0, 899, 499}}, {450, 250});
    session.Step({{600, 400, 619, 409}}, {610, 405});
    const StepRect save{420, 230, 80, 24}, item{590, 395, 60, 18};
    const auto press = [](int n, const std::string& name, const std::string& role, StepRect rect) {
        StepRecord record;
        record.press = n;
        record.pictures = {n};
        record.lookup = StepLookup::Answered;
        record.window = "Sample";
        record.control = StepControl{name, role, {}, rect, "Button", "msaa"};
        return record;
    };
    ASSERT_TRUE(WriteStepsFile(session.File("session1.steps.json"),
                               {press(1, "Save", "button", save), press(2, "Item 3", "list-item", item)}));
    std::string output;
    const fs::path md = session.WorkDir() / "md";
    ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --guide-md " + Quoted(md.string()), output), 0)
        << output;
    std::ifstream file(md / "guide.md", std::ios::binary);
    const std::string guide((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(guide.find("Click **Save**"), std::string::npos) << guide;
    EXPECT_NE(guide.find("Select **Item 3**"), std::string::npos) << guide;

    GuideFocus focus{{0, 0, 899, 499}};
    focus.first = true;
    focus.mark = MarkBounds(save);
    PointerRegion({450, 250}, 900, 500, focus.pointer);
    const Region box = GuideCropBox(focus);
    RgbImage stage = session.StageAtStep(1, false);
    DrawMark(stage, save);
    DrawPointer(stage.rgb.data(), stage.width, stage.height, {450, 250});
    EXPECT_TRUE(DecodePng(md / "step-01.png", box.Width(), box.Height()).rgb == Cut(stage, box).rgb);
}

} // namespace
