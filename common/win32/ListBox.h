#pragma once
#include <windows.h>

#include <string>

// A list box of a dialog, by its handle; the dialog owns the window.
class CListBox
{
public:
    explicit CListBox(HWND window) : m_window(window) {}

    HWND Handle() const { return m_window; }
    // Adds in the list's own order (sorted when the list sorts); returns the position, or LB_ERR.
    int AddString(const char* text) const { return Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    int InsertString(int index, const char* text) const
    {
        return Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    }
    void ResetContent() const { Send(LB_RESETCONTENT); }
    int Count() const { return Send(LB_GETCOUNT); }
    // LB_ERR when nothing is selected.
    int CurrentSelection() const { return Send(LB_GETCURSEL); }
    void SetCurrentSelection(int index) const { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
    LPARAM ItemData(int index) const
    {
        return ::SendMessageA(m_window, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    }
    void SetItemData(int index, LPARAM data) const
    {
        ::SendMessageA(m_window, LB_SETITEMDATA, static_cast<WPARAM>(index), data);
    }
    // The entry's text; empty for a position that holds none.
    std::string Text(int index) const
    {
        const int length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
        if (length <= 0)
            return {};
        std::string text(static_cast<size_t>(length) + 1, '\0');
        const int copied =
            Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        return text;
    }

private:
    int Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return static_cast<int>(::SendMessageA(m_window, message, wParam, lParam));
    }

    HWND m_window;
};
