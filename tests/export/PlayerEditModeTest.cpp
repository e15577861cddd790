// The edit mode does what it shows, tried as a person tries it in headless Chromium: real presses,
// drags and keys on the page the export writes.
#include "PageUser.h"
#include "PlayerPage.h"
#include "export/render/MarkRenderer.h"
#include "output/StepsFile.h"

#include <cstdio>
#include <thread>

namespace {

using namespace exporttest;

// The seven recorded steps at 10 fps, 1 s to 7 s long; step 2 has a caption.
const char kSevenSteps[] = R"({"format": "flickmere-project", "version": 1, "fps": 10, "steps": [
    {"source": 1, "frames": 10}, {"source": 2, "frames": 20, "caption": {"text": "Second", "x": 10, "y": 10,
     "width": 60, "height": 30}}, {"source": 3, "frames": 30}, {"source": 4, "frames": 40},
    {"source": 5, "frames": 50}, {"source": 6, "frames": 60}, {"source": 7, "frames": 70}]})";

// The File System Access API answered by the test instead of a dialog: what is saved is kept in
// `window.saved`.
const char kSavedInPage[] =
    "window.showSaveFilePicker = async (options) => ({name: options.suggestedName, createWritable: async () "
    "=> ({write: async (text) => { window.saved = text; }, close: async () => {}})})";

class PlayerEditModeTest : public CPlayerPageTest
{
protected:
    std::string Text(const std::string& page, const std::string& expression)
    {
        return PageText(page, expression);
    }
    std::string Card(const std::string& page, int card, const std::string& part)
    {
        return Text(page, "document.querySelector('#strip li:nth-child(" + std::to_string(card) + ") " +
                              part + "').textContent");
    }
    int Count(const std::string& page, const std::string& selector)
    {
        return std::stoi(Text(page, "String(document.querySelectorAll('" + selector + "').length)"));
    }
};

