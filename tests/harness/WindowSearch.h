#pragma once
// Finding another process's windows and reading them: top-level windows, list texts, message boxes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The first top-level window of `processId` that `accept` takes; hidden ones only when not `visibleOnly`.
HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& accept, bool visibleOnly = true);
// Dialogs and message boxes both have this class.
bool IsDialogClass(HWND window);

// SendMessage with a timeout, so that a hung program fails a test instead of hanging it.
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
std::string WindowText(HWND window);
// The entries of another process's list box or combo box, read with the messages that give their count,
// an entry's length and an entry's text.
std::vector<std::string> ListTexts(HWND list, UINT countMessage, UINT lengthMessage, UINT textMessage);

enum class BoxIcon
{
    None,
    Error,
    Warning,
    Information,
};

struct MessageBoxInfo
{
    HWND window = nullptr;
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
};

// The message box's static control that holds its text.
constexpr int kMessageBoxTextId = 0xFFFF;

// Caption, text and icon of the message box `box`, once it has painted.
MessageBoxInfo ReadMessageBox(HWND box);

} // namespace e2e
