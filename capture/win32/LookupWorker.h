#pragma once
// The one long-lived thread that looks up what was under the pointer at each press. An MSAA call waits
// as long as the program under the pointer is busy, with no time-out of its own, so it never runs on
// the dialog's thread: the press hands its request over and goes on, and the answer is announced to
// the dialog by a posted message. The thread owns no windows and has COM in its multithreaded
// apartment. It is never terminated: a lookup stuck in a hung program is left to come back by itself,
// and until it does, new requests are turned away at once.
#include "capture/win32/PointerLookup.h"
#include "common/win32/Handles.h"

#include <cstdint>
#include <memory>
#include <vector>

struct LookupRequest
{
    int press = 0;
    POINT point{};
    PressView view;
    uint64_t issuedAt = 0; // GetTickCount64
};

struct LookupAnswer
{
    int press = 0;
    // False when the request waited behind a stuck lookup past kLookupLimitMs and was not looked up.
    bool made = false;
    PointerFacts facts;
    uint64_t doneAt = 0;
};

class CLookupWorker
{
public:
    CLookupWorker();
    // Asks the thread to end and waits a while for it, letting it finish a call into this process's own
    // windows meanwhile; a thread still stuck then is left to end with the process.
    ~CLookupWorker();
    CLookupWorker(const CLookupWorker&) = delete;
    CLookupWorker& operator=(const CLookupWorker&) = delete;

    // After each answer `message` is posted to `window`.
    void Notify(HWND window, UINT message);
    // Queues the request, starting the thread on first use. False, with nothing queued, while a lookup
    // has been stuck for longer than kLookupLimitMs, or when no thread could be started.
    bool Ask(const LookupRequest& request);
    // The answers that came since the last call, oldest first.
    std::vector<LookupAnswer> TakeAnswers();

private:
    struct CShared;
    static DWORD WINAPI Run(LPVOID shared);

    std::shared_ptr<CShared> m_shared;
    CKernelHandle m_thread;
};
