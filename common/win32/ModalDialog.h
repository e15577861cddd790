#pragma once
#include "common/win32/Dialog.h"

// A dialog that runs modally: DoModal returns when it ends.
//
// It runs its own message loop rather than DialogBox's: the loop gives every open dialog of the
// program, the modeless ones included, its keyboard navigation (IsDialogMessage), so Enter and Escape
// work in the frame popup while the main dialog is modal.
class CModalDialog : public CDialog
{
public:
    // Returns the value given to End, or -1 when the window could not be made or was destroyed before it
    // was shown (DestroyUnshown).
    INT_PTR DoModal(HWND owner);

protected:
    using CDialog::CDialog;

    void OnOK() override { End(IDOK); }
    void OnCancel() override { End(IDCANCEL); }

    void End(INT_PTR result);
    // From OnInit: the window is destroyed before it was ever shown and DoModal returns -1.
    void DestroyUnshown();

private:
    void EnableOwner();

    // The owner that DoModal disabled, until it is enabled again.
    HWND m_reenabledOwner = nullptr;
    bool m_ended = false;
    INT_PTR m_result = -1;
};
