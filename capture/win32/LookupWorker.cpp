#include "capture/win32/LookupWorker.h"

#include "capture/StepJournal.h"

#include <deque>
#include <exception>
#include <mutex>

namespace {

// How long the dialog waits for the thread at the end, letting it finish a call into the dialog's own
// windows.
constexpr DWORD kEndWaitMs = 1000;

} // namespace

// Shared by the dialog's thread and the worker, which keeps it alive however long it stays stuck.
struct CLookupWorker::CShared
{
    std::mutex lock;
    std::deque<LookupRequest> requests;
    std::vector<LookupAnswer> answers;
    uint64_t busySince = 0; // when the lookup in hand started; 0 while none is
    bool stop = false;
    HWND notifyWindow = nullptr;
    UINT notifyMessage = 0;
    CKernelHandle wake{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
};

CLookupWorker::CLookupWorker() : m_shared(std::make_shared<CShared>()) {}

CLookupWorker::~CLookupWorker()
{
    if (!m_thread)
        return;
    {
        const std::lock_guard<std::mutex> guard(m_shared->lock);
        m_shared->stop = true;
    }
    ::SetEvent(m_shared->wake.Get());
    // The thread may be inside an MSAA call into this thread's windows: their sent messages are
    // answered while waiting, and nothing posted is taken from the queue.
    const uint64_t end = ::GetTickCount64() + kEndWaitMs;
    for (uint64_t now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
        const HANDLE thread = m_thread.Get();
        const DWORD woke =
            ::MsgWaitForMultipleObjects(1, &thread, FALSE, static_cast<DWORD>(end - now), QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void CLookupWorker::Notify(HWND window, UINT message)
{
    const std::lock_guard<std::mutex> guard(m_shared->lock);
    m_shared->notifyWindow = window;
    m_shared->notifyMessage = message;
}

bool CLookupWorker::Ask(const LookupRequest& request)
{
    if (!m_shared->wake)
        return false;
    if (!m_thread) {
        auto* shared = new std::shared_ptr<CShared>(m_shared);
        m_thread.Reset(::CreateThread(nullptr, 0, Run, shared, 0, nullptr));
        if (!m_thread) {
            delete shared;
            return false;
        }
    }
    {
        const std::lock_guard<std::mutex> guard(m_shared->lock);
        const uint64_t busySince = m_shared->busySince;
        if (busySince != 0 && request.issuedAt > busySince + kLookupLimitMs)
            return false;
        m_shared->requests.push_back(request);
    }
    ::SetEvent(m_shared->wake.Get());
    return true;
}

std::vector<LookupAnswer> CLookupWorker::TakeAnswers()
{
    const std::lock_guard<std::mutex> guard(m_shared->lock);
    std::vector<LookupAnswer> answers;
    answers.swap(m_shared->answers);
    return answers;
}

DWORD WINAPI CLookupWorker::Run(LPVOID param)
{
    const std::unique_ptr<std::shared_ptr<CShared>> owner(static_cast<std::shared_ptr<CShared>*>(param));
    CShared& shared = **owner;
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        CPointerLookup lookup;
        for (;;) {
            LookupRequest request;
            {
                std::unique_lock<std::mutex> guard(shared.lock);
                if (shared.stop)
                    break;
                if (shared.requests.empty()) {
                    guard.unlock();
                    ::WaitForSingleObject(shared.wake.Get(), INFINITE);
                    continue;
                }
                request = std::move(shared.requests.front());
                shared.requests.pop_front();
                shared.busySince = ::GetTickCount64();
            }
            LookupAnswer answer;
            answer.press = request.press;
            answer.made = ::GetTickCount64() - request.issuedAt <= kLookupLimitMs;
            // An answer that cannot be made (memory short) is no answer: the press keeps its own record.
            try {
                if (answer.made)
                    answer.facts = lookup.LookUp(request.point, request.view);
            } catch (const std::exception&) {
                answer.made = false;
            }
            answer.doneAt = ::GetTickCount64();
            HWND window = nullptr;
            UINT message = 0;
            {
                const std::lock_guard<std::mutex> guard(shared.lock);
                shared.busySince = 0;
                shared.answers.push_back(std::move(answer));
                window = shared.notifyWindow;
                message = shared.notifyMessage;
            }
            if (window)
                ::PostMessageA(window, message, 0, 0);
        }
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return 0;
}
