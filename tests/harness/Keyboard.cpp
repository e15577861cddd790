#include "harness/Keyboard.h"

#include "harness/Process.h"

#include <iterator>
#include <vector>

namespace e2e {

void Activate(HWND window)
{
    ::SetForegroundWindow(window);
    ::BringWindowToTop(window);
    WaitUntil([&] { return ::GetForegroundWindow() == window; }, 3s);
    Pump(100ms);
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

std::vector<INPUT> KeyChord(WORD key, std::initializer_list<WORD> modifiers)
{
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers)
        inputs.push_back(KeyInput(modifier, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        inputs.push_back(KeyInput(*it, true));
    return inputs;
}

void PressKey(const CaptureKey& key)
{
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, bool up) { inputs.push_back(KeyInput(vk, up)); };
    const WORD modifiers[] = {static_cast<WORD>(key.ctrl ? VK_CONTROL : 0),
                              static_cast<WORD>(key.alt ? VK_MENU : 0),
                              static_cast<WORD>(key.shift ? VK_SHIFT : 0)};
    for (WORD m : modifiers)
        if (m)
            add(m, false);
    add(static_cast<WORD>(key.vk), false);
    add(static_cast<WORD>(key.vk), true);
    const auto send = [&] {
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        inputs.clear();
        Pump(50ms);
    };
    // Released in one batch with the key, the modifiers would reach the application before anything
    // the hook sends in reply to the key.
    send();
    for (int i = 2; i >= 0; --i)
        if (modifiers[i])
            add(modifiers[i], true);
    if (!inputs.empty())
        send();
}

} // namespace e2e
