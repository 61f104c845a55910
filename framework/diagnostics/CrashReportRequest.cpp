#include "framework/diagnostics/CrashReportRequest.h"

#include "framework/core/Buffer.h"
#include "framework/diagnostics/CrashReportState.h"
#include "framework/diagnostics/DiagnosticsAppHost.h"
#include "framework/diagnostics/HTTPTransfer.h"
#include "framework/diagnostics/HttpUrl.h"

namespace Lumo {

namespace {

constexpr const char* kBoundary = "---------------------------7d3e1f30eec";

void AppendPart(std::string& body, const std::string& name, const std::string& value, bool file = false)
{
    body += std::string("--") + kBoundary + "\r\n";
    body += "Content-Disposition: form-data; name=\"" + name + "\"";
    if (file)
        body += "; filename=\"marvex.dmo\"\r\nContent-Type: application/octet-stream";
    body += "\r\n\r\n" + value + "\r\n";
}

} // namespace

std::string BuildCrashReportRequest(const CrashReportForm& form, const std::string& uploadHost)
{
    std::string body;
    for (const auto& [name, value] : form.mExtraFields)
        AppendPart(body, name, value);
    AppendPart(body, "prod", form.mProduct);
    AppendPart(body, "version", form.mVersion);
    AppendPart(body, "usertext", form.mUserText);
    AppendPart(body, "errortitle", form.mErrorTitle);
    AppendPart(body, "errortext", form.mErrorText);
    if (form.mAttachDemo)
        AppendPart(body, "demofile", form.mDemoBytes, true);
    body += std::string("--") + kBoundary + "--\r\n";

    // The Host header names the server alone, not the scheme or path the
    // setting may carry.
    return std::string("POST /vorsel_error.php HTTP/1.1\r\n") +
           "Content-Type: multipart/form-data; boundary=" + kBoundary + "\r\n" +
           "User-Agent: Mozilla/4.0 (compatible; marvex)\r\n" + "Host: " + HttpUrl::Split(uploadHost).HostAndPort() +
           "\r\n" + "Content-Length: " + std::to_string(body.size()) + "\r\n" + "Connection: close\r\n\r\n" + body;
}

void SubmitCrashReport()
{
    CrashReportState& state = GetCrashReportState();
    CrashReportForm form;
    form.mUserText = state.mUserText;
    form.mErrorTitle = state.mTitle;
    form.mErrorText = state.mText;
    form.mAttachDemo = state.mAttachDemo;
    if (DiagnosticsAppHost* host = GetDiagnosticsAppHost()) {
        host->AddCrashReportFields(form.mExtraFields);
        form.mProduct = host->ProductTitle();
        form.mVersion = host->ProductVersionText();
        Buffer demo;
        if (form.mAttachDemo && host->ReadCrashAttachment(demo) && demo.GetDataPtr())
            form.mDemoBytes.assign(reinterpret_cast<const char*>(demo.GetDataPtr()), size_t(demo.GetDataLen()));
    }
    GetCrashHTTPTransfer().SendRequest(state.mUploadHost, BuildCrashReportRequest(form, state.mUploadHost));
}

} // namespace Lumo
