#pragma once

#include "platform/process/CrashSignals.h"

#include <string>

namespace Lumo {

// The crash catcher: installed by the start-up routine, removed at exit.
void InstallCrashHandler();
void RemoveCrashHandler();

// The filter: hides the application, then builds, stores and shows the report.
void CrashExceptionFilter(const Platform::ExceptionRecord& record);
// The report: "crash.txt", the clipboard, the finished demo, the crash window.
void HandleCrash(const Platform::ExceptionRecord& record);
// The short report written in the fault itself, before anything else runs.
void WriteFirstCrashReport(const Platform::ExceptionRecord& record);
// "crash.txt" in the working folder or, when that takes none, in the
// fallback folder; the log and the terminal are told where it went.
void WriteCrashFile(const std::string& text);
// A line about the report for the terminal and the log.
void TellCrashReportLine(const std::string& line);
// Where the report goes when the working folder takes none: the user data
// folder, as for the log, as a path of this file system. Empty for none.
void SetCrashReportFallbackFolder(const std::string& folder);

// A real fault, for the "-crash" switch: the report is the one a fault gives.
[[noreturn]] void CrashNow();

} // namespace Lumo
