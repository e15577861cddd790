// The player's edit mode in headless Chromium, used as a person uses it: mouse presses, drags and typed
// text sent through the DevTools pipe, each counted as one action. What the page saves is read back with
// the program's own project reader.
#include "PageUser.h"
#include "PlayerPage.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace exporttest;

class PlayerEditorTest : public CPlayerPageTest
{
};

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// "Drop three steps, lengthen two, add two captions, crop to the dialog, save": the export that follows
// is the command's own (--project), so this ends at the saved file.
TEST_F(PlayerEditorTest, TheTutorialTaskTakesAtMostFifteenActions)
{
    std::string output;
    ASSERT_EQ(RunExport(Quoted(m_session.WorkDir().string()) + " 1 --fps 10", output), 0) << output;
    const std::string page = Open();
    // Saved as a download, as in a browser without the File System Access API.
    m_browser.Evaluate(page, "delete Window.prototype.showSaveFilePicker; delete window.showSaveFilePicker");
    const int lastFrames = std::stoi(
        PageText(page, "String(JSON.parse(document.getElementById('model').textContent).steps[6].frames)"));
    CPageUser user(m_browser, page);

    user.Click("#mode");
    user.Click("#strip li:nth-child(2) .remove"); // recorded steps 1 3 4 5 6 7 left
    user.Click("#strip li:nth-child(3) .remove"); // 1 3 5 6 7
    user.Click("#strip li:nth-child(4) .remove"); // 1 3 5 7
    user.Click("#strip li:nth-child(2)");
    user.Type("#length", "3");
    user.Type("#captionText", "Open the menu");
    user.Click("#strip li:nth-child(3)");
    user.Type("#length", "2.5");
    user.Type("#captionText", "The dialog\nasks for a name");
    user.Click("#crop");
    user.Drag(user.OnStage(20, 20), user.OnStage(81, 71));
    user.Click("#save");
    EXPECT_LE(user.Actions(), 15);

    ASSERT_TRUE(m_browser.WaitForDownloads(1, std::chrono::seconds(30))) << "no download";
    if (const char* shot = std::getenv("FLICKMERE_EDITOR_SHOT")) {
        const std::string reply = m_browser.Call("Page.captureScreenshot", "{}", page);
        std::ofstream(shot) << JsonStringField(reply, "data");
    }
    const std::string text = ReadText(Downloads() + "/session1.flickmere.json");
    const CResult<Project> read = ParseProject(text);
    ASSERT_TRUE(read) << read.Error().text << "\n" << text;
    const Project& project = *read;
    EXPECT_EQ(project.fps, 10);
    ASSERT_EQ(project.steps.size(), 4u);
    const int sources[] = {1, 3, 5, 7}, frames[] = {45, 30, 25, lastFrames};
    const char* captions[] = {nullptr, "Open the menu", "The dialog\nasks for a name", nullptr};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("step " + std::to_string(i + 1));
        EXPECT_EQ(project.steps[i].source, sources[i]);
        EXPECT_EQ(project.steps[i].frames, frames[i]);
        ASSERT_EQ(project.steps[i].caption.has_value(), captions[i] != nullptr);
        if (captions[i]) {
            EXPECT_EQ(project.steps[i].caption->text, captions[i]);
        }
    }
    ASSERT_TRUE(project.crop);
    EXPECT_EQ(project.crop->rect.x, 20);
    EXPECT_EQ(project.crop->rect.y, 20);
    EXPECT_EQ(project.crop->rect.width, 61);
    EXPECT_EQ(project.crop->rect.height, 51);
    // Written as the program writes it, and the page says where the file goes.
    EXPECT_EQ(text, SerializeProject(project));
    EXPECT_NE(PageText(page, "document.getElementById('saveStatus').textContent").find("beside the take"),
              std::string::npos);
}

