#pragma once

#include "platform/backends/sdl/SdlBackend.h"
#include "tests/platform/backends/sdl/DesktopLibraryLeaksAllowed.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace PlatformTest {

// A test on the real desktop: skipped where there is no display to open.
class SdlDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            GTEST_SKIP() << "no display";
        mSdl = Platform::SdlBackend::Create();
        if (!mSdl)
            GTEST_SKIP() << "the display does not open";
    }

    DesktopLibraryLeaksAllowed mAllowed;
    std::unique_ptr<Platform::Backend> mSdl;
};

} // namespace PlatformTest
