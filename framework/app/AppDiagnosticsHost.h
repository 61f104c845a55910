#pragma once

#include "framework/diagnostics/DiagnosticsAppHost.h"

namespace Lumo {

class LumoAppBase;

// The application as the crash reporter and the HTTP client see it.
class AppDiagnosticsHost final : public DiagnosticsAppHost {
public:
    // Installs the application (null removes it).
    static void Attach(LumoAppBase* app);

    bool IsRecordingDemo() override;
    bool IsPlayingDemo() override;
    Buffer& DemoBuffer() override;
    void DemoRecordSync() override;
    bool DemoReadRecordHeader() override;
    bool DemoRecordIsShort() override;
    int DemoRecordKind() override;
    void DemoConsumeRecord() override;
    void DemoFinish() override;
    std::string DemoFileName() override;
    void StopDemo() override;
    void SuspendForSystem() override;
    std::string BuildSessionInfo() override;
    std::string ExtraInfoText() override;
    std::string GetProductVersion(const std::string& path) override;
    void CopyToClipboard(const std::string& text) override;
    void AddCrashReportFields(std::map<std::string, std::string>& fields) override;
    std::string ProductTitle() override;
    std::string ProductVersionText() override;
    bool ReadCrashAttachment(Buffer& buffer) override;
    void SetCrashAttachmentPath(const std::string& path) override;

private:
    explicit AppDiagnosticsHost(LumoAppBase& app) : mApp(app) {}

    LumoAppBase& mApp;
};

} // namespace Lumo
