#include "PageUser.h"

#include "export/take/Project.h"

#include <cstdio>
#include <stdexcept>

namespace exporttest {

namespace {

constexpr int kDragMoves = 4;

} // namespace

void CPageUser::Click(const std::string& selector)
{
    const PagePoint at = Centre(selector);
    Press(at, at);
}

void CPageUser::Type(const std::string& selector, const std::string& text, bool leave)
{
    Click(selector);
    --m_actions; // the click belongs to the typing
    Key("{\"type\":\"keyDown\",\"key\":\"a\",\"code\":\"KeyA\",\"modifiers\":2,\"windowsVirtualKeyCode\":65,"
        "\"commands\":[\"selectAll\"]}");
    Key("{\"type\":\"keyUp\",\"key\":\"a\",\"code\":\"KeyA\",\"modifiers\":2,\"windowsVirtualKeyCode\":65}");
    m_browser.Call("Input.insertText", "{\"text\":" + ProjectJson(text).dump() + "}", m_page);
    if (leave)
        m_browser.Evaluate(m_page, "document.activeElement.blur()");
    ++m_actions;
}

void CPageUser::PressKey(const std::string& key, const std::string& code, int virtualKey, int modifiers)
{
    ++m_actions;
    for (const char* type : {"keyDown", "keyUp"})
        Key(std::string("{\"type\":\"") + type + "\",\"key\":" + ProjectJson(key).dump() + ",\"code\":\"" +
            code + "\",\"modifiers\":" + std::to_string(modifiers) +
            ",\"windowsVirtualKeyCode\":" + std::to_string(virtualKey) + "}");
}

PagePoint CPageUser::OnStage(int x, int y)
{
    return Point("(() => { const r = document.getElementById('frame').getBoundingClientRect(); "
                 "const s = r.width / document.getElementById('stage').offsetWidth; "
                 "return `${r.left + " +
                 std::to_string(x) + " * s} ${r.top + " + std::to_string(y) + " * s}`; })()");
}

PagePoint CPageUser::Centre(const std::string& selector)
{
    return Point("(() => { const e = document.querySelector('" + selector +
                 "'); e.scrollIntoView({block: 'nearest', inline: 'nearest'}); "
                 "const r = e.getBoundingClientRect(); return `${r.left + r.width / 2} ${r.top + "
                 "r.height / 2}`; })()");
}

void CPageUser::WaitForFrame()
{
    // A timer set in an animation frame callback runs once that frame is drawn.
    m_browser.Evaluate(m_page, "new Promise((r) => requestAnimationFrame(() => setTimeout(r)))");
}

PagePoint CPageUser::Point(const std::string& expression)
{
    const std::string answer = m_browser.Evaluate(m_page, expression);
    PagePoint point;
    if (std::sscanf(answer.c_str(), "\"%lf %lf\"", &point.x, &point.y) != 2)
        throw std::runtime_error("no point on the page: " + expression + " gave " + answer);
    return point;
}

void CPageUser::Mouse(const char* type, PagePoint at, int buttons)
{
    m_browser.Call("Input.dispatchMouseEvent",
                   std::string("{\"type\":\"") + type + "\",\"x\":" + std::to_string(at.x) +
                       ",\"y\":" + std::to_string(at.y) +
                       ",\"button\":\"left\",\"buttons\":" + std::to_string(buttons) + ",\"clickCount\":1}",
                   m_page);
}

void CPageUser::Press(PagePoint from, PagePoint to)
{
    ++m_actions;
    Mouse("mouseMoved", from, 0);
    Mouse("mousePressed", from, 1);
    for (int i = 1; i <= kDragMoves && (from.x != to.x || from.y != to.y); ++i)
        Mouse("mouseMoved",
              {from.x + (to.x - from.x) * i / kDragMoves, from.y + (to.y - from.y) * i / kDragMoves}, 1);
    Mouse("mouseReleased", to, 0);
}

void CPageUser::Key(const std::string& event)
{
    m_browser.Call("Input.dispatchKeyEvent", event, m_page);
}

} // namespace exporttest
