#include "app/win32/SessionExport.h"

#include "export/SessionFiles.h"

#include <exception>

namespace {

constexpr char kFailureTitle[] = "Flickmere";

// No owner: the dialog's thread may be waiting for this one, and an owned box would send it messages.
void ShowFailure(const std::string& why)
{
    const std::string text = "The player and the animated PNG of this session could not be written:\n" + why +
                             "\n\nThe session's pictures and template file are unchanged.";
    ::MessageBoxA(nullptr, text.c_str(), kFailureTitle,
                  MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND);
}

} // namespace

void CSessionExport::Start(const char* workDir, int session)
{
    Wait();
    const int length = ::MultiByteToWideChar(CP_ACP, 0, workDir, -1, nullptr, 0);
    m_workDir.assign(length > 0 ? length : 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, workDir, -1, m_workDir.data(), length);
    m_workDir.resize(m_workDir.size() - 1); // the terminating null
    m_session = session;
    m_thread.Reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (!m_thread)
        ShowFailure("no thread could be started for it");
}

void CSessionExport::Wait()
{
    if (m_thread)
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset();
}

// No exception may leave a thread procedure: each becomes the failure box.
DWORD WINAPI CSessionExport::Run(LPVOID self)
{
    const auto* owner = static_cast<const CSessionExport*>(self);
    std::string error;
    try {
        const CResult<> written = WriteSessionFiles(owner->m_workDir, owner->m_session);
        if (written)
            return 0;
        error = written.Error().text;
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = "unexpected error";
    }
    ShowFailure(error);
    return 1;
}
