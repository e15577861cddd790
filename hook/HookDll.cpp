// The global keyboard hook. SetWindowsHookExA(WH_KEYBOARD, ..., 0) makes Windows load this DLL into
// every process that reads keyboard input and run SpyGetF12Proc there, so everything the hook needs to
// know lives in a section shared by all processes that map the DLL: a change made by the program is
// seen at once by the hooks running inside the recorded applications.
//
// The same source builds HookDll32.dll, the 32-bit twin, with a shared section of its own. For the
// length of a session a 32-bit helper (FlickmereHook32.exe) installs it, so that programs of either
// bitness are recorded; TakesPress says which of the two libraries takes a press.
//
// Behaviour chosen for the capturing key:
// - Only the first key-down of a press posts; auto-repeats (previous-state bit 30 set) and the key-up
//   do not.
// - The modifiers must match exactly: Shift, Ctrl and Alt each down if and only if chosen, as
//   GetKeyState sees them for the message being processed (see IsDown for the one exception).
// - The key is swallowed (down, repeats and up, when the modifiers match) so the recorded application
//   never reacts to it; a browser would open its developer tools on F12. Every other key, and every
//   negative code, goes on to CallNextHookEx.
// - HC_NOREMOVE (an application peeking with PM_NOREMOVE) is swallowed like HC_ACTION. Swallowing a
//   peeked message makes the system discard it, so the same press never comes back as HC_ACTION: the
//   hook posts for the first key-down under either code and each press still posts exactly once.
// - With Alt among the modifiers, the recorded application would see Alt go down and up with nothing
//   in between (the function key never reaches it), which makes many programs enter menu mode. So the
//   first Alt release after a swallowed capturing key is held back, and an unassigned key down and up,
//   then the Alt release, are sent in its place: the application sees Alt used in a chord. Sending the
//   unassigned key at the capturing key's key-down instead is not enough: when the four key events
//   come at machine speed (macro tools, remote desktops, on-screen keyboards), the Alt release is
//   already queued behind the key, and the injected key would arrive after it. What the hook sends
//   carries kInjectedMark in dwExtraInfo and is let through.
// - SETCAPTUREKEY stores what it is given; the program only passes VK_F1..VK_F12.
// - The key is F12 without modifiers until the program picks another. The shared section outlives the
//   program: Windows unloads a hook library from the processes it was loaded into only lazily, so the
//   key of an earlier run may still be there. The first SETWINDOWNAME of a process, which the program
//   makes at start-up and before any SETCAPTUREKEY, therefore puts F12 back.
// - The message goes to the top-level window with the name given to SETWINDOWNAME that belongs to the
//   process which gave it: a folder or a document window carrying the program's title must not take
//   the captures. Until a name is given nothing is posted.
//
// Chords for the steps file: in the process SETRECORDEDPROCESS names (none until it does, and none again
// after the first SETWINDOWNAME of a process, like the key), the first key-down of a key pressed with
// Ctrl or Alt that IsReportedChord (common/KeyChord.h) takes is posted to the dialog as
// HOOKDLL_CHORD_MESSAGE. Nothing is reported from any other process, no plain key ever, and none of the
// keys the hook sends itself. The key goes on to the application either way.
#include "HookDll.h"
#include "common/KeyChord.h"
#include "common/win32/DynamicCalls.h"
#include "common/win32/Handles.h"
#include "hook/TwinHelperProtocol.h"

#include <cstring>
#include <iterator>

