#include "common/win32/ModalDialog.h"

INT_PTR CModalDialog::DoModal(HWND owner)
{
    m_ended = false;
    m_result = -1;
    // Only an owner that was enabled is enabled again: a dialog opened from another modal one leaves
    // that one's owner as it was.
    m_reenabledOwner = owner && ::IsWindowEnabled(owner) ? owner : nullptr;
    if (!CreateFromTemplate(owner))
        return m_result;
    // Like DialogBox, a modal dialog shows itself whether or not its template says WS_VISIBLE.
    if (!m_ended && !::IsWindowVisible(Handle()))
        ::ShowWindow(Handle(), SW_SHOWNORMAL);
    if (m_reenabledOwner)
        ::EnableWindow(m_reenabledOwner, FALSE);

    MSG msg;
    while (!m_ended) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave WM_QUIT for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (!TranslateForOpenDialogs(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    EnableOwner();
    Destroy();
    return m_result;
}

void CModalDialog::End(INT_PTR result)
{
    m_result = result;
    m_ended = true;
    // The owner first, as EndDialog does: Windows activates the next window when the active one hides,
    // and passes over a disabled owner to whatever window comes next, often another program's.
    EnableOwner();
    ::ShowWindow(Handle(), SW_HIDE);
    // Wake the modal loop so that it sees the end at once.
    ::PostMessageA(Handle(), WM_NULL, 0, 0);
}

void CModalDialog::DestroyUnshown()
{
    m_result = -1;
    m_ended = true;
    ::DestroyWindow(Handle());
}

void CModalDialog::EnableOwner()
{
    if (m_reenabledOwner)
        ::EnableWindow(m_reenabledOwner, TRUE);
    m_reenabledOwner = nullptr;
}
