#pragma once

#include "framework/resources/PakInterface.h"
#include "framework/resources/PakWriter.h"
#include "platform/process/Clock.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/storage/Registry.h"
#include "platform/storage/RegistryStore.h"
#include "tests/game/support/GameTestApp.h"
#include "tests/game/support/RecordingImage.h"
#include "tests/graphics/FixedWidthFont.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace GameTest {

using GraphicsTests::FixedWidthFont;

// What every game test stands on: a scratch working folder that is also the
// data folder's parent, a headless desktop, a fake clock, settings in memory,
// the application log in the scratch folder, content files on disk or in an
// archive, and (on first use) the application object.
class GameFixture : public ::testing::Test {
protected:
    GameFixture();
    ~GameFixture() override;

    // The application, made on first use.
    GameTestApp& App();

    // A loose file below the working folder; "\" in the name separates folders.
    void WriteFile(const std::string& name, const std::string& bytes);
    // Entries of the archive that MountArchive mounts.
    void AddArchiveFile(const std::string& name, const std::string& bytes);
    // Writes the entries added so far into an archive and mounts it as the
    // process's archive layer (a later call mounts the new entries over it).
    void MountArchive();

    // The log written so far, and its lines.
    std::string LogText() const;
    std::vector<std::string> LogLines() const;
    // Whether a line of the log is exactly line.
    bool LogHas(const std::string& line) const;

    LumoTest::TempFolder mFolder;
    std::string mDataFolder;
    Platform::HeadlessSession mSession;
    Platform::FakeClock mClock{1'000'000};
    Platform::ScopedClock mClockScope{&mClock};
    Platform::RegistryStore mStore;
    Platform::ScopedRegistryStore mStoreScope{&mStore};

private:
    std::string mPreviousFolder;
    std::string mLogBeforeApp;
    PakWriter mArchiveEntries;
    int mArchiveCount = 0;
    std::unique_ptr<PakInterface> mPak;
    std::unique_ptr<GameTestApp> mApp;
};

} // namespace GameTest
