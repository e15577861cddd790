#pragma once
// Headless Chromium as the tests run it: a fresh profile for each run, nothing fetched or started in
// the background, one screen pixel per CSS pixel and colours passed through unchanged.
#include "TestFiles.h"

#include <chrono>
#include <string>

namespace exporttest {

// The command line that starts Chromium with its profile in `profile`, ended after `seconds` at the
// latest; the caller adds what to do and which page.
std::string ChromiumCommand(const testfiles::CScratchDir& profile, int seconds);

// Chromium driven over its DevTools protocol, one JSON message at a time through the pipe that
// --remote-debugging-pipe opens: for what needs a real click and real time, such as a download.
class CDevToolsBrowser
{
public:
    CDevToolsBrowser();
    ~CDevToolsBrowser(); // closes the browser

    CDevToolsBrowser(const CDevToolsBrowser&) = delete;
    CDevToolsBrowser& operator=(const CDevToolsBrowser&) = delete;

    // Sends a command (`params` a JSON object) and answers the whole reply; throws when the browser
    // answers with an error or not at all. `session` addresses a page attached with OpenPage.
    std::string Call(const std::string& method, const std::string& params, const std::string& session = "");
    // Opens `url` in a new tab and answers the session that addresses it, once the page has loaded.
    std::string OpenPage(const std::string& url);
    // Loads `url` anew into the page, and waits until it has loaded.
    void Load(const std::string& session, const std::string& url);
    // Loads `url` into the page as a person leaving it would, and waits until it has loaded: answers
    // whether the page asked first (its beforeunload dialog), which is answered with "leave".
    bool Leave(const std::string& session, const std::string& url);
    // The value of a JavaScript expression in the page, as JSON.
    std::string Evaluate(const std::string& session, const std::string& expression, bool userGesture = false);
    // Waits until `count` downloads have completed since the browser started (setDownloadBehavior with
    // eventsEnabled). A download counts whenever its event came, also during an earlier Call, which
    // reads past the events it does not wait for.
    bool WaitForDownloads(int count, std::chrono::seconds timeout);

    const testfiles::CScratchDir& Profile() const { return m_profile; }

private:
    // Sends a command without waiting for its reply; answers its id.
    int Send(const std::string& method, const std::string& params, const std::string& session);
    std::string Receive(std::chrono::steady_clock::time_point deadline);
    // Waits for an event whose message holds `text`; false when none came in time. Only events that
    // come after the call count.
    bool WaitForEvent(const std::string& text, std::chrono::seconds timeout);

    testfiles::CScratchDir m_profile;
    int m_pid = -1;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    int m_lastId = 0;
    int m_downloadsCompleted = 0;
    std::string m_buffer;
};

// The text of the first "key":"..." in a message.
std::string JsonStringField(const std::string& message, const std::string& key);

} // namespace exporttest
