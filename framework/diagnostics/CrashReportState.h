#pragma once

#include <atomic>
#include <string>

namespace Lumo {

// What the crash report, its windows and its upload share.
struct CrashReportState {
    std::string mTitle;
    std::string mText;
    std::string mUserText;
    std::string mAttachmentPath;
    bool mAttachDemo = false;
    // The server the report may go to ("host", "host:port", with or without
    // a scheme); the upload is offered only when it is set.
    std::string mUploadHost;
    std::atomic<bool> mDialogDone{false};
};

CrashReportState& GetCrashReportState();

} // namespace Lumo
