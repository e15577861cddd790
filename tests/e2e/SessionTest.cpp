// Whole capture sessions through the real hook: a demo target whose content the test changes, real
// key presses, and the pictures and destination file the session leaves behind.
#include "export/take/BmpReader.h"
#include "DemoScene.h"
#include "harness/AppFixture.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"
#include "harness/WindowSearch.h"
#include "TestSession.h"

#include "common/File.h"
#include "common/Region.h"
#include "common/win32/Handles.h"
#include "output/OffsetTables.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

class SessionTest : public CAppFixture
{
protected:
    POINT TargetPoint(int dx, int dy) const
    {
        RECT rect;
        ::GetWindowRect(m_target->Window(), &rect);
        return {rect.left + dx, rect.top + dy};
    }

    void ExpectPicture(int k, Region region, const DemoScene& scene, int originX, int originY)
    {
        const CResult<RgbImage> read = ReadBmpFile(PicturePath(k));
        ASSERT_TRUE(read) << "picture " << k << ": " << read.Error().text;
        const RgbImage& picture = *read;
        ASSERT_EQ(picture.width, region.Width()) << "picture " << k;
        ASSERT_EQ(picture.height, region.Height()) << "picture " << k;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const uint8_t* rgb = picture.rgb.data() + (static_cast<size_t>(y) * picture.width + x) * 3;
                ASSERT_EQ(uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2],
                          DemoPixel(scene, region.left + x - originX, region.top + y - originY))
                    << "picture " << k << " at " << x << "," << y;
            }
    }
};

TEST_F(SessionTest, WholeSessionWritesTheChangesAndPatchesTheTemplate)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    ASSERT_EQ(m_app->Text(IDC_CAPTURED_WINDOW), kDemoTitle);
    EXPECT_FALSE(m_app->Enabled(IDC_WINDOW_LIST));
    EXPECT_FALSE(m_app->Enabled(IDC_REFRESH));

    // The grab is the window's visible part, which under Wine's own frame is the client area; the
    // cursor points are measured from the window rectangle.
    RECT window;
    ::GetWindowRect(m_target->Window(), &window);

    DemoScene scene;
    const POINT press1 = TargetPoint(30, 40);
    Press(press1, 1);
    ExpectPicture(1, {0, 0, scene.width - 1, scene.height - 1}, scene, 0, 0);

    // One square inside one grid cell: exactly its box.
    m_target->AddSquare(100, 55, kRed);
    scene.squares.push_back({100, 55, kRed});
    const POINT press2 = TargetPoint(5, 6);
    Press(press2, 2);
    ExpectPicture(2, {100, 55, 119, 74}, scene, 0, 0);

    // Nothing changed: nothing is written.
    Press(TargetPoint(7, 7), 0);
    EXPECT_FALSE(FileExists(PicturePath(3)));

    // A square across the corner of four cells (columns meet at x = 160, rows at y = 100): one picture
    // per cell, left column first, top to bottom.
    m_target->AddSquare(150, 90, kGreen);
    scene.squares.push_back({150, 90, kGreen});
    const POINT press3 = TargetPoint(200, 150);
    Press(press3, 6);
    ExpectPicture(3, {150, 90, 159, 99}, scene, 0, 0);
    ExpectPicture(4, {150, 100, 159, 109}, scene, 0, 0);
    ExpectPicture(5, {160, 90, 169, 99}, scene, 0, 0);
    ExpectPicture(6, {160, 100, 169, 109}, scene, 0, 0);

    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Capture"; }));
    EXPECT_EQ(m_app->Text(IDC_CAPTURED_WINDOW), "None");
    EXPECT_TRUE(m_app->Enabled(IDC_WINDOW_LIST));
    EXPECT_EQ(m_app->Text(IDC_LAST_SESSION),
              "Result dir name - session1.\nYou should delete in resulting *.fla\n"
              "  - frames from 102 till the end ;\n  - pictures from 7 till the end");

    // The destination file is the template with exactly the session's records.
    ASSERT_EQ(testsupport::LoadKitOffsets(m_dir->Path(), 20), 20);
    testsupport::CExpectedDestination expected(m_dir->File("template.fla"));
    const POINT places[] = {{0, 0}, {100, 55}, {150, 90}, {150, 100}, {160, 90}, {160, 100}};
    for (int k = 1; k <= 6; ++k)
        expected.Placement(k, places[k - 1].x, places[k - 1].y);
    const POINT presses[] = {press1, press2, press3};
    // Cursor points are relative to the window rectangle, one pixel in.
    for (int s = 1; s <= 3; ++s)
        expected.Cursor(s, presses[s - 1].x - window.left - 1, presses[s - 1].y - window.top - 1);
    expected.Span(1, 22, 23);
    expected.Span(2, 25, 25);
    expected.Frame(1, 50);
    expected.Frame(2, 50);
    for (int k = 3; k <= 5; ++k)
        expected.Frame(k, 0);
    EXPECT_TRUE(expected.Matches(Session(1) + "\\destinationFLA1.fla"));

    // The program writes the session's player, animated PNG and GIF itself, once the session has ended.
    const std::string player = Session(1) + "\\player.html", animation = Session(1) + "\\session1.png";
    ASSERT_TRUE(WaitUntil([&] {
        return FileExists(player) && FileExists(animation) && FileExists(Session(1) + "\\session1.gif");
    }));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(player.c_str(), bytes));
    const std::string page(bytes.begin(), bytes.end());
    // The page's model holds three steps, the first of 45 frames.
    const std::string stepStart = R"({"frames":)";
    EXPECT_NE(page.find(R"("steps":[)" + stepStart + "45,"), std::string::npos)
        << "the first step is not of 45 frames";
    size_t steps = 0;
    for (size_t at = page.find(stepStart); at != std::string::npos; at = page.find(stepStart, at + 1))
        ++steps;
    EXPECT_EQ(steps, 3u);
    ASSERT_TRUE(ReadWholeFile(animation.c_str(), bytes));
    ASSERT_GT(bytes.size(), 24u);
    const auto bigEndian32 = [&](size_t at) {
        return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
               bytes[at + 3];
    };
    EXPECT_EQ(bigEndian32(16), uint32_t(scene.width)) << "IHDR: the animation is as wide as the window";
    EXPECT_EQ(bigEndian32(20), uint32_t(scene.height));
}

