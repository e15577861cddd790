// The guide and the player's accessibility as a reader gets them, in headless Chromium: the guide's
// steps in order with their words and alternative texts, every picture decoded, and its print style;
// the player's words under the stage, read out by a live region, and no playing on its own for a
// reader who asked for reduced motion.
#include "PlayerPage.h"

#include "PageUser.h"

#include <chrono>
#include <fstream>
#include <thread>

namespace {

using namespace exporttest;

// Step 2 is captioned with markup that must stay text, step 4 over two lines; the take is reordered.
const char kCaptioned[] = R"({"format": "flickmere-project", "version": 1, "fps": 10, "steps": [
    {"source": 1, "frames": 10},
    {"source": 3, "frames": 10, "caption": {"text": "Click <b>\"Save\"</b> & go", "x": 10, "y": 10,
     "width": 120, "height": 30}},
    {"source": 2, "frames": 10},
    {"source": 5, "frames": 10, "caption": {"text": "Gr\u00fc\u00dfe\nzweite Zeile", "x": 10, "y": 10,
     "width": 120, "height": 40}}]})";

class GuideBrowserTest : public CPlayerPageTest
{
protected:
    void WriteProject(const std::string& json)
    {
        std::ofstream(m_session.File("session1.flickmere.json"), std::ios::binary) << json;
    }

    std::string OpenFile(const std::string& name)
    {
        const std::string page = m_browser.OpenPage("about:blank");
        m_browser.Load(page, "file://" + m_session.File(name));
        return page;
    }

    void EmulateMedia(const std::string& page, const std::string& media, const std::string& reducedMotion)
    {
        m_browser.Call("Emulation.setEmulatedMedia",
                       "{\"media\":\"" + media +
                           "\",\"features\":[{\"name\":\"prefers-reduced-motion\","
                           "\"value\":\"" +
                           reducedMotion + "\"}]}",
                       page);
    }
};

TEST_F(GuideBrowserTest, TheGuidesStepsHaveTheirWordsAndEveryPictureDecodes)
{
    WriteProject(kCaptioned);
    std::string output;
    ASSERT_EQ(RunExport(Quoted(m_session.WorkDir()) + " 1 --guide", output), 0) << output;
    const std::string page = OpenFile("guide.html");
    EXPECT_EQ(PageText(page, "document.title"), "session1");
    EXPECT_EQ(PageText(page, "[...document.querySelectorAll('ol > li')].length"), "4");
    // Each step's words as typed (one line for the alternative text), "Step N" where it has none.
    EXPECT_EQ(PageText(page, "[...document.querySelectorAll('ol > li')].map((li) => "
                             "(li.querySelector('p')?.textContent ?? '') + '|' + li.querySelector('img').alt)"
                             ".join('\\n')"),
              "|Step 1\nClick <b>\"Save\"</b> & go|Click <b>\"Save\"</b> & go\n|Step 3\n"
              "Gr\xC3\xBC\xC3\x9F"
              "e\nzweite Zeile|Gr\xC3\xBC\xC3\x9F"
              "e zweite Zeile");
    EXPECT_EQ(PageText(page, "document.querySelectorAll('b, script').length"), "0");
    // Every picture decodes at the size the page gives it.
    EXPECT_EQ(PageText(page, "Promise.all([...document.images].map((img) => img.decode().then(() => "
                             "img.naturalWidth === img.width && img.naturalHeight === img.height)))"
                             ".then((ok) => ok.join())"),
              "true,true,true,true");
    // On paper: no step split over two pages, no background, pictures within the page's width.
    EmulateMedia(page, "print", "no-preference");
    EXPECT_EQ(PageText(page, "(() => { const li = getComputedStyle(document.querySelector('li')); "
                             "const img = getComputedStyle(document.querySelector('img')); "
                             "return [li.breakInside, getComputedStyle(document.body).backgroundColor, "
                             "img.maxWidth].join(); })()"),
              "avoid,rgba(0, 0, 0, 0),100%");
}

TEST_F(GuideBrowserTest, ThePlayerShowsAndAnnouncesTheStepsWordsAndNamesItsPicture)
{
    WritePage(kCaptioned);
    const std::string page = Open("#step=2");
    const std::string words = "Click <b>\"Save\"</b> & go";
    EXPECT_EQ(PageText(page, "document.getElementById('stepText').textContent"), words);
    EXPECT_EQ(PageText(page, "document.getElementById('stepText').getAttribute('aria-live')"), "polite");
    EXPECT_EQ(PageText(page, "document.getElementById('pictures').getAttribute('aria-label')"), words);
    // Under the stage, not over it.
    EXPECT_EQ(m_browser.Evaluate(page, "document.getElementById('stepText').getBoundingClientRect().top >= "
                                       "document.getElementById('frame').getBoundingClientRect().bottom"),
              "true");
    // The next step's words replace them, as a key press shows it; a step without words has its place.
    m_browser.Evaluate(page, "document.dispatchEvent(new KeyboardEvent('keydown', {key: 'ArrowRight'}))");
    EXPECT_EQ(PageText(page, "document.getElementById('stepText').textContent"), "");
    EXPECT_EQ(PageText(page, "document.getElementById('pictures').getAttribute('aria-label')"),
              "Step 3 of 4");
    m_browser.Evaluate(page, "document.dispatchEvent(new KeyboardEvent('keydown', {key: 'ArrowRight'}))");
    EXPECT_EQ(PageText(page, "document.getElementById('stepText').textContent"), "Gr\xC3\xBC\xC3\x9F"
                                                                                 "e zweite Zeile");
    EXPECT_EQ(PageText(page, "pageErrors.join()"), "");
}

TEST_F(GuideBrowserTest, ReducedMotionKeepsThePlayerStillUntilPlayIsPressed)
{
    WritePage(kCaptioned);
    const std::string page = Open();
    EXPECT_EQ(PageText(page, "document.getElementById('play').textContent"), "Pause");
    EmulateMedia(page, "", "reduce");
    m_browser.Load(page, "file://" + m_session.File("player.html"));
    EXPECT_EQ(PageText(page, "document.getElementById('play').textContent"), "Play");
    EXPECT_EQ(PageText(page, "document.getElementById('label').textContent"), "Step 1 / 4");
    std::this_thread::sleep_for(std::chrono::milliseconds(1200)); // a step lasts a second
    EXPECT_EQ(PageText(page, "document.getElementById('label').textContent"), "Step 1 / 4");
    CPageUser(m_browser, page).Click("#play");
    EXPECT_EQ(PageText(page, "document.getElementById('play').textContent"), "Pause");
    EXPECT_TRUE(WaitFor(page, "document.getElementById('label').textContent === 'Step 2 / 4'"));
}

} // namespace
