#include "common/win32/ModalDialog.h"

INT_PTR CModalDialog::DoModal(HWND owner)
{
    m_ended = false;
    m_result = -1;
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (!CreateFromTemplate(owner))
        return m_result;
    // Like DialogBox, a modal dialog shows itself whether or not its template says WS_VISIBLE.
    if (!m_ended && !::IsWindowVisible(Handle()))
        ::ShowWindow(Handle(), SW_SHOWNORMAL);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);

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
    if (ownerWasEnabled)
        ::EnableWindow(owner, TRUE);
    Destroy();
    return m_result;
}

void CModalDialog::End(INT_PTR result)
{
    m_result = result;
    m_ended = true;
    ::ShowWindow(Handle(), SW_HIDE);
    // Wake the modal loop so that it sees the end at once.
    ::PostMessageA(Handle(), WM_NULL, 0, 0);
}

void CModalDialog::Refuse()
{
    m_result = -1;
    m_ended = true;
    ::DestroyWindow(Handle());
}
