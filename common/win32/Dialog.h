#pragma once
// The base of every dialog built from a template: one virtual handler per message, and helpers for the
// dialog's items. CModalDialog and CModelessDialog add how the dialog runs.
#include <windows.h>

#include <string>
#include <vector>

class CDialog
{
public:
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    HWND Handle() const { return m_hwnd; }
    HWND Item(int id) const { return ::GetDlgItem(m_hwnd, id); }
    void Destroy();

    // The dialog's items, by id.
    void SetItemText(int id, const char* text) const;
    std::string ItemText(int id) const;
    void SetItemInt(int id, int value) const;
    void EnableItem(int id, bool enable) const;
    // Ticked or indeterminate.
    bool IsItemChecked(int id) const;
    LRESULT SendItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // The item's rectangle in the dialog's client coordinates, the ones MoveItem takes.
    RECT ItemRect(int id) const;
    void MoveItem(int id, int x, int y, int width, int height) const;
    // Moves the dialog to the middle of its owner window; a template's own position is relative to
    // the owner's top-left corner.
    void CentreOnOwner() const;

protected:
    explicit CDialog(int templateId) : m_templateId(templateId) {}

    // Makes the window; false when it could not be made or OnInit refused it.
    bool CreateFromTemplate(HWND owner);

    // One handler per message: a dialog overrides the ones it needs. Each returns whether it handled
    // the message; an unhandled message gets the dialog manager's default processing.

    // WM_INITDIALOG. Returns false when the handler set the focus itself.
    virtual bool OnInit() { return true; }
    // WM_COMMAND. The default sends BN_CLICKED on to OnButtonClicked.
    virtual bool OnCommand(int code, int itemId);
    // BN_CLICKED, also sent by the dialog manager for Enter (IDOK) and Escape (IDCANCEL).
    virtual bool OnButtonClicked(int buttonId);
    virtual void OnOK() = 0;
    virtual void OnCancel() = 0;
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
    // WM_DPICHANGED: the window moved to a monitor of another scale. The default moves the window to the
    // suggested rectangle and lets the dialog manager scale the controls and fonts, as per-monitor
    // aware dialogs do on Windows 10 1703 and later; OnLayout follows once that is done.
    virtual void OnDpiChanged(int dpi, const RECT& suggested);
    // Positions that the dialog works out itself rather than taking from its template.
    virtual void OnLayout() {}
    // Every other message, the program's own included.
    virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }

    // Gives every open dialog of the program its keyboard handling; true when `msg` was for one of
    // them and has been handled.
    static bool TranslateForOpenDialogs(MSG& msg);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    int m_templateId;
    HWND m_hwnd = nullptr;

    static std::vector<CDialog*> s_open;
};
