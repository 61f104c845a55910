#include "framework/diagnostics/CrashReportText.h"

#include "framework/core/StringUtils.h"
#include "framework/diagnostics/DiagnosticsAppHost.h"
#include "framework/diagnostics/ExceptionNameTable.h"
#include "framework/diagnostics/SafeText.h"
#include "platform/process/Modules.h"

namespace Lumo {

void AppendExceptionLine(SafeText& text, const Platform::ExceptionRecord& record)
{
    if (const char* name = ExceptionName(record.ExceptionCode))
        text.Append("Exception: ").Append(name).Append(" (code 0x");
    else
        text.Append("Unknown exception: (code 0x");
    // Addresses keep all their 64 bits: eight digits at least, as before.
    text.AppendHex(record.ExceptionCode, 1, false).Append(") at address ");
    text.AppendHex(record.ExceptionAddress, 8).Append(" in thread ").AppendHex(record.ThreadId, 1).Append("\r\n");
}

void AppendRegisterLines(SafeText& text, const Platform::ExceptionRecord& record)
{
    const Platform::ThreadContext& c = record.Context;
    const struct {
        const char* name;
        uint64_t value;
    } general[] = {{"RAX:", c.Rax}, {" RBX:", c.Rbx}, {" RCX:", c.Rcx}, {" RDX:", c.Rdx}, {" RSI:", c.Rsi},
                   {" RDI:", c.Rdi}, {"\r\nR8:", c.R8}, {" R9:", c.R9}, {" R10:", c.R10}, {" R11:", c.R11},
                   {" R12:", c.R12}, {" R13:", c.R13}, {" R14:", c.R14}, {" R15:", c.R15}};
    for (const auto& r : general)
        text.Append(r.name).AppendHex(r.value, 16);
    text.Append("\r\nRIP:").AppendHex(c.Rip, 16).Append(" RSP:").AppendHex(c.Rsp, 16);
    text.Append("  RBP:").AppendHex(c.Rbp, 16).Append("\r\n");
    text.Append("CS:").AppendHex(c.SegCs, 4).Append(" GS:").AppendHex(c.SegGs, 4);
    text.Append(" FS:").AppendHex(c.SegFs, 4).Append("\r\n");
    text.Append("Flags:").AppendHex(c.EFlags, 8).Append("\r\n\r\n");
}

std::string StackText(const Platform::ExceptionRecord& record)
{
    std::string text;
    for (int i = 0; i < record.FrameCount; ++i) {
        const uint64_t pc = record.Frames[i];
        // A return address may already lie past its call's function.
        const uint64_t inside = i == 0 ? pc : pc - 1;
        std::string name;
        uint64_t displacement = 0;
        if (Platform::GetSymbolFromAddress(inside, &name, &displacement)) {
            text += FormatString("%016llX %s+%llX\r\n", static_cast<unsigned long long>(pc), name.c_str(),
                                 static_cast<unsigned long long>(displacement + (pc - inside)));
            continue;
        }
        std::string module;
        uint32_t section = 0;
        uint32_t offset = 0;
        if (!Platform::GetLogicalAddress(pc, &module, &section, &offset)) {
            module.clear();
            section = offset = 0;
        }
        text += FormatString("%016llX %04X:%08X %s\r\n", static_cast<unsigned long long>(pc), section, offset,
                             GetPathFileName(module).c_str());
    }
    return text;
}

std::string GetSystemInfoText()
{
    std::string text = "System Ver: " + Platform::GetSystemVersionText() + "\r\n";
    DiagnosticsAppHost* host = GetDiagnosticsAppHost();
    if (!host)
        return text;
    for (const auto& [library, label] : {std::pair<const char*, const char*>{"ddraw.dll", "DDraw Ver: "},
                                         {"dsound.dll", "DSound Ver: "}}) {
        Platform::HMODULE module = Platform::LoadLibraryA(library);
        if (!module)
            continue;
        text += label + host->GetProductVersion(Platform::GetModuleFileNameA(module)) + "\r\n";
        Platform::FreeLibrary(module);
    }
    return text;
}

std::string GetPathFileName(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace Lumo
