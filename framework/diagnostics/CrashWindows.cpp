#include "framework/diagnostics/CrashWindows.h"

#include "framework/core/StringUtils.h"
#include "framework/diagnostics/CrashHandler.h"
#include "framework/diagnostics/CrashReportRequest.h"
#include "framework/diagnostics/CrashReportState.h"
#include "framework/diagnostics/DiagnosticsAppHost.h"
#include "framework/diagnostics/HTTPTransfer.h"
#include "platform/process/Clock.h"
#include "platform/process/CrashSignals.h"
#include "platform/process/Process.h"
#include "platform/windows/DialogWindow.h"
#include "platform/windows/Dialogs.h"

#include <algorithm>

namespace Lumo {

namespace {

using Platform::DialogEvent;
using Platform::DialogWindow;

// How long the report may wait on the user at one window.
constexpr uint32_t kUserSeconds = 30 * 60;
// How often a window waiting on its user looks up.
constexpr uint32_t kUserSliceMillis = 100;
// An upload that has not ended by then has failed, however much of a reply
// trickles in: a silent network is the commonest failure, and nobody waits
// longer on a crashed program.
constexpr uint32_t kUploadMillis = 60 * 1000;
constexpr uint32_t kPollMillis = 20;
constexpr uint32_t kTickMillis = 1000;
// The transfer ends within a wait slice of the user's abort, and one pressed
// while the request is still being built takes once it runs; a try that
// never gets that far ends the window after this anyway.
constexpr uint32_t kAbortGraceMillis = 2000;
// GetWindowTextA's buffer of 8192 characters holds this many.
constexpr size_t kUserTextLimit = 8191;

// Child styles: a read-only multi-line heading, a bordered read-only report
// with a scroll bar, the editable user text, a default push button (also
// disabled), a read-only single line.
constexpr uint32_t kHeadingStyle = 0x50000804;
constexpr uint32_t kReportStyle = 0x50A00804;
constexpr uint32_t kUserTextStyle = 0x50A00004;
constexpr uint32_t kButtonStyle = 0x50000001;
constexpr uint32_t kDisabledButtonStyle = 0x58000001;
constexpr uint32_t kProgressTextStyle = 0x50000800;

struct FontSpec {
    const char* face;
    int32_t points;
    int32_t weight;
};
constexpr FontSpec kTahoma8{"Tahoma", 8, 400};
constexpr FontSpec kTahoma10Bold{"Tahoma", 10, 700};
constexpr FontSpec kArial9Bold{"Arial", 9, 700};
constexpr FontSpec kCourier8{"Courier New", 8, 400};

Platform::DialogControl Control(const char* className, uint32_t style, int32_t x, int32_t y, int32_t width,
                                int32_t height, const std::string& text, const FontSpec& font)
{
    Platform::DialogControl control;
    control.className = className;
    control.style = style;
    control.place = Platform::RECT{x, y, x + width, y + height};
    control.text = text;
    control.fontFace = font.face;
    // -MulDiv(points, 96, 72), rounded as MulDiv rounds.
    control.fontHeight = -((font.points * 96 + 36) / 72);
    control.fontWeight = font.weight;
    return control;
}

Platform::DialogLayout Window(const char* title, int32_t at, int32_t width, int32_t height)
{
    Platform::DialogLayout layout;
    layout.title = title;
    layout.origin = Platform::POINT{at, at};
    layout.clientWidth = width;
    layout.clientHeight = height;
    return layout;
}

uint32_t SendStyle() { return GetDiagnosticsAppHost() ? kButtonStyle : kDisabledButtonStyle; }

// Indices of the controls in the layouts below.
constexpr size_t kSendSlot = 2;
constexpr size_t kCloseSlot = 3;
constexpr size_t kUserText = 1;
constexpr size_t kProgressText = 0;
constexpr size_t kProgressAbort = 1;

Platform::DialogLayout CrashLayout(const std::string& text, bool offerSend)
{
    Platform::DialogLayout layout = Window("Fatal Error!", 64, 400, 300);
    layout.controls.push_back(Control("EDIT", kHeadingStyle, 8, 8, 384, 84, "An unexpected error has occured!",
                                      kArial9Bold));
    layout.controls.push_back(Control("EDIT", kReportStyle, 8, 92, 384, 168, text, kCourier8));
    if (offerSend) {
        layout.controls.push_back(Control("BUTTON", SendStyle(), 8, 268, 188, 24, "Send Report", kArial9Bold));
        layout.controls.push_back(Control("BUTTON", kButtonStyle, 204, 268, 188, 24, "Close Now", kArial9Bold));
    } else {
        layout.controls.push_back(Control("BUTTON", kButtonStyle, 8, 268, 384, 24, "Close Now", kArial9Bold));
    }
    return layout;
}

Platform::DialogLayout DetailsLayout()
{
    Platform::DialogLayout layout = Window("Error Details", 80, 400, 300);
    layout.controls.push_back(
        Control("EDIT", kHeadingStyle, 8, 8, 384, 84,
                "Please help out by providing as much information as you can about this crash.", kArial9Bold));
    layout.controls.push_back(Control("EDIT", kUserTextStyle, 8, 92, 384, 168, "", kTahoma8));
    layout.controls.push_back(Control("BUTTON", SendStyle(), 8, 268, 188, 24, "Continue", kArial9Bold));
    layout.controls.push_back(Control("BUTTON", kButtonStyle, 204, 268, 188, 24, "Abort", kArial9Bold));
    layout.focus = int(kUserText);
    return layout;
}

Platform::DialogLayout ProgressLayout()
{
    Platform::DialogLayout layout = Window("Submitting Report", 64, 240, 64);
    layout.controls.push_back(Control("EDIT", kProgressTextStyle, 24, 10, 224, 24, "Please Wait", kTahoma10Bold));
    layout.controls.push_back(Control("BUTTON", kButtonStyle, 72, 36, 96, 22, "Abort", kTahoma8));
    return layout;
}

// Waits for the user to press a button of the window; kCloseSlot stands for
// closing it.
size_t WaitForButton(DialogWindow& window, size_t closeSlot)
{
    Platform::ExtendCrashDeadline(kUserSeconds);
    for (;;) {
        const DialogEvent event = window.Wait(kUserSliceMillis);
        if (event.kind == DialogEvent::Kind::Close)
            return closeSlot;
        if (event.kind == DialogEvent::Kind::Pressed)
            return event.control;
    }
}

// Why an upload failed, for the log: the user sees one message for all.
std::string FailureText(int result)
{
    switch (result) {
    case HTTPTransfer::kNotFound:
        return "the server has no page for reports (404)";
    case HTTPTransfer::kBadStatus:
        return "the server refused it";
    case HTTPTransfer::kSocketFailed:
        return "the network failed";
    case HTTPTransfer::kHostUnknown:
        return "the server's name is unknown";
    case HTTPTransfer::kConnectFailed:
        return "no connection could be made";
    case HTTPTransfer::kSendFailed:
        return "it could not be sent whole";
    case HTTPTransfer::kReplyTooLarge:
        return "the reply was too large";
    case HTTPTransfer::kReplyBroken:
        return "the connection broke before the reply was whole";
    case HTTPTransfer::kBadReply:
        return "the reply was no HTTP reply";
    case HTTPTransfer::kTimedOut:
        return FormatString("no whole answer came within %u seconds", kUploadMillis / 1000);
    default:
        return FormatString("result %d", result);
    }
}

std::string ProgressText(uint32_t ticks)
{
    std::string text = "Please Wait";
    for (uint32_t i = 0; i < ticks % 10; ++i)
        text += " .";
    return text;
}

// Sends the report and shows its progress until the transfer ends, or the
// user gives up after a failure; running out of time is a failure.
void RunUpload(CrashReportState& state)
{
    std::unique_ptr<DialogWindow> window = Platform::OpenDialogWindow(ProgressLayout());
    if (window)
        window->Show(true);
    HTTPTransfer& transfer = GetCrashHTTPTransfer();
    // No result of an earlier run may pass for this one's.
    transfer.Reset();
    Platform::StartThread(SubmitCrashReport).detach();
    uint32_t started = Platform::timeGetTime();
    uint32_t nextPoll = started + kPollMillis;
    uint32_t nextTick = started + kTickMillis;
    uint32_t ticks = 0;
    bool userAborted = false;
    while (!state.mDialogDone) {
        Platform::ExtendCrashDeadline(kUserSeconds);
        uint32_t now = Platform::timeGetTime();
        const int32_t untilTimer = std::min(int32_t(nextPoll - now), int32_t(nextTick - now));
        const uint32_t wait = uint32_t(std::max(0, untilTimer));
        const DialogEvent event = window ? window->Wait(wait) : DialogEvent{};
        if (!window)
            Platform::Sleep(wait);
        if (event.kind == DialogEvent::Kind::Close ||
            (event.kind == DialogEvent::Kind::Pressed && event.control == kProgressAbort)) {
            transfer.Abort();
            userAborted = true;
        }
        now = Platform::timeGetTime();
        if (int32_t(now - nextTick) >= 0) {
            ++ticks;
            nextTick += kTickMillis;
            if (window)
                window->SetControlText(kProgressText, ProgressText(ticks));
        }
        if (int32_t(now - nextPoll) < 0)
            continue;
        nextPoll = now + kPollMillis;
        const int result = transfer.GetResult();
        switch (UploadStepFor(result)) {
        case UploadStep::kDone:
            state.mDialogDone = true;
            break;
        case UploadStep::kFailed:
            TellCrashReportLine("The crash report was not sent to \"" + state.mUploadHost + "\": " +
                                FailureText(result));
            transfer.Reset();
            if (Platform::MessageBoxW(nullptr, L"Failed to connect to server.", L"Connection Failed",
                                      Platform::MB_RETRYCANCEL) == Platform::IDRETRY) {
                started = Platform::timeGetTime();
                userAborted = false;
                Platform::StartThread(SubmitCrashReport).detach();
            } else {
                state.mDialogDone = true;
            }
            break;
        case UploadStep::kWait:
            // Asked again each poll until it takes: the try's request may not
            // be under way yet, and its start clears an abort that came first.
            if (userAborted) {
                transfer.Abort();
                if (now - started >= kUploadMillis + kAbortGraceMillis)
                    state.mDialogDone = true;
            } else if (now - started >= kUploadMillis) {
                transfer.TimeOut();
            }
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
    const bool offerSend = !state.mUploadHost.empty();
    std::unique_ptr<DialogWindow> crash = Platform::OpenDialogWindow(CrashLayout(text, offerSend));
    if (!crash) {
        // Without a window of its own the report still reaches the user.
        Platform::MessageBoxA(nullptr, ("An unexpected error has occured!\r\n\r\n" + text).c_str(), "Fatal Error!",
                              Platform::MB_OK | Platform::MB_ICONHAND);
        state.mDialogDone = true;
        return;
    }
    crash->Show(true);
    const size_t pressed = WaitForButton(*crash, kCloseSlot);
    if (!offerSend || pressed != kSendSlot) {
        state.mDialogDone = true;
        return;
    }
    crash->Show(false);
    std::unique_ptr<DialogWindow> details = Platform::OpenDialogWindow(DetailsLayout());
    if (!details) {
        state.mDialogDone = true;
        return;
    }
    details->Show(true);
    if (WaitForButton(*details, kCloseSlot) != kSendSlot) {
        state.mDialogDone = true;
        return;
    }
    details->Show(false);
    state.mUserText = details->ControlText(kUserText).substr(0, kUserTextLimit);
    RunUpload(state);
}

} // namespace Lumo
