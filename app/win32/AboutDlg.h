#pragma once
#include "app/win32/Dialog.h"

// The About box; its text follows the current language.
class CMyAbout : public CDialog
{
public:
    CMyAbout();

protected:
    BOOL OnInitDialog() override;
};
