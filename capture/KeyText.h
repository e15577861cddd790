#pragma once
#include "common/KeyChord.h"

#include <string>

// The capturing key as the main dialog shows it: modifiers always in the order Ctrl, Alt, Shift,
// then "F<n>" with n = key code - 111 ("Ctrl+Alt+Shift+F5").
std::string CaptureKeyText(const CaptureKey& key);

// A chord as the steps file records it, with the modifiers in the same order: "Ctrl+S", "Alt+F4",
// "Ctrl+Shift+Left", "Ctrl+/". Empty for a key without a name (HasChordName).
std::string ChordText(const KeyDown& chord);

constexpr int kVkF1 = 112;
constexpr int kVkF12 = 123;
