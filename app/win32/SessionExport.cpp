#include "app/win32/SessionExport.h"

#include "common/win32/CodePages.h"
#include "export/SessionFiles.h"

#include <algorithm>
#include <exception>

void CSessionExport::Prepare(const char* workDir, HWND window, UINT message)
{
    m_workDir = WideFromCodePage(CP_ACP, workDir);
    m_window = window;
    m_message = message;
}

void CSessionExport::Add(int session)
{
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        if (std::find(m_waiting.begin(), m_waiting.end(), session) == m_waiting.end())
            m_waiting.push_back(session);
        if (m_running)
            return;
        m_running = true;
    }
    // The thread that ran last has left its loop (m_running was false) and is about to end.
    if (m_thread)
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (m_thread)
        return;
    std::deque<int> lost;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_running = false;
        lost.swap(m_waiting);
    }
    for (int waiting : lost)
        Fail(waiting, "no thread could be started for it");
}

void CSessionExport::Finish()
{
    if (m_thread)
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset();
}

std::vector<ExportFailure> CSessionExport::TakeFailures()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return std::move(m_failures);
}

bool CSessionExport::TakeNext(int& session)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    if (m_waiting.empty()) {
        m_running = false;
        return false;
    }
    session = m_waiting.front();
    m_waiting.pop_front();
    return true;
}

void CSessionExport::Fail(int session, const std::string& error)
{
    try {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_failures.push_back({session, error});
    } catch (...) {
        // No memory even for the failure: the message alone names the session.
        ::PostMessageA(m_window, m_message, static_cast<WPARAM>(session), kExportFailureUnrecorded);
        return;
    }
    ::PostMessageA(m_window, m_message, 0, 0);
}

// No exception may leave a thread procedure: each becomes the session's failure.
DWORD WINAPI CSessionExport::Run(LPVOID self)
{
    auto* owner = static_cast<CSessionExport*>(self);
    int session = 0;
    while (owner->TakeNext(session)) {
        std::string error;
        try {
            if (WriteSessionFiles(owner->m_workDir, session, error))
                continue;
        } catch (const std::exception& e) {
            error = e.what();
        } catch (...) {
            error = "unexpected error";
        }
        owner->Fail(session, error);
    }
    return 0;
}