namespace {

constexpr LONG kDefaultCaptureKey = static_cast<LONG>(PackKey(CaptureKey{VK_F12}));
constexpr size_t kWindowNameSize = HOOKDLL_MAX_WINDOW_NAME + 1;

// Every shared variable needs an initialiser: without one MSVC leaves it out of the data_seg section,
// and gcc needs the attribute on each definition anyway. The key is kept packed (PackKey) in one word.
#if defined(_MSC_VER)
#pragma data_seg(".shr")
#define HOOKDLL_SHARED
#else
#define HOOKDLL_SHARED __attribute__((section(".shr"), shared))
#endif

volatile LONG g_captureKey HOOKDLL_SHARED = kDefaultCaptureKey;
char g_windowName[kWindowNameSize] HOOKDLL_SHARED = {'\0'};
volatile DWORD g_windowProcess HOOKDLL_SHARED = 0;
volatile DWORD g_recordedProcess HOOKDLL_SHARED = 0;

#if defined(_MSC_VER)
#pragma data_seg()
#pragma comment(linker, "/SECTION:.shr,RWS")
#endif

// Not shared: every process that loads the library starts with its own false.
bool g_namedByThisProcess = false;
// Not shared: the hook runs in the process that reads the keys. Set when a capturing key with Alt was
// swallowed here, until the Alt release that follows it (or a new Alt press).
bool g_holdAltRelease = false;

CaptureKey LoadCaptureKey()
{
    return UnpackKey(static_cast<uint32_t>(::InterlockedCompareExchange(&g_captureKey, 0, 0)));
}

void StoreCaptureKey(const CaptureKey& key)
{
    ::InterlockedExchange(&g_captureKey, static_cast<LONG>(PackKey(key)));
}

constexpr bool kThirtyTwoBit = sizeof(void*) == 4;

// Whether the 32-bit twin hooks `thread`: its helper holds the thread's mark while it does.
bool TwinHooksThread(DWORD thread)
{
    char name[kTwinMarkBytes];
    TwinMarkName(thread, name);
    return static_cast<bool>(CKernelHandle(::OpenMutexA(SYNCHRONIZE, FALSE, name)));
}

// Which of the two libraries takes a press: exactly one of them, whichever sees it first. Windows runs
// a hook library only in processes of its own bitness; for a program of the other bitness it calls the
// hook back in the thread that installed it (Flickmere's for this library), and Wine does not call it
// at all. The twin hooks only the recorded 32-bit program's thread, so it sees presses there alone.
// The rule: a press in a 32-bit (WOW64) program is the twin's where the twin hooks that program's
// thread, and this library's everywhere else, also when the bitness cannot be told. Both libraries
// decide alike for the same press, so it is posted once and swallowed by the one that posted it; the
// other passes it on.
bool TakesPress()
{
    DWORD process = 0;
    const DWORD thread = ::GetWindowThreadProcessId(::GetForegroundWindow(), &process);
    bool foregroundIs32Bit = kThirtyTwoBit;
    if (process != ::GetCurrentProcessId()) {
        foregroundIs32Bit = false;
        if (const CKernelHandle handle{::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process)}) {
            BOOL wow64 = FALSE;
            foregroundIs32Bit = ::IsWow64Process(handle.Get(), &wow64) && wow64;
        }
    }
    if constexpr (kThirtyTwoBit)
        return foregroundIs32Bit;
    return !foregroundIs32Bit || !TwinHooksThread(thread);
}

// GetKeyState answers as of the key message being processed, which stays right when all the events
// of a chord are queued at once and the keyboard itself has the modifiers up again before the
// application reads the key. But it answers for the calling thread's own messages: where Windows
// calls the hook back in the installing thread, it would read Flickmere's or the helper's state. There
// the keyboard's state (GetAsyncKeyState) is read instead, right for a press made as a person makes it.
bool IsDown(int virtualKey, bool inReadingThread)
{
    const SHORT state = inReadingThread ? ::GetKeyState(virtualKey) : ::GetAsyncKeyState(virtualKey);
    return (state & 0x8000) != 0;
}

bool InReadingThread()
{
    return ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr) == ::GetCurrentThreadId();
}

bool IsCapturingKey(WPARAM virtualKey)
{
    const CaptureKey capture = LoadCaptureKey();
    if (virtualKey != static_cast<WPARAM>(capture.vk) || !TakesPress())
        return false;
    const bool inReadingThread = InReadingThread();
    return IsDown(VK_SHIFT, inReadingThread) == capture.shift &&
           IsDown(VK_CONTROL, inReadingThread) == capture.ctrl &&
           IsDown(VK_MENU, inReadingThread) == capture.alt;
}

