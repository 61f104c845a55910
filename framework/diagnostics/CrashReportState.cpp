#include "framework/diagnostics/CrashReportState.h"

namespace Lumo {

CrashReportState& GetCrashReportState()
{
    static CrashReportState* state = [] {
        auto* made = new CrashReportState();
        made->mUploadHost = LUMO_CRASH_UPLOAD_HOST;
        return made;
    }();
    // Never destroyed: a crash at exit may still need it.
    return *state;
}

} // namespace Lumo
