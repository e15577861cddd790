#include "HeadlessChromium.h"

#include "RecordedSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace exporttest {

namespace {

const char kChromiumFlags[] =
    "--headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking "
    "--disable-component-update --disable-sync --force-color-profile=srgb "
    "--force-device-scale-factor=1 --hide-scrollbars --window-size=320,200";

// Chromium reads commands from descriptor 3 and writes replies and events to descriptor 4.
constexpr int kBrowserReads = 3;
constexpr int kBrowserWrites = 4;
constexpr int kBrowserSeconds = 120;
constexpr auto kReplyTimeout = std::chrono::seconds(30);

// Moves a descriptor above the ones the child is to receive, closed on exec.
int MoveUp(int fd)
{
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return moved;
}

} // namespace

std::string ChromiumCommand(const testfiles::CScratchDir& profile, int seconds)
{
    return "timeout " + std::to_string(seconds) + " chromium " + kChromiumFlags +
           " --user-data-dir=" + Quoted(profile.File("profile"));
}

std::string JsonStringField(const std::string& message, const std::string& key)
{
    const std::string open = "\"" + key + "\":\"";
    const size_t at = message.find(open);
    if (at == std::string::npos)
        return "";
    const size_t start = at + open.size();
    return message.substr(start, message.find('"', start) - start);
}

CDevToolsBrowser::CDevToolsBrowser()
{
    // A browser that ends early must fail the test, not end the test program on its next command.
    ::signal(SIGPIPE, SIG_IGN);
    int commands[2], replies[2];
    if (::pipe(commands) != 0 || ::pipe(replies) != 0)
        throw std::runtime_error("cannot make the pipes for Chromium");
    const int browserReads = MoveUp(commands[0]), browserWrites = MoveUp(replies[1]);
    m_toBrowser = MoveUp(commands[1]);
    m_fromBrowser = MoveUp(replies[0]);
    const std::string command = "exec " + ChromiumCommand(m_profile, kBrowserSeconds) +
                                " --remote-debugging-pipe about:blank >" + Quoted(m_profile.File("log")) +
                                " 2>&1";
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(browserReads, kBrowserReads);
        ::dup2(browserWrites, kBrowserWrites);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(browserReads);
    ::close(browserWrites);
    if (m_pid < 0)
        throw std::runtime_error("cannot start Chromium");
}

