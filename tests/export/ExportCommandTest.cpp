// The command as a user runs it: it writes the player or the animation and nothing else, and each bad
// input ends it with one line naming the file at fault, status 1 and no file written or changed.
#include "RecordedSession.h"
#include "common/Version.h"
#include "export/SessionFiles.h"
#include "output/OffsetTables.h"
#include "state/TextTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace {

using namespace exporttest;
using testfiles::ReadBytes;

std::map<fs::path, std::vector<uint8_t>> Snapshot(const fs::path& dir)
{
    std::map<fs::path, std::vector<uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        files[entry.path()] = entry.is_regular_file() ? ReadBytes(entry.path()) : std::vector<uint8_t>{};
    return files;
}

void Put32(const std::string& file, int64_t at, int32_t value)
{
    std::vector<uint8_t> bytes = ReadBytes(file);
    for (int i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
    testfiles::WriteText(file, std::string(bytes.begin(), bytes.end()));
}

TEST(ExportCommandTest, WritesOnlyTheSelfContainedPlayerOrTheAnimation)
{
    CRecordedSession session;
    RecordSample(session);
    auto expected = Snapshot(session.WorkDir());
    std::string output;
    for (const char* fps : {" --fps 25", ""}) { // the second export replaces the first
        ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1" + fps, output), 0) << output;
        const std::vector<uint8_t> page = ReadBytes(session.File("player.html"));
        const std::string html(page.begin(), page.end());
        EXPECT_NE(html.find(*fps ? "\"fps\":25," : "\"fps\":12,"), std::string::npos);
        for (const char* fetch : {"http:", "https:", "file:", "<link", "<object", "<embed", "@import"})
            EXPECT_EQ(html.find(fetch), std::string::npos) << fetch;
    }
    expected[session.File("player.html")] = ReadBytes(session.File("player.html"));
    EXPECT_TRUE(Snapshot(session.WorkDir()) == expected) << "files besides player.html changed";

    // The animation goes beside the session's pictures, or where FILE says (relative to the current
    // directory); the word after --apng is FILE unless it is an option.
    for (const char* apng : {" --apng", " --apng --no-cursor", " --apng elsewhere.png --once"}) {
        testfiles::CCurrentDir current(session.WorkDir());
        ASSERT_EQ(RunExport(". 1" + std::string(apng), output), 0) << output;
    }
    expected[session.File("session1.png")] = ReadBytes(session.File("session1.png"));
    expected[session.WorkDir() / "elsewhere.png"] = ReadBytes((session.WorkDir() / "elsewhere.png").string());
    EXPECT_TRUE(Snapshot(session.WorkDir()) == expected) << "files besides the animations changed";

    ASSERT_EQ(RunExport("--version", output), 0);
    EXPECT_EQ(output, "flickmere-export " FLICKMERE_VERSION_STRING "\n");
    for (const char* bad : {"", " 1 2", " 0", " one", " 1 --fps", " 1 --fps 0", " 1 --speed 2", " 1 --once",
                            " 1 --no-cursor", " --apng 1"}) {
        EXPECT_EQ(RunExport(Quoted(session.WorkDir()) + bad, output), 2) << bad;
        EXPECT_EQ(output.find("usage: flickmere-export"), output.find('\n') + 1) << output;
    }
}

// Runs the export with `arguments` after the working directory and expects it to fail with one line
// that names the file at fault, "<file name>: <what is wrong>", and without a file written or changed.
void ExpectRefused(const CRecordedSession& session, const std::string& arguments, const std::string& message)
{
    const auto before = Snapshot(session.WorkDir());
    std::string output;
    EXPECT_EQ(RunExport(Quoted(session.WorkDir()) + " " + arguments, output), 1);
    EXPECT_EQ(output.find('\n'), output.size() - 1) << "not one line: " << output;
    EXPECT_EQ(output.rfind("flickmere-export: ", 0), 0u) << output;
    EXPECT_NE(output.find("/" + message), std::string::npos) << output;
    EXPECT_TRUE(Snapshot(session.WorkDir()) == before) << "files written or changed";
}

TEST(ExportCommandTest, EachBadInputNamesItsFileAndWritesNothing)
{
    const std::string dest = "destinationFLA1.fla";
    const struct
    {
        std::function<void(CRecordedSession&)> spoil;
        std::string message; // "<file name>: <what is wrong>"
        const char* session = "1";
    } cases[] = {
        {[](auto& s) { fs::remove(s.WorkDir() / "frmoffs.ini"); }, "frmoffs.ini: offset file not found"},
        {[](auto& s) { ReplaceRow(s, "bmpoffs.ini", 1, "x"); }, "bmpoffs.ini: no row for picture 1"},
        {[](auto&) {}, "session2: session directory not found", "2"},
        {[&](auto& s) { fs::remove(s.File(dest)); }, dest + ": destination file not found"},
        // Without the first picture there is no stage.
        {[](auto& s) { fs::remove(s.File("imageBMP1.bmp")); },
         "imageBMP1.bmp: missing; without the first picture there is no stage"},
        {[](auto& s) { Put32(s.File("imageBMP1.bmp"), 28, 32); }, "imageBMP1.bmp: only 24-bit uncompressed"},
        {[](auto& s) {
             for (int k = 1; k <= 6; ++k)
                 fs::remove(s.File("imageBMP" + std::to_string(k) + ".bmp"));
         },
         "imageBMP1.bmp: missing: the session has no pictures"},
        // Picture 5 is 37 pixels wide: at x = 121 it ends one pixel beyond the stage.
        {[&](auto& s) { Put32(s.File(dest), PlacementOffset(5, 1) + 16, 121 * 20); },
         "imageBMP5.bmp: 37 x 31 picture placed at (121, 90) reaches outside the 157 x 121 stage"},
        {[&](auto& s) { Put32(s.File(dest), PlacementOffset(2, 1) + 20, -20); },
         "imageBMP2.bmp: 40 x 30 picture placed at (5, -1) reaches outside"},
        {[](auto& s) {
             fs::copy_file(s.File("imageBMP5.bmp"), s.File("imageBMP1.bmp"),
                           fs::copy_options::overwrite_existing);
         },
         "imageBMP2.bmp: 40 x 30 picture placed at (5, 6) reaches outside the 37 x 31 stage"},
        // Bytes no capture step wrote, where a position should be.
        {[&](auto& s) { Put32(s.File(dest), PlacementOffset(4, 1) + 20, 0x12345678); },
         dest + ": placement of picture 4 at offset"},
        // Each kind of record read beyond the end of the destination file.
        {[](auto& s) { ReplaceRow(s, "bmpoffs.ini", 3, "1;9999000;"); },
         dest + ": placement of picture 3 at offset 9999016 lies outside the file"},
        {[](auto& s) { ReplaceRow(s, "curoffs.ini", 2, "9999000;0;0;0;"); },
         dest + ": cursor record of step 2 at offset 9999000"},
        {[](auto& s) {
             ReplaceRow(s, "curoffs.ini", 1, std::to_string(g_offsets.cursor[0][0]) + ";0;0;9999000;");
         },
         dest + ": frame span of step 1 at offset 9999000"},
        {[](auto& s) { ReplaceRow(s, "frmoffs.ini", 2, "-4;"); },
         dest + ": frame count of picture 2 at offset -4"},
        {[&](auto& s) { fs::resize_file(s.File(dest), g_offsets.frame[4] + 1); },
         dest + ": frame count of picture 5"},
    };
    for (const auto& c : cases)
        for (const char* output : {"", " --apng"}) {
            SCOPED_TRACE(c.message + output);
            CRecordedSession session;
            RecordSample(session);
            c.spoil(session);
            ExpectRefused(session, c.session + std::string(output), c.message);
        }
}

TEST(ExportCommandTest, AMissingOrUnreadablePictureCostsThatPictureOnly)
{
    const struct
    {
        std::function<void(CRecordedSession&)> spoil;
        std::vector<std::string> lines; // on standard error, in picture order
    } cases[] = {
        {[](auto& s) {
             fs::resize_file(s.File("imageBMP3.bmp"), fs::file_size(s.File("imageBMP3.bmp")) - 1);
         },
         {"imageBMP3.bmp: pixel data cut short"}},
        {[](auto& s) {
             fs::resize_file(s.File("imageBMP6.bmp"), 0);
             Put32(s.File("imageBMP2.bmp"), 28, 32);
             fs::remove(s.File("imageBMP4.bmp"));
         },
         {"imageBMP2.bmp: only 24-bit uncompressed", "imageBMP4.bmp: missing: left out",
          "imageBMP6.bmp: too short"}},
        {[](auto& s) { Put32(s.File("imageBMP5.bmp"), 30, 3); }, {"imageBMP5.bmp: only 24-bit uncompressed"}},
    };
    for (const auto& c : cases)
        for (const char* kind : {"player.html", "session1.png"}) {
            SCOPED_TRACE(c.lines[0] + " " + kind);
            CRecordedSession session;
            RecordSample(session);
            c.spoil(session);
            std::string output;
            ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + (kind[0] == 'p' ? " 1" : " 1 --apng"), output), 0)
                << output;
            EXPECT_TRUE(fs::exists(session.File(kind)));
            size_t at = 0;
            for (const std::string& line : c.lines) {
                at = output.find("flickmere-export: " + session.File(line), at);
                ASSERT_NE(at, std::string::npos) << line << " in\n" << output;
                EXPECT_EQ(output.find("left out\n", at), output.find('\n', at) - 8) << output;
            }
            EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), c.lines.size() + 1) << output;
        }
}

