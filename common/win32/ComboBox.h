#pragma once
#include <windows.h>

// A combo box of a dialog, by its handle; the dialog owns the window.
class CComboBox
{
public:
    explicit CComboBox(HWND window) : m_window(window) {}

    int InsertString(int index, const char* text) const
    {
        return Send(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    }
    // CB_ERR when nothing is selected.
    int CurrentSelection() const { return Send(CB_GETCURSEL); }
    void SetCurrentSelection(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }

private:
    int Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return static_cast<int>(::SendMessageA(m_window, message, wParam, lParam));
    }

    HWND m_window;
};
