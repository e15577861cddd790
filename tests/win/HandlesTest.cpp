// The handle owners as their callers rely on them: a creator's failure value is empty whatever that
// value is, an owner closes what it holds exactly once, and the named mutex tells a copy that came
// first from one that did not.
#include "TestFiles.h"

#include "common/win32/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// Whether `handle` is still open in this process.
bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != FALSE;
}

TEST(HandlesTest, EachCreatorsFailureIsEmptyAndItsSuccessIsNot)
{
    testfiles::CScratchDir dir;
    const std::string present = dir.File("present.txt");
    testfiles::WriteText(present, "x");
    const std::string missing = dir.File("missing.txt");
    WIN32_FIND_DATAA found;

    // FindFirstFile and CreateFile answer INVALID_HANDLE_VALUE, the others null.
    EXPECT_FALSE(CFindHandle(::FindFirstFileA(missing.c_str(), &found)));
    EXPECT_TRUE(CFindHandle(::FindFirstFileA(present.c_str(), &found)));
    EXPECT_FALSE(
        CFileHandle(::CreateFileA(missing.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    EXPECT_TRUE(
        CFileHandle(::CreateFileA(present.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    EXPECT_FALSE(CKernelHandle(::OpenMutexA(SYNCHRONIZE, FALSE, "Local\\Flickmere.HandlesTest.none")));
    EXPECT_FALSE(CModule(::LoadLibraryA("no-such-library.dll")));
}

TEST(HandlesTest, AnOwnerClosesWhatItHoldsOnceAndAMovedFromOneNothing)
{
    CKernelHandle first(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(first);
    const HANDLE raw = first.Get();
    {
        const CKernelHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), raw);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw)) << "closed by the owner it was moved to";

    CKernelHandle replaced(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const HANDLE old = replaced.Get();
    replaced.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(IsOpen(old));
    EXPECT_TRUE(IsOpen(replaced.Get()));
}

TEST(HandlesTest, ANamedMutexSaysWhetherItWasThereAlready)
{
    const char name[] = "Local\\Flickmere.HandlesTest.mutex";
    bool existed = true;
    {
        const CKernelHandle first = CreateNamedMutex(name, existed);
        ASSERT_TRUE(first);
        EXPECT_FALSE(existed);
        const CKernelHandle second = CreateNamedMutex(name, existed);
        EXPECT_TRUE(second);
        EXPECT_TRUE(existed);
    }
    // Gone with its last handle: the next one is first again.
    const CKernelHandle again = CreateNamedMutex(name, existed);
    EXPECT_TRUE(again);
    EXPECT_FALSE(existed);
}

} // namespace
