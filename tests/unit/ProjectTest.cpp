#include "export/take/Project.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A project as a later version might write it: fields this one does not know, in every object.
const char kEdited[] = R"({
  "format": "flickmere-project",
  "version": 1,
  "title": "Saving a file",
  "fps": 12,
  "crop": {"x": 10, "y": 20, "width": 300, "height": 200, "aspect": "free"},
  "steps": [
    {"source": 1, "frames": 50, "note": "opening"},
    {"source": 3, "frames": 100, "caption": {"text": "Click \u00dcbernehmen\nthen wait", "x": 4, "y": 5,
      "width": 160, "height": 40, "colour": "yellow", "arrow": {"x": 90, "y": 120, "head": "round"}}},
    {"source": 4, "frames": 25}
  ]
})";

Project Parsed(const std::string& text)
{
    CResult<Project> project = ParseProject(text);
    EXPECT_TRUE(project) << project.Error().text;
    return project ? std::move(*project) : Project{};
}

TEST(ProjectTest, ReadsTheEditAndKeepsWhatItDoesNotKnow)
{
    const Project project = Parsed(kEdited);
    EXPECT_EQ(project.fps, 12);
    ASSERT_TRUE(project.crop);
    EXPECT_EQ(project.crop->rect.width, 300);
    ASSERT_EQ(project.steps.size(), 3u);
    EXPECT_EQ(project.steps[1].source, 3);
    EXPECT_EQ(project.steps[1].frames, 100);
    ASSERT_TRUE(project.steps[1].caption);
    EXPECT_EQ(project.steps[1].caption->text, "Click \xC3\x9C"
                                              "bernehmen\nthen wait");
    ASSERT_TRUE(project.steps[1].caption->arrow);
    EXPECT_EQ(project.steps[1].caption->arrow->tip.y, 120);

    // Saved unchanged, it reads back the same, unknown fields and the order of keys included.
    const std::string saved = SerializeProject(project);
    EXPECT_EQ(SerializeProject(Parsed(saved)), saved);
    const ProjectJson original = ProjectJson::parse(kEdited);
    EXPECT_EQ(ProjectJson::parse(saved), original);
}

// A step's "mark" is read where given, written only where the step says, and left out when it no longer
// does, the other fields and their order kept.
TEST(ProjectTest, AMarkIsWrittenOnlyWhereTheStepSaysSo)
{
    Project project = Parsed(R"({"format": "flickmere-project", "version": 1, "fps": 12, "steps": [
        {"source": 1, "mark": false, "frames": 50, "note": "kept"},
        {"source": 2, "frames": 50, "mark": true},
        {"source": 3, "frames": 50}]})");
    ASSERT_EQ(project.steps.size(), 3u);
    EXPECT_EQ(project.steps[0].mark, std::optional<bool>(false));
    EXPECT_EQ(project.steps[1].mark, std::optional<bool>(true));
    EXPECT_EQ(project.steps[2].mark, std::nullopt);
    const std::string saved = SerializeProject(project);
    EXPECT_EQ(SerializeProject(Parsed(saved)), saved);
    EXPECT_LT(saved.find("\"mark\": false"), saved.find("\"frames\": 50"));

    project.steps[0].mark.reset();
    project.steps[2].mark = false;
    const ProjectJson written = ProjectJson::parse(SerializeProject(project));
    EXPECT_FALSE(written["steps"][0].contains("mark"));
    EXPECT_EQ(written["steps"][0]["note"], "kept");
    EXPECT_EQ(written["steps"][1]["mark"], true);
    EXPECT_EQ(written["steps"][2]["mark"], false);
}

TEST(ProjectTest, ListEditsCarryEachStepsOwnFields)
{
    Project project = Parsed(kEdited);
    // Drop the first step, show the captioned one twice, move the last to the front, lengthen one.
    project.steps.erase(project.steps.begin());
    project.steps.insert(project.steps.begin() + 1, project.steps[0]);
    std::rotate(project.steps.begin(), project.steps.end() - 1, project.steps.end());
    project.steps[1].frames = 200;
    project.steps[2].caption.reset();
    project.crop.reset();

    const ProjectJson saved = ProjectJson::parse(SerializeProject(project));
    const ProjectJson& steps = saved["steps"];
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0]["source"], 4);
    EXPECT_EQ(steps[1]["source"], 3);
    EXPECT_EQ(steps[1]["frames"], 200);
    EXPECT_EQ(steps[1]["caption"]["colour"], "yellow");
    EXPECT_EQ(steps[1]["caption"]["arrow"]["head"], "round");
    EXPECT_EQ(steps[2]["source"], 3);
    EXPECT_FALSE(steps[2].contains("caption"));
    EXPECT_FALSE(saved.contains("crop"));
    EXPECT_EQ(saved["title"], "Saving a file");
}

