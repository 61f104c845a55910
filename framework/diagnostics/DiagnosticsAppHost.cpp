#include "framework/diagnostics/DiagnosticsAppHost.h"

#include <atomic>

namespace Lumo {

namespace {
// Read by the crash reporter's thread and the HTTP workers.
std::atomic<DiagnosticsAppHost*> gHost{nullptr};
} // namespace

DiagnosticsAppHost* GetDiagnosticsAppHost() { return gHost.load(std::memory_order_acquire); }

void SetDiagnosticsAppHost(DiagnosticsAppHost* host) { gHost.store(host, std::memory_order_release); }

} // namespace Lumo