// A field that is being typed into when another step is selected shows that step's values at once.
TEST_F(PlayerEditModeTest, EveryWayOfSelectingAStepShowsItsValues)
{
    WritePage(kSevenSteps);
    const std::string page = Open("?edit");
    CPageUser user(m_browser, page);
    const struct
    {
        const char* way;
        int from;                     // the card selected before
        std::function<void()> select; // selects step 3
    } cases[] = {
        {"a click on the card", 2, [&] { user.Click("#strip li:nth-child(3)"); }},
        {"the next button", 2, [&] { user.Click("#next"); }},
        {"the previous button", 4, [&] { user.Click("#prev"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.way);
        user.Click("#strip li:nth-child(" + std::to_string(c.from) + ")");
        user.Type("#length", "9", false);
        user.Type("#captionText", "Typed here", false);
        c.select();
        EXPECT_EQ(Text(page, "document.getElementById('label').textContent"), "Step 3 / 7");
        EXPECT_EQ(Text(page, "document.getElementById('captionText').value"), "");
        EXPECT_EQ(Text(page, "document.getElementById('length').value"), "3");
        EXPECT_EQ(Card(page, c.from, ".info span:last-child"), "9 s");
    }
}

// Length takes a decimal comma or point; what it cannot take is marked while it is typed and is not
// kept. The field and the card show one rounding.
TEST_F(PlayerEditModeTest, LengthTakesACommaOrAPointAndMarksWhatItCannotTake)
{
    WritePage(kSevenSteps);
    const std::string page = Open("?edit");
    CPageUser user(m_browser, page);
    const struct
    {
        const char* typed;
        bool marked;
        const char* shown; // in the field once it is left, and on the card with " s"
    } cases[] = {
        {"1,5", false, "1.5"}, {"2.25", false, "2.3"},  {"abc", true, "2.3"},    {"0", true, "2.3"},
        {"-2", true, "2.3"},   {"100000", true, "2.3"}, {" 0,04 ", true, "2.3"}, {"6553,5", false, "6553.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        user.Type("#length", c.typed, false);
        EXPECT_EQ(Text(page, "document.getElementById('length').getAttribute('aria-invalid')"),
                  c.marked ? "true" : "false");
        EXPECT_EQ(m_browser.Evaluate(page, "document.getElementById('lengthProblem').hidden"),
                  c.marked ? "false" : "true");
        m_browser.Evaluate(page, "document.activeElement.blur()");
        EXPECT_EQ(Text(page, "document.getElementById('length').value"), c.shown);
        EXPECT_EQ(Card(page, 1, ".info span:last-child"), std::string(c.shown) + " s");
        EXPECT_EQ(Text(page, "document.getElementById('length').getAttribute('aria-invalid')"), "false");
    }
}

// However the steps are removed, the last one stays, and the page goes on working.
TEST_F(PlayerEditModeTest, TheLastStepStays)
{
    WritePage(kSevenSteps);
    const std::string page = Open("?edit");
    m_browser.Evaluate(page, kSavedInPage);
    CPageUser user(m_browser, page);
    for (int i = 0; i < 8; ++i)
        user.Click("#strip li:nth-child(1) .remove");
    user.Click("#delete");
    user.Click("#strip li:nth-child(1)");
    user.PressKey("Delete", "Delete", 46);
    user.Click("#play");
    user.Click("#save");
    EXPECT_EQ(Count(page, "#strip li"), 1);
    EXPECT_EQ(Text(page, "document.getElementById('label').textContent"), "Step 1 / 1");
    EXPECT_EQ(Text(page, "JSON.parse(window.saved).steps.map((s) => s.source).join()"), "7");
    EXPECT_EQ(Text(page, "window.pageErrors.join()"), "");
}

// Save writes the file with the save dialog; where the dialog cannot open or is refused, the file is
// downloaded instead. Only the person's own cancel saves nothing.
TEST_F(PlayerEditModeTest, SaveDownloadsWhereTheSaveDialogCannotOpen)
{
    WritePage(kSevenSteps);
    const struct
    {
        const char* picker; // "": headless Chromium's own, which cannot open a dialog
        const char* status;
        int downloads; // in all, so far
    } cases[] = {
        {"", "Downloaded session1.flickmere.json.", 1},
        {"window.showSaveFilePicker = async () => { throw new DOMException('blocked', 'SecurityError'); }",
         "Downloaded session1.flickmere.json.", 2},
        {"window.showSaveFilePicker = () => new Promise((_, no) => setTimeout(() => no(new "
         "DOMException('cancelled', 'AbortError')), 400))",
         "Not saved.", 2},
        {kSavedInPage, "Saved session1.flickmere.json.", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picker);
        const std::string page = Open("?edit");
        m_browser.Evaluate(page, c.picker[0] ? c.picker : "0");
        CPageUser user(m_browser, page);
        user.Click("#save");
        EXPECT_TRUE(WaitFor(page, "document.getElementById('saveStatus').textContent.startsWith('" +
                                      std::string(c.status) + "')"))
            << Text(page, "document.getElementById('saveStatus').textContent");
        EXPECT_TRUE(m_browser.WaitForDownloads(c.downloads, std::chrono::seconds(5)));
        EXPECT_FALSE(m_browser.WaitForDownloads(c.downloads + 1, std::chrono::seconds(0)));
        // A kept file says when the player and the animation follow it.
        if (std::string(c.status) != "Not saved.") {
            EXPECT_NE(Text(page, "document.getElementById('saveStatus').textContent")
                          .find("Flickmere writes this player and the animated PNG again within a second"),
                      std::string::npos);
        }
    }
}

// Leaving the page with edits not saved asks first; opened again, the page offers them back. Saved
// edits are neither asked for nor offered.
TEST_F(PlayerEditModeTest, UnsavedEditsAreAskedForAndOfferedBack)
{
    WritePage(kSevenSteps);
    const std::string url = "file://" + m_session.File("player.html") + "?edit";
    const std::string page = Open("?edit");
    CPageUser user(m_browser, page);
    EXPECT_FALSE(m_browser.Leave(page, url)) << "asked with nothing edited";
    EXPECT_EQ(m_browser.Evaluate(page, "document.getElementById('offer').hidden"), "true");

    user.Click("#strip li:nth-child(2) .remove");
    user.Type("#captionText", "Kept");
    EXPECT_TRUE(m_browser.Leave(page, url)) << "left without asking";
    EXPECT_EQ(m_browser.Evaluate(page, "document.getElementById('offer').hidden"), "false");
    EXPECT_EQ(Count(page, "#strip li"), 7);
    CPageUser again(m_browser, page);
    again.Click("#restore");
    EXPECT_EQ(m_browser.Evaluate(page, "document.getElementById('offer').hidden"), "true");
    EXPECT_EQ(Count(page, "#strip li"), 6);
    EXPECT_EQ(Text(page, "document.querySelector('.caption').textContent"), "Kept");

    m_browser.Evaluate(page, kSavedInPage);
    again.Click("#save");
    EXPECT_FALSE(m_browser.Leave(page, url)) << "asked after saving";
    EXPECT_EQ(m_browser.Evaluate(page, "document.getElementById('offer').hidden"), "true");
}

// The smaller things the edit mode shows: which recorded step a card shows, what crop mode wants, a
// caption kept within the crop and one marked that reaches past it, the size handle whole at the stage's
// edge, undo and redo by Shift whatever Caps Lock does, and characters the caption font lacks.
TEST_F(PlayerEditModeTest, TheEditModeShowsWhatItDoes)
{
    WritePage(R"({"format": "flickmere-project", "version": 1, "fps": 10, "steps": [
        {"source": 1, "frames": 10}, {"source": 2, "frames": 10, "caption": {"text": "Edge", "x": 97,
         "y": 81, "width": 60, "height": 40}}, {"source": 3, "frames": 10}]})");
    const std::string page = Open("?edit#step=2");
    CPageUser user(m_browser, page);
    // The size handle lies whole on the stage: the caption reaches the stage's bottom right corner.
    EXPECT_EQ(m_browser.Evaluate(page,
                                 "(() => { const h = document.querySelector('.handle.size')"
                                 ".getBoundingClientRect(); const f = document.getElementById('frame')"
                                 ".getBoundingClientRect(); return h.left >= f.left && h.top >= f.top && "
                                 "h.right <= f.right && h.bottom <= f.bottom; })()"),
              "true");

    user.Click("#strip li:nth-child(1) .remove");
    EXPECT_EQ(Card(page, 1, ".source"), "Recorded 2");
    EXPECT_EQ(Card(page, 2, ".source"), "Recorded 3");

    user.Click("#crop");
    EXPECT_EQ(Text(page, "document.getElementById('saveStatus').textContent"),
              "Drag over the stage to keep only that part.");
    user.Drag(user.OnStage(90, 70), user.OnStage(150, 115));
    EXPECT_EQ(Text(page, "document.getElementById('saveStatus').textContent"), "");
    EXPECT_EQ(Count(page, ".caption.past-crop"), 1);
    // Dragged, the caption stays within the crop, and is no longer marked.
    user.Drag(user.OnStage(110, 90), user.OnStage(10, 10));
    EXPECT_EQ(Text(page, "(() => { const c = document.querySelector('.caption'); return `${c.style.left} "
                         "${c.style.top}`; })()"),
              "90px 70px");
    EXPECT_EQ(Count(page, ".caption.past-crop"), 0);

    // Ctrl+Z with Caps Lock on is "Z" without Shift: undo. Ctrl+Shift+Z and Ctrl+Y redo.
    const std::string place = "document.querySelector('.caption').style.left";
    const struct
    {
        const char* key;
        int modifiers;
        const char* left;
    } keys[] = {{"Z", 2, "97px"}, {"Z", 10, "90px"}, {"z", 2, "97px"}, {"y", 2, "90px"}, {"Y", 2, "90px"}};
    for (const auto& k : keys) {
        SCOPED_TRACE(std::string(k.key) + " " + std::to_string(k.modifiers));
        user.PressKey(k.key, std::string("Key") + char(std::toupper(k.key[0])), std::toupper(k.key[0]),
                      k.modifiers);
        EXPECT_EQ(Text(page, place), k.left);
    }

    user.Type("#captionText", "Save \u4FDD\u5B58", false);
    EXPECT_EQ(
        m_browser.Evaluate(page, "document.getElementById('captionText').classList.contains('lacking')"),
        "true");
    EXPECT_EQ(Text(page, "document.getElementById('captionNote').textContent"),
              "The caption font has no \u4FDD \u5B58: the animated PNG shows an empty box for each.");
    user.Type("#captionText", "Save");
    EXPECT_EQ(m_browser.Evaluate(page, "document.getElementById('captionNote').hidden"), "true");
}

// The pixels of `box` of a stage as six hex digits each, the page's canvas read the same way below.
std::string Hex(const RgbImage& stage, const Region& box)
{
    std::string hex;
    char digits[3];
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x)
            for (int c = 0; c < 3; ++c) {
                std::snprintf(digits, sizeof digits, "%02x",
                              stage.rgb[(size_t(y) * stage.width + x) * 3 + c]);
                hex += digits;
            }
    return hex;
}

