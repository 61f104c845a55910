#pragma once

#include <map>
#include <string>

namespace Lumo {

class Buffer;

// What the crash reporter and the HTTP client ask of the application object.
// The application installs itself once it is built and leaves before it is
// torn down; without it the diagnostics run on their own.
class DiagnosticsAppHost {
public:
    virtual ~DiagnosticsAppHost() = default;

    // Demo records.
    virtual bool IsRecordingDemo() = 0;
    virtual bool IsPlayingDemo() = 0;
    virtual Buffer& DemoBuffer() = 0;
    virtual void DemoRecordSync() = 0;
    // True when a record is due in this update; its form and kind are then
    // those of DemoRecordIsShort and DemoRecordKind.
    virtual bool DemoReadRecordHeader() = 0;
    virtual bool DemoRecordIsShort() = 0;
    virtual int DemoRecordKind() = 0;
    // The record under the reader has been read: the next header follows.
    virtual void DemoConsumeRecord() = 0;
    virtual void DemoFinish() = 0;
    virtual std::string DemoFileName() = 0;
    // Nothing after this is recorded or played back.
    virtual void StopDemo() = 0;

    // Crash report.
    virtual void SuspendForSystem() = 0;
    virtual std::string BuildSessionInfo() = 0;
    virtual std::string ExtraInfoText() = 0;
    virtual std::string GetProductVersion(const std::string& path) = 0;
    virtual void CopyToClipboard(const std::string& text) = 0;
    virtual void AddCrashReportFields(std::map<std::string, std::string>& fields) = 0;
    virtual std::string ProductTitle() = 0;
    virtual std::string ProductVersionText() = 0;
    // The whole attachment file; false when it cannot be opened.
    virtual bool ReadCrashAttachment(Buffer& buffer) = 0;
    // The path ReadCrashAttachment reads.
    virtual void SetCrashAttachmentPath(const std::string& path) = 0;
};

// Null while no application object exists.
DiagnosticsAppHost* GetDiagnosticsAppHost();
void SetDiagnosticsAppHost(DiagnosticsAppHost* host);

} // namespace Lumo
