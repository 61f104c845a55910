#pragma once

#include "framework/diagnostics/CrashHandler.h"
#include "framework/diagnostics/ModValReparse.h"

namespace Lumo {

// What the application asks of the diagnostics; tests replace it.
class AppDiagnostics {
public:
    virtual ~AppDiagnostics() = default;

    // Sets off the same report as a real fault would.
    virtual void ReportCrashNow() { CrashNow(); }
    // Re-reads the tweakable values from their source files; false (after a
    // message box) when nothing changed or a file could not be read.
    virtual bool ModValReparse() { return Lumo::ModValReparse(); }
};

} // namespace Lumo
