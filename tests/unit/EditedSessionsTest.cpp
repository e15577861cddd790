// Which sessions the program exports again because of their edit: a saved project file by its name, and
// at start every session whose project file is newer than its player page or its animated PNG.
#include "app/EditedSessions.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(EditedSessionsTest, AProjectFileIsKnownByItsFolderAndName)
{
    struct Case
    {
        const char* relative;
        int session;
    };
    const Case cases[] = {
        {"session3\\session3.flickmere.json", 3},
        {"session3/session3.flickmere.json", 3},
        {"Session12\\session12.flickmere.json", 12}, // the same folder on Windows
        {"session3\\session4.flickmere.json", 0},
        {"session3\\player.html", 0},
        {"session3\\session3.flickmere.json.crswap", 0}, // a browser's file while it saves
        {"session3\\sub\\session3.flickmere.json", 0},
        {"session03\\session3.flickmere.json", 0}, // not the folder the export reads
        {"takes\\session3.flickmere.json", 0},
        {"session3.flickmere.json", 0},
        {"session3\\", 0},
        {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SessionOfProjectFile(c.relative), c.session) << c.relative;
}

TEST(EditedSessionsTest, AtStartEverySessionWhoseEditIsNewerThanAnOutputIsExportedAgain)
{
    testfiles::CScratchDir dir;
    const fs::file_time_type now = fs::file_time_type::clock::now();
    // Each file of a session at its age; a negative age leaves the file out.
    const auto session = [&](const std::string& folder, int number, std::chrono::seconds project,
                             std::chrono::seconds player, std::chrono::seconds animation) {
        const std::string name = "session" + std::to_string(number);
        const struct
        {
            std::string file;
            std::chrono::seconds age;
        } files[] = {
            {name + ".flickmere.json", project}, {"player.html", player}, {name + ".png", animation}};
        fs::create_directories(dir.Path() / folder);
        for (const auto& f : files)
            if (f.age >= 0s) {
                testfiles::WriteText((dir.Path() / folder / f.file).string(), "x");
                fs::last_write_time(dir.Path() / folder / f.file, now - f.age);
            }
    };
    session("session1", 1, 60s, 30s, 30s);   // exported after its edit
    session("session2", 2, 30s, 60s, 20s);   // the player is older than the edit
    session("session3", 3, 30s, -1s, 20s);   // no player
    session("session4", 4, -1s, 60s, 60s);   // never edited
    session("session5", 5, 30s, 30s, 30s);   // written at the same time
    session("session10", 10, 10s, 60s, 60s); // newer than both
    session("session06", 6, 10s, 60s, 60s);  // not a folder the export writes into
    EXPECT_EQ(SessionsBehindTheirEdit(dir.Path()), (std::vector<int>{2, 3, 10}));
    EXPECT_TRUE(SessionsBehindTheirEdit(dir.Path() / "missing").empty());
}

} // namespace
