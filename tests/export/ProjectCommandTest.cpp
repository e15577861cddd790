// What the command makes of a project file as a user hands it over: what it says it wrote, how it
// refuses a file it cannot take, and the rate it plays at.
#include "RecordedSession.h"
#include "export/take/TakeEdit.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace exporttest;

// A valid project whose unknown field `extra` holds lists nested `depth` deep.
std::string NestedProject(int depth)
{
    return "{\"format\": \"flickmere-project\", \"version\": 1, \"fps\": 12,\n\"steps\": [{\"source\": 1, "
           "\"frames\": 5}],\n\"extra\": " +
           std::string(size_t(depth), '[') + std::string(size_t(depth), ']') + "}\n";
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
