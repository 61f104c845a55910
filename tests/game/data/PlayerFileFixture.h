#pragma once

#include "framework/app/LumoAppBase.h"
#include "platform/storage/Registry.h"
#include "platform/storage/RegistryStore.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace GameTest {

// A scratch working folder with a "data" folder beside it as the user data
// folder, settings in memory, and an application object to reach them.
class PlayerFileFixture : public ::testing::Test {
protected:
    PlayerFileFixture();
    ~PlayerFileFixture() override;

    std::string DataPath(const std::string& name) const { return mFolder / ("data/" + name); }
    std::string ReadData(const std::string& name) const { return LumoTest::ReadFile(DataPath(name)); }
    void WriteData(const std::string& name, const std::string& bytes) const { mFolder.Write("data/" + name, bytes); }
    // The application's settings value, or "<none>".
    std::string StoredString(const std::string& name);
    void StoreString(const std::string& name, const std::string& text);

    LumoTest::TempFolder mFolder;
    std::string mPreviousFolder;
    Platform::RegistryStore mStore;
    Platform::ScopedRegistryStore mStoreScope{&mStore};
    std::unique_ptr<Lumo::LumoAppBase> mApp;
};

} // namespace GameTest
