#pragma once
#include "common/win32/ModalDialog.h"

// The About box; its text follows the current language.
class CAboutDlg : public CModalDialog
{
public:
    CAboutDlg();

protected:
    bool OnInit() override;
};
