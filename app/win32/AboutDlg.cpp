#include "app/win32/AboutDlg.h"

#include "res/resource.h"
#include "state/TextTable.h"

CAboutDlg::CAboutDlg() : CModalDialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnInit()
{
    SetItemText(IDC_ABOUT_TEXT, LanguageText(g_texts.current, kTextAboutBox));
    CentreOnOwner();
    return true;
}
