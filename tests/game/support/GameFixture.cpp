#include "tests/game/support/GameFixture.h"

#include "framework/core/AppLog.h"
#include "framework/core/UserDataFolder.h"
#include "framework/resources/SharedPak.h"
#include "platform/storage/Files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace GameTest {

GameFixture::GameFixture()
{
    mPreviousFolder = Platform::GetCurrentDirectoryA();
    Platform::SetCurrentDirectoryA(mFolder.Path().c_str());
    setenv("XDG_DATA_HOME", (mFolder / "xdg").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", mFolder.Path().c_str(), 1);
    std::filesystem::create_directories(mFolder / "data");
    mDataFolder = mFolder / "data/";
    Lumo::SetUserDataFolder(mDataFolder);
    Lumo::AppLog::GetInstance()->Open("");
}

GameFixture::~GameFixture()
{
    mApp.reset();
    mPak.reset();
    Lumo::AppLog::GetInstance()->Close();
    Lumo::SetUserDataFolder("");
    Platform::SetCurrentDirectoryA(mPreviousFolder.c_str());
}

GameTestApp& GameFixture::App()
{
    if (!mApp) {
        // The application opens the log afresh; keep what was written before.
        mLogBeforeApp = LogText();
        mApp = std::make_unique<GameTestApp>();
    }
    return *mApp;
}

void GameFixture::WriteFile(const std::string& name, const std::string& bytes)
{
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    mFolder.Write(path, bytes);
}

void GameFixture::AddArchiveFile(const std::string& name, const std::string& bytes)
{
    ASSERT_TRUE(mArchiveEntries.Add(name, bytes)) << name;
}

void GameFixture::MountArchive()
{
    const std::string path = mFolder / ("archive" + std::to_string(mArchiveCount++) + ".pak");
    std::string error;
    ASSERT_TRUE(mArchiveEntries.WriteFile(path, &error)) << error;
    if (!mPak) {
        mPak = std::make_unique<PakInterface>();
        ASSERT_EQ(Lumo::GetSharedPak(), mPak.get()) << "another archive layer is published";
    }
    ASSERT_TRUE(mPak->MountArchive(path));
    mArchiveEntries = PakWriter();
}

std::string GameFixture::LogText() const { return mLogBeforeApp + LumoTest::ReadFile(mDataFolder + "applog.txt"); }

std::vector<std::string> GameFixture::LogLines() const
{
    std::vector<std::string> lines;
    const std::string text = LogText();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool GameFixture::LogHas(const std::string& line) const
{
    const std::vector<std::string> lines = LogLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace GameTest
