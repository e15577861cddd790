#pragma once
// A dialog built from a template, modal or modeless, with one virtual handler per message.
//
// Modal dialogs run our own message loop rather than DialogBox's: the loop gives every open dialog of
// the program, the modeless ones included, its keyboard navigation (IsDialogMessage), so Enter and
// Escape work in the frame popup while the main dialog is modal.
#include <windows.h>

#include <vector>

class CDialog
{
public:
    explicit CDialog(int templateId) : m_templateId(templateId) {}
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally and returns the value given to End, or -1 when the window could not be
    // made or its initialisation refused (see Refuse).
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modeless; it shows itself only if its template says so.
    bool Create(HWND owner);
    void Destroy();

    HWND Handle() const { return m_hwnd; }
    HWND Item(int id) const { return ::GetDlgItem(m_hwnd, id); }

protected:
    // WM_INITDIALOG. Return FALSE when the focus was set by the handler.
    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND; return true when handled. The default ends the dialog on IDOK and IDCANCEL.
    virtual bool OnCommand(int id, int code, HWND control);
    // Any other message; return true and set `result` when handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Ends a modal dialog with `result`; a modeless one is hidden, as EndDialog does.
    void End(INT_PTR result);
    // From OnInitDialog: the window is destroyed before it was ever shown and DoModal returns -1.
    void Refuse();

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    static bool TranslateForOpenDialogs(MSG& msg);

    int m_templateId;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    bool m_ended = false;
    INT_PTR m_result = -1;

    static std::vector<CDialog*> s_open;
};
