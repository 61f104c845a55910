#pragma once

#include "framework/resources/PakInterface.h"
#include "platform/process/Process.h"
#include "tests/app/GameMouse.h"
#include "tests/app/ScriptedGame.h"
#include "tests/game/support/GameFixture.h"

#include <cstdint>
#include <memory>
#include <string>

namespace AppTest {

// The shipped endless graph lists six levels; from position 6 on it cycles
// through four of them in an order of each cycle's own.
constexpr int32_t kEndlessGraph = 1;
constexpr int32_t kListed = 6;
constexpr int32_t kCycle = 4;

// The real program on the archive it ships, on a headless desktop under the
// fake clock; an exit of the process throws instead.
class ShippedGameTest : public GameTest::GameFixture {
protected:
    struct ExitCalled {
        uint32_t mCode;
    };

    ShippedGameTest();
    ~ShippedGameTest() override;

    // Ships another archive in place of the game's own.
    void ShipArchive(const std::string& archive);
    // Ships the archive with its file name holding text instead.
    void ShipWith(const std::string& name, const std::string& text);
    // The text of a file of the shipped archive.
    static std::string ShippedFile(const std::string& name);
    // Reads the settings and starts loading; Run() plays the game.
    ScriptedGame& Start(std::unique_ptr<ScriptedGame> game);
    GameMouse Mouse() { return GameMouse(mSession.Desktop(), *mGame); }
    // A file of the data folder, as the game names it.
    static std::string DataFile(const std::string& name);

    std::unique_ptr<ScriptedGame> mGame;

private:
    Platform::ExitHook mPreviousExit;
    PakInterface mPak;
    PakInterface* mPreviousPak = nullptr;
};

} // namespace AppTest
