// User text in the guide's page and Markdown: shown as typed, never taken as markup.
#include "export/StepGuide.h"
#include "export/codec/MarkupEscape.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(GuideTextTest, HtmlKeepsEveryCharacterAsText)
{
    const struct
    {
        const char* text;
        const char* escaped;
    } cases[] = {
        {"Click Save", "Click Save"},
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"Tom & Jerry's \"show\"", "Tom &amp; Jerry&#39;s &quot;show&quot;"},
        {"&amp; stays &amp;", "&amp;amp; stays &amp;amp;"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC"}, // UTF-8 as it is
        {"line\nbreak", "line\nbreak"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeHtml(c.text), c.escaped) << c.text;
}

TEST(GuideTextTest, MarkdownKeepsEveryCharacterAsText)
{
    const struct
    {
        const char* text;
        bool atLineStart;
        const char* escaped;
    } cases[] = {
        {"Click Save", true, "Click Save"},
        {"Click Save.", true, "Click Save."},
        {"*bold* _em_ `code`", true, "\\*bold\\* \\_em\\_ \\`code\\`"},
        {"[link](http://x) ![img](y)", true, "\\[link\\](http://x) \\!\\[img\\](y)"},
        {"<b>raw</b> &amp; a|b ~~x~~ \\", true, "\\<b\\>raw\\</b\\> \\&amp; a\\|b \\~\\~x\\~\\~ \\\\"},
        // What starts a block only where it starts a line.
        {"# Title", true, "\\# Title"},
        {"  > quote", true, "  \\> quote"},
        {"- item", true, "\\- item"},
        {"+ item", true, "\\+ item"},
        {"===", true, "\\==="},
        {"2024. A year", true, "2024\\. A year"},
        {"3) third", true, "3\\) third"},
        {"a - b + c = d. 1. 2)", true, "a - b + c = d. 1. 2)"},
        {"- not at a line's start", false, "- not at a line's start"},
        {"12.5 s", true, "12.5 s"},
        {"7.", true, "7\\."},
        {"first\n- second\n# third", true, "first\n\\- second\n\\# third"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         true,
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeMarkdown(c.text, c.atLineStart), c.escaped) << c.text;
}

TEST(GuideTextTest, MarkdownStepsSetTheNameBoldAndKeepLinesInTheItem)
{
    const std::vector<uint8_t> png;
    const auto step = [&](size_t number, size_t count, StepWords words) {
        GuideStep s{number, count, std::move(words), "", &png, 10, 10};
        s.alt = s.words.text.empty() ? "Step " + std::to_string(number) : s.words.text;
        std::replace(s.alt.begin(), s.alt.end(), '\n', ' ');
        return s;
    };
    const struct
    {
        GuideStep step;
        std::string markdown;
    } cases[] = {
        {step(1, 3, {"Click Save", 6, 4}), "1. Click **Save**\n\n   ![Click Save](step-01.png)\n\n"},
        {step(2, 3, {"Save_as", 0, 7}), "2. **Save\\_as**\n\n   ![Save\\_as](step-02.png)\n\n"},
        {step(3, 3, {"- dash [x]"}), "3. \\- dash \\[x\\]\n\n   ![- dash \\[x\\]](step-03.png)\n\n"},
        {step(12, 120, {"two\nlines"}), "12. two\\\n    lines\n\n    ![two lines](step-012.png)\n\n"},
        {step(4, 9, {}), "4. ![Step 4](step-04.png)\n\n"},
        // A name span beyond the text sets nothing bold.
        {step(5, 9, {"Press", 9, 3}), "5. Press\n\n   ![Press](step-05.png)\n\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GuideMarkdownStep(c.step), c.markdown) << c.step.words.text;
}

} // namespace
