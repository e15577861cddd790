#include "app/win32/AboutDlg.h"

#include "res/resource.h"
#include "state/TextTable.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnInit()
{
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_TEXT, LanguageText(g_texts.current, kTextAboutBox));
    CentreOnOwner();
    return true;
}
