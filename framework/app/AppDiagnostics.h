#pragma once

#include "framework/diagnostics/CrashHandler.h"

namespace Lumo {

// What the application asks of the diagnostics; tests replace it.
class AppDiagnostics {
public:
    virtual ~AppDiagnostics() = default;

    // Sets off the same report as a real fault would.
    virtual void ReportCrashNow() { CrashNow(); }
    // Re-reads the tweakable values from their source files; false when one
    // could not be read. Without any there is nothing to fail.
    virtual bool ModValReparse() { return true; }
};

} // namespace Lumo
