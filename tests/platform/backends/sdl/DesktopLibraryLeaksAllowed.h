#pragma once

// Present when the leak checker is built in.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

namespace PlatformTest {

// The desktop's libraries (its message bus among them) keep some of what they
// allocate to the end of the process; the leak checker is told for the thread
// that makes this object.
class DesktopLibraryLeaksAllowed {
public:
    DesktopLibraryLeaksAllowed()
    {
        if (__lsan_disable)
            __lsan_disable();
    }
    ~DesktopLibraryLeaksAllowed()
    {
        if (__lsan_enable)
            __lsan_enable();
    }
    DesktopLibraryLeaksAllowed(const DesktopLibraryLeaksAllowed&) = delete;
    DesktopLibraryLeaksAllowed& operator=(const DesktopLibraryLeaksAllowed&) = delete;
};

} // namespace PlatformTest