// A project with fields of a later version: reordered by a drag, a step duplicated, its caption dragged
// and resized, two undos and a redo. What is saved has every unknown field where it was.
TEST_F(PlayerEditorTest, EditsUndoAndRedoKeepFieldsThePageDoesNotKnow)
{
    const CResult<Project> given =
        ParseProject(R"({"format": "flickmere-project", "version": 1, "fps": 10, "theme": {"a": [1, 2]},
        "steps": [{"source": 1, "frames": 20, "note": "x</script>"},
                  {"source": 2, "frames": 30, "caption": {"text": "Héllo", "x": 30, "y": 40, "width": 60,
                   "height": 30, "arrow": {"x": 5, "y": 6, "tint": 3}, "shade": true}},
                  {"source": 4, "frames": 40}]})");
    ASSERT_TRUE(given) << given.Error().text;
    WritePage(*given);
    const std::string page = Open("#step=1");
    // The File System Access API, answered by the test instead of a dialog.
    m_browser.Evaluate(page, "window.showSaveFilePicker = async (options) => ({name: options.suggestedName, "
                             "createWritable: async () => ({write: async (text) => { window.saved = text; }, "
                             "close: async () => {}})})");
    CPageUser user(m_browser, page);
    user.Click("#mode");
    // Step 1 dropped after step 3 (recorded 2 4 1), then recorded step 2 duplicated.
    const std::string right = m_browser.Evaluate(
        page, "(() => { const r = document.querySelector('#strip li:nth-child(3)').getBoundingClientRect(); "
              "return `${r.right - 2}`; })()");
    const std::string left = m_browser.Evaluate(
        page, "(() => { const r = document.querySelector('#strip li:nth-child(1)').getBoundingClientRect(); "
              "return `${r.left + 20} ${r.top + 20}`; })()");
    PagePoint from, to;
    std::sscanf(left.c_str(), "\"%lf %lf\"", &from.x, &from.y);
    std::sscanf(right.c_str(), "\"%lf\"", &to.x);
    to.y = from.y;
    user.Drag(from, to);
    user.Click("#strip li:nth-child(1)");
    user.Click("#duplicate");                               // recorded 2 2 4 1, step 2 selected
    user.Drag(user.OnStage(40, 50), user.OnStage(50, 55));  // the caption moved to (40, 45)
    user.Drag(user.OnStage(97, 72), user.OnStage(117, 82)); // and made 80 x 40 by its corner
    user.Click("#undo");
    user.Click("#undo");
    user.Click("#redo");
    user.Click("#save");
    const std::string saved = PageText(page, "window.saved");

    const CResult<Project> read = ParseProject(saved);
    ASSERT_TRUE(read) << read.Error().text << saved;
    const Project& project = *read;
    EXPECT_EQ(saved, SerializeProject(project));
    ASSERT_EQ(project.steps.size(), 4u);
    const int sources[] = {2, 2, 4, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(project.steps[i].source, sources[i]) << "step " << i + 1;
    EXPECT_EQ(project.fields.at("theme").dump(), R"({"a":[1,2]})");
    EXPECT_EQ(project.steps[3].fields.at("note"), "x</script>");
    for (int i : {0, 1}) {
        ASSERT_TRUE(project.steps[i].caption);
        const ProjectCaption& caption = *project.steps[i].caption;
        EXPECT_EQ(caption.text, "Héllo");
        EXPECT_EQ(caption.fields.at("shade"), true);
        EXPECT_EQ(caption.arrow->fields.at("tint"), 3);
        // The duplicate was dragged; the resize was undone, the move redone.
        EXPECT_EQ(caption.box.x, i == 1 ? 40 : 30);
        EXPECT_EQ(caption.box.y, i == 1 ? 45 : 40);
        EXPECT_EQ(caption.box.width, 60);
        EXPECT_EQ(caption.box.height, 30);
    }
}

// The view: a heading with the session's name, the crop fitted to the window, scaled down when the window
// is too small and never up unless asked, and the step's caption in the caption style.
TEST_F(PlayerEditorTest, TheViewFitsTheCropToTheWindow)
{
    const CResult<Project> given = ParseProject(R"({"format": "flickmere-project", "version": 1, "fps": 10,
        "crop": {"x": 10, "y": 10, "width": 120, "height": 90},
        "steps": [{"source": 2, "frames": 20, "caption": {"text": "Here", "x": 30, "y": 40, "width": 60,
                   "height": 30}}]})");
    ASSERT_TRUE(given) << given.Error().text;
    WritePage(*given);
    const std::string page = Open("#step=1");
    EXPECT_EQ(m_browser.Evaluate(page, "document.getElementById('heading').textContent"), "\"session1\"");
    const std::string caption =
        m_browser.Evaluate(page, "(() => { const c = getComputedStyle(document.querySelector('.caption')); "
                                 "return `${document.querySelector('.caption').textContent} ${c.fontSize} "
                                 "${c.lineHeight} ${c.backgroundColor}`; })()");
    EXPECT_EQ(caption, "\"Here 14px 18px rgb(255, 246, 191)\"");
    // The embedded DejaVu Sans, not a font of the machine.
    EXPECT_EQ(m_browser.Evaluate(page, "document.fonts.load('14px \"Flickmere Caption\"').then((faces) => "
                                       "faces.length === 1 && faces[0].status)"),
              "\"loaded\"");

    struct Case
    {
        int width, height;
        bool enlarge;
        const char* frame; // the shown crop's size on the page
    };
    const Case cases[] = {
        {1000, 700, false, "120 90"}, // room to spare: 1:1
        {100, 700, false, "68 51"},   // 32 pixels of margin leave 68 of 120
        {1000, 700, true, "large"},   // asked to fill the window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        Window(page, c.width, c.height);
        m_browser.Evaluate(page,
                           std::string("(() => { const e = document.getElementById('enlarge'); if (e.checked "
                                       "!== ") +
                               (c.enlarge ? "true" : "false") +
                               ") e.click(); return new Promise((r) => requestAnimationFrame(r)); })()");
        const std::string frame = PageText(page, "(() => { const f = document.getElementById('frame'); "
                                                 "return `${f.offsetWidth} ${f.offsetHeight}`; })()");
        if (!c.enlarge) {
            EXPECT_EQ(frame, c.frame);
            continue;
        }
        // As tall as the heading and the controls leave room for, in the crop's shape.
        int width = 0, height = 0;
        ASSERT_EQ(std::sscanf(frame.c_str(), "%d %d", &width, &height), 2) << frame;
        EXPECT_GT(height, c.height / 2) << frame;
        EXPECT_NEAR(width * 90.0 / 120, height, 1) << frame;
    }

    // The video shows the crop too.
    m_browser.Evaluate(page, "document.getElementById('video').click()", true);
    ASSERT_TRUE(m_browser.WaitForDownloads(1, std::chrono::seconds(30))) << "no video";
    std::string size;
    RunCommand("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 " +
                   Quoted(Downloads() + "/session1.webm"),
               size);
    EXPECT_EQ(size, "120,90\n");
}

} // namespace
