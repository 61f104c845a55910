#include "framework/core/AppLog.h"
#include "framework/core/StringUtils.h"
#include "framework/diagnostics/CrashHandler.h"
#include "framework/diagnostics/CrashReportState.h"
#include "platform/process/CrashSignals.h"
#include "platform/process/Log.h"
#include "platform/process/Process.h"
#include "platform/storage/TemporaryFiles.h"
#include "tests/support/ForkedChild.h"
#include "tests/support/PlantedTemporaries.h"
#include "tests/diagnostics/FakeDiagnosticsHost.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// The address sanitizer gives every thread a signal stack of its own, which
// would hide a thread that the program left without one.
extern "C" const char* __asan_default_options() { return "use_sigaltstack=0"; }

// Faults the crash report must name; outside any anonymous namespace so that
// the program's symbols hold them.
namespace CrashSamples {

__attribute__((noinline, no_sanitize("address", "undefined"))) void WriteThroughNull()
{
    // The optimiser drops a store through a pointer it knows to be null; a
    // volatile pointer is one it cannot know.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

__attribute__((noinline, no_sanitize("undefined"))) int DivideByZero(int divisor)
{
    volatile int taken = divisor;
    return 1000 / taken;
}

__attribute__((noinline)) void AbortProgram() { std::abort(); }

// Deeper than any stack; each call keeps a buffer alive across the next.
volatile int gRecursionLimit = 1 << 30;

__attribute__((noinline, no_sanitize("address"))) int RecurseForever(int depth)
{
    volatile char buffer[1024];
    buffer[depth % 1024] = char(depth);
    return depth < gRecursionLimit ? RecurseForever(depth + 1) + buffer[0] : 0;
}

// Points the stack and frame registers into unmapped memory first, so that
// walking the stack from the fault faults again.
__attribute__((noinline)) void FaultWithoutAStack()
{
#if defined(__x86_64__)
    asm volatile("mov $0x1000, %%rsp\n\tmov $0x1000, %%rbp\n\tud2" ::: "memory");
#endif
    std::abort();
}

void OverflowInAnotherThread()
{
    Platform::StartThread([] { RecurseForever(0); }).join();
}

} // namespace CrashSamples

namespace {

using LumoTest::ReadFile;
using LumoTest::TempFolder;

struct FaultCase {
    const char* name;
    void (*fault)();
    int signal;
    const char* firstLine;
    const char* function;
    const char* module;
};

class CrashFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(CrashFaultTest, ReportNamesTheExceptionAndTheFaultingFunction)
{
    const FaultCase& c = GetParam();
    TempFolder folder;
    const LumoTest::ChildEnd end = LumoTest::RunInChild(folder.Path(), [&] {
        Lumo::InstallCrashHandler();
        c.fault();
    });
    ASSERT_FALSE(end.timedOut);
    EXPECT_TRUE(end.signalled);
    EXPECT_EQ(end.signal, c.signal);

