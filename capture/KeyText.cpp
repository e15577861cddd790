#include "capture/KeyText.h"

#include "common/TextFormat.h"

namespace {

std::string ModifierPrefix(bool shift, bool ctrl, bool alt)
{
    std::string text;
    if (ctrl)
        text += "Ctrl+";
    if (alt)
        text += "Alt+";
    if (shift)
        text += "Shift+";
    return text;
}

std::string KeyName(const KeyDown& chord)
{
    using namespace keychord;
    const int key = chord.key;
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

std::string CaptureKeyText(int keyCode, bool shift, bool ctrl, bool alt)
{
    char key[16];
    FormatText(key, sizeof key, "F%i", {keyCode - 111});
    return ModifierPrefix(shift, ctrl, alt) + key;
}

std::string ChordText(const KeyDown& chord)
{
    const std::string key = KeyName(chord);
    return key.empty() ? key : ModifierPrefix(chord.shift, chord.ctrl, chord.alt) + key;
}
