// At start the program removes what unfinished exports left in the session folders: the temporary files
// of a player page, an animated PNG, a GIF or a guide, under the names the export makes, and nothing else.
#include "app/ExportLeftovers.h"

#include "TestFiles.h"
#include "common/ReplacingFile.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(ExportLeftoversTest, OnlyTheExportsOwnTemporaryFilesInSessionFoldersGo)
{
    struct Case
    {
        const char* file;
        bool removed;
    };
    const Case cases[] = {
        {"session1/player.html.4711-0.tmp", true},
        {"session1/session1.png.12-99.tmp", true},
        {"Session2/player.html.1-0.tmp", true}, // the folder the export writes as session2
        {"session1/session1.gif.7-3.tmp", true},
        {"session1/guide.html.7-4.tmp", true},
        {"session1/session2.gif.7-3.tmp", false},
        // Another session's animation, other names and other folders stay.
        {"session1/session2.png.12-0.tmp", false},
        {"session1/player.html.tmp", false},
        {"session1/player.html.12-.tmp", false},
        {"session1/player.html.x-1.tmp", false},
        {"session1/player.html.1-2.tmp.bak", false},
        {"session1/notes.12-0.tmp", false},
        {"session1/player.html", false},
        {"session1/imageBMP1.bmp", false},
        {"session010/player.html.1-0.tmp", false}, // read as session 8, whose folder is session8
        {"takes/player.html.1-0.tmp", false},
        {"player.html.1-0.tmp", false},
    };
    testfiles::CScratchDir dir;
    for (const Case& c : cases) {
        fs::create_directories((dir.Path() / c.file).parent_path());
        testfiles::WriteText((dir.Path() / c.file).string(), "x");
    }
    // A folder of the temporary name is not the export's.
    fs::create_directories(dir.Path() / "session3" / "player.html.5-0.tmp");

    const std::vector<fs::path> removed = RemoveExportLeftovers(dir.Path());
    for (const Case& c : cases)
        EXPECT_EQ(fs::exists(dir.Path() / c.file), !c.removed) << c.file;
    EXPECT_EQ(removed.size(), 5u);
    EXPECT_TRUE(fs::is_directory(dir.Path() / "session3" / "player.html.5-0.tmp"));
}

TEST(ExportLeftoversTest, TheNamesTheExportMakesAreTheOnesTakenForItsOwn)
{
    for (const int process : {1, 4711, 2147483647})
        for (const int attempt : {0, 7, 99}) {
            const fs::path name = TemporaryNameOf("session12.png", process, attempt);
            EXPECT_TRUE(IsTemporaryNameOf(name.u8string(), "session12.png")) << name;
            EXPECT_FALSE(IsTemporaryNameOf(name.u8string(), "session1.png")) << name;
            EXPECT_FALSE(IsTemporaryNameOf(name.u8string(), "player.html")) << name;
        }
}

} // namespace
