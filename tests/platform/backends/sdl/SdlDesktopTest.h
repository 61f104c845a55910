#pragma once

#include "platform/backends/sdl/SdlBackend.h"
#include "tests/platform/backends/sdl/DesktopLibraryLeaksAllowed.h"
#include "tests/platform/backends/sdl/PrivateXServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace PlatformTest {

// A test on a real desktop: an X server of its own where Xvfb is installed,
// else the display the tests run on; skipped without either. A test that
// needs a window manager gets one on its own server, of the screen it asks
// for, or is skipped.
class SdlDesktopTest : public ::testing::Test {
protected:
    explicit SdlDesktopTest(bool windowManager = false, const std::string& screen = "1024x768x24")
        : mWantsWindowManager(windowManager), mScreen(screen)
    {
    }

    void SetUp() override
    {
        mServer.emplace(mWantsWindowManager, mScreen);
        if (!mServer->Failure().empty()) {
            const std::string why = mServer->Failure();
            mServer.reset();
            if (mWantsWindowManager)
                GTEST_SKIP() << why;
            const char* display = std::getenv("DISPLAY");
            if (!display || !*display)
                GTEST_SKIP() << "no display";
        }
        mSdl = Platform::SdlBackend::Create();
        if (!mSdl)
            GTEST_SKIP() << "the display does not open";
    }

    bool mWantsWindowManager;
    std::string mScreen;
    DesktopLibraryLeaksAllowed mAllowed;
    std::optional<PrivateXServer> mServer;
    std::unique_ptr<Platform::Backend> mSdl;
};

} // namespace PlatformTest
