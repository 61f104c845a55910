#pragma once

#include "framework/core/Buffer.h"
#include "framework/diagnostics/DiagnosticsAppHost.h"

#include <functional>
#include <map>
#include <string>

namespace LumoTest {

// An application as the diagnostics see it: a demo buffer whose records are
// all due at once, and a log of the crash report's calls.
class FakeDiagnosticsHost : public Lumo::DiagnosticsAppHost {
public:
    FakeDiagnosticsHost() { Lumo::SetDiagnosticsAppHost(this); }
    ~FakeDiagnosticsHost() override { Lumo::SetDiagnosticsAppHost(nullptr); }

    bool IsRecordingDemo() override { return mRecording; }
    bool IsPlayingDemo() override { return mPlaying; }
    Lumo::Buffer& DemoBuffer() override { return mDemo; }
    void DemoRecordSync() override { mDemo.WriteBits(0, 4); }
    bool DemoReadRecordHeader() override
    {
        if (mNeedsHeader && !mDemo.AtEnd()) {
            mDemo.ReadBits(4, false);
            mShort = mDemo.ReadBits(1, false) == 1;
            mKind = mDemo.ReadBits(mShort ? 1 : 5, false);
            mNeedsHeader = false;
        }
        return !mNeedsHeader;
    }
    bool DemoRecordIsShort() override { return mShort; }
    int DemoRecordKind() override { return mKind; }
    void DemoConsumeRecord() override { mNeedsHeader = true; }
    void DemoFinish() override { mCalls += "finish;"; }
    std::string DemoFileName() override { return mDemoFile; }
    void StopDemo() override { mRecording = mPlaying = false; }

    void SuspendForSystem() override { mCalls += "suspend;"; }
    std::string BuildSessionInfo() override { return mSessionInfo; }
    std::string ExtraInfoText() override { return mExtraInfo; }
    std::string GetProductVersion(const std::string&) override { return "7.7"; }
    void CopyToClipboard(const std::string& text) override { mClipboard = text; }
    void AddCrashReportFields(std::map<std::string, std::string>& fields) override
    {
        if (mWhileBuilding)
            mWhileBuilding();
        fields = mFields;
    }
    std::string ProductTitle() override { return "Zentrova"; }
    std::string ProductVersionText() override { return "1.0"; }
    bool ReadCrashAttachment(Lumo::Buffer& buffer) override
    {
        if (mAttachment.empty())
            return false;
        buffer.SetData(reinterpret_cast<const uint8_t*>(mAttachment.data()), int32_t(mAttachment.size()));
        return true;
    }
    void SetCrashAttachmentPath(const std::string& path) override { mAttachmentPath = path; }

    bool mRecording = false;
    bool mPlaying = false;
    Lumo::Buffer mDemo;
    bool mNeedsHeader = true;
    bool mShort = false;
    int mKind = 0;
    std::string mDemoFile = "crashed.dmo";
    std::string mCalls;
    std::string mSessionInfo;
    std::string mExtraInfo;
    std::string mClipboard;
    std::map<std::string, std::string> mFields;
    // Runs as the crash report's request is being built.
    std::function<void()> mWhileBuilding;
    std::string mAttachment;
    std::string mAttachmentPath;
};

} // namespace LumoTest
