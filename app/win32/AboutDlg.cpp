#include "app/win32/AboutDlg.h"

#include "state/TextTable.h"
#include "res/resource.h"

CMyAbout::CMyAbout() : CDialog(IDD_ABOUTBOX) {}

BOOL CMyAbout::OnInitDialog()
{
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_TEXT, LanguageText(g_texts.current, kTextAboutBox));
    return TRUE;
}
