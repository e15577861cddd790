#pragma once
// Windows calls that fail on demand. The test program is linked with --wrap on the import slots of
// these functions (see CMakeLists.txt), so the program's own code, unchanged, meets the failure where
// it makes the call.

namespace wintest {

enum class Call
{
    CreateCompatibleDC,
    CreateCompatibleBitmap,
    BitBlt,
    GetDIBits,
    GlobalAlloc,
    GlobalLock,
    GetCurrentDirectoryA, // fails by answering a directory longer than the buffer
    Count
};

const char* CallName(Call call);

// While it lives, calls of `call` fail: the first `skip` calls still go through, then `failures`
// calls fail, and any after them go through again.
class CFailingCall
{
public:
    explicit CFailingCall(Call call, int skip = 0, int failures = 1 << 30);
    ~CFailingCall();
    CFailingCall(const CFailingCall&) = delete;
    CFailingCall& operator=(const CFailingCall&) = delete;

    // How many calls failed so far.
    int Failures() const;

private:
    Call m_call;
};

} // namespace wintest
