#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace LumoTest {

namespace {

void GiveToOrdinaryUser(const std::string& folder)
{
    ::lchown(folder.c_str(), kOrdinaryId, kOrdinaryId);
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        ::lchown(entry.path().c_str(), kOrdinaryId, kOrdinaryId);
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

ChildEnd RunAsOrdinaryUser(const std::string& folder, const std::function<void()>& body)
{
    const bool root = ::geteuid() == 0;
    if (root)
        GiveToOrdinaryUser(folder);
    return RunInChild(folder, [&] {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kOrdinaryId) != 0 || ::setuid(kOrdinaryId) != 0))
            ::_exit(kStillPrivileged);
        if (!DroppedRoot())
            ::_exit(kStillPrivileged);
        body();
        // The failures the body printed are in the child's buffers.
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    });
}

} // namespace LumoTest
