#pragma once
// Real keyboard input, as a person's fingers give it.
#include "common/CaptureKey.h"

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace e2e {

// One key going down or up, as SendInput takes it.
INPUT KeyInput(WORD key, bool up);
// One press of `key` as events to send at once: the modifiers down, the key down and up, the modifiers
// up in reverse order.
std::vector<INPUT> KeyChord(WORD key, std::initializer_list<WORD> modifiers = {});
// Real key presses through SendInput; modifiers are pressed before and released after the key, a moment
// later, as a person's fingers would.
void PressKey(const CaptureKey& key);
// Brings `window` to the front so that it receives the keys.
void Activate(HWND window);

} // namespace e2e
