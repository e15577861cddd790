#pragma once
#include "common/win32/Dialog.h"

// The always-on-top strip with the frame and offset values and the Return button. Created hidden
// without a parent by the main dialog's constructor, shown by its initialisation and by Pop up.
class CFrameRate : public CDialog
{
public:
    CFrameRate();

    // Shows the popup and gives it the keyboard focus.
    void PopUp();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Validate();
    void OnReturn();
    void ShowValues();
};
