// The steps file of a session on a window of standard controls, in a 64-bit and a 32-bit program: each
// control under the pointer is named, a secret typed into the password field is in no file of the
// session, chords count only in the recorded window, and a program that hangs costs no press.
#include "ControlsTarget.h"
#include "harness/AppFixture.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"
#include "harness/WindowSearch.h"

#include "common/File.h"
#include "common/SessionNames.h"
#include "output/StepsFile.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace {

using namespace e2e;

constexpr char kSecret[] = "swordfish42";
constexpr int kControlsLeft = 40;
constexpr int kControlsTop = 40;
constexpr auto kHang = 5s;

class StepsFileTest : public CAppFixture, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        // The demo target is the other program, in which chords do not count.
        ASSERT_NO_FATAL_FAILURE(StartTarget(40, 420));
        const std::string program =
            GetParam() ? "FlickmereControlsTarget32.exe" : "FlickmereControlsTarget.exe";
        m_controls =
            std::make_unique<CProcess>("\"" + BinDir() + "\\" + program + "\" " +
                                       std::to_string(kControlsLeft) + " " + std::to_string(kControlsTop));
        ASSERT_TRUE(WaitUntil(
            [&] {
                m_window =
                    FindWindowOf(m_controls->Id(), [](HWND w) { return WindowText(w) == kControlsTitle; });
                return m_window != nullptr;
            },
            30s));
        ASSERT_NO_FATAL_FAILURE(StartApp());
        ASSERT_TRUE(m_app->StartCapture(kControlsTitle));
    }

    void TearDown() override
    {
        if (m_controls)
            m_controls->End(m_window);
    }

    POINT CentreOf(int id) const
    {
        RECT rect{};
        ::GetWindowRect(::GetDlgItem(m_window, id), &rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    // The middle of the list box's item `index`, counted from 0.
    POINT ItemCentre(int index) const
    {
        const HWND list = ::GetDlgItem(m_window, kControlsList);
        const int height = static_cast<int>(SendWithTimeout(list, LB_GETITEMHEIGHT, 0));
        POINT point{20, height * index + height / 2};
        ::ClientToScreen(list, &point);
        return point;
    }

    // The capturing key with the pointer at `point`, pressed in the controls window or in `keysTo`.
    void PressAt(POINT point, HWND keysTo = nullptr)
    {
        Activate(keysTo ? keysTo : m_window);
        ::SetCursorPos(point.x, point.y);
        PressKey(CaptureKey{VK_F12});
    }

    std::string StepsPath() const { return Session(1) + "\\" + StepsFileName(1); }

    std::vector<StepRecord> Steps() const
    {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(std::filesystem::path(StepsPath()), bytes))
            return {};
        CResult<std::vector<StepRecord>> steps =
            ParseStepsFile({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        return steps ? *steps : std::vector<StepRecord>{};
    }

    // Press `press`'s record once its lookup is over (answered, late or skipped).
    StepRecord WaitForStep(int press, std::chrono::milliseconds timeout = 5s) const
    {
        StepRecord found;
        WaitUntil(
            [&] {
                const std::vector<StepRecord> steps = Steps();
                if (static_cast<int>(steps.size()) < press)
                    return false;
                found = steps[press - 1];
                return found.lookup != StepLookup::Pending;
            },
            timeout);
        return found;
    }

    void Type(const std::string& text)
    {
        for (const char c : text) {
            const WORD key = static_cast<WORD>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
            const std::vector<INPUT> events = KeyChord(key);
            ::SendInput(static_cast<UINT>(events.size()), const_cast<INPUT*>(events.data()), sizeof(INPUT));
            Pump(20ms);
        }
    }

    void Chord(HWND window, WORD key, std::initializer_list<WORD> modifiers)
    {
        Activate(window);
        std::vector<INPUT> events = KeyChord(key, modifiers);
        ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
        Pump(300ms);
    }

    std::unique_ptr<CProcess> m_controls;
    HWND m_window = nullptr;
};

TEST_P(StepsFileTest, NamesEachControlUnderThePointer)
{
    constexpr int kPressAttempts = 3;
    struct Expected
    {
        POINT point;
        const char* name;
        const char* role;
        int control; // whose rectangle the record holds, 0 for a list item
    };
    const Expected expected[] = {
        {CentreOf(kControlsSave), "Save", "button", kControlsSave},
        {CentreOf(kControlsUserLabel), "User name:", "label", kControlsUserLabel},
        {CentreOf(kControlsUser), "User name:", "text-field", kControlsUser},
        {CentreOf(kControlsPassword), "Password:", "text-field", kControlsPassword},
        {ItemCentre(2), "Item 3", "list-item", 0},
    };
    int press = 0;
    std::vector<StepRecord> named;
    for (const Expected& e : expected) {
        // A machine busy with other work can keep a lookup past its limit, and the step then rightly
        // gets the fallback: such a press is made again, a few times at most.
        StepRecord step;
        for (int attempt = 0; attempt < kPressAttempts && step.lookup != StepLookup::Answered; ++attempt) {
            PressAt(e.point);
            step = WaitForStep(++press);
        }
        ASSERT_EQ(step.press, press) << e.name;
        EXPECT_EQ(step.lookup, StepLookup::Answered) << e.name;
        EXPECT_EQ(step.window, kControlsTitle);
        ASSERT_TRUE(step.control) << e.name;
        EXPECT_EQ(step.control->name, e.name);
        EXPECT_EQ(step.control->role, e.role) << e.name;
        ASSERT_TRUE(step.control->rect) << e.name;
        // Without a window manager the grabs start at the client area, where the controls' own
        // positions are counted from.
        const StepRect& rect = *step.control->rect;
        if (e.control != 0) {
            RECT own{};
            const HWND child = ::GetDlgItem(m_window, e.control);
            ::GetWindowRect(child, &own);
            ::MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&own), 2);
            EXPECT_EQ(rect, (StepRect{own.left, own.top, own.right - own.left, own.bottom - own.top}))
                << e.name;
        }
        named.push_back(step);
    }
    EXPECT_EQ(Steps().front().pictures, std::vector<int>{1}) << "the first press writes the whole window";
    const std::vector<std::string>& passwordStates = named[3].control->states;
    EXPECT_NE(std::find(passwordStates.begin(), passwordStates.end(), "protected"), passwordStates.end());
}

