#include "app/win32/RunningInstance.h"

namespace {

// "Global\": one mark for the whole machine, as HookDll.dll's shared section is one for the whole
// machine too: a copy started by a second user (fast user switching, Remote Desktop) would take over
// the first user's key and dialog.
const char kMarkName[] = "Global\\Flickmere.Running";

} // namespace

bool CRunningInstance::Claim()
{
    m_mark.Reset(::CreateMutexA(nullptr, FALSE, kMarkName));
    // Another user's mark exists but its default security lets only that user open it.
    if (!m_mark && ::GetLastError() == ERROR_ACCESS_DENIED)
        return false;
    // A mark that cannot be made at all (the name taken by another kind of object) is no proof of
    // another copy, so the program starts.
    if (m_mark && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        m_mark.Reset();
        return false;
    }
    return true;
}
