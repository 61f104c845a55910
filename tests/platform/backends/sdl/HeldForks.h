#pragma once

namespace PlatformTest {

// While held, every fork() of the process waits before it forks: the
// process's own calls go through the test's stand-in, SDL's among them, so a
// test can act between a caller's decision to fork and the fork itself.
void HoldForks(bool hold);

// True once a fork has come to wait since the forks were held.
bool ForkWaits();

} // namespace PlatformTest
