#include "app/win32/RunningInstance.h"

namespace {

// "Local\": one mark per logon session, as the keyboard hook reaches only the session's own desktop.
const char kMarkName[] = "Local\\Flickmere.Running";

} // namespace

bool CRunningInstance::Claim()
{
    m_mark.Reset(::CreateMutexA(nullptr, FALSE, kMarkName));
    // A mark that cannot be made at all (the name taken by another kind of object) is no proof of
    // another copy, so the program starts.
    if (m_mark && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        m_mark.Reset();
        return false;
    }
    return true;
}
