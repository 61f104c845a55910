#include "framework/diagnostics/LeakReport.h"

#include "framework/core/CriticalSectionHolder.h"
#include "framework/core/StringUtils.h"
#include "platform/process/Debug.h"
#include "platform/storage/AtomicFile.h"

#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Lumo {

namespace {

struct LeakEntry {
    int32_t mSize;
    std::string mFile;
    int32_t mLine;
};

CriticalSectionHolder gLeakLock;
std::unique_ptr<std::map<uintptr_t, LeakEntry>> gLeaks;
bool gTracking = false;
bool gDumpWanted = false;

} // namespace

void LeakReportInit()
{
    std::lock_guard<CriticalSectionHolder> lock(gLeakLock);
    gLeaks = std::make_unique<std::map<uintptr_t, LeakEntry>>();
    gTracking = true;
}

void LeakReportShutdown()
{
    if (gDumpWanted)
        WriteLeakReport();
    std::lock_guard<CriticalSectionHolder> lock(gLeakLock);
    gTracking = false;
    gLeaks.reset();
}

void WriteLeakReport()
{
    std::lock_guard<CriticalSectionHolder> lock(gLeakLock);
    if (!gTracking)
        return;
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    char stamp[64] = {};
    std::strftime(stamp, sizeof(stamp), "%a %b %e %H:%M:%S %Y\n", &local);
    // The debugger hears the report line by line, and only once the file holds it.
    std::vector<std::string> lines = {FormatString("Memory Leak Report for %s\n", stamp)};
    int32_t total = 0;
    for (const auto& [address, entry] : *gLeaks) {
        lines.push_back(FormatString("%s(%d) : Leak %d byte%s\n", entry.mFile.c_str(), entry.mLine, entry.mSize,
                                     entry.mSize >= 2 ? "s" : ""));
        total = int32_t(uint32_t(total) + uint32_t(entry.mSize));
    }
    lines.push_back(std::string(59, '-') + "\n");
    lines.push_back(FormatString("Total Unfreed: %d bytes (%dKB)\n\n", total, total / 1024));
    std::string report;
    for (const std::string& line : lines)
        report += line;
    std::string error;
    if (!Platform::WriteFileAtomically("mem_leaks.txt", report, &error, Platform::AtLink::kReplace))
        return;
    Platform::OutputDebugStringA("\n");
    for (const std::string& line : lines)
        Platform::OutputDebugStringA(line.c_str());
}

void LeakTrackAllocation(const void* address, int32_t size, const char* file, int32_t line)
{
    std::lock_guard<CriticalSectionHolder> lock(gLeakLock);
    if (gTracking)
        (*gLeaks)[reinterpret_cast<uintptr_t>(address)] = LeakEntry{size, file ? file : "", line};
}

void LeakTrackRelease(const void* address)
{
    std::lock_guard<CriticalSectionHolder> lock(gLeakLock);
    if (gTracking)
        gLeaks->erase(reinterpret_cast<uintptr_t>(address));
}

void SetLeakReportWanted(bool wanted) { gDumpWanted = wanted; }

} // namespace Lumo
