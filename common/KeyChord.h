#pragma once
// A key chord pressed in the recorded program (Ctrl+S, Alt+F4): which key-downs the keyboard hook
// reports to the main dialog, and how one travels in a message. Header-only, so that the hook library,
// which links nothing of the program, decides by the same rule that the native tests check.
#include "common/CaptureKey.h"

#include <cstdint>

// What the hook knows of one key-down in the recorded program: the key and its modifiers, and what
// tells a chord from typing.
struct KeyDown : CaptureKey
{
    // The right Alt key is down: with Ctrl it is AltGr, which types characters on many layouts.
    bool rightAlt = false;
    // The key is one of the extended keys (lParam bit 24): the arrow and editing keys beside the main
    // block, as opposed to the same codes from the number pad with Num Lock off.
    bool extended = false;
    // The character the key types without modifiers in the program's keyboard layout, 0 for none.
    char32_t character = 0;
};

namespace keychord {

// Virtual-key codes, as Windows numbers them.
constexpr int kBackspace = 0x08, kTab = 0x09, kClear = 0x0C, kEnter = 0x0D, kShift = 0x10, kControl = 0x11,
              kMenu = 0x12, kPause = 0x13, kEscape = 0x1B, kSpace = 0x20, kPageUp = 0x21, kPageDown = 0x22,
              kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28,
              kPrintScreen = 0x2C, kInsert = 0x2D, kDelete = 0x2E, kDigit0 = 0x30, kDigit9 = 0x39,
              kLetterA = 0x41, kLetterZ = 0x5A, kLeftWin = 0x5B, kRightWin = 0x5C, kApps = 0x5D,
              kNumpad0 = 0x60, kNumpad9 = 0x69, kMultiply = 0x6A, kAdd = 0x6B, kSubtract = 0x6D,
              kDecimal = 0x6E, kDivide = 0x6F, kF1 = 0x70, kF24 = 0x87, kLeftShift = 0xA0, kRightMenu = 0xA5,
              kOemFirst = 0xBA, kOemLast = 0xE2;

struct NamedKey
{
    int key;
    const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {kBackspace, "Backspace"}, {kTab, "Tab"},       {kEnter, "Enter"},
    {kPause, "Pause"},         {kEscape, "Esc"},    {kSpace, "Space"},
    {kPageUp, "PgUp"},         {kPageDown, "PgDn"}, {kEnd, "End"},
    {kHome, "Home"},           {kLeft, "Left"},     {kUp, "Up"},
    {kRight, "Right"},         {kDown, "Down"},     {kPrintScreen, "PrtSc"},
    {kInsert, "Ins"},          {kDelete, "Del"},    {kApps, "Menu"},
    {kMultiply, "Num *"},      {kAdd, "Num +"},     {kSubtract, "Num -"},
    {kDecimal, "Num ."},       {kDivide, "Num /"},
};

constexpr bool IsModifierKey(int key)
{
    return key == kShift || key == kControl || key == kMenu || key == kLeftWin || key == kRightWin ||
           (key >= kLeftShift && key <= kRightMenu);
}

// Number-pad keys that, with Alt held, type a character by its code (Alt+0169 gives ©): the digits, and
// the same keys with Num Lock off, which come as the arrow and editing codes without the extended flag.
constexpr bool IsAltCodeKey(const KeyDown& down)
{
    if ((down.vk >= kNumpad0 && down.vk <= kNumpad9) || down.vk == kAdd) // Num + starts a hex code
        return true;
    const bool padCode = down.vk == kClear || down.vk == kInsert || (down.vk >= kPageUp && down.vk <= kDown);
    return padCode && !down.extended;
}

// A key of the main block whose meaning depends on the layout is named by the character it types there,
// where that is printable ASCII and no letter or digit.
constexpr bool IsNamingCharacter(char32_t c)
{
    return c > U' ' && c < 0x7F && !(c >= U'0' && c <= U'9') && !(c >= U'A' && c <= U'Z') &&
           !(c >= U'a' && c <= U'z');
}

} // namespace keychord

// Whether the key has a name in chord text; a key without one is never reported.
constexpr bool HasChordName(int key, char32_t character)
{
    using namespace keychord;
    if ((key >= kLetterA && key <= kLetterZ) || (key >= kDigit0 && key <= kDigit9) ||
        (key >= kNumpad0 && key <= kNumpad9) || (key >= kF1 && key <= kF24))
        return true;
    for (const NamedKey& named : kNamedKeys)
        if (named.key == key)
            return true;
    return key >= kOemFirst && key <= kOemLast && IsNamingCharacter(character);
}

// Whether the hook reports a key-down as a chord: Ctrl or Alt is held, the key is not itself a modifier,
// it has a name, and it does not type a character. AltGr (Ctrl with the right Alt) types "@" or "€" on
// many layouts, and Alt with a number-pad key types a character by its code: both are typing, whatever
// the layout, and typing is never reported.
constexpr bool IsReportedChord(const KeyDown& down)
{
    if (!down.ctrl && !down.alt)
        return false;
    if (keychord::IsModifierKey(down.vk) || !HasChordName(down.vk, down.character))
        return false;
    if (down.ctrl && down.rightAlt)
        return false;
    return !(down.alt && !down.ctrl && keychord::IsAltCodeKey(down));
}

// A reported chord travels in one message: wParam holds the key and the modifiers (PackKey), lParam the
// character.
constexpr KeyDown UnpackChord(uint32_t packed, char32_t character)
{
    KeyDown down;
    static_cast<CaptureKey&>(down) = UnpackKey(packed);
    down.character = character;
    return down;
}