std::string CanvasHex(const Region& box)
{
    return "(() => { const d = document.getElementById('pictures').getContext('2d').getImageData(" +
           std::to_string(box.left) + ", " + std::to_string(box.top) + ", " + std::to_string(box.Width()) +
           ", " + std::to_string(box.Height()) +
           ").data; let s = ''; for (let i = 0; i < d.length; i += 4) "
           "for (let c = 0; c < 3; ++c) s += d[i + c].toString(16).padStart(2, '0'); return s; })()";
}

// What the steps file says of a take shows in the edit mode: a step without a caption offers its
// suggested words, taken with a click, all of them with Suggest all (undone with Ctrl+Z as one edit);
// a click target's mark is drawn on the stage exactly as the animation draws it, and switched off.
TEST_F(PlayerEditModeTest, SuggestionsAreTakenAndTheMarkIsSwitchedOff)
{
    const StepRect button{20, 30, 50, 20};
    std::vector<StepRecord> records(7);
    for (int i = 0; i < 7; ++i) {
        records[i].press = i + 1;
        records[i].pictures = {i + 1};
        records[i].lookup = StepLookup::Outside;
    }
    records[0].lookup = records[2].lookup = StepLookup::Answered;
    records[0].window = records[2].window = "Sample";
    records[0].control = StepControl{"Save", "button", {}, button, "Button", "msaa"};
    records[1].chords = {"Ctrl+S"};
    records[2].control = StepControl{"User name:", "text-field", {"protected"}, {}, "Edit", "msaa"};
    ASSERT_TRUE(WriteStepsFile(m_session.File("session1.steps.json"), records));
    WritePage(R"({"format": "flickmere-project", "version": 1, "fps": 10, "steps": [
        {"source": 1, "frames": 10}, {"source": 2, "frames": 10}, {"source": 3, "frames": 10},
        {"source": 4, "frames": 10}]})");
    const std::string page = Open("?edit");
    CPageUser user(m_browser, page);

    const Region box = MarkBounds(button);
    RgbImage marked = m_session.StageAtStep(1, false);
    const std::string unmarked = Hex(marked, box);
    DrawMark(marked, button);
    EXPECT_TRUE(WaitFor(page, CanvasHex(box) + " === '" + Hex(marked, box) + "'"))
        << "the page's mark differs from the animation's";
    EXPECT_EQ(Text(page, "document.getElementById('mark').checked"), "true");

    EXPECT_EQ(Text(page, "document.getElementById('suggestion').textContent"), "Click Save");
    EXPECT_EQ(Text(page, "document.querySelector('#suggestion b').textContent"), "Save");
    user.Click("#suggestion");
    EXPECT_EQ(Text(page, "document.getElementById('captionText').value"), "Click Save");
    EXPECT_EQ(Text(page, "document.getElementById('suggestion').hidden"), "true");
    EXPECT_EQ(Count(page, ".caption"), 1);

    user.Click("#suggestAll");
    const auto captionOf = [&](int card) {
        user.Click("#strip li:nth-child(" + std::to_string(card) + ")");
        return Text(page, "document.getElementById('captionText').value");
    };
    EXPECT_EQ(captionOf(2), "Press Ctrl+S");
    EXPECT_EQ(captionOf(3), "Type in User name:");
    EXPECT_EQ(captionOf(4), "") << "a step the steps file says nothing of";
    EXPECT_EQ(Text(page, "document.getElementById('suggestion').hidden"), "true");
    EXPECT_EQ(Text(page, "document.getElementById('markLabel').hidden"), "true") << "no rectangle";
    user.PressKey("z", "KeyZ", 'Z', 2);
    EXPECT_EQ(captionOf(3), "");
    EXPECT_EQ(captionOf(2), "");
    EXPECT_EQ(Text(page, "document.getElementById('suggestion').textContent"), "Press Ctrl+S");
    EXPECT_EQ(captionOf(1), "Click Save") << "the suggestion taken before stays";

    user.Click("#mark");
    EXPECT_EQ(Text(page, "document.getElementById('mark').checked"), "false");
    EXPECT_TRUE(WaitFor(page, CanvasHex(box) + " === '" + unmarked + "'")) << "the mark is still drawn";
    user.PressKey("z", "KeyZ", 'Z', 2);
    EXPECT_TRUE(WaitFor(page, CanvasHex(box) + " === '" + Hex(marked, box) + "'")) << "undone, it is back";
}

} // namespace
