// What the program writes for a session once it has ended, on a thread of its own: the player page and
// the animated PNG, without holding up the next session, and a box that names what failed.
#include "harness/AppFixture.h"
#include "harness/Process.h"

#include "DemoScene.h"
#include "DibBlock.h"
#include "common/File.h"
#include "common/win32/CodePages.h"
#include "output/DibFile.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace e2e;

// `text` in Windows-1252 as the ANSI code page that the program and the test share has it.
std::string AnsiFromWindows1252(const std::string& text)
{
    return CodePageFromWide(CP_ACP, WideFromCodePage(1252, text));
}

// A 24-bit picture of noise, which takes the export a while to draw and compress.
bool WriteNoisePicture(const std::string& path, int width, int height)
{
    std::vector<uint8_t> block = DibBlock(width, height, 24);
    uint32_t noise = 12345;
    for (size_t i = sizeof(DibHeader); i < block.size(); ++i) {
        noise = noise * 1103515245u + 12345u;
        block[i] = static_cast<uint8_t>(noise >> 24);
    }
    return WritePackedDib(path.c_str(), block.data(), static_cast<uint32_t>(block.size())) == 1;
}

// A file, not a folder of that name.
bool IsFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// An edit of a take of two steps that shows them the other way round, the first with a caption.
std::string ProjectShowing(const std::string& caption)
{
    return R"({"format": "flickmere-project", "version": 1, "fps": 12, "steps": [)"
           R"({"source": 2, "frames": 24, "caption": {"text": ")" +
           caption + R"(", "x": 4, "y": 5, "width": 150, "height": 30}}, {"source": 1, "frames": 12}]})";
}

class SessionExportTest : public CAppFixture
{
protected:
    static std::vector<uint8_t> Bytes(const std::string& path)
    {
        std::vector<uint8_t> bytes;
        ReadWholeFile(path.c_str(), bytes);
        return bytes;
    }
    // When the file was last written, looked up without opening it: on Windows a file that is open
    // cannot be replaced, so the test never holds one that the program may be writing again.
    static uint64_t WriteTime(const std::string& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
            return 0;
        return uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
    }
    // Waits until session 1's player and animation have both been written again since `times`, and
    // then holds their new times.
    bool OutputsRewritten(std::pair<uint64_t, uint64_t>& times) const
    {
        const auto now = [&] { return std::make_pair(WriteTime(Player(1)), WriteTime(Animation(1))); };
        const bool rewritten =
            WaitUntil([&] { return now().first != times.first && now().second != times.second; }, 10s);
        times = now();
        return rewritten;
    }
    bool PlayerShows(const std::string& text) const
    {
        const std::vector<uint8_t> page = Bytes(Player(1));
        return std::string(page.begin(), page.end()).find(text) != std::string::npos;
    }

    std::string Player(int session) const { return Session(session) + "\\player.html"; }
    std::string Guide(int session) const { return Session(session) + "\\guide.html"; }
    std::string Animation(int session) const
    {
        return Session(session) + "\\session" + std::to_string(session) + ".png";
    }
};

TEST_F(SessionExportTest, TheNextSessionStartsWhileTheLastOneIsExported)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    Press(VK_F12, 1);
    // As large a first picture as a window on a large screen gives.
    ASSERT_TRUE(WriteNoisePicture(PicturePath(1), 3840, 2160));
    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Capture"; }));

    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Uncapture"; }, 30s));
    EXPECT_TRUE(FileExists(Session(2) + "\\destinationFLA2.fla"));
    EXPECT_FALSE(FileExists(Player(1))) << "the new session waited for the last one's export";
    // The export goes on beside the new session, and is complete: the guide is written last.
    EXPECT_TRUE(WaitUntil([&] { return FileExists(Player(1)) && FileExists(Animation(1)); }, 120s));
    EXPECT_TRUE(WaitUntil([&] { return FileExists(Guide(1)); }, 120s));
    const std::vector<uint8_t> bytes = Bytes(Guide(1));
    const std::string guide(bytes.begin(), bytes.end());
    // One step, its words (what the steps file says of the press) before its picture.
    const size_t step = guide.find("<ol id=\"steps\">\n<li>");
    EXPECT_NE(step, std::string::npos);
    EXPECT_NE(guide.find("<img ", step), std::string::npos);
    EXPECT_EQ(guide.find("<li>", step + 20), std::string::npos);
}

TEST_F(SessionExportTest, AtStartOnlyWhatUnfinishedExportsLeftIsRemoved)
{
    ::CreateDirectoryA(Session(1).c_str(), nullptr);
    for (const char* name :
         {"player.html.4711-0.tmp", "session1.png.4711-1.tmp", "notes.4711-0.tmp", "player.html.tmp"})
        m_dir->Write(std::string("session1\\") + name, "left");
    ASSERT_NO_FATAL_FAILURE(StartApp());
    EXPECT_FALSE(FileExists(Session(1) + "\\player.html.4711-0.tmp"));
    EXPECT_FALSE(FileExists(Session(1) + "\\session1.png.4711-1.tmp"));
    EXPECT_TRUE(FileExists(Session(1) + "\\notes.4711-0.tmp"));
    EXPECT_TRUE(FileExists(Session(1) + "\\player.html.tmp"));
}

