#pragma once
#include "common/win32/Handles.h"

// The mark that a copy of Flickmere runs on this machine, for any user. Every process that loads
// HookDll.dll shares its one capturing key and one dialog name, and a global hook that swallows the key
// keeps it from any other: a second copy would take over the first one's session.
class CRunningInstance
{
public:
    // False when another copy holds the mark already. The mark is held until this object goes.
    [[nodiscard]] bool Claim();

private:
    CKernelHandle m_mark;
};
