#include "PlayerPage.h"

#include <chrono>
#include <thread>

#include "export/HtmlPlayer.h"
#include "export/take/SessionTimeline.h"
#include "export/take/StepFacts.h"
#include "export/take/Suggestion.h"
#include "state/TextTable.h"

#include <fstream>

namespace exporttest {

namespace {

constexpr int kWindowWidth = 1000;
constexpr int kWindowHeight = 700;
constexpr int kPageFps = 10;

} // namespace

void CPlayerPageTest::SetUp()
{
    ASSERT_EQ(std::system("command -v chromium >/dev/null"), 0) << "chromium is not installed";
    RecordSample(m_session);
    m_session.Step({{20, 20, 80, 70}}, {50, 40});
    m_session.Step({{30, 30, 60, 50}}, {45, 45});
    m_session.Step({{10, 100, 40, 110}}, {20, 105});
}

std::string CPlayerPageTest::Open(const std::string& query)
{
    m_browser.Call("Browser.setDownloadBehavior", "{\"behavior\":\"allow\",\"downloadPath\":\"" +
                                                      Downloads() + "\",\"eventsEnabled\":true}");
    const std::string page = m_browser.OpenPage("about:blank");
    Window(page, kWindowWidth, kWindowHeight);
    m_browser.Call("Page.addScriptToEvaluateOnNewDocument",
                   "{\"source\":\"window.pageErrors = []; addEventListener('error', (e) => "
                   "pageErrors.push(e.message));\"}",
                   page);
    m_browser.Load(page, "file://" + m_session.File("player.html") + query);
    return page;
}

void CPlayerPageTest::Window(const std::string& page, int width, int height)
{
    m_browser.Call("Emulation.setDeviceMetricsOverride",
                   "{\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height) +
                       ",\"deviceScaleFactor\":1,\"mobile\":false}",
                   page);
}

void CPlayerPageTest::WritePage(const Project& project)
{
    const CResult<SessionTimeline> timeline = DecodeSession(m_session.WorkDir(), 1);
    ASSERT_TRUE(timeline) << timeline.Error().text;
    // As the export reads it: none without a steps file.
    const CResult<std::vector<StepFacts>> facts = ReadStepFacts(m_session.WorkDir(), 1);
    ASSERT_TRUE(facts) << facts.Error().text;
    std::vector<Suggestion> suggestions;
    for (const StepFacts& step : *facts)
        suggestions.push_back(SuggestStep(step, SuggestionWordsOf(kEnglishLanguage)));
    std::ofstream page(m_session.File("player.html"), std::ios::binary);
    const CResult<> written = WritePlayerHtml(
        *timeline, 1, kPageFps,
        [&](const std::string& text) { return bool(page.write(text.data(), text.size())); }, &project,
        &*facts, &suggestions);
    ASSERT_TRUE(written) << written.Error().text;
}

void CPlayerPageTest::WritePage(const std::string& json)
{
    const CResult<Project> project = ParseProject(json);
    ASSERT_TRUE(project) << project.Error().text;
    WritePage(*project);
}

bool CPlayerPageTest::WaitFor(const std::string& page, const std::string& expression)
{
    for (int tries = 0; tries < 50; ++tries) {
        if (m_browser.Evaluate(page, expression) == "true")
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::string CPlayerPageTest::PageText(const std::string& page, const std::string& expression)
{
    const std::string encoded =
        m_browser.Evaluate(page, "(async () => encodeURIComponent(await (" + expression + ")))()");
    std::string text;
    for (size_t i = 1; i + 1 < encoded.size(); ++i)
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
            text += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            text += encoded[i];
        }
    return text;
}

} // namespace exporttest