// A project file saved in the session's folder reaches the player and the animation without a command:
// while the program runs, within seconds, and at its next start when it was saved meanwhile. A broken
// one leaves both as they were, with one box.
TEST_F(SessionExportTest, AnEditReachesThePlayerAndTheAnimationWithoutACommand)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    Press(VK_F12, 1);
    m_target->AddSquare(100, 55, 0xE02020);
    Press(VK_F12, 2);
    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return IsFile(Player(1)) && IsFile(Animation(1)); }, 30s));
    const std::string project = Session(1) + "\\session1.flickmere.json";
    std::pair<uint64_t, uint64_t> written{WriteTime(Player(1)), WriteTime(Animation(1))};
    std::vector<uint8_t> animation = Bytes(Animation(1));

    m_dir->Write("session1\\session1.flickmere.json", ProjectShowing("Saved while it runs"));
    ASSERT_TRUE(OutputsRewritten(written));
    EXPECT_TRUE(PlayerShows("Saved while it runs"));
    EXPECT_TRUE(Bytes(Animation(1)) != animation);
    const std::vector<uint8_t> page = Bytes(Player(1));
    animation = Bytes(Animation(1));

    m_dir->Write("session1\\session1.flickmere.json", "{\"format\": \"flickmere-project\",");
    const auto box = m_app->WaitForMessageBox(10s);
    ASSERT_TRUE(box);
    EXPECT_EQ(
        box->text.rfind("The player, the animated PNG and the GIF of session 1 could not be written:\n" +
                            project + ": line ",
                        0),
        0u)
        << box->text;
    m_app->CloseMessageBox(*box);
    EXPECT_FALSE(m_app->WaitForMessageBox(2s)) << "a second box";
    EXPECT_TRUE(Bytes(Player(1)) == page);
    EXPECT_TRUE(Bytes(Animation(1)) == animation);

    // Saved while the program does not run.
    ASSERT_TRUE(m_app->Close());
    m_dir->Write("session1\\session1.flickmere.json", ProjectShowing("Saved before the start"));
    ASSERT_NO_FATAL_FAILURE(StartApp());
    ASSERT_TRUE(OutputsRewritten(written));
    EXPECT_TRUE(PlayerShows("Saved before the start"));
    EXPECT_TRUE(Bytes(Animation(1)) != animation);
}

// Each case ends a session of its own in a folder named with a letter beyond ASCII, with one of its
// outputs spoiled; the box says which output failed and names the path as the user sees it.
TEST_F(SessionExportTest, AFailureBoxSaysWhichOutputFailedAndNamesThePathAsTheUserNamedIt)
{
    struct Case
    {
        const char* name;
        std::function<void(const std::string& folder)> spoil;
        std::string text;
        std::string blamed;
        bool playerWritten;
        bool animationWritten;
    };
    const auto folderNamed = [](const char* name) {
        return [name](const std::string& folder) {
            ::CreateDirectoryA((folder + "\\" + name).c_str(), nullptr);
        };
    };
    const Case cases[] = {
        {"the animation", folderNamed("session1.png"),
         "The player of session 1 was written, but its animated PNG could not be, and so its GIF was not "
         "written either:\n",
         "session1.png", true, false},
        {"the player", folderNamed("player.html"),
         "The player of session 2 could not be written, and so its animated PNG and GIF were not written "
         "either:\n",
         "player.html", false, false},
        {"the take's edit",
         [this](const std::string&) { m_dir->Write("session3\\session3.flickmere.json", "{"); },
         "The player, the animated PNG and the GIF of session 3 could not be written:\n",
         "session3.flickmere.json: ", false, false},
        {"the GIF", folderNamed("session4.gif"),
         "The player and the animated PNG of session 4 were written, but its GIF could not be:\n",
         "session4.gif", true, true},
        {"the guide", folderNamed("guide.html"),
         "The player, the animated PNG and the GIF of session 5 were written, but its step guide "
         "(guide.html) "
         "could not be:\n",
         "guide.html", true, true},
    };
    WorkDirOptions options;
    options.nameEnd = AnsiFromWindows1252(" J\xFCrgen");
    ASSERT_NO_FATAL_FAILURE(Start(options));
    int session = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++session;
        ASSERT_NO_FATAL_FAILURE(StartCapture());
        Press(VK_F12, 0);
        std::vector<uint8_t> picture, after;
        ASSERT_TRUE(ReadWholeFile(PicturePath(1, session).c_str(), picture));
        c.spoil(Session(session));
        m_app->Click(IDC_CAPTURE);
        const auto box = m_app->WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->caption, "Flickmere");
        EXPECT_EQ(box->text.rfind(c.text, 0), 0u) << box->text;
        EXPECT_NE(box->text.find(Session(session) + "\\" + c.blamed), std::string::npos) << box->text;
        EXPECT_EQ(box->icon, BoxIcon::Warning);
        m_app->CloseMessageBox(*box);
        EXPECT_FALSE(m_app->WaitForMessageBox(500ms));
        ASSERT_TRUE(ReadWholeFile(PicturePath(1, session).c_str(), after));
        EXPECT_TRUE(after == picture);
        EXPECT_EQ(IsFile(Player(session)), c.playerWritten);
        EXPECT_EQ(IsFile(Animation(session)), c.animationWritten);
    }
}

} // namespace
