#include "app/win32/ProjectWatch.h"

#include "app/EditedSessions.h"
#include "common/win32/CodePages.h"

#include <algorithm>
#include <map>

namespace {

// How long a project file must be left alone before its session is told of.
constexpr DWORD kQuietMs = 500;
// Room for the changes that come between two reads; more are reported as too many.
constexpr size_t kChangeBufferWords = 16 * 1024;
constexpr DWORD kChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

// The sessions whose project file was written, or put in place, by the changes in `changes`.
std::vector<int> EditedSessionsIn(const std::vector<DWORD>& changes, DWORD bytes)
{
    std::vector<int> sessions;
    const auto* at = reinterpret_cast<const BYTE*>(changes.data());
    const BYTE* const end = at + bytes;
    for (;;) {
        const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
        const std::wstring name(change->FileName, change->FileNameLength / sizeof(WCHAR));
        if (change->Action != FILE_ACTION_REMOVED && change->Action != FILE_ACTION_RENAMED_OLD_NAME)
            if (const int session = SessionOfProjectFile(CodePageFromWide(CP_UTF8, name)))
                sessions.push_back(session);
        if (change->NextEntryOffset == 0 || change->NextEntryOffset >= static_cast<DWORD>(end - at))
            return sessions;
        at += change->NextEntryOffset;
    }
}

// Milliseconds from `now` to `due`, 0 when it has passed; the tick count wraps.
DWORD Until(DWORD due, DWORD now)
{
    return static_cast<int32_t>(due - now) > 0 ? due - now : 0;
}

} // namespace

bool CProjectWatch::Start(const std::wstring& workDir, HWND window, UINT message)
{
    Stop();
    m_window = window;
    m_message = message;
    m_changes.assign(kChangeBufferWords, 0);
    m_folder.Reset(::CreateFileW(workDir.c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    m_stop.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    m_changed.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (m_folder && m_stop && m_changed && Read())
        m_thread.Reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (!m_thread)
        Stop();
    return static_cast<bool>(m_thread);
}

void CProjectWatch::Stop()
{
    if (m_thread) {
        ::SetEvent(m_stop.Get());
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
    }
    m_thread.Reset();
    // The system writes into m_changes until the last read is done: cancelled here, or already, with the
    // thread that asked for it.
    if (m_readPending) {
        ::CancelIoEx(m_folder.Get(), &m_reading);
        DWORD ignored = 0;
        ::GetOverlappedResult(m_folder.Get(), &m_reading, &ignored, TRUE);
    }
    m_readPending = false;
    m_folder.Reset();
    m_stop.Reset();
    m_changed.Reset();
}

bool CProjectWatch::Read()
{
    ::ResetEvent(m_changed.Get());
    m_reading = OVERLAPPED{};
    m_reading.hEvent = m_changed.Get();
    m_readPending = ::ReadDirectoryChangesW(m_folder.Get(), m_changes.data(),
                                            static_cast<DWORD>(m_changes.size() * sizeof(DWORD)), TRUE,
                                            kChanges, nullptr, &m_reading, nullptr) != FALSE;
    return m_readPending;
}

// No exception may leave a thread procedure: a watch that fails ends, and says so.
DWORD WINAPI CProjectWatch::Run(LPVOID self)
{
    auto* watch = static_cast<CProjectWatch*>(self);
    bool stopped = false;
    try {
        stopped = watch->Watch();
    } catch (...) {
        stopped = false;
    }
    if (!stopped)
        ::PostMessageA(watch->m_window, watch->m_message, kEveryEditMayHaveChanged, kWatchEnded);
    return 0;
}

bool CProjectWatch::Watch()
{
    // Each session waiting to be told of, with the tick at which it will be.
    std::map<int, DWORD> waiting;
    while (m_readPending) {
        DWORD wait = INFINITE;
        for (const auto& [session, due] : waiting)
            wait = std::min(wait, Until(due, ::GetTickCount()));
        const HANDLE events[] = {m_stop.Get(), m_changed.Get()};
        const DWORD woken = ::WaitForMultipleObjects(2, events, FALSE, wait);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken == WAIT_OBJECT_0 + 1) {
            DWORD bytes = 0;
            m_readPending = false;
            if (!::GetOverlappedResult(m_folder.Get(), &m_reading, &bytes, FALSE) || bytes == 0)
                ::PostMessageA(m_window, m_message, kEveryEditMayHaveChanged, 0);
            else
                for (int session : EditedSessionsIn(m_changes, bytes))
                    waiting[session] = ::GetTickCount() + kQuietMs;
            Read();
        } else if (woken == WAIT_TIMEOUT) {
            for (auto it = waiting.begin(); it != waiting.end();)
                if (Until(it->second, ::GetTickCount()) == 0) {
                    ::PostMessageA(m_window, m_message, static_cast<WPARAM>(it->first), 0);
                    it = waiting.erase(it);
                } else {
                    ++it;
                }
        } else {
            return false;
        }
    }
    return false;
}
