#pragma once

#include "tests/support/ForkedChild.h"

#include <functional>
#include <string>
#include <sys/types.h>

namespace LumoTest {

// The user and group that children of a test run as root take: "nobody".
constexpr uid_t kUnprivilegedId = 65534;

// The exit code of a child that could not shed root's rights: permissions
// would not count in it, so its test must fail rather than pass.
constexpr int kStillPrivilegedExitCode = 92;

// RunInChild for a part of a test where permissions count. A child of root
// takes kUnprivilegedId as user and group (with no other groups) before the
// body runs; a child of an ordinary user runs as that user.
ChildEnd RunUnprivilegedInChild(const std::string& folder, const std::function<void()>& body);

// Hands the file or folder to the user RunUnprivilegedInChild runs as, so
// that the child may reach and write there (nothing to do for an ordinary
// user); false when it could not be handed over.
bool GiveToUnprivilegedChild(const std::string& path);

} // namespace LumoTest
