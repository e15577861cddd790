#include "app/win32/SessionExport.h"

#include "common/File.h"
#include "common/win32/CodePages.h"
#include "export/SessionFiles.h"
#include "export/take/TakeEdit.h"
#include "state/TextTable.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace {

// The project file of `session` as it is now; none when there is none, or it cannot be read.
std::optional<std::vector<uint8_t>> EditOf(const std::wstring& workDir, int session)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(ProjectFileOf(workDir, session), bytes))
        return std::nullopt;
    return bytes;
}

} // namespace

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
        if (std::none_of(m_waiting.begin(), m_waiting.end(),
                         [&](const Queued& queued) { return queued.session == session; }))
            m_waiting.push_back({session, CurrentSuggestionWords()});
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
    std::deque<Queued> lost;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_running = false;
        lost.swap(m_waiting);
    }
    // On the dialog's thread, where the texts may be read.
    const std::string reason =
        CodePageFromWide(CP_UTF8, WideFromCodePage(CP_ACP, CurrentText(kTextNoExportThread)));
    for (const Queued& waiting : lost)
        Fail({waiting.session, kTakeNotOpened, reason});
}

void CSessionExport::AddIfEditIsNew(int session)
{
    const std::optional<std::vector<uint8_t>> edit = EditOf(m_workDir, session);
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        const auto read = m_editsRead.find(session);
        if (read != m_editsRead.end() && read->second == edit)
            return;
    }
    Add(session);
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

bool CSessionExport::TakeNext(Queued& next)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    if (m_waiting.empty()) {
        m_running = false;
        return false;
    }
    next = std::move(m_waiting.front());
    m_waiting.pop_front();
    return true;
}

void CSessionExport::Fail(ExportFailure failure)
{
    const int session = failure.session;
    try {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_failures.push_back(std::move(failure));
    } catch (...) {
        // No memory even for the failure: the message alone names the session.
        ::PostMessageA(m_window, m_message, static_cast<WPARAM>(session), kExportFailureUnrecorded);
        return;
    }
    ::PostMessageA(m_window, m_message, 0, 0);
}

DWORD WINAPI CSessionExport::Run(LPVOID self)
{
    auto* owner = static_cast<CSessionExport*>(self);
    Queued next;
    while (owner->TakeNext(next))
        owner->Export(next);
    return 0;
}

// No exception may leave the thread procedure: each becomes the session's failure.
void CSessionExport::Export(const Queued& queued)
{
    const int session = queued.session;
    ExportFailure failure{session, kTakeNotOpened, {}};
    try {
        // Taken before the export reads the file: a save after this is exported again.
        std::optional<std::vector<uint8_t>> edit = EditOf(m_workDir, session);
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_editsRead[session] = std::move(edit);
        }
        const CResult<> written = WriteSessionFiles(m_workDir, session, queued.words);
        if (written)
            return;
        failure.output = written.Error().code;
        failure.error = written.Error().text;
    } catch (const std::exception& e) {
        failure.error = e.what();
    } catch (...) {
        // No words: the dialog gives the text table's (ExportFailure).
        failure.error.clear();
    }
    Fail(std::move(failure));
}