CDevToolsBrowser::~CDevToolsBrowser()
{
    // A browser that is gone already needs no closing.
    const std::string close = "{\"id\":" + std::to_string(++m_lastId) + ",\"method\":\"Browser.close\"}";
    [[maybe_unused]] const ssize_t sent = ::write(m_toBrowser, close.c_str(), close.size() + 1);
    ::close(m_toBrowser);
    for (int i = 0; i < 100 && ::waitpid(m_pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (::waitpid(m_pid, nullptr, WNOHANG) == 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    ::close(m_fromBrowser);
}

std::string CDevToolsBrowser::Receive(std::chrono::steady_clock::time_point deadline)
{
    while (m_buffer.find('\0') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{m_fromBrowser, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0)
            return "";
        char chunk[65536];
        const ssize_t got = ::read(m_fromBrowser, chunk, sizeof chunk);
        if (got <= 0) {
            const std::vector<uint8_t> log = testfiles::ReadBytes(m_profile.File("log"));
            throw std::runtime_error("Chromium closed its pipe:\n" + std::string(log.begin(), log.end()));
        }
        m_buffer.append(chunk, size_t(got));
    }
    const size_t end = m_buffer.find('\0');
    std::string message = m_buffer.substr(0, end);
    m_buffer.erase(0, end + 1);
    if (message.find("\"method\":\"Browser.downloadProgress\"") != std::string::npos &&
        message.find("\"state\":\"completed\"") != std::string::npos)
        ++m_downloadsCompleted;
    return message;
}

int CDevToolsBrowser::Send(const std::string& method, const std::string& params, const std::string& session)
{
    const int id = ++m_lastId;
    std::string message = "{\"id\":" + std::to_string(id) + ",\"method\":\"" + method +
                          "\",\"params\":" + params +
                          (session.empty() ? "" : ",\"sessionId\":\"" + session + "\"") + "}";
    message += '\0';
    if (::write(m_toBrowser, message.data(), message.size()) != static_cast<ssize_t>(message.size()))
        throw std::runtime_error("cannot send " + method + " to Chromium");
    return id;
}

std::string CDevToolsBrowser::Call(const std::string& method, const std::string& params,
                                   const std::string& session)
{
    const int id = Send(method, params, session);
    const auto deadline = std::chrono::steady_clock::now() + kReplyTimeout;
    const std::string reply = "{\"id\":" + std::to_string(id) + ",";
    for (std::string received; !(received = Receive(deadline)).empty();) {
        if (received.rfind(reply, 0) != 0)
            continue; // an event nobody waits for
        if (received.find("\"error\":") == reply.size())
            throw std::runtime_error(method + " failed: " + received);
        return received;
    }
    throw std::runtime_error("no reply from Chromium to " + method);
}

std::string CDevToolsBrowser::OpenPage(const std::string& url)
{
    const std::string target =
        JsonStringField(Call("Target.createTarget", "{\"url\":\"about:blank\"}"), "targetId");
    const std::string session = JsonStringField(
        Call("Target.attachToTarget", "{\"targetId\":\"" + target + "\",\"flatten\":true}"), "sessionId");
    Call("Page.enable", "{}", session);
    Load(session, url);
    return session;
}

void CDevToolsBrowser::Load(const std::string& session, const std::string& url)
{
    Call("Page.navigate", "{\"url\":\"" + url + "\"}", session);
    if (!WaitForEvent("\"method\":\"Page.loadEventFired\"", kReplyTimeout))
        throw std::runtime_error(url + " did not load");
}

bool CDevToolsBrowser::Leave(const std::string& session, const std::string& url)
{
    Send("Page.navigate", "{\"url\":\"" + url + "\"}", session);
    bool asked = false;
    const auto deadline = std::chrono::steady_clock::now() + kReplyTimeout;
    for (std::string received; !(received = Receive(deadline)).empty();) {
        if (received.find("\"method\":\"Page.javascriptDialogOpening\"") != std::string::npos &&
            received.find("\"type\":\"beforeunload\"") != std::string::npos) {
            asked = true;
            Send("Page.handleJavaScriptDialog", "{\"accept\":true}", session);
        } else if (received.find("\"method\":\"Page.loadEventFired\"") != std::string::npos) {
            return asked;
        }
    }
    throw std::runtime_error(url + " did not load");
}

std::string CDevToolsBrowser::Evaluate(const std::string& session, const std::string& expression,
                                       bool userGesture)
{
    std::string quoted;
    for (char c : expression)
        quoted += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    const std::string reply = Call("Runtime.evaluate",
                                   "{\"expression\":\"" + quoted +
                                       "\",\"awaitPromise\":true,\"returnByValue\":true,\"userGesture\":" +
                                       (userGesture ? "true" : "false") + "}",
                                   session);
    if (reply.find("\"exceptionDetails\"") != std::string::npos)
        throw std::runtime_error("the page threw: " + reply);
    const size_t at = reply.find("\"value\":");
    return at == std::string::npos ? "undefined" : reply.substr(at + 8, reply.find('}', at) - at - 8);
}

bool CDevToolsBrowser::WaitForDownloads(int count, std::chrono::seconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_downloadsCompleted < count)
        if (Receive(deadline).empty())
            return false;
    return true;
}

bool CDevToolsBrowser::WaitForEvent(const std::string& text, std::chrono::seconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (std::string received; !(received = Receive(deadline)).empty();)
        if (received.find(text) != std::string::npos)
            return true;
    return false;
}

} // namespace exporttest