// A template kit whose cursor and frame tables are shorter than the take: the capture took every
// picture, and the command and the session's end show them all; each short file is named once.
TEST(ExportCommandTest, ShortOffsetFilesCostTimingAndPointerNotTheTake)
{
    CRecordedSession session;
    RecordSample(session);
    ReplaceRow(session, "curoffs.ini", 3, "x"); // two rows
    ReplaceRow(session, "frmoffs.ini", 5, "x"); // four rows
    for (const char* kind : {"player.html", "session1.png"}) {
        SCOPED_TRACE(kind);
        std::string output;
        ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + (kind[0] == 'p' ? " 1" : " 1 --apng"), output), 0)
            << output;
        for (const char* file : {"frmoffs.ini: no row for picture 5: ", "curoffs.ini: no row for step 3: "}) {
            const std::string line = "flickmere-export: " + (session.WorkDir() / file).string();
            EXPECT_NE(output.find(line), std::string::npos) << output;
            EXPECT_EQ(output.find(line), output.rfind(line)) << output;
        }
        EXPECT_NE(output.find(session.File(kind) + ": 4 steps, 157 x 121"), std::string::npos) << output;
    }
    fs::remove(session.File("player.html"));
    fs::remove(session.File("session1.png"));
    const CResult<> ended = WriteSessionFiles(session.WorkDir(), 1, SuggestionWordsOf(kEnglishLanguage));
    EXPECT_TRUE(ended) << ended.Error().text;
    EXPECT_TRUE(fs::exists(session.File("player.html")) && fs::exists(session.File("session1.png")));
}

