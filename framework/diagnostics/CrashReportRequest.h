#pragma once

#include <map>
#include <string>

namespace Lumo {

// What the crash report upload sends.
struct CrashReportForm {
    std::map<std::string, std::string> mExtraFields;
    std::string mProduct;
    std::string mVersion;
    std::string mUserText;
    std::string mErrorTitle;
    std::string mErrorText;
    bool mAttachDemo = false;
    std::string mDemoBytes;
};

// The whole POST of the form, as a multipart form, to the upload host.
std::string BuildCrashReportRequest(const CrashReportForm& form, const std::string& uploadHost);

// The upload thread: gathers the form from the report state and the
// application, and sends it through the crash report's transfer.
void SubmitCrashReport();

} // namespace Lumo
