#include "tests/lumoapp/AppFixture.h"

#include "framework/core/AppLog.h"
#include "framework/core/UserDataFolder.h"
#include "framework/diagnostics/CrashHandler.h"
#include "platform/storage/Files.h"

#include <cstdlib>
#include <filesystem>

namespace LumoTest {
namespace {

class DataFolderTest : public AppFixture {
protected:
    std::string DataFolder() const
    {
        return mFolder / ("data/TestCompany/LumoAppTest" + std::to_string(Platform::GetCurrentProcessId()));
    }
    static size_t Count(const std::string& text, const std::string& part)
    {
        size_t count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++count;
        return count;
    }
};

TEST_F(DataFolderTest, TheLogGoesToTheDataFolderWhenTheWorkingFolderTakesNone)
{
    std::filesystem::create_directory(mFolder / "applog.txt");
    ASSERT_NE(StartApp(), nullptr);
    EXPECT_EQ(Platform::NativePath(Lumo::GetUserDataFolder()), DataFolder() + "/");
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "kept");
    EXPECT_EQ(ReadFile(DataFolder() + "/applog.txt"), "kept\r\n");
}

TEST_F(DataFolderTest, TheCrashReportGoesToTheDataFolderWhenTheWorkingFolderTakesNone)
{
    std::filesystem::create_directory(mFolder / "crash.txt");
    ASSERT_NE(StartApp(), nullptr);
    Lumo::WriteCrashFile("the report");
    EXPECT_EQ(ReadFile(DataFolder() + "/crash.txt"), "the report\r\n");
    EXPECT_TRUE(std::filesystem::is_empty(mFolder / "crash.txt"));
    EXPECT_NE(ReadFile(mFolder / "applog.txt").find("The crash report is in \"" + DataFolder() + "/crash.txt\""),
              std::string::npos);
}

TEST_F(DataFolderTest, ADataHomeLongerThanAnyFixedPathIsTheDataFolder)
{
    const std::string home =
        mFolder / (std::string(120, 'a') + "/" + std::string(120, 'b') + "/" + std::string(120, 'c'));
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    ASSERT_NE(StartApp(), nullptr);
    const std::string folder = home + "/TestCompany/LumoAppTest" + std::to_string(Platform::GetCurrentProcessId());
    EXPECT_EQ(Platform::NativePath(Lumo::GetUserDataFolder()), folder + "/");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST_F(DataFolderTest, AFolderThatCannotBeWrittenIsReportedOnceAndAgainForEachLostFile)
{
    // A file where the data folder should begin: nothing can be made below it.
    mFolder.Write("blocked", "");
    setenv("XDG_DATA_HOME", (mFolder / "blocked/data").c_str(), 1);
    ASSERT_NE(StartApp(), nullptr);
    mApp->mRecording = true;
    mApp->DemoFinish();
    mApp->mRecording = false;
    mApp->WriteScreenshot();
    mApp->WriteScreenshot();

    const std::string log = ReadFile(mFolder / "applog.txt");
    EXPECT_EQ(Count(log, "The data folder \"" + mFolder.Path() + "/blocked/data/TestCompany/"), 1u) << log;
    EXPECT_EQ(Count(log, "cannot be written"), 1u) << log;
    EXPECT_EQ(Count(log, "The recorded demo is lost: Cannot write \"" + mFolder.Path() + "/blocked/data/"), 1u)
        << log;
    EXPECT_EQ(Count(log, "Screenshot not written"), 2u) << log;
}

} // namespace
} // namespace LumoTest
