#include "app/win32/RunningInstance.h"

namespace {

// "Global\": one mark for the whole machine, as HookDll.dll's shared section is one for the whole
// machine too: a copy started by a second user (fast user switching, Remote Desktop) would take over
// the first user's key and dialog.
const char kMarkName[] = "Global\\Flickmere.Running";

} // namespace

bool CRunningInstance::Claim()
{
    bool existed = false;
    CKernelHandle mark = CreateNamedMutex(kMarkName, existed);
    if (existed)
        return false;
    // A mark that cannot be made at all is no proof of another copy, so the program starts.
    m_mark = std::move(mark);
    return true;
}
