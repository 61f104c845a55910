#include "app/CGameApp.h"
#include "framework/diagnostics/DiagnosticsAppHost.h"
#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace AppTest