bool IsFirstKeyDown(LPARAM keyInfo)
{
    // Bit 31 is set for a key-up, bit 30 when the key was already down (an auto-repeat).
    return (keyInfo & 0xC0000000) == 0;
}

bool IsKeyUp(LPARAM keyInfo)
{
    return (keyInfo & 0x80000000) != 0;
}

// No virtual-key code is assigned to 0xE8, so no application gives it a meaning.
constexpr WORD kMaskKey = 0xE8;
// dwExtraInfo of the key events the hook sends itself ("FLKM").
constexpr ULONG_PTR kInjectedMark = 0x464C4B4D;

INPUT InjectedKey(WORD virtualKey, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.ki.dwExtraInfo = kInjectedMark;
    return input;
}

// In place of the Alt release held back: the mask key down and up, then Alt up.
void ReleaseAltAfterMaskKey()
{
    INPUT inputs[] = {InjectedKey(kMaskKey, false), InjectedKey(kMaskKey, true), InjectedKey(VK_MENU, true)};
    ::SendInput(static_cast<UINT>(std::size(inputs)), inputs, sizeof(INPUT));
}

// True when the hook swallows this Alt event: the first Alt release after a swallowed capturing key
// with Alt, unless the hook sent it itself.
bool HoldBackAltRelease(WPARAM virtualKey, LPARAM keyInfo)
{
    if (virtualKey != VK_MENU || !g_holdAltRelease ||
        ::GetMessageExtraInfo() == static_cast<LPARAM>(kInjectedMark))
        return false;
    if (!IsKeyUp(keyInfo)) {
        // A new Alt press: the release that was waited for went to another process.
        if (IsFirstKeyDown(keyInfo))
            g_holdAltRelease = false;
        return false;
    }
    g_holdAltRelease = false;
    ReleaseAltAfterMaskKey();
    return true;
}

// The cursor in physical pixels, the unit of the program's window rectangles and grabs. The hook runs
// on the recorded application's thread: in a program that is not DPI aware, on a scaled display,
// GetCursorPos answers logical (scaled) coordinates. So the thread is made per-monitor aware for this
// one call and then put back as it was. SetThreadDpiAwarenessContext exists from Windows 10 1607 on;
// before that, and where V2 is unknown, the older context or plain GetCursorPos does.
bool PhysicalCursorPos(POINT& cursor)
{
    const auto setContext = dyncall::SetThreadDpiAwarenessContext();
    if (!setContext)
        return ::GetCursorPos(&cursor) != FALSE;
    DPI_AWARENESS_CONTEXT previous = setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (!previous)
        previous = setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    const bool read = ::GetCursorPos(&cursor) != FALSE;
    if (previous)
        setContext(previous);
    return read;
}

// Only a window of the process that named itself counts, whatever other windows share the name, above
// or below it.
HWND FindNamedWindow(const char* name, DWORD process)
{
    HWND window = nullptr;
    while ((window = ::FindWindowExA(nullptr, window, nullptr, name)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == process)
            return window;
    }
    return nullptr;
}

HWND FindDialog()
{
    // Copy first: the program may rename its dialog while this runs in another process, and the
    // copy is NUL-terminated whatever the shared buffer holds.
    char name[kWindowNameSize];
    std::memcpy(name, g_windowName, sizeof name);
    name[sizeof name - 1] = '\0';
    return name[0] == '\0' ? nullptr : FindNamedWindow(name, g_windowProcess);
}

void PostCapture()
{
    HWND dialog = FindDialog();
    POINT cursor;
    if (dialog == nullptr || !PhysicalCursorPos(cursor))
        return;
    // Sign-extended, so a cursor on a monitor left of the primary one reads back as a negative int.
    ::PostMessageA(dialog, HOOKDLL_CAPTURE_MESSAGE, static_cast<WPARAM>(static_cast<LONG_PTR>(cursor.x)),
                   static_cast<LPARAM>(cursor.y));
}

