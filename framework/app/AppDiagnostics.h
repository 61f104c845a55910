#pragma once

namespace Lumo {

// What the application asks of the crash reporter. This base reports
// nothing: it serves until the diagnostics services are installed.
class AppDiagnostics {
public:
    virtual ~AppDiagnostics() = default;

    // Sets off the same report as a real fault would.
    virtual void ReportCrashNow() {}
};

} // namespace Lumo
