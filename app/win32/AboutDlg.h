#pragma once
#include "common/win32/Dialog.h"

// The About box; its text follows the current language.
class CAboutDlg : public CDialog
{
public:
    CAboutDlg();

protected:
    bool OnInit() override;
};
