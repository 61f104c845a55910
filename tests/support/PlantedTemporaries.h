#pragma once

#include "platform/process/Log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

namespace LumoTest {

// What writes of a file leave in a folder: the temporary of one cut off an
// hour ago and that of one going on now. The lines the platform logs
// meanwhile are kept, and passed on to the hook before, so that several
// folders may be planted at once.
class PlantedTemporaries {
public:
    PlantedTemporaries(const std::string& folder, const std::string& file)
        : mStale(folder + "/." + file + ".~lumo-tmp-Ab12Cd"), mFresh(folder + "/." + file + ".~lumo-tmp-Ef34Gh"),
          mPrevious(Platform::SetLogHook([this](const std::string& line) {
              {
                  std::lock_guard<std::mutex> lock(mMutex);
                  mLogged.push_back(line);
              }
              mPrevious(line);
          }))
    {
        std::filesystem::create_directories(folder);
        for (const std::string& path : {mStale, mFresh})
            std::ofstream(path) << "cut off";
        std::filesystem::last_write_time(mStale,
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }
    ~PlantedTemporaries() { Platform::SetLogHook(mPrevious); }
    PlantedTemporaries(const PlantedTemporaries&) = delete;
    PlantedTemporaries& operator=(const PlantedTemporaries&) = delete;

    // The stale one went, and a line of the log names it; the fresh one stays.
    void ExpectSwept()
    {
        EXPECT_FALSE(std::filesystem::exists(mStale)) << mStale;
        EXPECT_TRUE(std::filesystem::exists(mFresh)) << mFresh;
        EXPECT_TRUE(Logged(mStale)) << mStale;
    }
    // Both stay, and nothing names them.
    void ExpectLeft()
    {
        EXPECT_TRUE(std::filesystem::exists(mStale)) << mStale;
        EXPECT_TRUE(std::filesystem::exists(mFresh)) << mFresh;
        EXPECT_FALSE(Logged(mStale)) << mStale;
    }
    // Whether a line of the log names the file (by its name: the folder may
    // be named otherwise there).
    bool Logged(const std::string& path)
    {
        const std::string name = "/" + std::filesystem::path(path).filename().string() + "\"";
        std::lock_guard<std::mutex> lock(mMutex);
        return std::any_of(mLogged.begin(), mLogged.end(),
                           [&](const std::string& line) { return line.find(name) != std::string::npos; });
    }
    const std::string& Stale() const { return mStale; }
    const std::string& Fresh() const { return mFresh; }
    std::vector<std::string> LoggedLines()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mLogged;
    }

private:
    std::string mStale;
    std::string mFresh;
    std::mutex mMutex;
    std::vector<std::string> mLogged;
    Platform::LogHook mPrevious;
};

} // namespace LumoTest
