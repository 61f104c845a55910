#include "app/CGameApp.h"
#include "framework/core/AppLog.h"
#include "framework/diagnostics/CrashHandler.h"
#include "framework/diagnostics/DiagnosticsAppHost.h"
#include "platform/display/DirectDraw.h"
#include "tests/game/support/GameFixture.h"
#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

namespace AppTest {
namespace {

using GameReportTest = GameTest::GameFixture;

// The program file carries no version of its own here, so the one the game
// sets is the one its crash report and upload must name.
TEST_F(GameReportTest, CrashReportNamesTheGamesVersion)
{
    CGameApp game;
    Lumo::DiagnosticsAppHost* host = Lumo::GetDiagnosticsAppHost();
    ASSERT_NE(host, nullptr);
    EXPECT_NE(host->BuildSessionInfo().find("Product: Zentrova\r\nVersion: 1.0\r\n"), std::string::npos);
    EXPECT_EQ(host->ProductVersionText(), "1.0");
}

// The first steps of the start, where a fault can be put.
enum class FirstStep { kSettings, kInitializeStart };

class FaultingGame : public CGameApp {
public:
    explicit FaultingGame(FirstStep step) : mStep(step) {}
    void LoadSettings() override
    {
        if (mStep == FirstStep::kSettings)
            Lumo::CrashNow();
        CGameApp::LoadSettings();
    }
    void OnInitializeStart() override
    {
        if (mStep == FirstStep::kInitializeStart)
            Lumo::CrashNow();
    }

private:
    FirstStep mStep;
};

// A fault in the first steps of the start, started from a folder the player
// may not write in, once left no report at all: the data folder took the
// report only from a later step on.
TEST_F(GameReportTest, AFaultAtTheStartPutsTheReportInTheDataFolder)
{
    const std::string working = mFolder / "working";
    const std::string data = mFolder / "xdg/DravikGames/Zentrova";
    const std::string terminal = mFolder / "terminal.txt";
    const std::pair<const char*, FirstStep> steps[] = {{"the settings' load", FirstStep::kSettings},
                                                       {"the start of Initialize", FirstStep::kInitializeStart}};
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(mFolder / "xdg");
        std::filesystem::create_directories(working);
        std::filesystem::permissions(working, std::filesystem::perms(0555));
        // The log is the child's to open: one process holds it at a time.
        Lumo::AppLog::GetInstance()->Close();
        const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(mFolder.Path(), [&] {
            ASSERT_EQ(::chdir(working.c_str()), 0);
            ASSERT_NE(::access(".", W_OK), 0);
            const int stderrFile = ::open(terminal.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ASSERT_GE(stderrFile, 0);
            ASSERT_GE(::dup2(stderrFile, 2), 0);
            // None left from an earlier test of this process.
            Lumo::SetCrashReportFallbackFolder("");
            Lumo::InstallCrashHandler();
            Platform::RegisterDirectDrawModule();
            // As the program starts.
            FaultingGame game(step);
            game.LoadSettings();
            game.Initialize();
        });
        std::filesystem::permissions(working, std::filesystem::perms(0755));
        ASSERT_FALSE(end.timedOut);
        ASSERT_EQ(end.signal, SIGSEGV) << "exit code " << end.exitCode;
        EXPECT_FALSE(std::filesystem::exists(working + "/crash.txt"));
        const std::string report = LumoTest::ReadFile(data + "/crash.txt");
        EXPECT_EQ(report.rfind("Exception: Access Violation", 0), 0u) << report;
        EXPECT_NE(report.find("\r\nSystem Ver: "), std::string::npos) << report;
        EXPECT_NE(LumoTest::ReadFile(terminal).find("The crash report is in \"" + data + "/crash.txt\": "),
                  std::string::npos)
            << LumoTest::ReadFile(terminal);
    }
}

} // namespace
} // namespace AppTest
