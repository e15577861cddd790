// What the command makes of a project file as a user hands it over: what it says it wrote, how it
// refuses a file it cannot take, and the rate it plays at.
#include "RecordedSession.h"
#include "export/take/TakeEdit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace {

using namespace exporttest;

// A valid project whose unknown field `extra` holds lists nested `depth` deep.
std::string NestedProject(int depth)
{
    return "{\"format\": \"flickmere-project\", \"version\": 1, \"fps\": 12,\n\"steps\": [{\"source\": 1, "
           "\"frames\": 5}],\n\"extra\": " +
           std::string(size_t(depth), '[') + std::string(size_t(depth), ']') + "}\n";
}

const char kHead[] = "{\n  \"format\": \"flickmere-project\",\n  \"version\": 1,\n  \"fps\": 12,\n";

// The line the command prints for what it wrote says what a viewer gets: the edit's steps cut to its
// crop, and which project file made it so.
TEST(ProjectCommandTest, SaysWhatItWroteAndWhichEditMadeIt)
{
    CRecordedSession session;
    RecordSample(session);
    const std::string project = ProjectFileOf(session.WorkDir(), 1).string();
    const std::string player = session.File("player.html"), animation = session.File("session1.png");
    const std::string twoCropped =
        std::string(kHead) +
        "  \"crop\": {\"x\": 7, \"y\": 9, \"width\": 100, \"height\": 80},\n"
        "  \"steps\": [{\"source\": 3, \"frames\": 5}, {\"source\": 1, \"frames\": 9}]\n}\n";
    const std::string one = std::string(kHead) + "  \"steps\": [{\"source\": 2, \"frames\": 5}]\n}\n";
    const struct
    {
        std::string project; // empty: none beside the take
        std::string options;
        std::string said; // a regular expression for standard output
    } cases[] = {
        {"", "", player + ": 4 steps, 157 x 121\n"},
        {"", " --apng", animation + ": 4 steps, 157 x 121, [0-9]+ bytes\n"},
        {twoCropped, "", player + ": 2 steps, 100 x 80; edited by " + project + "\n"},
        {twoCropped, " --apng --fps 50",
         animation + ": 2 steps, 100 x 80, [0-9]+ bytes; edited by " + project + "\n"},
        {one, " --apng", animation + ": 1 step, 157 x 121, [0-9]+ bytes; edited by " + project + "\n"},
        {twoCropped, " --no-project", player + ": 4 steps, 157 x 121\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options + "\n" + c.project);
        fs::remove(project);
        if (!c.project.empty())
            testfiles::WriteText(project, c.project);
        std::string output;
        ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1" + c.options, output), 0) << output;
        EXPECT_TRUE(std::regex_match(output, std::regex(c.said))) << output;
    }
}

// A file that is not JSON at all is refused at its place, in words of the file, not of the parser,
// and the way to export the take without it is named.
TEST(ProjectCommandTest, AFileThatIsNotJsonNamesItsPlaceAndTheWayAround)
{
    CRecordedSession session;
    RecordSample(session);
    const std::string project = ProjectFileOf(session.WorkDir(), 1).string();
    const struct
    {
        std::string text;
        std::string said;
    } cases[] = {
        {std::string(kHead) + "  \"steps\": [\n    {\"source\": 1, \"frames\": 5},\n  ]\n}\n",
         "line 7, column 3: not valid JSON at \"]\""},
        {std::string(kHead) + "  \"steps\": [\n    {\"source\": 1, \"frames\": 5}\n",
         "line 7: not valid JSON: the text ends before it is complete"},
        {std::string(kHead) + "  \"steps\": [{\"source\": 1, \"frames\": 5}],\n  \"title\": 'Saving'\n}\n",
         "line 6, column 12: not valid JSON at \"'\""},
    };
    for (const auto& c : cases)
        for (const char* options : {"", " --apng"}) {
            SCOPED_TRACE(c.said + options);
            testfiles::WriteText(project, c.text);
            std::string output;
            EXPECT_EQ(RunExport(Quoted(session.WorkDir()) + " 1" + options, output), 1);
            EXPECT_EQ(output, "flickmere-export: " + project + ": " + c.said +
                                  "; --no-project exports the take as recorded\n");
            EXPECT_FALSE(fs::exists(session.File("player.html")));
            EXPECT_FALSE(fs::exists(session.File("session1.png")));
        }
}

} // namespace

// A damaged or hand-made file nested far deeper than any edit is refused with its line; it must not
// end the Windows program, whose stack is smaller than the native one's, in silence.
TEST(ProjectUnderWineTest, ADeeplyNestedFileIsRefusedWithItsLine)
{
    const char* exe = std::getenv("FLICKMERE_WINDOWS_EXPORT");
    ASSERT_TRUE(exe && *exe) << "FLICKMERE_WINDOWS_EXPORT does not name flickmere-export.exe";
    CRecordedSession session;
    RecordSample(session);
    testfiles::WriteText(ProjectFileOf(session.WorkDir(), 1).string(), NestedProject(20000));
    std::string output;
    EXPECT_EQ(RunCommand("wine " + Quoted(exe) + " " + Quoted(session.WorkDir()) + " 1 --apng", output), 1)
        << output;
    EXPECT_NE(output.find(": line 3: objects and lists are nested more than 64 deep"), std::string::npos)
        << output;
    EXPECT_FALSE(fs::exists(session.File("session1.png")));
}
