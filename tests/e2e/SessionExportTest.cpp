// What the program writes for a session once it has ended, on a thread of its own: the player page and
// the animated PNG, without holding up the next session, and a box that names what failed.
#include "harness/AppFixture.h"
#include "harness/Process.h"

#include "DemoScene.h"
#include "common/File.h"
#include "output/DibFile.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace e2e;

// A 24-bit picture of noise, which takes the export a while to draw and compress.
bool WriteNoisePicture(const std::string& path, int width, int height)
{
    DibHeader header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = kBiRgb;
    const uint32_t rowBytes = DibRowBytes(width, 24);
    std::vector<uint8_t> block(sizeof header + size_t{rowBytes} * height);
    std::memcpy(block.data(), &header, sizeof header);
    uint32_t noise = 12345;
    for (size_t i = sizeof header; i < block.size(); ++i) {
        noise = noise * 1103515245u + 12345u;
        block[i] = static_cast<uint8_t>(noise >> 24);
    }
    return WritePackedDib(path.c_str(), block.data(), static_cast<uint32_t>(block.size())) == 1;
}

class SessionExportTest : public CAppFixture
{
protected:
    std::string Player(int session) const { return Session(session) + "\\player.html"; }
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
    // The export goes on beside the new session, and is complete.
    EXPECT_TRUE(WaitUntil([&] { return FileExists(Player(1)) && FileExists(Animation(1)); }, 120s));
}

} // namespace