    const std::string report = ReadFile(folder / "crash.txt");
    EXPECT_EQ(report.rfind(c.firstLine, 0), 0u) << report;
    EXPECT_NE(report.find(c.function), std::string::npos) << report;
    EXPECT_NE(report.find(std::string("\r\nModule: ") + c.module + "\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nRIP:"), std::string::npos);
    EXPECT_NE(report.find("\r\nSystem Ver: "), std::string::npos);
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CrashFaultTest,
    testing::Values(FaultCase{"NullWrite", CrashSamples::WriteThroughNull, SIGSEGV,
                              "Exception: Access Violation (code 0xc0000005) at address ",
                              "CrashSamples::WriteThroughNull()+", "test_diagnostics"},
                    FaultCase{"DivideByZero", [] { CrashSamples::DivideByZero(0); }, SIGFPE,
                              "Exception: Integer Divide by Zero (code 0xc0000094) at address ",
                              "CrashSamples::DivideByZero(int)+", "test_diagnostics"},
                    FaultCase{"StackOverflow", [] { CrashSamples::RecurseForever(0); }, SIGSEGV,
                              "Exception: Stack Overflow (code 0xc00000fd) at address ",
                              "CrashSamples::RecurseForever(int)+", "test_diagnostics"},
                    FaultCase{"StackOverflowInAnotherThread", CrashSamples::OverflowInAnotherThread, SIGSEGV,
                              "Exception: Stack Overflow (code 0xc00000fd) at address ",
                              "CrashSamples::RecurseForever(int)+", "test_diagnostics"},
                    FaultCase{"StackThatCannotBeWalked", CrashSamples::FaultWithoutAStack, SIGILL,
                              "Exception: Illegal Instruction (code 0xc000001d) at address ",
                              "CrashSamples::FaultWithoutAStack()+", "test_diagnostics"},
                    FaultCase{"Abort", CrashSamples::AbortProgram, SIGABRT,
                              "Exception: Noncontinuable Exception (code 0xc0000025) at address ",
                              "CrashSamples::AbortProgram()+", "libc.so.6"}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// The report must never be what keeps a crashed program alive or hides the fault.
TEST(CrashCatcherTest, BrokenReportStillEndsTheProcessWithTheFirstReport)
{
    TempFolder folder;
    const LumoTest::ChildEnd faulting = LumoTest::RunInChild(folder.Path(), [] {
        Platform::SetUnhandledExceptionFilter([](const Platform::ExceptionRecord&) { CrashSamples::WriteThroughNull(); },
                                              Lumo::WriteFirstCrashReport);
        CrashSamples::DivideByZero(0);
    });
    ASSERT_FALSE(faulting.timedOut);
    EXPECT_EQ(faulting.exitCode, 3);
    const std::string first = ReadFile(folder / "crash.txt");
    EXPECT_EQ(first.rfind("Exception: Integer Divide by Zero (code 0xc0000094)", 0), 0u) << first;
    EXPECT_NE(first.find("\r\nRIP:"), std::string::npos);

    std::filesystem::remove(folder / "crash.txt");
    const auto start = std::chrono::steady_clock::now();
    const LumoTest::ChildEnd hanging = LumoTest::RunInChild(folder.Path(), [] {
        Platform::SetUnhandledExceptionFilter(
            [](const Platform::ExceptionRecord&) {
                Platform::ExtendCrashDeadline(1);
                for (;;)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            },
            Lumo::WriteFirstCrashReport);
        CrashSamples::WriteThroughNull();
    });
    ASSERT_FALSE(hanging.timedOut);
    EXPECT_EQ(hanging.signal, SIGSEGV);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(ReadFile(folder / "crash.txt").rfind("Exception: Access Violation", 0), 0u);
}

// Both reports replace a link by their name, never what the link leads to,
// and leave nothing else behind.
TEST(CrashCatcherTest, TheReportIsNeverWrittenThroughALink)
{
    const struct {
        const char* name;
        void (*write)();
        const char* firstLine;
    } cases[] = {
        {"first report",
         [] {
             Platform::SetUnhandledExceptionFilter([](const Platform::ExceptionRecord&) {},
                                                   Lumo::WriteFirstCrashReport);
             CrashSamples::WriteThroughNull();
         },
         "Exception: Access Violation"},
        {"whole report", [] { Lumo::WriteCrashFile("the report"); }, "the report\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        folder.Write("notes.txt", "the user's notes");
        std::filesystem::create_symlink(folder / "notes.txt", folder / "crash.txt");
        const LumoTest::ChildEnd end = LumoTest::RunInChild(folder.Path(), c.write);
        ASSERT_FALSE(end.timedOut);
        EXPECT_EQ(ReadFile(folder / "notes.txt"), "the user's notes");
        EXPECT_FALSE(std::filesystem::is_symlink(folder / "crash.txt"));
        EXPECT_EQ(ReadFile(folder / "crash.txt").rfind(c.firstLine, 0), 0u);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);
    }
}

// A report that the working folder does not take goes to the data folder, as
// the log does; the log and the terminal say where it went, or why it is lost.
TEST(CrashCatcherTest, AReportTheWorkingFolderRefusesGoesToTheDataFolderAndSaysWhere)
{
    enum class Refusal { kNone, kReadOnlyFolder, kFolderInTheWay, kReadOnlyAfterTheFirstReport };
    enum class Report { kWhole, kFirst, kNone };
    const struct {
        const char* name;
        Refusal working;
        bool dataRefuses;
        // The first, short report alone, as when the whole one hangs.
        bool firstOnly;
        Report inWorking;
        Report inData;
        const char* told;
    } cases[] = {
        {"the working folder takes it", Refusal::kNone, false, false, Report::kWhole, Report::kNone,
         "The crash report is in \"<working>/crash.txt\""},
        {"a working folder of mode 555", Refusal::kReadOnlyFolder, false, false, Report::kNone, Report::kWhole,
         "The crash report is in \"<data>/crash.txt\": Cannot write \"<working>/crash.txt\" (create): Permission "
         "denied"},
        {"a folder named crash.txt", Refusal::kFolderInTheWay, false, false, Report::kNone, Report::kWhole,
         "The crash report is in \"<data>/crash.txt\": Cannot write \"<working>/crash.txt\" (rename): Is a "
         "directory"},
        {"the first report alone", Refusal::kReadOnlyFolder, false, true, Report::kNone, Report::kFirst, nullptr},
        {"no folder takes it", Refusal::kFolderInTheWay, true, false, Report::kNone, Report::kNone,
         "The crash report was not saved: Cannot write \"<working>/crash.txt\" (rename): Is a directory; Cannot "
         "write \"<data>/crash.txt\" (rename): Is a directory"},
        {"no folder takes the whole one", Refusal::kReadOnlyAfterTheFirstReport, true, false, Report::kFirst,
         Report::kNone,
         "The crash report was not saved whole, a short one is in \"<working>/crash.txt\": Cannot write "
         "\"<working>/crash.txt\" (create): Permission denied; Cannot write \"<data>/crash.txt\" (rename): Is a "
         "directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string working = folder / "working";
        const std::string data = folder / "data";
        std::filesystem::create_directories(working);
        std::filesystem::create_directories(data);
        if (c.working == Refusal::kFolderInTheWay)
            std::filesystem::create_directory(working + "/crash.txt");
        if (c.dataRefuses)
            std::filesystem::create_directory(data + "/crash.txt");
        const bool readOnly = c.working == Refusal::kReadOnlyFolder;
        if (readOnly)
            std::filesystem::permissions(working, std::filesystem::perms(0555));

        const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(folder.Path(), [&] {
            ASSERT_EQ(::chdir(working.c_str()), 0);
            // The refusal must come from the permissions, which root would pass.
            ASSERT_TRUE(!readOnly || ::access(".", W_OK) != 0);
            const int terminal = ::open((data + "/terminal.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ASSERT_GE(terminal, 0);
            ASSERT_GE(::dup2(terminal, 2), 0);
            Lumo::AppLog::GetInstance()->Open(data + "/");
            Lumo::SetCrashReportFallbackFolder(data);
            if (c.firstOnly)
                Platform::SetUnhandledExceptionFilter([](const Platform::ExceptionRecord&) {},
                                                      Lumo::WriteFirstCrashReport);
            else if (c.working == Refusal::kReadOnlyAfterTheFirstReport)
                Platform::SetUnhandledExceptionFilter(
                    [](const Platform::ExceptionRecord& record) {
                        ::chmod(".", 0555);
                        Lumo::CrashExceptionFilter(record);
                    },
                    Lumo::WriteFirstCrashReport);
            else
                Lumo::InstallCrashHandler();
            CrashSamples::WriteThroughNull();
        });
        std::filesystem::permissions(working, std::filesystem::perms(0755));
        ASSERT_FALSE(end.timedOut);
        ASSERT_EQ(end.signal, SIGSEGV) << "exit code " << end.exitCode;

        const std::pair<std::string, Report> reports[] = {{working + "/crash.txt", c.inWorking},
                                                          {data + "/crash.txt", c.inData}};
        for (const auto& [report, kept] : reports) {
            if (kept == Report::kNone) {
                EXPECT_FALSE(std::filesystem::is_regular_file(report)) << report;
                continue;
            }
            const std::string text = ReadFile(report);
            EXPECT_EQ(text.rfind("Exception: Access Violation", 0), 0u) << report << ": " << text;
            EXPECT_EQ(text.find("\r\nSystem Ver: ") != std::string::npos, kept == Report::kWhole) << text;
        }
        // No temporary is left behind by a write that failed.
        for (const std::string& where : {working, data})
            for (const auto& entry : std::filesystem::directory_iterator(where))
                EXPECT_FALSE(Platform::IsTemporaryName(entry.path().filename().string())) << entry.path();

        if (c.told == nullptr)
            continue;
        const std::string log = ReadFile(data + "/applog.txt");
        const std::string terminal = ReadFile(data + "/terminal.txt");
        std::string told = c.told;
        for (const auto& [mark, path] : {std::pair<std::string, std::string>{"<working>", working}, {"<data>", data}})
            for (size_t at = told.find(mark); at != std::string::npos; at = told.find(mark))
                told.replace(at, mark.size(), path);
        EXPECT_NE(log.find(told + "\r\n"), std::string::npos) << log;
        EXPECT_NE(terminal.find(told + "\n"), std::string::npos) << terminal;
    }
}

// A report cut off (the process killed while the fault's first report or
// the whole one was written) leaves its temporary where reports go; the next
// report there clears it, and says so in the log.
TEST(CrashCatcherTest, AReportClearsTheTemporariesOfReportsCutOffWhereItGoes)
{
    for (const bool workingRefuses : {false, true}) {
        SCOPED_TRACE(workingRefuses ? "the data folder takes it" : "the working folder takes it");
        TempFolder folder;
        const std::string working = folder / "working";
        const std::string data = folder / "data";
        std::filesystem::create_directories(working);
        std::filesystem::create_directories(data);
        LumoTest::PlantedTemporaries planted(workingRefuses ? data : working, "crash.txt");
        if (workingRefuses)
            std::filesystem::permissions(working, std::filesystem::perms(0555));

        const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(folder.Path(), [&] {
            ASSERT_EQ(::chdir(working.c_str()), 0);
            Lumo::AppLog::GetInstance()->Open(data + "/");
            Platform::SetLogHook([](const std::string& line) {
                Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", line.c_str());
            });
            Lumo::SetCrashReportFallbackFolder(data);
            Lumo::InstallCrashHandler();
            CrashSamples::WriteThroughNull();
        });
        std::filesystem::permissions(working, std::filesystem::perms(0755));
        ASSERT_FALSE(end.timedOut);
        ASSERT_EQ(end.signal, SIGSEGV) << "exit code " << end.exitCode;
        EXPECT_TRUE(std::filesystem::is_regular_file((workingRefuses ? data : working) + "/crash.txt"));
        EXPECT_FALSE(std::filesystem::exists(planted.Stale()));
        EXPECT_TRUE(std::filesystem::exists(planted.Fresh()));
        EXPECT_NE(ReadFile(data + "/applog.txt").find("Removed \"" + planted.Stale() + "\""), std::string::npos);
    }
}

TEST(CrashCatcherTest, RemovingPutsThePreviousHandlingBack)
{
    struct sigaction before = {};
    ::sigaction(SIGSEGV, nullptr, &before);
    Lumo::InstallCrashHandler();
    struct sigaction during = {};
    ::sigaction(SIGSEGV, nullptr, &during);
    EXPECT_NE(during.sa_sigaction, before.sa_sigaction);
    EXPECT_TRUE(during.sa_flags & SA_ONSTACK);
    Lumo::RemoveCrashHandler();
    struct sigaction after = {};
    ::sigaction(SIGSEGV, nullptr, &after);
    EXPECT_EQ(after.sa_sigaction, before.sa_sigaction);
}

class HandleCrashTest : public testing::Test {
protected:
    void SetUp() override
    {
        mPrevious = std::filesystem::current_path();
        std::filesystem::current_path(mFolder.Path());
        mRecord = Platform::ExceptionRecord{};
        mRecord.ExceptionCode = 0xC000008E;
        mRecord.ExceptionAddress = reinterpret_cast<uint64_t>(&CrashSamples::AbortProgram) + 4;
        mRecord.ThreadId = 0x2A;
        mRecord.Context.Rip = mRecord.ExceptionAddress;
        mRecord.Context.Rax = 0x1122334455667788;
        mRecord.Context.EFlags = 0x246;
        mRecord.Frames[0] = mRecord.ExceptionAddress;
        mRecord.FrameCount = 1;
    }
    void TearDown() override { std::filesystem::current_path(mPrevious); }

    TempFolder mFolder;
    std::filesystem::path mPrevious;
    Platform::ExceptionRecord mRecord;
};

TEST_F(HandleCrashTest, ReportGoesToFileClipboardAndFinishedDemo)
{
    LumoTest::FakeDiagnosticsHost host;
    host.mRecording = true;
    host.mSessionInfo = "Product: Zentrova\r\n";
    Lumo::CrashExceptionFilter(mRecord);

    const std::string report = ReadFile(mFolder / "crash.txt");
    EXPECT_EQ(report.rfind(Lumo::FormatString("Exception: Divide by Zero (code 0xc000008e) at address %08llX in "
                                              "thread 2A\r\nModule: test_diagnostics\r\nLogical Address: ",
                                              static_cast<unsigned long long>(mRecord.ExceptionAddress)),
                           0),
              0u)
        << report;
    EXPECT_NE(report.find("CrashSamples::AbortProgram()+4\r\n\r\nRAX:1122334455667788 RBX:0000000000000000"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\r\nFlags:00000246\r\n\r\nSystem Ver: "), std::string::npos);
    EXPECT_NE(report.find("\r\n\r\nProduct: Zentrova\r\n"), std::string::npos);
    EXPECT_EQ(host.mClipboard + "\r\n", report);

    EXPECT_EQ(host.mCalls, "suspend;finish;");
    host.mDemo.RewindRead();
    EXPECT_EQ(host.mDemo.ReadBits(4, false), 0);
    EXPECT_EQ(host.mDemo.ReadBits(1, false), 0);
    EXPECT_EQ(host.mDemo.ReadBits(5, false), 31);
    const Lumo::CrashReportState& state = Lumo::GetCrashReportState();
    EXPECT_TRUE(state.mAttachDemo);
    EXPECT_EQ(state.mAttachmentPath, "crashed.dmo");
    EXPECT_EQ(host.mAttachmentPath, "crashed.dmo");
    EXPECT_FALSE(host.mRecording);
    EXPECT_TRUE(state.mDialogDone);
}

TEST_F(HandleCrashTest, AttachmentWithoutDemoAndReportWithoutApplication)
{
    {
        LumoTest::FakeDiagnosticsHost host;
        host.mPlaying = true;
        Lumo::HandleCrash(mRecord);
        EXPECT_FALSE(Lumo::GetCrashReportState().mAttachDemo);
        EXPECT_FALSE(host.mPlaying);
        host.mExtraInfo = "extra.bin";
        Lumo::HandleCrash(mRecord);
        EXPECT_TRUE(Lumo::GetCrashReportState().mAttachDemo);
        EXPECT_EQ(host.mAttachmentPath, "extra.bin");
        EXPECT_EQ(host.mCalls, "");
    }
    mRecord.ExceptionCode = 0x12345678;
    Lumo::HandleCrash(mRecord);
    const std::string report = ReadFile(mFolder / "crash.txt");
    EXPECT_EQ(report.rfind("Unknown exception: (code 0x12345678) at address ", 0), 0u) << report;
    EXPECT_EQ(report.find("DDraw Ver:"), std::string::npos);
}

} // namespace
