#pragma once
// What the tests of the player's page in headless Chromium share: a take of seven steps whose page the
// export writes, a browser with a download folder, and the page's texts read back.
#include "HeadlessChromium.h"
#include "RecordedSession.h"
#include "export/take/Project.h"

#include <gtest/gtest.h>

#include <string>

namespace exporttest {

class CPlayerPageTest : public ::testing::Test
{
protected:
    // Seven steps; step 5 opens a "dialog" at (20, 20) 61 x 51.
    void SetUp() override;

    // Opens player.html<query> in a new tab of a window of 1000 x 700; answers the tab. Errors the page
    // throws are kept in its `pageErrors`.
    std::string Open(const std::string& query = "");
    void Window(const std::string& page, int width, int height);
    std::string Downloads() const { return m_browser.Profile().File("downloads"); }

    // The page as the export writes it, with `project` given as the export passes it, and the session's
    // steps file when it has one.
    void WritePage(const Project& project);
    // Parses `json` as the project and writes the page with it.
    void WritePage(const std::string& json);

    // A text the page holds, or a promise of one: sent percent-encoded, as the pipe's replies are read
    // only up to a brace.
    std::string PageText(const std::string& page, const std::string& expression);
    // Waits until `expression` is true in the page; false after a few seconds.
    bool WaitFor(const std::string& page, const std::string& expression);

    CRecordedSession m_session;
    CDevToolsBrowser m_browser;
};

} // namespace exporttest
