#pragma once

namespace Lumo {

// What the application asks of the crash reporter. This base reports
// nothing: it serves until the diagnostics services are installed.
class AppDiagnostics {
public:
    virtual ~AppDiagnostics() = default;

    // Sets off the same report as a real fault would.
    virtual void ReportCrashNow() {}
    // Re-reads the tweakable values from their source files; false when one
    // could not be read. Without any there is nothing to fail.
    virtual bool ModValReparse() { return true; }
};

} // namespace Lumo
