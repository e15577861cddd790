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
    // One handler per message, in the manner of MFC and 7-Zip: a dialog overrides the ones it needs.
    // Each returns whether it handled the message; an unhandled message gets the default processing.

    // WM_INITDIALOG. Returns false when the handler set the focus itself.
    virtual bool OnInit() { return true; }
    // WM_COMMAND. The default sends BN_CLICKED on to OnButtonClicked.
    virtual bool OnCommand(int code, int itemId);
    // BN_CLICKED, also sent by the dialog manager for Enter (IDOK) and Escape (IDCANCEL).
    virtual bool OnButtonClicked(int buttonId);
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    // WM_CLOSE. The default processing turns it into IDCANCEL.
    virtual bool OnClose() { return false; }
    // WM_PAINT.
    virtual bool OnPaint() { return false; }
    // WM_QUERYDRAGICON: the icon shown while a minimised dialog is dragged, or none.
    virtual HICON OnQueryDragIcon() { return nullptr; }
    // WM_ACTIVATE with WA_ACTIVE, WA_CLICKACTIVE or WA_INACTIVE; the default processing follows.
    virtual void OnActivate(int /*state*/) {}
    // WM_TIMER of a timer set on the dialog without a callback.
    virtual bool OnTimer(UINT_PTR /*timerId*/) { return false; }
    // WM_NCHITTEST: where the point lies, as an HT* code.
    virtual bool OnNcHitTest(LRESULT& /*hit*/) { return false; }
    // The program's own messages, WM_USER and above.
    virtual bool OnUserMessage(UINT /*message*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }

    // Ends a modal dialog with `result`; a modeless one is hidden, as EndDialog does.
    void End(INT_PTR result);
    // From OnInit: the window is destroyed before it was ever shown and DoModal returns -1.
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
