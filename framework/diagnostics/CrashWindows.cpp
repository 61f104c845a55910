#include "framework/diagnostics/CrashWindows.h"

#include "framework/diagnostics/CrashReportRequest.h"
#include "framework/diagnostics/CrashReportState.h"
#include "framework/diagnostics/DiagnosticsAppHost.h"
#include "framework/diagnostics/HTTPTransfer.h"
#include "platform/process/Clock.h"
#include "platform/process/CrashSignals.h"
#include "platform/windows/Dialogs.h"

#include <thread>

namespace Lumo {

namespace {

// How long the report may wait on the user at one window.
constexpr uint32_t kUserSeconds = 30 * 60;
// An upload that has not ended by then is aborted, as the Abort button would.
constexpr uint32_t kUploadMillis = 60 * 1000;
constexpr uint32_t kPollMillis = 20;
// The transfer ends within a wait slice of an abort.
constexpr uint32_t kAbortGraceMillis = 2000;

// Polls the transfer until it ends; false when it failed or timed out and the
// user does not retry.
void RunUpload(CrashReportState& state)
{
    HTTPTransfer& transfer = GetCrashHTTPTransfer();
    // No result of an earlier run may pass for this one's.
    transfer.Reset();
    std::thread(SubmitCrashReport).detach();
    uint32_t waited = 0;
    while (!state.mDialogDone) {
        Platform::ExtendCrashDeadline(kUserSeconds);
        const int result = transfer.GetResult();
        switch (UploadStepFor(result)) {
        case UploadStep::kDone:
            state.mDialogDone = true;
            break;
        case UploadStep::kFailed:
            transfer.Reset();
            if (Platform::MessageBoxW(nullptr, L"Failed to connect to server.", L"Connection Failed",
                                      Platform::MB_RETRYCANCEL) == Platform::IDRETRY) {
                waited = 0;
                std::thread(SubmitCrashReport).detach();
            } else {
                state.mDialogDone = true;
            }
            break;
        case UploadStep::kWait:
            if (waited >= kUploadMillis + kAbortGraceMillis)
                state.mDialogDone = true;
            else if (waited >= kUploadMillis)
                transfer.Abort();
            Platform::Sleep(kPollMillis);
            waited += kPollMillis;
            break;
        }
    }
}

} // namespace

UploadStep UploadStepFor(int transferResult)
{
    switch (transferResult) {
    case HTTPTransfer::kIdle:
    case HTTPTransfer::kRunning:
        return UploadStep::kWait;
    case HTTPTransfer::kDone:
    case HTTPTransfer::kAborted:
        return UploadStep::kDone;
    default:
        return UploadStep::kFailed;
    }
}

void CreateCrashWindow(const std::string& text, const std::string& title)
{
    CrashReportState& state = GetCrashReportState();
    state.mTitle = title;
    state.mText = text;
    state.mDialogDone = false;
    // Sending needs the application's product and demo.
    const bool canSend = !state.mUploadHost.empty() && GetDiagnosticsAppHost();
    std::vector<std::string> buttons;
    if (canSend)
        buttons.push_back("Send Report");
    buttons.push_back("Close Now");

    Platform::ExtendCrashDeadline(kUserSeconds);
    const int pressed = Platform::MessageBoxWithButtons(nullptr, "An unexpected error has occured!\r\n\r\n" + text,
                                                        "Fatal Error!", Platform::MB_ICONHAND, buttons);
    if (!canSend || pressed != 1) {
        state.mDialogDone = true;
        return;
    }
    Platform::ExtendCrashDeadline(kUserSeconds);
    const int details = Platform::MessageBoxWithButtons(
        nullptr, "Please help out by providing as much information as you can about this crash.", "Error Details",
        Platform::MB_ICONHAND, {"Continue", "Abort"});
    if (details != 1) {
        state.mDialogDone = true;
        return;
    }
    RunUpload(state);
}

} // namespace Lumo
