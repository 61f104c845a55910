#include "framework/app/AppDiagnosticsHost.h"

#include "framework/StaticInit.h"
#include "framework/app/LumoAppBase.h"

#include <memory>

namespace Lumo {

namespace {
std::unique_ptr<AppDiagnosticsHost> gHost;
} // namespace

void AppDiagnosticsHost::Attach(LumoAppBase* app)
{
    // Out of the diagnostics' reach before the old host goes.
    SetDiagnosticsAppHost(nullptr);
    gHost.reset(app ? new AppDiagnosticsHost(*app) : nullptr);
    SetDiagnosticsAppHost(gHost.get());
}

bool AppDiagnosticsHost::IsRecordingDemo() { return mApp.mRecording; }
bool AppDiagnosticsHost::IsPlayingDemo() { return mApp.mPlaying; }
Buffer& AppDiagnosticsHost::DemoBuffer() { return mApp.mDemoBuffer; }
void AppDiagnosticsHost::DemoRecordSync() { mApp.DemoRecordSync(); }
bool AppDiagnosticsHost::DemoReadRecordHeader() { return mApp.DemoReadRecordHeader(); }
bool AppDiagnosticsHost::DemoRecordIsShort() { return mApp.mDemoIsShort; }
int AppDiagnosticsHost::DemoRecordKind() { return mApp.mDemoCommand; }
void AppDiagnosticsHost::DemoConsumeRecord() { mApp.mDemoNeedsHeader = true; }
void AppDiagnosticsHost::DemoFinish() { mApp.DemoFinish(); }
std::string AppDiagnosticsHost::DemoFileName() { return mApp.mDemoFileName; }

void AppDiagnosticsHost::StopDemo()
{
    mApp.mRecording = false;
    mApp.mPlaying = false;
}

void AppDiagnosticsHost::SuspendForSystem() { mApp.SuspendForSystem(); }
std::string AppDiagnosticsHost::BuildSessionInfo() { return mApp.BuildSessionInfo(); }
std::string AppDiagnosticsHost::ExtraInfoText() { return mApp.ExtraInfoText(); }
std::string AppDiagnosticsHost::GetProductVersion(const std::string& path) { return mApp.GetProductVersion(path); }
void AppDiagnosticsHost::CopyToClipboard(const std::string& text) { mApp.CopyToClipboard(text); }

void AppDiagnosticsHost::AddCrashReportFields(std::map<std::string, std::string>& fields)
{
    mApp.AddCrashReportFields(fields);
}

std::string AppDiagnosticsHost::ProductTitle() { return mApp.mProductName; }
std::string AppDiagnosticsHost::ProductVersionText() { return mApp.mProductVersion; }
bool AppDiagnosticsHost::ReadCrashAttachment(Buffer& buffer) { return mApp.ReadCrashAttachment(buffer); }
void AppDiagnosticsHost::SetCrashAttachmentPath(const std::string& path) { gCrashAttachmentPath = path; }

} // namespace Lumo
