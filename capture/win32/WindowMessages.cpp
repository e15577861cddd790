// The lookup's questions to the window under the pointer itself, for what MSAA does not give under Wine:
// a button's kind and text, the list box item under the point, the part of a window's frame. Every
// message has a time-out, and a program that does not answer in time just leaves the answer out.
#include "capture/win32/PointerLookup.h"

#include "common/win32/WideText.h"

#include <memory>
#include <optional>

namespace {

constexpr UINT kAnswerTimeoutMs = 200;
constexpr int kMaxTextChars = 512;
// A list item longer than this is not read. The buffer is far larger than that: LB_GETTEXT has no size,
// and the item may change between the length and the text.
constexpr LRESULT kMaxItemChars = 512;
constexpr size_t kItemBufferChars = 32768;
constexpr UINT kButtonTypeMask = 0xF;
constexpr UINT kCheckStyles[] = {BS_CHECKBOX,   BS_AUTOCHECKBOX, BS_3STATE,
                                 BS_AUTO3STATE, BS_RADIOBUTTON,  BS_AUTORADIOBUTTON};

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               kAnswerTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

// WM_GETTEXT, for the window kinds that may be asked: never an edit field, whose text may be a password
// (under Wine WM_GETTEXT hands out a password edit's text).
std::optional<std::string> OwnText(HWND window, WindowKind kind)
{
    if (kind != WindowKind::Button && kind != WindowKind::Label)
        return std::nullopt;
    wchar_t text[kMaxTextChars] = L"";
    const std::optional<LRESULT> length =
        Ask(window, WM_GETTEXT, kMaxTextChars, reinterpret_cast<LPARAM>(text));
    if (!length || *length <= 0 || *length >= kMaxTextChars)
        return std::nullopt;
    return Utf8OfWide(text, static_cast<int>(*length));
}

bool IsCheckStyle(uint32_t style)
{
    for (const UINT checkStyle : kCheckStyles)
        if ((style & kButtonTypeMask) == checkStyle)
            return true;
    return false;
}

bool HasItemTexts(uint32_t style)
{
    return (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0 || (style & LBS_HASSTRINGS) != 0;
}

std::optional<ListItemAnswer> ItemAt(POINT point, const PressView& view)
{
    POINT client = point;
    ::ScreenToClient(view.under, &client);
    const std::optional<LRESULT> hit = Ask(view.under, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    // The high word is 1 when the point lies beyond the last item.
    if (!hit || HIWORD(*hit) != 0)
        return std::nullopt;
    const WPARAM index = LOWORD(*hit);
    ListItemAnswer item;
    const std::optional<LRESULT> length = Ask(view.under, LB_GETTEXTLEN, index);
    if (HasItemTexts(view.window.style) && length && *length > 0 && *length <= kMaxItemChars) {
        const auto text = std::make_unique<wchar_t[]>(kItemBufferChars);
        const std::optional<LRESULT> got =
            Ask(view.under, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.get()));
        if (got && *got > 0 && *got <= kMaxItemChars)
            item.text = Utf8OfWide(text.get(), static_cast<int>(*got));
    }
    RECT rect{};
    if (Ask(view.under, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)).value_or(LB_ERR) != LB_ERR) {
        ::MapWindowPoints(view.under, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        item.rect = StepRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }
    item.selected = Ask(view.under, LB_GETSEL, index).value_or(0) > 0;
    return item;
}

bool InClientArea(HWND window, POINT point)
{
    RECT client{};
    ::GetClientRect(window, &client);
    ::ScreenToClient(window, &point);
    return ::PtInRect(&client, point) != FALSE;
}

} // namespace

WindowAnswer AskWindow(POINT point, const PressView& view)
{
    WindowAnswer answer;
    const WindowKind kind = KindOfClass(view.window.className);
    answer.text = OwnText(view.under, kind);
    if (kind == WindowKind::Button && IsCheckStyle(view.window.style))
        answer.check = static_cast<int>(Ask(view.under, BM_GETCHECK).value_or(-1));
    if (kind == WindowKind::ListBox)
        answer.listItem = ItemAt(point, view);
    if (AsksHitTest(view.under == view.root, InClientArea(view.under, point)))
        answer.hitTest =
            static_cast<int>(Ask(view.root, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)).value_or(0));
    return answer;
}
