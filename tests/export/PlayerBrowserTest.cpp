// The exported page in a real browser: headless Chromium opens player.html, and its screenshot must
// show the stage pixel for pixel as the window was at the step the page was opened at, with the
// pointer; its Save video button must give a video of the whole session.
#include "FfmpegDecode.h"
#include "HeadlessChromium.h"
#include "RecordedSession.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include "stb_image.h"

namespace {

using namespace exporttest;

std::string ReadText(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class PlayerBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(std::system("command -v chromium >/dev/null"), 0)
            << "chromium is not installed (apt-get install chromium; test.sh installs it)";
    }

    void Export(const std::string& options)
    {
        std::string output;
        ASSERT_EQ(RunExport(Quoted(m_session.WorkDir().string()) + " 1 " + options, output), 0) << output;
    }

    // Opens player.html<fragment> and lets the page run for `virtualMs` of its own time (timers jump
    // ahead, so this costs no real time); the browser's output goes to `out`.
    void Browse(const std::string& mode, const std::string& fragment, int virtualMs, const fs::path& out)
    {
        testfiles::CScratchDir profile;
        const std::string command = ChromiumCommand(profile, 60) +
                                    " --virtual-time-budget=" + std::to_string(virtualMs) + " " + mode + " " +
                                    Quoted("file://" + m_session.File("player.html") + fragment) + " >" +
                                    Quoted(out.string()) + " 2>" + profile.File("log");
        ASSERT_EQ(std::system(command.c_str()), 0) << command << "\n" << ReadText(profile.File("log"));
    }

    std::string StepLabel(const std::string& fragment, int virtualMs)
    {
        const fs::path dom = m_session.WorkDir() / "dom.html";
        Browse("--dump-dom", fragment, virtualMs, dom);
        const std::string text = ReadText(dom), open = "<span id=\"label\">";
        const size_t at = text.find(open);
        return at == std::string::npos
                   ? "no label"
                   : text.substr(at + open.size(), text.find('<', at + 1) - at - open.size());
    }

    // Every stage pixel, the pointer's included.
    void ExpectStageAtStep(int step)
    {
        SCOPED_TRACE("step " + std::to_string(step));
        const std::string shot = m_session.WorkDir() / "shot.png";
        Browse("--screenshot=" + shot, "?bare#step=" + std::to_string(step), 1000, "/dev/null");
        int width, height, channels;
        std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
            stbi_load(shot.c_str(), &width, &height, &channels, 3), stbi_image_free);
        const RgbImage expected = m_session.StageAtStep(step, true);
        ASSERT_TRUE(pixels && width >= expected.width && height >= expected.height) << "no usable screenshot";
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x) {
                const uint8_t* got = pixels.get() + (y * width + x) * 3;
                ASSERT_TRUE(std::equal(got, got + 3, expected.rgb.begin() + (y * expected.width + x) * 3))
                    << "stage pixel (" << x << ", " << y << ") differs";
            }
    }

    CRecordedSession m_session;
};

TEST_F(PlayerBrowserTest, SeekShowsTheStepsSoFarAtOnePixelPerPixel)
{
    RecordSample(m_session);
    Export("");
    ExpectStageAtStep(1);
    // Steps 1 to 3 composed; step 4's picture, partly over step 3's, not yet.
    ExpectStageAtStep(3);
}

// A window that grows and then shrinks: each whole grab clears the stage, as large as the largest
// window, to black before it is drawn.
TEST_F(PlayerBrowserTest, TheStageFollowsTheWindowsSize)
{
    m_session.Resize(60, 40);
    m_session.Step({{0, 0, 59, 39}}, {10, 10});
    m_session.Step({{5, 5, 20, 20}}, {50, 30});
    m_session.Resize(90, 70);
    m_session.Step({{0, 0, 89, 69}}, {80, 60});
    m_session.Resize(50, 30);
    m_session.Step({{0, 0, 49, 29}}, {45, 25});
    Export("");
    ExpectStageAtStep(2);
    ExpectStageAtStep(4);
}

