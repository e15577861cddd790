// One copy of the program on the whole machine: the hook library's shared data is one for every user,
// so a copy that another user runs turns a new one away, with a box that tells rather than warns.
#include "harness/App.h"
#include "harness/WindowSearch.h"
#include "harness/WorkDir.h"

#include "common/win32/Handles.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

constexpr char kAlreadyRunning[] = "Flickmere is already running, possibly for another user.\nOnly one copy "
                                   "can record at a time on this computer: please use the one that is open.";

// The mark a running copy holds. With `othersLocked` it carries an empty access list, as another user's
// mark does for this one: it exists, but cannot be opened.
CKernelHandle HoldMark(bool othersLocked)
{
    SECURITY_DESCRIPTOR descriptor;
    ACL emptyList;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::InitializeAcl(&emptyList, sizeof emptyList, ACL_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyList, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    return CKernelHandle(
        ::CreateMutexA(othersLocked ? &attributes : nullptr, FALSE, "Global\\Flickmere.Running"));
}

TEST(SoleCopyTest, ACopyRunningForAnyUserOnTheMachineTurnsANewOneAway)
{
    for (const bool othersLocked : {false, true}) {
        SCOPED_TRACE(othersLocked ? "another user's mark" : "a copy in another logon session");
        const CKernelHandle mark = HoldMark(othersLocked);
        ASSERT_TRUE(mark);
        CWorkDir dir;
        CApp app(dir.Path());
        const auto box = app.WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, kAlreadyRunning);
        EXPECT_EQ(box->caption, "Flickmere");
        EXPECT_EQ(box->icon, BoxIcon::Information);
        EXPECT_EQ(app.WaitForDialog(0ms), nullptr);
        app.CloseMessageBox(*box);
        EXPECT_TRUE(app.WaitForExit());
    }
}

} // namespace
