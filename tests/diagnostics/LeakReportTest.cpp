#include "framework/diagnostics/LeakReport.h"
#include "platform/process/Debug.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <filesystem>
#include <regex>

namespace {

// Runs in a fresh current folder and leaves the store torn down.
class LeakReportTest : public testing::Test {
protected:
    void SetUp() override
    {
        mPrevious = std::filesystem::current_path();
        std::filesystem::current_path(mFolder.Path());
        mSink = Platform::SetDebugSink([this](const char* text) { mDebugger += text; });
        Lumo::LeakReportInit();
    }
    void TearDown() override
    {
        Lumo::SetLeakReportWanted(false);
        Lumo::LeakReportShutdown();
        Platform::SetDebugSink(mSink);
        std::filesystem::current_path(mPrevious);
    }

    std::string Report() const { return LumoTest::ReadFile(mFolder / "mem_leaks.txt"); }

    LumoTest::TempFolder mFolder;
    std::filesystem::path mPrevious;
    Platform::DebugSink mSink;
    std::string mDebugger;
};

TEST_F(LeakReportTest, ListsTheBlocksStillHeldAtExit)
{
    // Real blocks, given back only after the report has listed them.
    auto leaked = std::make_unique<char[]>(2000);
    auto one = std::make_unique<char[]>(1);
    auto freed = std::make_unique<char[]>(64);
    Lumo::LeakTrackAllocation(leaked.get(), 2000, "board.cpp", 41);
    Lumo::LeakTrackAllocation(one.get(), 1, "tiny.cpp", 7);
    Lumo::LeakTrackAllocation(freed.get(), 64, "gone.cpp", 3);
    Lumo::LeakTrackRelease(freed.get());
    freed.reset();
    Lumo::LeakTrackAllocation(reinterpret_cast<void*>(0x10), 46, "zero.cpp", 0);

    Lumo::SetLeakReportWanted(true);
    Lumo::LeakReportShutdown();

    const std::string report = Report();
    EXPECT_TRUE(std::regex_search(report, std::regex("^Memory Leak Report for \\w{3} \\w{3} [ \\d]\\d "
                                                     "\\d\\d:\\d\\d:\\d\\d \\d{4}\n\n")))
        << report;
    EXPECT_NE(report.find("zero.cpp(0) : Leak 46 bytes\n"), std::string::npos);
    EXPECT_NE(report.find("board.cpp(41) : Leak 2000 bytes\n"), std::string::npos);
    EXPECT_NE(report.find("tiny.cpp(7) : Leak 1 byte\n"), std::string::npos);
    EXPECT_EQ(report.find("gone.cpp"), std::string::npos);
    EXPECT_NE(report.find("\n" + std::string(59, '-') + "\nTotal Unfreed: 2047 bytes (1KB)\n\n"), std::string::npos);
    EXPECT_EQ(mDebugger, "\n" + report);
}

TEST_F(LeakReportTest, EmptyStoreAndUnwantedReport)
{
    Lumo::LeakReportShutdown();
    EXPECT_FALSE(std::filesystem::exists(mFolder / "mem_leaks.txt"));

    Lumo::LeakReportInit();
    Lumo::WriteLeakReport();
    const std::string report = Report();
    EXPECT_NE(report.find("\n\n" + std::string(59, '-') + "\nTotal Unfreed: 0 bytes (0KB)\n\n"), std::string::npos);
}

// A link planted by the report's name is replaced by the report.
TEST_F(LeakReportTest, NeverWritesThroughALink)
{
    mFolder.Write("elsewhere/letter.txt", "keep me");
    std::filesystem::create_symlink(mFolder / "elsewhere/letter.txt", mFolder / "mem_leaks.txt");
    Lumo::WriteLeakReport();
    EXPECT_EQ(LumoTest::ReadFile(mFolder / "elsewhere/letter.txt"), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(mFolder / "mem_leaks.txt"));
    EXPECT_EQ(Report().rfind("Memory Leak Report for ", 0), 0u);
}

} // namespace