TEST_F(PlayerBrowserTest, PlaybackFollowsTheStepDurations)
{
    RecordSample(m_session);
    // At 10 fps the steps last 4.5 s, 3 s, 2 s and 2.4 s. Opened without a fragment the page plays; at
    // the frame values (5 s, 3 s) instead of the spans it would still be in steps 1 and 2.
    Export("--fps 10");
    EXPECT_EQ(StepLabel("", 4800), "Step 2 / 4");
    EXPECT_EQ(StepLabel("", 7700), "Step 3 / 4");
    // Opened at a step the page stays paused there; a step past the end shows the last one.
    EXPECT_EQ(StepLabel("#step=2", 20000), "Step 2 / 4");
    EXPECT_EQ(StepLabel("#step=9", 1000), "Step 4 / 4");
}

TEST_F(PlayerBrowserTest, SaveVideoDownloadsTheWholeSessionAsWebm)
{
    // At 30 fps the steps last 1.5 s, 1 s, 0.67 s and 0.8 s: 3.97 s in all, recorded in real time.
    RecordSample(m_session);
    Export("--fps 30");
    const double sessionSeconds = (45 + 30 + 20 + 24) / 30.0;
    CDevToolsBrowser browser;
    const std::string downloads = browser.Profile().File("downloads");
    browser.Call("Browser.setDownloadBehavior",
                 "{\"behavior\":\"allow\",\"downloadPath\":\"" + downloads + "\",\"eventsEnabled\":true}");
    const std::string url = "file://" + m_session.File("player.html");
    const std::string page = browser.OpenPage(url);
    ASSERT_EQ(browser.Evaluate(page, "document.getElementById('video').hidden"), "false");
    browser.Evaluate(page, "document.getElementById('video').click()", true);
    ASSERT_TRUE(browser.WaitForDownloads(1, std::chrono::seconds(30))) << "no download";

    const std::string video = downloads + "/session1.webm";
    ASSERT_TRUE(fs::exists(video)) << "downloaded as something else";
    EXPECT_GT(fs::file_size(video), 0u);
    int frames = 0;
    EXPECT_NEAR(VideoDuration(video, frames), sessionSeconds, sessionSeconds / 10);
    EXPECT_GE(frames, m_session.Steps());

    // While it records it says which step, and the player shows that step, its controls where they
    // were; a page hidden meanwhile would record with late timers, so the recording stops and says why.
    const std::string status = "document.getElementById('videoStatus').textContent";
    const std::string label = "document.getElementById('label').textContent";
    const std::string controls =
        "['prev', 'play', 'next', 'seek', 'label', 'video'].map((id) => { const r = "
        "document.getElementById(id).getBoundingClientRect(); return `${r.left},${r.top}`; "
        "}).join(' ')";
    const std::string placed = browser.Evaluate(page, controls);
    browser.Evaluate(page, "document.getElementById('video').click()", true);
    EXPECT_EQ(browser.Evaluate(page, status), "\"Recording step 1 of 4\"");
    EXPECT_EQ(browser.Evaluate(page, label), "\"Step 1 / 4\"");
    EXPECT_EQ(browser.Evaluate(page, controls), placed);
    std::string second;
    for (int tries = 0; tries < 50 && second.find("step 2") == std::string::npos; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        second = browser.Evaluate(page, status + " + ' ' + " + label);
    }
    EXPECT_EQ(second, "\"Recording step 2 of 4 Step 2 / 4\"");
    browser.Evaluate(page, "Object.defineProperty(document, 'hidden', {value: true, configurable: true});"
                           "document.dispatchEvent(new Event('visibilitychange'))");
    std::string stopped;
    for (int tries = 0; tries < 50 && stopped.find("stopped") == std::string::npos; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stopped = browser.Evaluate(page, status);
    }
    EXPECT_EQ(stopped.rfind("\"Recording stopped: the page was hidden", 0), 0u) << stopped;
    EXPECT_EQ(browser.Evaluate(page, "document.getElementById('video').disabled"), "false");

    // A browser without MediaRecorder never sees the button; the player works as before.
    browser.Call("Page.addScriptToEvaluateOnNewDocument", "{\"source\":\"delete window.MediaRecorder;\"}",
                 page);
    browser.Load(page, url);
    EXPECT_EQ(browser.Evaluate(page,
                               "typeof MediaRecorder + ' ' + document.getElementById('video').hidden + ' ' + "
                               "document.getElementById('label').textContent"),
              "\"undefined true Step 1 / 4\"");
}

} // namespace
