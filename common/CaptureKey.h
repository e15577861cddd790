#pragma once
// A key with the modifiers that go with it: the capturing key, and the key of a chord the hook reports.
// Header-only: the hook library links nothing of the program.
#include <cstdint>

struct CaptureKey
{
    int vk = 0; // virtual-key code, below 256 as Windows numbers them
    bool ctrl = false;
    bool alt = false;
    bool shift = false;

    constexpr bool operator==(const CaptureKey& other) const
    {
        return vk == other.vk && ctrl == other.ctrl && alt == other.alt && shift == other.shift;
    }
    constexpr bool operator!=(const CaptureKey& other) const { return !(*this == other); }
};

// Wherever a key travels as one number (the hook library's shared section, a message's wParam, the
// 32-bit helper's command line) it is packed one way: the key code in the low byte, then Ctrl, Alt and
// Shift. One number also changes at once: a hook reading it never pairs a new key with old modifiers.
constexpr uint32_t kPackedKeyMask = 0xFF;
constexpr uint32_t kPackedCtrl = 0x100;
constexpr uint32_t kPackedAlt = 0x200;
constexpr uint32_t kPackedShift = 0x400;

constexpr uint32_t PackKey(const CaptureKey& key)
{
    return (static_cast<uint32_t>(key.vk) & kPackedKeyMask) | (key.ctrl ? kPackedCtrl : 0) |
           (key.alt ? kPackedAlt : 0) | (key.shift ? kPackedShift : 0);
}

constexpr CaptureKey UnpackKey(uint32_t packed)
{
    CaptureKey key;
    key.vk = static_cast<int>(packed & kPackedKeyMask);
    key.ctrl = (packed & kPackedCtrl) != 0;
    key.alt = (packed & kPackedAlt) != 0;
    key.shift = (packed & kPackedShift) != 0;
    return key;
}