TEST_F(SessionTest, ASessionStartsOnlyInAFolderItCreatedAndLeavesEarlierTakesAlone)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ::CreateDirectoryA(Session(1).c_str(), nullptr);
    ::CreateDirectoryA(Session(7).c_str(), nullptr);
    // A folder of another letter case is the same folder to the file system, and counts as session 8.
    ::CreateDirectoryA(m_dir->File("Session8").c_str(), nullptr);
    for (int k : {1, 2, 3, 5})
        m_dir->Write("Session8\\imageBMP" + std::to_string(k) + ".bmp", "earlier take");
    m_dir->Write("Session8\\destinationFLA8.fla", "earlier take");
    // A plain file takes the name of session 9, so the session is number 10.
    m_dir->Write("session9", "a plain file");
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    EXPECT_TRUE(FileExists(Session(10) + "\\destinationFLA10.fla"));
    for (int k : {1, 2, 3, 5}) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(
            ReadWholeFile(m_dir->File("Session8\\imageBMP" + std::to_string(k) + ".bmp").c_str(), bytes))
            << k;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "earlier take") << k;
    }
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(m_dir->File("Session8\\destinationFLA8.fla").c_str(), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "earlier take");
    EXPECT_FALSE(FileExists(m_dir->File("session9\\destinationFLA9.fla")));

    // The first press writes into the new folder.
    Press(TargetPoint(20, 20), 0);
    EXPECT_TRUE(WaitUntil([&] { return FileExists(Session(10) + "\\imageBMP1.bmp"); }));
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Uncapture");
}

TEST_F(SessionTest, NoSessionFollowsTheLargestNumber)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    // Read as the largest 32-bit number: one more would overflow into a folder used over and over.
    const std::string highest = m_dir->File("session99999999999");
    ::CreateDirectoryA(highest.c_str(), nullptr);
    m_dir->Write("session99999999999\\imageBMP1.bmp", "an earlier session's picture");
    ASSERT_NO_FATAL_FAILURE(SelectTarget());
    m_app->Click(IDC_CAPTURE);
    const auto box = m_app->WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "No new session folder can be made: a session folder here already has the largest "
                         "number there can be (session2147483647).\nMove or rename that folder, then press "
                         "Capture again.");
    EXPECT_EQ(box->caption, "Error!");
    EXPECT_EQ(box->icon, BoxIcon::Error);
    m_app->CloseMessageBox(*box);

    // Idle, with nothing created or deleted.
    ExpectIdle();
    EXPECT_EQ(m_app->Text(IDC_CAPTURED_WINDOW), "None");
    EXPECT_TRUE(FileExists(highest + "\\imageBMP1.bmp"));
    WIN32_FIND_DATAA found;
    CFindHandle search(::FindFirstFileA(m_dir->File("session*").c_str(), &found));
    ASSERT_TRUE(search);
    int sessions = 0;
    do
        ++sessions;
    while (::FindNextFileA(search.Get(), &found));
    EXPECT_EQ(sessions, 1);
}

