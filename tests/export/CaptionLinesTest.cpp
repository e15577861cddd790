// A caption breaks into the same lines in the player's page as in the animation: the page, as the export
// writes it, in headless Chromium, against the caption renderer's own lines, for texts of every kind at
// every width from a character to the whole text.
#include "PlayerPage.h"
#include "export/render/CaptionRenderer.h"

namespace {

using namespace exporttest;

class CaptionLinesTest : public CPlayerPageTest
{
};

TEST_F(CaptionLinesTest, ThePageBreaksCaptionsWhereTheAnimationDoes)
{
    const char* const texts[] = {
        "Open the File menu and choose Save as",
        "Supercalifragilistic expialidocious words",
        "  two leading spaces,   a run of three, and trailing   ",
        "\u00DCber gr\u00F6\u00DFere W\u00F6rter \u2014 mit Strichen",
        "\u4E2D\u6587\u6CA1\u6709\u7A7A\u683C\u4E5F\u8981\u6362\u884C",
        "AV Ty Wo kerned pairs\nand a second line of its own\n\nafter an empty one",
    };
    Project project;
    project.fps = 10;
    const CCaptionRenderer renderer;
    std::vector<std::string> expected;
    for (const char* text : texts)
        for (int width = 16; width <= 330; width += 3) {
            ProjectStep step;
            step.caption = ProjectCaption{text, {0, 0, width, 60}, std::nullopt, ProjectJson::object()};
            std::string lines;
            for (const std::string& line : renderer.Lines(*step.caption))
                lines += (lines.empty() ? "" : "\n") + line;
            expected.push_back(lines);
            project.steps.push_back(step);
        }
    WritePage(project);
    const std::string page = Open("#step=1");
    // Each step's caption as the stage shows it, the next step shown by ▶, a hundred steps a call, the
    // steps apart by U+0001.
    constexpr size_t kStepsPerCall = 100;
    size_t mismatches = 0;
    for (size_t first = 1; first <= expected.size(); first += kStepsPerCall) {
        const size_t last = std::min(first + kStepsPerCall - 1, expected.size());
        const std::string shown =
            PageText(page, "(() => { const out = []; for (let i = " + std::to_string(first) +
                               "; i <= " + std::to_string(last) +
                               "; ++i) { out.push(document.querySelector('.caption').textContent); "
                               "document.getElementById('next').click(); } return out.join('\\u0001'); })()");
        size_t start = 0;
        for (size_t i = first - 1; i < last && start <= shown.size(); ++i) {
            const size_t end = std::min(shown.find('\x01', start), shown.size());
            const std::string got = shown.substr(start, end - start);
            if (got != expected[i] && ++mismatches <= 5)
                ADD_FAILURE() << "step " << i + 1 << " (width " << project.steps[i].caption->box.width
                              << "):\npage:\n"
                              << got << "\nanimation:\n"
                              << expected[i];
            start = end + 1;
        }
    }
    EXPECT_EQ(mismatches, 0u);
    // Every width from too narrow for a character to wide enough for the longest text was tried.
    EXPECT_EQ(renderer.Lines(*project.steps.front().caption).size(), 30u); // a character a line
    EXPECT_EQ(renderer.Lines(*project.steps[104].caption).size(), 1u);
}

} // namespace