// A key-down in the recorded process that is a chord goes to the dialog; see the top of this file.
void ReportChord(WPARAM virtualKey, LPARAM keyInfo)
{
    const DWORD recorded = g_recordedProcess;
    if (recorded == 0 || recorded != ::GetCurrentProcessId() ||
        ::GetMessageExtraInfo() == static_cast<LPARAM>(kInjectedMark))
        return;
    const bool inReadingThread = InReadingThread();
    KeyDown down;
    down.vk = static_cast<int>(virtualKey);
    down.ctrl = IsDown(VK_CONTROL, inReadingThread);
    down.alt = IsDown(VK_MENU, inReadingThread);
    down.shift = IsDown(VK_SHIFT, inReadingThread);
    down.rightAlt = IsDown(VK_RMENU, inReadingThread);
    down.extended = (keyInfo & (1 << 24)) != 0;
    // In this thread's keyboard layout; a dead key has the top bit set and names nothing.
    const UINT character = ::MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_CHAR);
    down.character = (character & 0x80000000u) != 0 ? 0 : static_cast<char32_t>(character & 0xFFFF);
    if (!IsReportedChord(down))
        return;
    if (HWND dialog = FindDialog())
        ::PostMessageA(dialog, HOOKDLL_CHORD_MESSAGE, PackKey(down), static_cast<LPARAM>(down.character));
}

} // namespace

extern "C" {

// Exported as _SPYGETF12PROC@12 through HookDll.def. Nothing in here throws: the procedure runs on
// foreign threads inside other applications.
LRESULT CALLBACK SpyGetF12Proc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    if (code == HC_ACTION || code == HC_NOREMOVE) {
        if (IsCapturingKey(wParam)) {
            if (IsFirstKeyDown(lParam)) {
                PostCapture();
                if (LoadCaptureKey().alt)
                    g_holdAltRelease = true;
            }
            return 1;
        }
        if (HoldBackAltRelease(wParam, lParam))
            return 1;
        // A peeked key comes again as HC_ACTION: reported then, once.
        if (code == HC_ACTION && IsFirstKeyDown(lParam))
            ReportChord(wParam, lParam);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void WINAPI SETCAPTUREKEY(int virtualKey, bool shift, bool ctrl, bool alt)
{
    StoreCaptureKey(CaptureKey{virtualKey, ctrl, alt, shift});
}

void WINAPI GETCAPTUREKEY(int* virtualKey, bool* shift, bool* ctrl, bool* alt)
{
    const CaptureKey capture = LoadCaptureKey();
    if (virtualKey)
        *virtualKey = capture.vk;
    if (shift)
        *shift = capture.shift;
    if (ctrl)
        *ctrl = capture.ctrl;
    if (alt)
        *alt = capture.alt;
}

void WINAPI SETWINDOWNAME(const char* windowName)
{
    SETWINDOWNAMEOF(windowName, ::GetCurrentProcessId());
}

void WINAPI SETWINDOWNAMEOF(const char* windowName, DWORD process)
{
    // A hook in another process may copy the buffer meanwhile; it terminates its own copy, so the worst
    // it sees is a mixed name that matches no window, for that one press.
    size_t length = windowName ? ::strnlen(windowName, kWindowNameSize - 1) : 0;
    std::memcpy(g_windowName, windowName ? windowName : "", length);
    g_windowName[length] = '\0';
    g_windowProcess = process;
    if (!g_namedByThisProcess) {
        g_namedByThisProcess = true;
        ::InterlockedExchange(&g_captureKey, kDefaultCaptureKey);
        g_recordedProcess = 0;
    }
}

void WINAPI SETRECORDEDPROCESS(DWORD process)
{
    g_recordedProcess = process;
}

} // extern "C"
