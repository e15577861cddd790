#include "app/win32/CaptureApp.h"

#include "app/win32/CaptureDlg.h"

#include <commctrl.h>

int CCaptureApp::Run()
{
    // The popup's spin buttons are common controls; their window class must exist before the main
    // dialog's constructor creates the popup.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    CCaptureDlg dialog;
    dialog.DoModal(nullptr);
    return 0;
}
