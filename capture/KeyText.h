#pragma once
#include <string>

// The capturing key as the main dialog shows it: modifiers always in the order Ctrl, Alt, Shift,
// then "F<n>" with n = key code - 111 ("Ctrl+Alt+Shift+F5").
std::string CaptureKeyText(int keyCode, bool shift, bool ctrl, bool alt);

constexpr int kVkF1 = 112;
constexpr int kVkF12 = 123;
