#include "tests/lumoapp/AppFixture.h"

#include "framework/diagnostics/CrashHandler.h"
#include "framework/display/DDInterface.h"
#include "tests/support/ForkedChild.h"

#include <chrono>
#include <csignal>
#include <mutex>
#include <regex>
#include <string>

namespace LumoTest {
namespace {

class CrashReportTest : public AppFixture {};

// The main thread holds the display lock through every present, so that is
// where a crash usually finds it.
TEST_F(CrashReportTest, CrashWhileHoldingTheDisplayLockGivesTheFullReport)
{
    const auto start = std::chrono::steady_clock::now();
    const ChildEnd end = RunInChild(mFolder.Path(), [&] {
        Lumo::InstallCrashHandler();
        if (!StartApp())
            return;
        std::lock_guard<Lumo::CriticalSectionHolder> presenting(mApp->mDDInterface->mDisplayLock);
        Lumo::CrashNow();
    });
    ASSERT_FALSE(end.timedOut);
    EXPECT_EQ(end.signal, SIGSEGV);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    const std::string report = ReadFile(mFolder / "crash.txt");
    EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005)", 0), 0u) << report;
    EXPECT_NE(report.find("Lumo::CrashNow()"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nProduct: "), std::string::npos) << report;
    // The display and sound libraries name their versions.
    EXPECT_TRUE(std::regex_search(report, std::regex("\r\nDDraw Ver: [0-9.]+\r\nDSound Ver: [0-9.]+\r\n")))
        << report;
}

} // namespace
} // namespace LumoTest