TEST(ExportCommandTest, AnUnwritableTargetWritesNothingAndAFailedWriteKeepsTheEarlierFile)
{
    CRecordedSession session;
    RecordSample(session);
    const std::string target = session.File("session1.png");
    fs::create_directory(target);
    ExpectRefused(session, "1 --apng", "session1.png: cannot be written");
    fs::remove(target);
    ExpectRefused(session, "1 --apng " + Quoted(session.File("missing/x.png")), "missing/x.png.");

    // Files that stand under names like the temporary ones are not the export's: each run makes a
    // name of its own, and never truncates nor removes them.
    for (const char* file : {"session1.png.tmp", "player.html.tmp", "session1.png.1-0.tmp"})
        testfiles::WriteText(session.File(file), "not the export's");
    const auto before = Snapshot(session.WorkDir());
    std::string output;
    ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1 --apng", output), 0) << output;
    ASSERT_EQ(RunExport(Quoted(session.WorkDir()) + " 1", output), 0) << output;
    auto after = Snapshot(session.WorkDir());
    after.erase(session.File("session1.png"));
    after.erase(session.File("player.html"));
    EXPECT_TRUE(after == before) << "files besides the two written ones changed";
}

TEST(ExportCommandTest, HelpAndAWorkingDirectoryThatDoesNotExist)
{
    std::string output;
    ASSERT_EQ(RunExport("--help", output), 0);
    EXPECT_EQ(output.rfind("usage: flickmere-export", 0), 0u) << output;
    testfiles::CScratchDir dir;
    EXPECT_EQ(RunExport(Quoted(dir.File("nowhere")) + " 1", output), 1);
    EXPECT_EQ(output, "flickmere-export: " + dir.File("nowhere") + ": working directory not found\n");
}

} // namespace
