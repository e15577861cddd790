#pragma once
// A window of standard controls for the end-to-end tests of the steps file: a button, a label with an
// edit field, a password field with its label and a list box. Its layout is fixed, so a test can put
// the pointer on each control.
constexpr const char* kControlsTitle = "Flickmere Controls Target";

enum ControlsId : int
{
    kControlsSave = 101,
    kControlsUserLabel = 102,
    kControlsUser = 103,
    kControlsPasswordLabel = 104,
    kControlsPassword = 105,
    kControlsList = 106,
};

// The list box's items, "Item 1" to "Item <kControlsItems>".
constexpr int kControlsItems = 6;

// Posted to the window: its thread sleeps for lParam milliseconds, as a program that hangs.
constexpr unsigned kControlsHang = 0x8001; // WM_APP + 1
