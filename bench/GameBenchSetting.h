#pragma once

#include "framework/resources/PakInterface.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/storage/Registry.h"
#include "platform/storage/RegistryStore.h"

#include <filesystem>

// What a benchmark of the whole game runs in: its own data folder, a headless
// desktop, settings in memory and the archive the game ships, mounted.
class GameBenchSetting {
public:
    // label names the temporary folder of this process.
    explicit GameBenchSetting(const char* label);
    // Removes the folder.
    ~GameBenchSetting();
    GameBenchSetting(const GameBenchSetting&) = delete;
    GameBenchSetting& operator=(const GameBenchSetting&) = delete;
    // False when the game's archive could not be mounted.
    bool Mounted() const { return mMounted; }

private:
    static std::filesystem::path PrepareFolder(const char* label);

    std::filesystem::path mFolder;
    Platform::HeadlessSession mSession;
    Platform::RegistryStore mStore;
    Platform::ScopedRegistryStore mStoreScope{&mStore};
    PakInterface mPak;
    bool mMounted = false;
};
