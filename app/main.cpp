#include "framework/StaticInit.h"
#include "framework/core/AppLog.h"
#include "framework/app/LumoAppBase.h"
#include "platform/sound/AudioModules.h"
#include "platform/display/DirectDraw.h"
#include "platform/process/EndSessionSignal.h"
#include "platform/codecs/J2kCodecModule.h"
#include "platform/process/Log.h"

int main()
{
    Lumo::RunStaticInitialisation();
    Platform::SetLogHook([](const std::string& line) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", line.c_str());
    });
    // The system libraries the program loads by name.
    Platform::RegisterDirectDrawModule();
    Platform::RegisterAudioModules();
    Platform::RegisterJ2kCodecModule();
    Platform::WatchEndSessionSignals();

    auto* app = new Lumo::LumoAppBase();
    app->mCompanyName = "DravikGames";
    app->mProductName = "Zentrova";
    app->mTitle = "Zentrova - " ZENTROVA_VERSION;
    app->mRegKey = "DravikGames\\Zentrova";
    app->mWidth = 800;
    app->mHeight = 600;
    app->LoadSettings();
    app->Initialize();
    app->Run();
    const uint32_t code = app->ExitCode();
    delete app;
    return int(code);
}
