#include "framework/diagnostics/CrashHandler.h"

#include "framework/core/AppLog.h"
#include "framework/core/Buffer.h"
#include "framework/core/StringUtils.h"
#include "framework/diagnostics/CrashReportState.h"
#include "framework/diagnostics/CrashReportText.h"
#include "framework/diagnostics/CrashWindows.h"
#include "framework/diagnostics/DiagnosticsAppHost.h"
#include "framework/diagnostics/MapFileAnnotation.h"
#include "framework/diagnostics/SafeText.h"
#include "platform/storage/AtomicFile.h"
#include "platform/storage/Files.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Lumo {

namespace {

constexpr const char* kCrashFile = "crash.txt";
// The demo record that closes a demo cut short by a crash.
constexpr int kDemoFillerRecord = 31;
// Building the report, before anyone is asked anything.
constexpr uint32_t kReportSeconds = 15;

// Made ready before any fault: the first report may not allocate.
char gFallbackPath[4096];
std::atomic<bool> gHasFallback{false};
// Where the first report went, for when the whole one goes nowhere.
enum class FirstReport { kNone, kWorkingFolder, kFallback };
std::atomic<FirstReport> gFirstReport{FirstReport::kNone};

std::string FallbackPath() { return gHasFallback ? std::string(gFallbackPath) : std::string(); }

// The folder is a path of this file system as it stands.
std::string ReportPathIn(const std::string& folder)
{
    return folder.empty() ? kCrashFile : folder + (folder.back() == '/' ? "" : "/") + kCrashFile;
}

void FinishDemo(DiagnosticsAppHost& host, CrashReportState& state)
{
    const bool recording = host.IsRecordingDemo();
    if (recording) {
        host.DemoRecordSync();
        host.DemoBuffer().WriteBits(0, 1);
        host.DemoBuffer().WriteBits(kDemoFillerRecord, 5);
        host.DemoFinish();
        state.mAttachmentPath = host.DemoFileName();
    }
    state.mAttachDemo = recording;
    const std::string extra = host.ExtraInfoText();
    if (!extra.empty()) {
        state.mAttachmentPath = extra;
        state.mAttachDemo = true;
    }
    host.SetCrashAttachmentPath(state.mAttachmentPath);
    // The upload must reach the network, not a demo.
    host.StopDemo();
}

} // namespace

// The terminal first: the log waits for its lock, which the fault may hold.
void TellCrashReportLine(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    AppLog::GetInstance()->Printf(AppLog::kToFile, "%s", line.c_str());
}

void InstallCrashHandler()
{
    Platform::SetUnhandledExceptionFilter(CrashExceptionFilter, WriteFirstCrashReport);
}

void RemoveCrashHandler() { Platform::RemoveUnhandledExceptionFilter(); }

void CrashExceptionFilter(const Platform::ExceptionRecord& record)
{
    if (DiagnosticsAppHost* host = GetDiagnosticsAppHost())
        host->SuspendForSystem();
    HandleCrash(record);
}

void HandleCrash(const Platform::ExceptionRecord& record)
{
    Platform::ExtendCrashDeadline(kReportSeconds);
    SafeText head;
    AppendExceptionLine(head, record);
    std::string text = head.Data();

    std::string module;
    uint32_t section = 0;
    uint32_t offset = 0;
    if (!Platform::GetLogicalAddress(record.ExceptionAddress, &module, &section, &offset)) {
        module.clear();
        section = offset = 0;
    }
    text += "Module: " + GetPathFileName(module) + "\r\n";
    text += FormatString("Logical Address: %04X:%08X\r\n\r\n", section, offset);
    const std::string title = FormatString("Exception at %04X:%08X", section, offset);

    text += StackText(record) + "\r\n";
    SafeText registers;
    AppendRegisterLines(registers, record);
    text += registers.Data();
    text += GetSystemInfoText();

    DiagnosticsAppHost* host = GetDiagnosticsAppHost();
    if (host) {
        const std::string session = host->BuildSessionInfo();
        if (!session.empty())
            text += "\r\n" + session;
        host->CopyToClipboard(text);
    }
    FindMapFileLine(text);
    WriteCrashFile(text);
    if (host)
        FinishDemo(*host, GetCrashReportState());
    CreateCrashWindow(text, title);
}

void WriteFirstCrashReport(const Platform::ExceptionRecord& record)
{
    SafeText text;
    AppendExceptionLine(text, record);
    text.Append("\r\n");
    for (int i = 0; i < record.FrameCount; ++i)
        text.AppendHex(record.Frames[i], 16).Append("\r\n");
    text.Append("\r\n");
    AppendRegisterLines(text, record);
    if (Platform::WriteFileFromSignal(kCrashFile, text.Data(), text.Length()))
        gFirstReport = FirstReport::kWorkingFolder;
    else if (gHasFallback && Platform::WriteFileFromSignal(gFallbackPath, text.Data(), text.Length()))
        gFirstReport = FirstReport::kFallback;
}

// Replaces the first report whole, so that a reader never sees half of it;
// when that fails, the first report stays.
void WriteCrashFile(const std::string& text)
{
    const std::string bytes = text + "\r\n";
    const std::string working = ReportPathIn(Platform::GetCurrentDirectoryA());
    std::string reasons;
    if (Platform::WriteFileAtomically(working, bytes, &reasons, Platform::AtLink::kReplace)) {
        TellCrashReportLine("The crash report is in \"" + working + "\"");
        return;
    }
    const std::string fallback = FallbackPath();
    std::string error;
    if (!fallback.empty() && fallback != working) {
        if (Platform::WriteFileAtomically(fallback, bytes, &error, Platform::AtLink::kReplace)) {
            TellCrashReportLine("The crash report is in \"" + fallback + "\": " + reasons);
            return;
        }
        reasons += "; " + error;
    }
    const FirstReport first = gFirstReport;
    if (first == FirstReport::kNone)
        TellCrashReportLine("The crash report was not saved: " + reasons);
    else
        TellCrashReportLine("The crash report was not saved whole, a short one is in \"" +
                            (first == FirstReport::kWorkingFolder ? working : fallback) + "\": " + reasons);
}

void SetCrashReportFallbackFolder(const std::string& folder)
{
    gHasFallback = false;
    if (folder.empty())
        return;
    const std::string path = ReportPathIn(folder);
    if (path.size() >= sizeof(gFallbackPath))
        return;
    std::memcpy(gFallbackPath, path.c_str(), path.size() + 1);
    gHasFallback = true;
}

__attribute__((noinline, no_sanitize("address", "undefined"))) void CrashNow()
{
    // The optimiser drops a store through a pointer it knows to be null; a
    // volatile pointer is one it cannot know.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 0;
    std::abort();
}

} // namespace Lumo
