#pragma once
#include "common/win32/Dialog.h"

// The About box; its text follows the current language.
class CMyAbout : public CDialog
{
public:
    CMyAbout();

protected:
    BOOL OnInitDialog() override;
};
