#pragma once
// The set-up the end-to-end tests share: a working directory, the demo target, Flickmere.exe on it, a
// session on the target, and key presses in it that wait for the capture step they cause.
#include "harness/App.h"
#include "harness/DemoTargetClient.h"
#include "harness/WorkDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace e2e {

class CAppFixture : public ::testing::Test
{
protected:
    CAppFixture() { EndLeftoverPrograms(); }

    // A working directory made with `options` (in place of the one made with the defaults), the demo
    // target at (`left`, `top`) and the program, its dialog shown.
    void Start(const WorkDirOptions& options = {}, int left = 60, int top = 60);
    // The demo target, with the options CDemoTarget takes.
    void StartTarget(int left = 60, int top = 60, bool menuBar = false, bool thirtyTwoBit = false);
    // The program in m_dir, its dialog shown.
    void StartApp();
    // Selects the demo target in the window list; Capture is enabled then.
    void SelectTarget();
    // Selects the demo target and starts a session on it.
    void StartCapture();

    // No session runs and a new one can start: Capture offered and enabled, the window list and Refresh
    // enabled.
    void ExpectIdle() const;

    std::string Session(int n) const { return m_dir->File("session" + std::to_string(n)); }
    std::string PicturePath(int k, int session = 1) const
    {
        return Session(session) + "\\imageBMP" + std::to_string(k) + ".bmp";
    }

    // One press of `key` in the target; waits until the capture step that writes picture `expectPicture`
    // of session 1 has finished, or a while when none is expected.
    void Press(const CaptureKey& key, int expectPicture);
    void Press(WORD key, int expectPicture) { Press(CaptureKey{key}, expectPicture); }
    // One press of the capturing key with the cursor at `cursor` (screen coordinates).
    void Press(POINT cursor, int expectPicture);

    std::unique_ptr<CWorkDir> m_dir = std::make_unique<CWorkDir>();
    std::unique_ptr<CDemoTarget> m_target;
    std::unique_ptr<CApp> m_app;

private:
    void PressInTarget(std::optional<POINT> cursor, const CaptureKey& key, int expectPicture);
};

} // namespace e2e
