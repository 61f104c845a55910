#pragma once

#include "platform/process/CrashSignals.h"

#include <string>

namespace Lumo {

class SafeText;

// The pieces of a crash report, each line ended by CR LF. The first two are
// safe inside a signal handler.
void AppendExceptionLine(SafeText& text, const Platform::ExceptionRecord& record);
// The registers, then an empty line.
void AppendRegisterLines(SafeText& text, const Platform::ExceptionRecord& record);
// The stack by function names where the program has them, else by module
// and logical address.
std::string StackText(const Platform::ExceptionRecord& record);
// The system's version, and the display and sound library versions that
// the application reads.
std::string GetSystemInfoText();
// The text after the later of the last '/' and the last '\'.
std::string GetPathFileName(const std::string& path);

} // namespace Lumo
