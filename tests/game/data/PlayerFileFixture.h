#pragma once

#include "tests/game/support/GameFixture.h"

#include <string>

namespace GameTest {

// The player's files in the data folder, and the settings they go with.
class PlayerFileFixture : public GameFixture {
protected:
    std::string DataPath(const std::string& name) const { return mDataFolder + name; }
    std::string ReadData(const std::string& name) const { return LumoTest::ReadFile(DataPath(name)); }
    void WriteData(const std::string& name, const std::string& bytes) { WriteFile("data\\" + name, bytes); }
    // The application's settings value, or "<none>".
    std::string StoredString(const std::string& name);
};

} // namespace GameTest
