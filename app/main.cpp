#include "framework/StaticInit.h"
#include "framework/core/AppLog.h"
#include "app/CGameApp.h"
#include "platform/sound/AudioModules.h"
#include "platform/display/DirectDraw.h"
#include "platform/process/EndSessionSignal.h"
#include "platform/codecs/J2kCodecModule.h"
#include "platform/process/Log.h"
#include "platform/process/VersionModule.h"

int main()
{
    Lumo::RunStaticInitialisation();
    Platform::SetLogHook([](const std::string& line) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", line.c_str());
    });
    // The system libraries the program loads by name.
    Platform::RegisterVersionModule();
    Platform::RegisterDirectDrawModule();
    Platform::RegisterAudioModules();
    Platform::RegisterJ2kCodecModule();
    Platform::WatchEndSessionSignals();

    auto* app = new CGameApp();
    app->LoadSettings();
    app->Initialize();
    app->Run();
    const uint32_t code = app->ExitCode();
    delete app;
    return int(code);
}