TEST_P(StepsFileTest, KeepsNoSecretAndOnlyTheRecordedWindowsChords)
{
    // Into the password field, as a person would: a click, then the keys.
    const POINT password = CentreOf(kControlsPassword);
    Activate(m_window);
    ::SetCursorPos(password.x, password.y);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof(INPUT));
    Pump(200ms);
    Type(kSecret);
    Chord(m_window, 'S', {VK_CONTROL});
    PressAt(password);
    const StepRecord first = WaitForStep(1);
    EXPECT_EQ(first.chords, std::vector<std::string>{"Ctrl+S"}) << "typing is no chord, Ctrl+S is";

    Chord(m_target->Window(), 'S', {VK_CONTROL});
    PressAt(CentreOf(kControlsSave));
    EXPECT_TRUE(WaitForStep(2).chords.empty()) << "a chord in another program counts";

    m_app->Click(IDC_CAPTURE);
    // The export writes the player and the animation beside the pictures, each under a temporary name
    // until it is complete.
    const auto exported = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(Session(1)))
            if (entry.path().extension() == ".tmp")
                return false;
        return FileExists(Session(1) + "\\" + kPlayerFileName) &&
               FileExists(Session(1) + "\\" + AnimationFileName(1));
    };
    ASSERT_TRUE(WaitUntil(exported, 30s));
    m_app->WaitForHandlers();
    std::string wide;
    for (const char c : std::string(kSecret))
        wide += std::string{c, '\0'};
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Session(1))) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(entry.path(), bytes)) << entry.path();
        const std::string content(bytes.begin(), bytes.end());
        EXPECT_EQ(content.find(kSecret), std::string::npos) << entry.path();
        EXPECT_EQ(content.find(wide), std::string::npos) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 4); // the destination file, a picture, the steps file, the player
}

TEST_P(StepsFileTest, AHungProgramCostsNoPressAndNoTime)
{
    // The keys go to the other program, as when the recorded one hangs and the user goes on elsewhere.
    const HWND keys = m_target->Window();
    const auto timedPress = [&](int press) {
        const auto start = std::chrono::steady_clock::now();
        PressAt(CentreOf(kControlsSave), keys);
        const std::string shown = std::to_string(press) + (press == 1 ? " press" : " presses");
        EXPECT_TRUE(WaitUntil([&] { return m_app->Text(IDC_LAST_SESSION).rfind(shown, 0) == 0; }, 3s))
            << press;
        return std::chrono::steady_clock::now() - start;
    };
    const auto usual = timedPress(1);
    const StepRecord first = WaitForStep(1);
    ASSERT_TRUE(first.control) << StepsFileText(Steps());
    EXPECT_EQ(first.control->name, "Save");

    ::PostMessageA(m_window, kControlsHang, 0, std::chrono::milliseconds(kHang).count());
    Pump(200ms);
    const auto hung = timedPress(2);
    EXPECT_LT(hung, usual + 500ms) << "the press waited for the hung program";
    // The lookup of press 2 is stuck in the hung program: press 3 skips it, and marks press 2 late.
    Pump(700ms);
    const auto stuck = timedPress(3);
    EXPECT_LT(stuck, usual + 500ms);
    m_app->WaitForHandlers();
    const std::vector<StepRecord> steps = Steps();
    ASSERT_EQ(steps.size(), 3u) << StepsFileText(steps);
    EXPECT_EQ(steps[1].lookup, StepLookup::Late);
    EXPECT_EQ(steps[2].lookup, StepLookup::Skipped) << "a lookup was asked of a stuck worker";
    for (const StepRecord& fallback : {steps[1], steps[2]}) {
        ASSERT_TRUE(fallback.control);
        EXPECT_EQ(fallback.control->role, "button") << "the fallback names the kind of control";
        EXPECT_EQ(fallback.control->name, "");
        EXPECT_EQ(fallback.window, kControlsTitle);
    }

    // Once the program answers again, so does the lookup.
    Pump(kHang);
    timedPress(4);
    const StepRecord again = WaitForStep(4);
    EXPECT_EQ(again.lookup, StepLookup::Answered);
    ASSERT_TRUE(again.control) << StepsFileText(Steps());
    EXPECT_EQ(again.control->name, "Save");
}

INSTANTIATE_TEST_SUITE_P(Bitness, StepsFileTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "ThirtyTwoBitTarget" : "SixtyFourBitTarget";
                         });

} // namespace
