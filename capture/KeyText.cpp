#include "capture/KeyText.h"

#include "common/TextFormat.h"

std::string CaptureKeyText(int keyCode, bool shift, bool ctrl, bool alt)
{
    std::string text;
    if (ctrl)
        text += "Ctrl+";
    if (alt)
        text += "Alt+";
    if (shift)
        text += "Shift+";
    char key[16];
    FormatText(key, sizeof key, "F%i", {keyCode - 111});
    return text + key;
}
