#pragma once

#include "tests/support/ForkedChild.h"

#include <functional>
#include <string>

namespace LumoTest {

// The uid and gid a test run as root drops to: the usual "nobody".
constexpr unsigned kOrdinaryId = 65534;
// The exit code of a child that kept root's rights: it tested nothing.
constexpr int kStillPrivileged = 92;

// Runs the body as RunInChild does, but as an ordinary user, for whom
// permissions hold as they do for a player: root may read any file. Run as
// root, the folder and all below it are first given to kOrdinaryId, and the
// child takes that uid and gid, with the source and build trees out of its
// reach (as they are where the clone is kept under a folder of mode 0700):
// what the body needs from them is copied to the folder first. Run as
// anyone else, the child stays that user. A child that still has root's
// rights runs nothing and exits with kStillPrivileged. EXPECT and ASSERT
// work in the body: the child exits with 1 when one failed, 0 when none did.
ChildEnd RunAsOrdinaryUser(const std::string& folder, const std::function<void()>& body);

// Gives the folder and all below it to kOrdinaryId, as RunAsOrdinaryUser
// does with its own; for a tree outside that folder. Run as root only.
void GiveToOrdinaryUser(const std::string& folder);

} // namespace LumoTest
