#include "framework/StaticInit.h"

#include "framework/core/Profiler.h"
#include "framework/core/RandomNumber.h"
#include "framework/core/StopwatchTimer.h"
#include "framework/core/UserDataFolder.h"
#include "framework/diagnostics/CrashHandler.h"
#include "framework/diagnostics/HTTPTransfer.h"
#include "framework/diagnostics/LeakReport.h"
#include "framework/resources/PakInterface.h"
#include "framework/widgets/DialogButtonLabels.h"

#include <cstdlib>
#include <mutex>
#include <new>

namespace Lumo {

PakInterface* gPakInterface = nullptr;
std::string gCrashAttachmentPath;

namespace {
GameStaticInit gGameStaticInit = nullptr;
std::once_flag gOnce;
} // namespace

void SetGameStaticInit(GameStaticInit hook) { gGameStaticInit = hook; }

void RunStaticInitialisation()
{
    std::call_once(gOnce, [] {
        if (gGameStaticInit)
            gGameStaticInit();
        GetCrashHTTPTransfer();
        Profiler::Reset();
        LeakReportInit();
        std::atexit(LeakReportShutdown);
        SeedRandom(4357);
        SetUserDataFolder("");
        InstallCrashHandler();
        std::atexit(RemoveCrashHandler);
        gFrameRateStopwatch = StopwatchTimer();
        // Never deleted: the archives stay mapped until the process ends.
        gPakInterface = new (std::nothrow) PakInterface();
        gDialogYesLabel = "YES";
        gDialogNoLabel = "NO";
        gDialogOkLabel = "OK";
        gDialogCancelLabel = "CANCEL";
    });
}

} // namespace Lumo
