#pragma once
#include "common/win32/Dialog.h"

// A dialog that lives beside the others until it is destroyed; Enter and Escape hide it, as EndDialog
// does for a modeless dialog.
class CModelessDialog : public CDialog
{
public:
    // Makes the window; it shows itself only if its template says so.
    bool Create(HWND owner) { return CreateFromTemplate(owner); }

protected:
    using CDialog::CDialog;

    void OnOK() override { Hide(); }
    void OnCancel() override { Hide(); }
    void Hide() const { ::ShowWindow(Handle(), SW_HIDE); }
};