TEST(ProjectTest, ARefusalNamesTheLineAndTheReason)
{
    const std::string head = "{\n  \"format\": \"flickmere-project\",\n  \"version\": 1,\n  \"fps\": 12,\n";
    struct Case
    {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        // Syntax errors by their place, in characters, and what stands there.
        {"", "line 1: not valid JSON: the text ends before it is complete"},
        {head + "  \"steps\": [\n    {\"source\": 1, \"frames\": 5},\n  ]\n}\n",
         "line 7, column 3: not valid JSON at \"]\""},
        {head + "  \"steps\": [\n    {\"source\": 1, \"frames\": 5}\n",
         "line 7: not valid JSON: the text ends before it is complete"},
        {"{\"title\": \"\u00dcber\", \"fps\": tru}", "line 1, column 29: not valid JSON at \"}\""},
        {"{\"title\": \"\u00dcber\nall\"}", "line 1, column 16: not valid JSON at U+000A"},
        {"{\"title\": \"\x80\"}", "line 1, column 12: not valid JSON at byte 0x80"},
        {"{\"\u00dc\": \u00dc}", "line 1, column 7: not valid JSON at \"\u00dc\""},
        {"{\"fps\":\n   1e999}", "line 2, column 4: the number 1e999 is too large"},
        {"{\"fps\": 1" + std::string(30, '0') + "e999}",
         "line 1, column 9: the number 1" + std::string(23, '0') + "... is too large"},
        {"[1, 2]", "line 1: a project file holds one JSON object"},
        {"{\"format\": \"other\"}",
         "line 1: \"format\" must be \"flickmere-project\": this is no project file"},
        {"{\"format\": \"flickmere-project\",\n\"version\": 2}",
         "line 2: \"version\" 2: written by a newer Flickmere"},
        {head + "  \"steps\": []\n}", "line 5: \"steps\" must be a list of at least one step"},
        {head + "  \"steps\": [\n    {\"source\": 1}\n  ]\n}", "line 6: step 1 has no \"frames\""},
        {head +
             "  \"steps\": [\n    {\"source\": 1, \"frames\": 5},\n    {\"source\": 2,\n     \"frames\": 0}\n"
             "  ]\n}",
         "line 8: \"frames\" of step 2 must be a whole number from 1 to 65535"},
        {head + "  \"steps\": [{\"source\": 1, \"frames\": 2.5}]}",
         "line 5: \"frames\" of step 1 must be a whole number from 1 to 65535"},
        {head + "  \"crop\": {\"x\": -1, \"y\": 0, \"width\": 5, \"height\": 5},\n  \"steps\": []}",
         "line 5: \"x\" of the crop must be a whole number from 0 to 65535"},
        {head + "  \"steps\": [{\"source\": 1, \"frames\": 2,\n    \"caption\": {\"text\": 7}}]}",
         "line 6: \"text\" of the caption of step 1 must be a text in quotes"},
        {head + "  \"steps\": [{\"source\": 1, \"frames\": 2, \"caption\": {\"text\": \"a\", \"x\": 0, "
                "\"y\": 0,\n"
                "    \"width\": 9, \"height\": 9, \"arrow\": {\"x\": 1}}}]}",
         "line 6: the arrow of step 1 has no \"y\""},
        {head + "  \"steps\": [{\"source\": 1, \"frames\": 2,\n    \"mark\": \"yes\"}]}",
         "line 6: \"mark\" of step 1 must be true or false"},
    };
    for (const Case& c : cases) {
        const CResult<Project> project = ParseProject(c.text);
        EXPECT_FALSE(project) << c.text;
        EXPECT_EQ(project.Error().text, c.error) << c.text;
    }
}

// Objects and lists nested as deep as the limit are kept, one level more is refused at its line, and a
// file nested thousands deep (damaged, or made by hand) is refused as quickly as any other: nothing goes
// down its levels one call at a time, and no value's line costs more than the format's own fields.
TEST(ProjectTest, NestingIsLimitedAndRefusedAtItsLine)
{
    const std::string head = "{\"format\": \"flickmere-project\", \"version\": 1, \"fps\": 12,\n";
    const std::string step = "{\"source\": 1, \"frames\": 5";
    // Levels: the project 1, "steps" 2, a step 3, its caption 4, its arrow 5.
    const auto nested = [](int levels, bool objects) {
        std::string text;
        for (int i = 0; i < levels; ++i)
            text += objects ? "{\"a\":\n" : "[";
        text += "0";
        for (int i = 0; i < levels; ++i)
            text += objects ? "}" : "]";
        return text;
    };
    const struct
    {
        std::string text;
        std::string error; // empty: taken
    } cases[] = {
        {head + "\"steps\": [" + step + "}],\n\"extra\": " + nested(kMaxProjectNesting - 1, false) + "}", ""},
        {head + "\"steps\": [" + step + "}],\n\"extra\": " + nested(kMaxProjectNesting, false) + "}",
         "line 3: objects and lists are nested more than 64 deep"},
        {head + "\"steps\": [" + step +
             ", \"caption\": {\"text\": \"a\", \"x\": 0, \"y\": 0, \"width\": 9, " +
             "\"height\": 9,\n\"arrow\": {\"x\": 1, \"y\": 1, \"tip\": " +
             nested(kMaxProjectNesting - 5, true) + "}}}]}",
         ""},
        {head + "\"steps\": [" + step +
             ", \"caption\": {\"text\": \"a\", \"x\": 0, \"y\": 0, \"width\": 9, " +
             "\"height\": 9,\n\"arrow\": {\"x\": 1, \"y\": 1, \"tip\": " +
             nested(kMaxProjectNesting - 4, true) + "}}}]}",
         "line 62: objects and lists are nested more than 64 deep"},
        {head + "\"steps\": [" + step + "}],\n\"extra\": " + nested(20000, false) + "}",
         "line 3: objects and lists are nested more than 64 deep"},
        {head + "\"extra\": " + nested(20000, true) + ",\n\"steps\": [" + step + "}]}",
         "line 65: objects and lists are nested more than 64 deep"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 300));
        const CResult<Project> project = ParseProject(c.text);
        EXPECT_EQ(project ? "" : project.Error().text, c.error);
        if (project) { // what is kept is written back as it was read
            EXPECT_EQ(ProjectJson::parse(SerializeProject(*project)), ProjectJson::parse(c.text));
        }
    }
}

} // namespace