TEST_F(SessionTest, ASecondCopyIsTurnedAwayAndTheFirstSessionGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    Press(TargetPoint(20, 20), 1);

    CWorkDir otherDir;
    CApp second(otherDir.Path());
    const auto box = second.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text,
              "Flickmere is already running, possibly for another user.\nOnly one copy can record at a "
              "time on this computer: please use the one that is open.");
    EXPECT_EQ(box->caption, "Flickmere");
    EXPECT_EQ(box->icon, BoxIcon::Information);
    EXPECT_EQ(second.WaitForDialog(0ms), nullptr);
    second.CloseMessageBox(*box);
    EXPECT_TRUE(second.WaitForExit());

    // The first copy still gets every press, under its own name.
    m_target->AddSquare(100, 55, kRed);
    Press(TargetPoint(5, 6), 2);
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Uncapture");
}

TEST_F(SessionTest, AFullTemplateEndsTheSession)
{
    WorkDirOptions options;
    options.capacity = 3;
    ASSERT_NO_FATAL_FAILURE(Start(options));
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    Press(TargetPoint(20, 20), 1);
    // Four changed cells, two free slots: two pictures, then the session ends.
    m_target->AddSquare(150, 90, kGreen);
    Activate(m_target->Window());
    PressKey(CaptureKey{VK_F12});
    const auto box = m_app->WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Template is full");
    EXPECT_EQ(box->caption, "Template is full");
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Capture");
    m_app->CloseMessageBox(*box);
    EXPECT_TRUE(FileExists(PicturePath(3)));
    EXPECT_FALSE(FileExists(PicturePath(4)));

    // The hook is gone: another press does nothing.
    m_target->AddSquare(10, 10, kRed);
    Press(TargetPoint(20, 20), 0);
    EXPECT_FALSE(FileExists(PicturePath(4)));
    EXPECT_FALSE(m_app->WaitForMessageBox(500ms));
}

TEST_F(SessionTest, AMissingTemplateEndsTheProgramWithStatus2)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    m_dir->Remove("template.fla");
    ASSERT_NO_FATAL_FAILURE(SelectTarget());
    m_app->Click(IDC_CAPTURE);
    const auto box = m_app->WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Can't open template file: " + m_dir->Path() + "/template.fla\n");
    EXPECT_EQ(box->caption, "Error!");
    EXPECT_EQ(box->icon, BoxIcon::Error);
    m_app->CloseMessageBox(*box);
    EXPECT_EQ(m_app->WaitForExit(), 2u);
}

TEST_F(SessionTest, TheHookFindsTheDialogUnderItsTranslatedTitle)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    m_app.reset();
    m_dir->AddLanguageFile("deutsch.lan");
    ASSERT_NO_FATAL_FAILURE(StartApp());
    m_app->SelectCombo(IDC_LANGUAGE_LIST, 1);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Title() == "Flickmere - Fensterrekorder"; }));
    ASSERT_NO_FATAL_FAILURE(SelectTarget());
    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Aufnahme beenden"; }));
    // During the session the field keeps the target's title across a language change.
    m_app->SelectCombo(IDC_LANGUAGE_LIST, 0);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Uncapture"; }));
    EXPECT_EQ(m_app->Text(IDC_CAPTURED_WINDOW), kDemoTitle);
    m_app->SelectCombo(IDC_LANGUAGE_LIST, 1);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Aufnahme beenden"; }));
    Press(TargetPoint(20, 20), 1);
    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Aufnehmen"; }));
    EXPECT_EQ(m_app->Text(IDC_LAST_SESSION).substr(0, 33), "Ergebnisordner - session1.\nIn der");
    // The report is shown again in the language chosen later.
    m_app->SelectCombo(IDC_LANGUAGE_LIST, 0);
    ASSERT_TRUE(WaitUntil(
        [&] { return m_app->Text(IDC_LAST_SESSION).rfind("Result dir name - session1.", 0) == 0; }));
}

} // namespace
