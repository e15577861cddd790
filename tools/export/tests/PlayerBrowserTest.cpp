// The exported page in a real browser: headless Chromium opens player.html, and its screenshot must
// show the stage pixel for pixel as the window was at the step the page was opened at.
#include "RecordedSession.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

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

// A fresh profile for each run, nothing fetched or started in the background, and one screen pixel per
// CSS pixel with colours passed through unchanged.
const char kChromiumFlags[] =
    "--headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking "
    "--disable-component-update --disable-sync --force-color-profile=srgb "
    "--force-device-scale-factor=1 --hide-scrollbars --window-size=320,200";

class PlayerBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(std::system("command -v chromium >/dev/null"), 0)
            << "chromium is not installed (apt-get install chromium; test.sh installs it)";
        RecordSample(m_session);
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
        const std::string command = "timeout 60 chromium " + std::string(kChromiumFlags) +
                                    " --user-data-dir=" + profile.File("profile") +
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

    // Every stage pixel but those in the pointer arrow's 13 x 20 box at the cursor point.
    void ExpectStageAtStep(int step, CursorPoint cursor)
    {
        SCOPED_TRACE("step " + std::to_string(step));
        const std::string shot = m_session.WorkDir() / "shot.png";
        Browse("--screenshot=" + shot, "#step=" + std::to_string(step), 1000, "/dev/null");
        int width, height, channels;
        std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
            stbi_load(shot.c_str(), &width, &height, &channels, 3), stbi_image_free);
        ASSERT_TRUE(pixels && width >= kStageWidth && height >= kStageHeight) << "no usable screenshot";
        const RgbImage& expected = m_session.WindowAtStep(step);
        int pointer = 0;
        for (int y = 0; y < kStageHeight; ++y)
            for (int x = 0; x < kStageWidth; ++x) {
                const uint8_t* got = pixels.get() + (y * width + x) * 3;
                if (std::equal(got, got + 3, expected.rgb.begin() + (y * kStageWidth + x) * 3))
                    continue;
                ASSERT_TRUE(x >= cursor.x && x < cursor.x + 13 && y >= cursor.y && y < cursor.y + 20)
                    << "stage pixel (" << x << ", " << y << ") differs from the window";
                ++pointer;
            }
        EXPECT_GT(pointer, 20) << "no pointer drawn at the cursor";
    }

    CRecordedSession m_session;
};

TEST_F(PlayerBrowserTest, SeekShowsTheStepsSoFarAtOnePixelPerPixel)
{
    Export("");
    ExpectStageAtStep(1, {10, 20});
    // Steps 1 to 3 composed; step 4's picture, partly over step 3's, not yet.
    ExpectStageAtStep(3, {140, 100});
}

TEST_F(PlayerBrowserTest, PlaybackFollowsTheStepDurations)
{
    // At 10 fps the steps last 4.5 s, 3 s, 2 s and 2.4 s. Opened without a fragment the page plays; at
    // the frame values (5 s, 3 s) instead of the spans it would still be in steps 1 and 2.
    Export("--fps 10");
    EXPECT_EQ(StepLabel("", 4800), "Step 2 / 4");
    EXPECT_EQ(StepLabel("", 7700), "Step 3 / 4");
    // Opened at a step the page stays paused there; a step past the end shows the last one.
    EXPECT_EQ(StepLabel("#step=2", 20000), "Step 2 / 4");
    EXPECT_EQ(StepLabel("#step=9", 1000), "Step 4 / 4");
}

} // namespace
