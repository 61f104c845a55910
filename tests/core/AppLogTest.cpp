#include "framework/core/AppLog.h"
#include "framework/core/UserDataFolder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

using Lumo::AppLog;
using LumoTest::ReadFile;
using LumoTest::TempFolder;

class AppLogTest : public ::testing::Test {
protected:
    void TearDown() override { mLog->Close(); }

    TempFolder mDir;
    AppLog* mLog = AppLog::GetInstance();
    std::string mFile = mDir / "applog.txt";
};

TEST_F(AppLogTest, OnlyFileFlaggedLinesReachTheFile)
{
    mLog->Printf(2, "lost: no file is open yet");
    EXPECT_TRUE(mLog->Open(mDir.Path() + "/"));
    mLog->Printf(2, "Objbase: loaded %d objects.", 12);
    mLog->Printf(4, "trace %d", 1);
    mLog->Printf(6, "both bits");
    mLog->Printf(2, "two\nlines");
    // Flushed at once: the file is complete before Close.
    EXPECT_EQ(ReadFile(mFile), "Objbase: loaded 12 objects.\r\nboth bits\r\ntwo\r\nlines\r\n");
    mLog->Close();
    mLog->Printf(2, "after close");
    EXPECT_EQ(ReadFile(mFile), "Objbase: loaded 12 objects.\r\nboth bits\r\ntwo\r\nlines\r\n");
}

TEST_F(AppLogTest, LongTextIsCutAt1023Characters)
{
    mLog->Open(mDir.Path() + "/");
    mLog->Printf(2, "%s", std::string(2000, 'z').c_str());
    EXPECT_EQ(ReadFile(mFile), std::string(1023, 'z') + "\r\n");
}

TEST_F(AppLogTest, OpenReplacesTheEarlierFileInTheUserDataFolder)
{
    Lumo::SetUserDataFolder(mDir.Path());
    mLog->Open("");
    Lumo::SetUserDataFolder("");
    mLog->Printf(2, "first run");
    mLog->Close();
    mLog->Open(mDir.Path() + "/");
    mLog->Printf(2, "second run");
    EXPECT_EQ(ReadFile(mFile), "second run\r\n");
}

TEST_F(AppLogTest, FileThatCannotBeOpenedDropsLines)
{
    EXPECT_TRUE(mLog->Open(mDir.Path() + "/missing/"));
    EXPECT_TRUE(mLog->OpenFailed());
    mLog->Printf(2, "dropped");
    mLog->Open(mDir.Path() + "/");
    mLog->Printf(2, "kept");
    EXPECT_EQ(ReadFile(mFile), "kept\r\n");
}

TEST_F(AppLogTest, ALogThatAnotherRunHoldsIsLeftAsItIs)
{
    Platform::LogFile running;
    ASSERT_EQ(running.Open(mFile), Platform::LogFile::OpenResult::Opened);
    running.Write("first run\r\n");

    EXPECT_TRUE(mLog->Open(mDir.Path() + "/"));
    EXPECT_FALSE(mLog->IsOpen());
    EXPECT_FALSE(mLog->OpenFailed());
    mLog->Printf(2, "second run");
    EXPECT_EQ(ReadFile(mFile), "first run\r\n");

    // Once the first run is over, the next one replaces its log.
    running.Close();
    mLog->Open(mDir.Path() + "/");
    mLog->Printf(2, "third run");
    EXPECT_EQ(ReadFile(mFile), "third run\r\n");
}

// A name by which the log would reach another file: that file stays as it
// was, and the log is a file of its own in the link's place.
TEST_F(AppLogTest, TheLogIsNeverWrittenThroughALink)
{
    const std::string victim = mDir / "notes.txt";
    for (const bool symbolic : {true, false}) {
        SCOPED_TRACE(symbolic ? "symbolic link" : "second name");
        mDir.Write("notes.txt", "the user's notes");
        std::filesystem::remove(mFile);
        if (symbolic)
            std::filesystem::create_symlink(victim, mFile);
        else
            std::filesystem::create_hard_link(victim, mFile);
        mLog->Open(mDir.Path() + "/");
        mLog->Printf(2, "logged");
        mLog->Close();
        EXPECT_EQ(ReadFile(victim), "the user's notes");
        EXPECT_FALSE(std::filesystem::is_symlink(mFile));
        EXPECT_EQ(ReadFile(mFile), "logged\r\n");
    }
}

TEST_F(AppLogTest, LinesOfTwoThreadsNeverMix)
{
    mLog->Open(mDir.Path() + "/");
    const int count = 10000;
    auto writer = [&](const char* who) {
        for (int i = 0; i < count; ++i)
            mLog->Printf(2, "%s line %d of a loader's report", who, i);
    };
    std::thread loading(writer, "loading");
    writer("main");
    loading.join();

    std::istringstream lines(ReadFile(mFile));
    std::string line;
    int total = 0;
    while (std::getline(lines, line)) {
        ++total;
        ASSERT_EQ(line.back(), '\r');
        int number = -1;
        char who[16] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "%15s line %d of a loader's report\r", who, &number), 2) << line;
        EXPECT_TRUE(std::string(who) == "main" || std::string(who) == "loading") << line;
    }
    EXPECT_EQ(total, 2 * count);
}
