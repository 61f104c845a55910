#include "tests/lumoapp/AppFixture.h"

#include "framework/core/UserDataFolder.h"
#include "framework/display/DDInterface.h"
#include "platform/display/DirectXResults.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/process/InstanceMutex.h"
#include "platform/process/Modules.h"
#include "platform/storage/LogFile.h"
#include "platform/windows/Messages.h"

#include <filesystem>
#include <functional>

namespace LumoTest {
namespace {

using namespace Platform;

class StartupTest : public AppFixture {
protected:
    std::string LastBoxText() { return mSession.Desktop().MessageBoxes().back().text; }
    static std::string ProductName() { return "LumoAppTest" + std::to_string(GetCurrentProcessId()); }
};

TEST_F(StartupTest, PlacesAWindowInTheWorkArea)
{
    const RECT work{0, 0, 1000, 800};
    const RECT outer{0, 0, 600, 400};
    struct Case {
        int preferredX, preferredY, x, y;
    };
    const Case cases[] = {
        {-1, -1, 200, int((800 - 400) * 0.382)}, // centred across, 38.2 % above
        {-50, -50, 4, 4},                        // pulled back inside
        {900, 700, 1000 - 4 - 600, 800 - 4 - 400},
        {100, 120, 100, 120},
    };
    for (const Case& c : cases) {
        const RECT placed = Lumo::LumoAppBase::PlaceWindow(outer, work, c.preferredX, c.preferredY);
        EXPECT_EQ(placed.left, c.x) << c.preferredX;
        EXPECT_EQ(placed.top, c.y) << c.preferredX;
        EXPECT_EQ(placed.right - placed.left, 600);
    }
}

TEST_F(StartupTest, WithoutTheDisplayLibraryTheStartFails)
{
    UnregisterModule("ddraw.dll");
    EXPECT_EQ(StartApp(), nullptr);
    EXPECT_EQ(mExitCode, 1);
    EXPECT_EQ(mSession.Desktop().MessageBoxes().back().caption, "You need DirectX");
    RegisterDirectDrawModule();
}

TEST_F(StartupTest, ASecondInstanceNotifiesTheFirstAndExits)
{
    ASSERT_NE(StartApp(), nullptr);
    TestApp second;
    try {
        second.Initialize();
        ADD_FAILURE() << "the second instance started";
    } catch (const ExitCalled& exit) {
        EXPECT_EQ(exit.code, 0u);
    }

    TestApp screensaver;
    screensaver.mIsScreenSaver = true;
    EXPECT_NO_THROW(screensaver.Initialize());
}

// What holds the lock decides how a second start ends: a first instance that
// listens for the notice (on a desktop of its own, as another process would)
// takes it, and the start ends quietly; a holder with no window to bring
// forward leaves the person a box that says so, and the start fails. Either
// way the holder's log is left alone, nor does the start log elsewhere.
TEST_F(StartupTest, ASecondStartHandsOverToTheFirstOrSaysWhyNothingShows)
{
    bool held = false;
    const HANDLE mutex = CreateMutexA((ProductName() + "Mutex").c_str(), &held);
    LogFile firstLog;
    ASSERT_EQ(firstLog.Open(mFolder / "applog.txt"), LogFile::OpenResult::Opened);
    firstLog.Write("first instance\r\n");
    // The holder listens only from the second case on.
    for (const bool listening : {false, true}) {
        SCOPED_TRACE(listening ? "the holder listens" : "nothing listens");
        if (listening)
            RegisterWindowMessageA(("Notify" + ProductName()).c_str());
        // Each start is a process of its own.
        Lumo::SetUserDataFolder("");
        {
            HeadlessSession second;
            EXPECT_EQ(StartApp(), nullptr);
            mApp.reset();
            EXPECT_EQ(mExitCode, listening ? 0 : 1);
            const auto& boxes = second.Desktop().MessageBoxes();
            ASSERT_EQ(boxes.size(), listening ? 0u : 1u);
            if (!listening) {
                EXPECT_EQ(boxes[0].text, ProductName() + " is running already but shows no window. Wait for it to "
                                                         "end, or end it, then start again.");
            }
        }
        EXPECT_EQ(ReadFile(mFolder / "applog.txt"), "first instance\r\n");
        EXPECT_FALSE(std::filesystem::exists(mFolder / ("data/TestCompany/" + ProductName() + "/applog.txt")));
    }
    CloseHandle(mutex);
}

TEST_F(StartupTest, AFatalErrorIsLoggedShownOnTheTerminalWithoutABoxAndFailsTheRun)
{
    const struct {
        const char* what;
        std::function<void(TestApp&)> cause;
        std::string text;
    } cases[] = {
        {"unknown switch", [](TestApp& app) { app.ApplyCommandLineSwitch("-PLAY", ""); },
         "Invalid command line parameter: -PLAY"},
        {"missing demo",
         [](TestApp& app) {
             app.mPlaying = true;
             app.mDemoFileName = "absent.dmo";
         },
         // In the data folder of the company and the product, spelt with one separator.
         "Demo file not found: " + mFolder.Path() + "/data/TestCompany/" + ProductName() + "/absent.dmo"},
    };
    for (const auto& c : cases) {
        mApp = std::make_unique<TestApp>();
        mSession.Desktop().ScriptMessageBoxAnswer(0); // no box can be shown
        testing::internal::CaptureStderr();
        try {
            c.cause(*mApp);
            mApp->Initialize();
            ADD_FAILURE() << c.what << ": the run went on";
        } catch (const ExitCalled& exit) {
            EXPECT_EQ(exit.code, 1u) << c.what;
        }
        EXPECT_NE(testing::internal::GetCapturedStderr().find("FATAL ERROR: " + c.text), std::string::npos) << c.what;
        EXPECT_NE(ReadFile(mFolder / "applog.txt").find("FATAL ERROR: " + c.text + "\r\n"), std::string::npos)
            << c.what;
        mApp.reset();
    }

    // A fatal error that lets the run go on still fails it.
    ASSERT_NE(StartApp(), nullptr);
    EXPECT_EQ(mApp->ExitCode(), 0u);
    mApp->ShowFatalErrorA("Please set your desktop color depth to 16 bit.");
    EXPECT_EQ(mApp->ExitCode(), 1u);
}

TEST_F(StartupTest, APlayAreaAsLargeAsTheScreenForcesFullScreen)
{
    mApp = std::make_unique<TestApp>();
    mApp->mWidth = 4000;
    mApp->mHeight = 3000;
    mApp->Initialize();
    EXPECT_TRUE(mApp->mForceFullscreen);
    EXPECT_FALSE(mApp->mIsWindowed);
}

TEST_F(StartupTest, DisplayFallbacks)
{
    struct Case {
        const char* name;
        bool windowed;
        const char* failingCall;
        HRESULT failure;
        int exitCode; // -1: started
        bool endsWindowed;
    };
    const Case cases[] = {
        {"desktop depth refused in a window", true, "CreateSurface", DDERR_INVALIDPIXELFORMAT, -1, false},
        {"exclusive mode refused", false, "SetCooperativeLevel", DDERR_INVALIDPARAMS, -1, true},
        {"mode change refused", false, "SetDisplayMode", DDERR_INVALIDPARAMS, -1, true},
        {"no display object", true, "DirectDrawCreateEx", DDERR_INVALIDPARAMS, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DisplayDesktop::Reset();
        DisplayDesktop::FailCall(c.failingCall, 1, c.failure);
        mApp = std::make_unique<TestApp>();
        mApp->mWindowed = c.windowed;
        mExitCode = -1;
        try {
            mApp->Initialize();
        } catch (const ExitCalled& exit) {
            mExitCode = int(exit.code);
        }
        EXPECT_EQ(mExitCode, c.exitCode);
        if (c.exitCode == -1) {
            EXPECT_EQ(mApp->mIsWindowed, c.endsWindowed);
            EXPECT_EQ(mApp->mForceFullscreen, !c.endsWindowed);
            EXPECT_EQ(mApp->mForceWindowed, c.endsWindowed);
            EXPECT_EQ(mApp->mDDInterface->mInitialized, true);
        } else {
            EXPECT_EQ(LastBoxText().rfind("Failed to initialize DirectDraw: RESULT_DD_CREATE_FAIL", 0), 0u)
                << LastBoxText();
        }
        mApp.reset();
    }
}

TEST_F(StartupTest, WhenNeitherModeWorksTheStartEndsWithTheDisplayError)
{
    // The window's start-up and the clean-up before the next one set the
    // cooperative level too: every later call is refused.
    DisplayDesktop::FailCall("CreateSurface", 1, DDERR_INVALIDPIXELFORMAT);
    for (int call = 2; call <= 4; ++call)
        DisplayDesktop::FailCall("SetCooperativeLevel", call, DDERR_INVALIDPARAMS);
    EXPECT_EQ(StartApp(), nullptr);
    EXPECT_EQ(mExitCode, 1);
    EXPECT_EQ(LastBoxText().rfind("Failed to initialize DirectDraw: RESULT_EXCLUSIVE_FAIL", 0), 0u) << LastBoxText();
}

} // namespace
} // namespace LumoTest
