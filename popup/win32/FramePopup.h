#pragma once
#include "common/win32/ModelessDialog.h"

// The always-on-top strip with the frame and offset values and the Return button. Created hidden
// without a parent by the main dialog's constructor, shown by its initialisation and by Pop up.
class CFramePopup : public CModelessDialog
{
public:
    CFramePopup();

    // Shows the popup and gives it the keyboard focus.
    void PopUp();
    // Puts the texts of `language` on the popup's controls.
    void ApplyTexts(int language);

protected:
    bool OnInit() override;
    bool OnButtonClicked(int buttonId) override;
    // Enter takes the typed values over; the popup stays open.
    void OnOK() override;
    void OnActivate(int state) override;
    bool OnNcHitTest(LRESULT& hit) override;

private:
    // An edit for one of the values, with its spin button.
    void PrepareValue(int editId, int spinId, int value);
    void Validate();
    void OnReturn();
    void ShowValues();
};
