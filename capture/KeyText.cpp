#include "capture/KeyText.h"

#include "common/TextFormat.h"

namespace {

std::string ModifierPrefix(const CaptureKey& key)
{
    std::string text;
    if (key.ctrl)
        text += "Ctrl+";
    if (key.alt)
        text += "Alt+";
    if (key.shift)
        text += "Shift+";
    return text;
}

std::string KeyName(const KeyDown& chord)
{
    using namespace keychord;
    const int key = chord.vk;
    if ((key >= kLetterA && key <= kLetterZ) || (key >= kDigit0 && key <= kDigit9))
        return std::string(1, static_cast<char>(key));
    if (key >= kNumpad0 && key <= kNumpad9)
        return "Num " + std::to_string(key - kNumpad0);
    if (key >= kF1 && key <= kF24)
        return "F" + std::to_string(key - kF1 + 1);
    for (const NamedKey& named : kNamedKeys)
        if (named.key == key)
            return named.name;
    if (HasChordName(key, chord.character))
        return std::string(1, static_cast<char>(chord.character));
    return {};
}

} // namespace

std::string CaptureKeyText(const CaptureKey& key)
{
    char name[16];
    FormatText(name, sizeof name, "F%i", {key.vk - 111});
    return ModifierPrefix(key) + name;
}

std::string ChordText(const KeyDown& chord)
{
    const std::string key = KeyName(chord);
    return key.empty() ? key : ModifierPrefix(chord) + key;
}
