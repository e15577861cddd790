// The caption font in the player's page, in headless Chromium: the page carries the glyphs of its
// captions' characters, which Chromium accepts and draws exactly as it draws the whole font, and adds the
// glyphs for typing only once a caption is given a character beyond those.
#include "PageUser.h"
#include "PlayerPage.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace {

using namespace exporttest;

const char kCaptioned[] = R"({"format": "flickmere-project", "version": 1, "fps": 10, "steps": [
    {"source": 1, "frames": 10}, {"source": 2, "frames": 20, "caption": {"text": "Zwei Zeilen \u00FCber", "x": 10,
     "y": 10, "width": 60, "height": 30}}, {"source": 3, "frames": 30}]})";

// The whole caption font as a face of its own, "Whole", and a function that answers a text's pixels
// in a family as a string to compare.
std::string WholeFontAndDraw()
{
    std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string base64;
    const std::string data = bytes.str();
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (size_t i = 0; i < data.size(); i += 3) {
        const size_t left = data.size() - i;
        const uint32_t v = uint32_t(uint8_t(data[i])) << 16 |
                           (left > 1 ? uint32_t(uint8_t(data[i + 1])) << 8 : 0) |
                           (left > 2 ? uint8_t(data[i + 2]) : 0);
        for (int k = 0; k < 4; ++k)
            base64 += k <= int(std::min<size_t>(left, 3)) ? digits[v >> (18 - 6 * k) & 63] : '=';
    }
    return "(async () => { const bytes = Uint8Array.from(atob('" + base64 +
           "'), (c) => c.charCodeAt(0)); document.fonts.add(await new FontFace('Whole', bytes).load());"
           "window.draw = (family, text) => { const canvas = new OffscreenCanvas(300, 30);"
           "const context = canvas.getContext('2d'); context.font = `15px \"${family}\"`;"
           "context.fillText(text, 2, 20); return context.getImageData(0, 0, 300, 30).data.join(','); };"
           "return 'ready'; })()";
}

class CaptionFontPageTest : public CPlayerPageTest
{
protected:
    std::string Faces(const std::string& page)
    {
        return PageText(page, "[...document.fonts].filter((f) => f.family.includes('Flickmere')).map((f) => "
                              "f.status).join(' ')");
    }
    // Whether `text` draws the same in the page's caption font as in the whole font.
    bool DrawsAsWhole(const std::string& page, const std::string& text)
    {
        return m_browser.Evaluate(page, "document.fonts.load('15px \"Flickmere Caption\"', '" + text +
                                            "').then(() => draw('Flickmere Caption', '" + text +
                                            "') === draw('Whole', '" + text + "') && draw('Whole', '" + text +
                                            "') !== draw('Whole', ''))") == "true";
    }
};

TEST_F(CaptionFontPageTest, CaptionsDrawAsInTheWholeFontAndTypingAddsTheRestOfItsGlyphs)
{
    WritePage(kCaptioned);
    const std::string page = Open("?edit");
    ASSERT_EQ(PageText(page, WholeFontAndDraw()), "ready");
    EXPECT_TRUE(DrawsAsWhole(page, "Zwei Zeilen \\u00FCber"));
    EXPECT_EQ(Faces(page), "loaded") << "the captions' glyphs alone, before anything is typed";

    CPageUser user(m_browser, page);
    user.Click("#strip li:nth-child(2)");
    user.Type("#captionText", "Stra\u00DFe \u20AC 5");
    ASSERT_TRUE(
        WaitFor(page, "[...document.fonts].filter((f) => f.family.includes('Flickmere')).length == 2"))
        << Faces(page);
    EXPECT_EQ(Faces(page), "loaded loaded");
    EXPECT_TRUE(DrawsAsWhole(page, "Stra\\u00DFe \\u20AC 5 Zwei"));
    EXPECT_EQ(PageText(page, "String(window.pageErrors ?? [])"), "");
}

// A page whose take has no caption carries no face at all until one is typed.
TEST_F(CaptionFontPageTest, APageWithoutCaptionsCarriesOnlyTheGlyphsForTyping)
{
    WritePage(
        R"({"format": "flickmere-project", "version": 1, "fps": 10, "steps": [{"source": 1, "frames": 10}]})");
    const std::string page = Open("?edit");
    ASSERT_EQ(PageText(page, WholeFontAndDraw()), "ready");
    EXPECT_EQ(Faces(page), "");
    CPageUser user(m_browser, page);
    user.Type("#captionText", "Hallo");
    ASSERT_TRUE(WaitFor(page, "[...document.fonts].some((f) => f.family.includes('Flickmere'))"));
    EXPECT_TRUE(DrawsAsWhole(page, "Hallo Welt"));
}

} // namespace
