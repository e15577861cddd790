#include "capture/win32/StepRecorder.h"

#include "capture/StepSettings.h"
#include "capture/win32/HookLibrary.h"
#include "common/File.h"

#include <string_view>

namespace {

// Flickmere.ini in the program's folder.
StepSettings ReadSettings()
{
    wchar_t program[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(std::filesystem::path(program).replace_filename(kSettingsFileName), bytes))
        return {};
    return ParseStepSettings({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

} // namespace

void CStepRecorder::Start(HWND dialog, HWND target, const std::filesystem::path& file,
                          const CHookLibrary& hooks)
{
    const StepSettings settings = ReadSettings();
    m_file = file;
    m_target = target;
    m_dialog = dialog;
    m_unwritten = false;
    m_presses = 0;
    m_failureTold = false;
    m_journal.reset();
    if (!settings.steps)
        return;
    m_journal.emplace(settings.chords);
    m_worker.Notify(dialog, WM_STEPS_CHANGED);
    DWORD process = 0;
    ::GetWindowThreadProcessId(target, &process);
    hooks.SetRecordedProcess(settings.chords ? process : 0);
}

void CStepRecorder::RecordPress(int x, int y, int firstPicture, int nextPicture)
{
    if (!m_journal)
        return;
    const POINT point{x, y};
    const uint64_t now = ::GetTickCount64();
    LookupRequest request{++m_presses, point, ViewAtPress(point, m_target), now};
    std::vector<int> pictures;
    for (int k = firstPicture; k < nextPicture; ++k)
        pictures.push_back(k);
    const PointerFacts seen{request.view.window, std::nullopt, {}};
    StepLookup lookup = StepLookup::Outside;
    if (request.view.window.inRecordedProgram)
        lookup = m_worker.Ask(request) ? StepLookup::Pending : StepLookup::Skipped;
    m_journal->Expire(now);
    m_journal->AddPress(request.press, std::move(pictures), request.view.window.title, DecideControl(seen),
                        lookup, now);
    m_unwritten = true;
    ::PostMessageA(m_dialog, WM_STEPS_CHANGED, 0, 0);
}

bool CStepRecorder::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, CResult<void>& written)
{
    if (message == HOOKDLL_CHORD_MESSAGE) {
        if (m_journal)
            m_journal->AddChord(UnpackChord(static_cast<uint32_t>(wParam), static_cast<char32_t>(lParam)));
        return true;
    }
    if (message != WM_STEPS_CHANGED)
        return false;
    bool changed = m_unwritten;
    for (LookupAnswer& answer : m_worker.TakeAnswers()) {
        if (!m_journal)
            continue; // an answer from an ended session
        const std::optional<StepControl> control = answer.made ? DecideControl(answer.facts) : std::nullopt;
        if (control)
            changed = m_journal->Answer(answer.press, *control, answer.doneAt) || changed;
        else
            changed = m_journal->Skip(answer.press) || changed;
    }
    if (changed && m_journal) {
        m_unwritten = false;
        written = Write();
    }
    return true;
}

void CStepRecorder::End(const CHookLibrary& hooks)
{
    hooks.SetRecordedProcess(0);
    if (m_journal && (m_journal->Expire(::GetTickCount64() + kLookupLimitMs + 1) || m_unwritten))
        // Left unsaid, as the session is over: the box would come after its report.
        static_cast<void>(Write());
    m_journal.reset();
    m_target = nullptr;
}

CResult<void> CStepRecorder::Write()
{
    CResult<void> written = WriteStepsFile(m_file, m_journal->Records());
    if (written || m_failureTold)
        return {};
    m_failureTold = true;
    return written;
}
