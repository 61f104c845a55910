#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace LumoTest {

namespace {

// The ordinary user may not enter the trees where the clone is kept under
// root's home, or under any folder of mode 0700: hidden in the child behind
// folders only root may enter, whatever it reads from them after the drop
// fails wherever they are kept. Where no mount namespace can be made,
// nothing is hidden.
void HideTheTrees()
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return;
    for (const char* tree : {LUMO_BUILD_DIR, LUMO_SOURCE_DIR})
        ::mount("lumo-hidden", tree, "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC, "mode=0700,size=4k");
}

// Whether this process may no longer do what root may; a uid of 0 kept
// anywhere, or one that can be taken back, would let root's rights return.
bool DroppedRoot()
{
    uid_t real = 0, effective = 0, saved = 0;
    return ::getresuid(&real, &effective, &saved) == 0 && real != 0 && effective != 0 && saved != 0 &&
           ::setuid(0) != 0 && ::geteuid() != 0;
}

} // namespace

void GiveToOrdinaryUser(const std::string& folder)
{
    ::lchown(folder.c_str(), kOrdinaryId, kOrdinaryId);
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        ::lchown(entry.path().c_str(), kOrdinaryId, kOrdinaryId);
}

ChildEnd RunAsOrdinaryUser(const std::string& folder, const std::function<void()>& body)
{
    const bool root = ::geteuid() == 0;
    if (root)
        GiveToOrdinaryUser(folder);
    return RunInChild(folder, [&] {
        if (root) {
            HideTheTrees();
            if (::setgroups(0, nullptr) != 0 || ::setgid(kOrdinaryId) != 0 || ::setuid(kOrdinaryId) != 0)
                ::_exit(kStillPrivileged);
        }
        if (!DroppedRoot())
            ::_exit(kStillPrivileged);
        // Failures the test had before the fork are not the child's.
        const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
        const int before = result.total_part_count();
        body();
        bool failed = false;
        for (int part = before; part < result.total_part_count(); ++part)
            failed = failed || result.GetTestPartResult(part).failed();
        // The failures the body printed are in the child's buffers.
        std::fflush(nullptr);
        ::_exit(failed ? 1 : 0);
    });
}

} // namespace LumoTest
