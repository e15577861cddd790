#pragma once
// A person at a page in headless Chromium: mouse presses, drags and typed text sent through the DevTools
// pipe as real input, each counted as one action. An action is one click, one drag, or typing into one
// field (the click that puts the cursor there and the selection of what was in it belong to the typing);
// scrolling a part of the page into view is not counted.
#include "HeadlessChromium.h"

#include <string>

namespace exporttest {

struct PagePoint
{
    double x = 0;
    double y = 0;
};

class CPageUser
{
public:
    CPageUser(CDevToolsBrowser& browser, std::string page) : m_browser(browser), m_page(std::move(page)) {}

    void Click(const std::string& selector);
    void Drag(PagePoint from, PagePoint to) { Press(from, to); }
    // Types into the field; `leave` then leaves it, as a click elsewhere would.
    void Type(const std::string& selector, const std::string& text, bool leave = true);
    // A key pressed and let go: `key` as KeyboardEvent.key names it, `modifiers` as the DevTools
    // protocol adds them up (Alt 1, Ctrl 2, Meta 4, Shift 8).
    void PressKey(const std::string& key, const std::string& code, int virtualKey, int modifiers = 0);
    // A point of the player's stage as the page shows it now, in the page's coordinates.
    PagePoint OnStage(int x, int y);
    // The middle of the first element `selector` finds, scrolled into view.
    PagePoint Centre(const std::string& selector);
    // Waits until the page has drawn what the input so far changed.
    void WaitForFrame();
    int Actions() const { return m_actions; }

private:
    PagePoint Point(const std::string& expression);
    void Mouse(const char* type, PagePoint at, int buttons);
    // Presses at `from`, moves in a few steps to `to` and lets go there: a click when they are the same.
    void Press(PagePoint from, PagePoint to);
    void Key(const std::string& event);

    CDevToolsBrowser& m_browser;
    std::string m_page;
    int m_actions = 0;
};

} // namespace exporttest
