#pragma once

#include "tests/game/support/GameFixture.h"

#include <string>

namespace GameTest {

// The player's files in the application's data folder, made the user data
// folder, and the settings they go with.
class PlayerFileFixture : public GameFixture {
protected:
    PlayerFileFixture();

    std::string DataPath(const std::string& name) const;
    std::string ReadData(const std::string& name) const { return LumoTest::ReadFile(DataPath(name)); }
    void WriteData(const std::string& name, const std::string& bytes);
    // The application's settings value, or "<none>".
    std::string StoredString(const std::string& name);
};

} // namespace GameTest
