#include "tests/support/UnprivilegedChild.h"

#include <grp.h>
#include <unistd.h>

namespace LumoTest {

namespace {

bool ShedRoot()
{
    if (::geteuid() != 0)
        return true;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 || ::setuid(kUnprivilegedId) != 0)
        return false;
    // Root's rights must be gone for good, not merely set aside.
    return ::getuid() == kUnprivilegedId && ::geteuid() == kUnprivilegedId && ::getgid() == kUnprivilegedId &&
           ::setuid(0) != 0;
}

} // namespace

ChildEnd RunUnprivilegedInChild(const std::string& folder, const std::function<void()>& body)
{
    return RunInChild(folder, [&] {
        if (!ShedRoot())
            ::_exit(kStillPrivilegedExitCode);
        body();
    });
}

bool GiveToUnprivilegedChild(const std::string& path)
{
    return ::geteuid() != 0 || ::chown(path.c_str(), kUnprivilegedId, kUnprivilegedId) == 0;
}

} // namespace LumoTest
