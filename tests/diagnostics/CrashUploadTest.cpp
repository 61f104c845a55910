#include "framework/core/AppLog.h"
#include "framework/diagnostics/CrashReportState.h"
#include "framework/diagnostics/CrashWindows.h"
#include "framework/diagnostics/HTTPTransfer.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/process/Clock.h"
#include "platform/windows/Dialogs.h"
#include "tests/diagnostics/FakeDiagnosticsHost.h"
#include "tests/diagnostics/HangingResolver.h"
#include "tests/diagnostics/LoopbackServer.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace {

using LumoTest::LoopbackServer;
using Platform::DialogAction;

// A user who would give up on the upload only after ten minutes.
constexpr uint32_t kPatient = 10 * 60 * 1000;

// The crash window, the details window and the upload, driven by a scripted user.
class CrashUploadTest : public testing::Test {
protected:
    void SetUp() override
    {
        mHost = std::make_unique<LumoTest::FakeDiagnosticsHost>();
        mHost->mFields = {{"level", "7"}};
        mHost->mAttachment = "DEMO";
        Lumo::AppLog::GetInstance()->Open(mFolder.Path() + "/");
    }
    void TearDown() override
    {
        Lumo::AppLog::GetInstance()->Close();
        Lumo::CrashReportState& state = Lumo::GetCrashReportState();
        state.mUploadHost.clear();
        state.mAttachDemo = false;
        state.mUserText.clear();
    }
    void Do(const std::string& title, DialogAction::Kind kind, const std::string& text, uint32_t after = 0)
    {
        mSession.Desktop().ScriptDialogAction(DialogAction{title, kind, text, after});
    }
    static void Press(Platform::HeadlessSession& session, const std::string& title, const std::string& button,
                      uint32_t after = 0)
    {
        session.Desktop().ScriptDialogAction(DialogAction{title, DialogAction::Kind::Press, button, after});
    }
    // The user asks to send and goes on to the upload.
    static void Send(Platform::HeadlessSession& session)
    {
        Press(session, "Fatal Error!", "Send Report");
        Press(session, "Error Details", "Continue");
    }
    // The user asks to send and goes on to the upload, typing the keys.
    void SendWithText(const std::string& keys)
    {
        Do("Fatal Error!", DialogAction::Kind::Press, "Send Report");
        Do("Error Details", DialogAction::Kind::Type, keys);
        Do("Error Details", DialogAction::Kind::Press, "Continue");
    }
    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        for (const auto& dialog : mSession.Desktop().Dialogs())
            titles.push_back(dialog.layout.title);
        return titles;
    }

    // The log's lines that say the report was not sent.
    std::vector<std::string> NotSentLines() const
    {
        std::vector<std::string> lines;
        const std::string log = LumoTest::ReadFile(mFolder / "applog.txt");
        for (size_t at = log.find("The crash report was not sent"); at != std::string::npos;
             at = log.find("The crash report was not sent", at + 1))
            lines.push_back(log.substr(at, log.find("\r\n", at) - at));
        return lines;
    }

    LumoTest::TempFolder mFolder;
    Platform::HeadlessSession mSession;
    std::unique_ptr<LumoTest::FakeDiagnosticsHost> mHost;
};

TEST_F(CrashUploadTest, SentReportCarriesTheFormTheTypedTextAndTheDemo)
{
    LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"});
    Lumo::CrashReportState& state = Lumo::GetCrashReportState();
    state.mUploadHost = "http://127.0.0.1:" + std::to_string(server.Port());
    state.mAttachDemo = true;
    SendWithText("It stopx\bped\rwhen I clicked");
    Do("Submitting Report", DialogAction::Kind::Press, "Abort", kPatient);
    Lumo::CreateCrashWindow("Exception: report\r\n", "Exception at 0001:00000010");

    EXPECT_TRUE(state.mDialogDone);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Fatal Error!", "Error Details", "Submitting Report"}));
    const auto dialogs = mSession.Desktop().Dialogs();
    EXPECT_EQ(dialogs[0].layout.controls[1].text, "Exception: report\r\n");
    EXPECT_FALSE(dialogs[0].visible); // hidden, for the details window
    const std::string request = server.Request();
    EXPECT_EQ(request.rfind("POST /vorsel_error.php HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"), std::string::npos);
    for (const char* piece : {"name=\"level\"\r\n\r\n7\r\n", "name=\"prod\"\r\n\r\nZentrova\r\n",
                              "name=\"usertext\"\r\n\r\nIt stopped\r\nwhen I clicked\r\n",
                              "name=\"errortitle\"\r\n\r\nException at 0001:00000010\r\n",
                              "filename=\"marvex.dmo\"\r\nContent-Type: application/octet-stream\r\n\r\nDEMO\r\n"})
        EXPECT_NE(request.find(piece), std::string::npos) << piece;
}

// A whole answer ends the upload as soon as it is in, an empty one and one
// from a server that keeps the connection open too.
TEST_F(CrashUploadTest, AWholeAnswerEndsTheUploadAtOnce)
{
    const struct {
        const char* name;
        std::string reply;
        LoopbackServer::Ending ending;
    } cases[] = {
        {"empty, kept open", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", LoopbackServer::Ending::kStall},
        {"empty, closed", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", LoopbackServer::Ending::kClose},
        {"a body, kept open", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", LoopbackServer::Ending::kStall},
        {"no length, closed", "HTTP/1.0 200 OK\r\n\r\nok", LoopbackServer::Ending::kClose},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Platform::HeadlessSession session;
        LoopbackServer server({c.reply}, c.ending);
        Lumo::CrashReportState& state = Lumo::GetCrashReportState();
        state.mUploadHost = "127.0.0.1:" + std::to_string(server.Port());
        Send(session);
        Press(session, "Submitting Report", "Abort", kPatient);
        // A failure would end at its first box.
        session.Desktop().ScriptMessageBoxAnswer(Platform::IDCANCEL);
        const uint32_t began = Platform::timeGetTime();
        Lumo::CreateCrashWindow("text", "title");

        EXPECT_LT(Platform::timeGetTime() - began, 10 * 1000u);
        EXPECT_EQ(Lumo::GetCrashHTTPTransfer().GetResult(), Lumo::HTTPTransfer::kDone);
        EXPECT_TRUE(session.Desktop().MessageBoxes().empty());
        EXPECT_TRUE(NotSentLines().empty());
        EXPECT_TRUE(server.Received());
    }
}

// Text, left edge, width and style of each button of the crash window.
struct ButtonRow {
    std::string text;
    int32_t left;
    int32_t width;
    uint32_t style;
};

TEST_F(CrashUploadTest, CrashWindowOffersSendingOnlyWithAServerAndEnablesItOnlyWithAnApplication)
{
    struct Case {
        bool server;
        bool application;
        std::vector<ButtonRow> buttons;
    };
    const Case cases[] = {
        {false, true, {{"Close Now", 8, 384, 0x50000001}}},
        {true, true, {{"Send Report", 8, 188, 0x50000001}, {"Close Now", 204, 188, 0x50000001}}},
        {true, false, {{"Send Report", 8, 188, 0x58000001}, {"Close Now", 204, 188, 0x50000001}}},
    };
    Lumo::CrashReportState& state = Lumo::GetCrashReportState();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.server << c.application);
        Platform::HeadlessSession session;
        if (!c.application)
            mHost.reset();
        state.mUploadHost = c.server ? "127.0.0.1:1" : "";
        // Pressing a disabled button does nothing; the user then closes the window.
        session.Desktop().ScriptDialogAction(DialogAction{"Fatal Error!", DialogAction::Kind::Press, "Send Report"});
        Lumo::CreateCrashWindow("text", "title");
        const auto dialogs = session.Desktop().Dialogs();
        ASSERT_EQ(dialogs.size(), c.server && c.application ? 2u : 1u);
        const Platform::DialogLayout& layout = dialogs[0].layout;
        EXPECT_EQ(layout.title, "Fatal Error!");
        EXPECT_EQ(layout.clientWidth, 400);
        EXPECT_EQ(layout.clientHeight, 300);
        std::vector<ButtonRow> buttons;
        for (const auto& control : layout.controls) {
            if (control.className == "BUTTON")
                buttons.push_back({control.text, control.place.left, control.place.right - control.place.left,
                                   control.style});
        }
        ASSERT_EQ(buttons.size(), c.buttons.size());
        for (size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i].text, c.buttons[i].text);
            EXPECT_EQ(buttons[i].left, c.buttons[i].left);
            EXPECT_EQ(buttons[i].width, c.buttons[i].width);
            EXPECT_EQ(buttons[i].style, c.buttons[i].style);
        }
    }
}

TEST_F(CrashUploadTest, FailedUploadOffersRetryUntilCancelled)
{
    Lumo::CrashReportState& state = Lumo::GetCrashReportState();
    state.mUploadHost = "127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort());
    SendWithText("");
    Do("Submitting Report", DialogAction::Kind::Press, "Abort", kPatient);
    for (int answer : {Platform::IDRETRY, Platform::IDCANCEL})
        mSession.Desktop().ScriptMessageBoxAnswer(answer);
    Lumo::CreateCrashWindow("text", "title");
    EXPECT_TRUE(state.mDialogDone);
    const auto& boxes = mSession.Desktop().MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.caption, "Connection Failed");
        EXPECT_EQ(box.text, "Failed to connect to server.");
    }
    const std::string line =
        "The crash report was not sent to \"" + state.mUploadHost + "\": no connection could be made";
    EXPECT_EQ(NotSentLines(), (std::vector<std::string>{line, line}));
}

// Fake time for an upload: each Sleep stands still until the upload is under
// way (5 s at the most), so that the user's seconds pass while it stalls there
// however slowly a try got there. Then it moves on and, when paced, also
// sleeps a hundredth as long for real, so that a server keeps its own pace
// against it.
class UploadClock final : public Platform::Clock {
public:
    UploadClock(std::function<bool()> underWay, bool paced) : mUnderWay(std::move(underWay)), mPaced(paced) {}
    uint64_t NowMicros() override { return mNow; }
    void SleepMillis(uint32_t ms) override
    {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!mUnderWay() && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (mPaced)
            std::this_thread::sleep_for(std::chrono::microseconds(ms * 10));
        mNow += uint64_t(ms) * 1000;
    }

private:
    const std::function<bool()> mUnderWay;
    const bool mPaced;
    std::atomic<uint64_t> mNow{0};
};

// An upload that gets no whole answer within its minute, from a server that
// never takes the connection or one that takes the report and then says
// nothing or not all, or because the server's name is never found, has
// failed, as one that is refused has: the user is offered Retry, which waits
// a minute again, and the log says why. The minute is for the whole upload,
// so a reply that trickles in forever ends there too. The window answers
// when the minute is over, however long the try it gives up goes on.
TEST_F(CrashUploadTest, AnUploadWithoutAWholeAnswerInAMinuteOffersRetry)
{
    constexpr uint32_t kMinute = 60 * 1000;
    const struct {
        const char* name;
        std::vector<std::string> pieces;
        LoopbackServer::Ending ending;
        bool lookupHangs = false;
    } cases[] = {
        {"never takes the connection", {}, LoopbackServer::Ending::kQueueFull},
        {"never answers", {}, LoopbackServer::Ending::kStall},
        {"answers part of the head", {"HTTP/1.1 200 OK\r\nContent-Le"}, LoopbackServer::Ending::kStall},
        {"trickles a body without end", {"HTTP/1.1 200 OK\r\nContent-Length: 10000000\r\n\r\n"},
         LoopbackServer::Ending::kTrickle},
        {"the name lookup hangs", {}, LoopbackServer::Ending::kStall, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Platform::HeadlessSession session;
        LoopbackServer server(c.pieces, c.ending);
        std::optional<LumoTest::HangingResolver> resolver;
        if (c.lookupHangs)
            resolver.emplace();
        // A try is under way once its transfer runs (a retry's starts on a
        // thread of its own) and, unless the connection never completes, the
        // server has the report; the trickle goes on at its pace while the
        // minute passes.
        const bool reachesServer = c.ending != LoopbackServer::Ending::kQueueFull && !c.lookupHangs;
        UploadClock clock(
            [&] {
                return Lumo::GetCrashHTTPTransfer().GetResult() != Lumo::HTTPTransfer::kIdle &&
                       (!reachesServer || server.Received());
            },
            c.ending == LoopbackServer::Ending::kTrickle);
        Platform::ScopedClock useClock(&clock);
        Lumo::CrashReportState& state = Lumo::GetCrashReportState();
        state.mUploadHost = (c.lookupHangs ? "hangs.example:" : "127.0.0.1:") + std::to_string(server.Port());
        Send(session);
        Press(session, "Submitting Report", "Abort", kPatient);
        for (int answer : {Platform::IDRETRY, Platform::IDCANCEL})
            session.Desktop().ScriptMessageBoxAnswer(answer);
        const uint32_t began = Platform::timeGetTime();
        const auto realBegan = std::chrono::steady_clock::now();
        Lumo::CreateCrashWindow("text", "title");
        const uint32_t took = Platform::timeGetTime() - began;

        EXPECT_LT(std::chrono::steady_clock::now() - realBegan, std::chrono::seconds(10));
        EXPECT_TRUE(state.mDialogDone);
        EXPECT_EQ(server.Received(), reachesServer);
        const auto& boxes = session.Desktop().MessageBoxes();
        EXPECT_EQ(boxes.size(), 2u);
        for (const auto& box : boxes) {
            EXPECT_EQ(box.caption, "Connection Failed");
            EXPECT_EQ(box.text, "Failed to connect to server.");
        }
        // No try failed before its minute.
        EXPECT_GE(took, 2 * kMinute);
        const std::string line = "The crash report was not sent to \"" + state.mUploadHost +
                                 "\": no whole answer came within 60 seconds";
        EXPECT_EQ(NotSentLines(), (std::vector<std::string>{line, line}));
        Lumo::AppLog::GetInstance()->Open(mFolder.Path() + "/");
    }
}

// The user's abort ends an upload whose name lookup hangs within moments, as
// it ends one that waits on a server.
TEST_F(CrashUploadTest, AbortEndsAnUploadWhoseNameLookupHangs)
{
    constexpr uint32_t kAbortAt = 10500;
    LumoTest::HangingResolver resolver;
    // The try is under way once its lookup hangs; from the abort on, the
    // clock stands still until the transfer has ended, so that the window's
    // time counts only what it waits itself.
    UploadClock clock(
        [&] {
            return resolver.Begun() > 0 && (Platform::timeGetTime() < kAbortAt ||
                                            Lumo::GetCrashHTTPTransfer().GetResult() != Lumo::HTTPTransfer::kRunning);
        },
        false);
    Platform::ScopedClock useClock(&clock);
    Lumo::CrashReportState& state = Lumo::GetCrashReportState();
    state.mUploadHost = "hangs.example";
    SendWithText("");
    Do("Submitting Report", DialogAction::Kind::Press, "Abort", kAbortAt);
    const auto began = std::chrono::steady_clock::now();
    Lumo::CreateCrashWindow("text", "title");

    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
    EXPECT_LT(Platform::timeGetTime(), kAbortAt + 2000);
    EXPECT_TRUE(state.mDialogDone);
    EXPECT_EQ(Lumo::GetCrashHTTPTransfer().GetResult(), Lumo::HTTPTransfer::kAborted);
    EXPECT_TRUE(mSession.Desktop().MessageBoxes().empty());
    EXPECT_TRUE(NotSentLines().empty());
}

// An abort pressed while the report is still being built ends the upload as
// soon as its request starts, not when the minute is over.
TEST_F(CrashUploadTest, AnAbortBeforeTheRequestStartsEndsItWhenItDoes)
{
    constexpr uint32_t kBuiltAt = 1000;
    LoopbackServer server({}, LoopbackServer::Ending::kStall);
    // The window's time passes, the abort with it, before the request is
    // built, and for a few polls after its start; then it stands still until
    // the transfer has ended (ten seconds at the most, so that a transfer the
    // abort missed fails the test).
    const auto missed = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    UploadClock clock(
        [&] {
            const uint32_t now = Platform::timeGetTime();
            const int result = Lumo::GetCrashHTTPTransfer().GetResult();
            if (now < kBuiltAt)
                return true;
            if (result == Lumo::HTTPTransfer::kIdle)
                return false;
            return now < kBuiltAt + 100 || result != Lumo::HTTPTransfer::kRunning ||
                   std::chrono::steady_clock::now() > missed;
        },
        false);
    Platform::ScopedClock useClock(&clock);
    mHost->mWhileBuilding = [] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (Platform::timeGetTime() < kBuiltAt && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    Lumo::CrashReportState& state = Lumo::GetCrashReportState();
    state.mUploadHost = "127.0.0.1:" + std::to_string(server.Port());
    SendWithText("");
    // Pressed once; the second press would come long after.
    Do("Submitting Report", DialogAction::Kind::Press, "Abort");
    Do("Submitting Report", DialogAction::Kind::Press, "Abort", kPatient);
    Lumo::CreateCrashWindow("text", "title");

    EXPECT_TRUE(state.mDialogDone);
    EXPECT_LT(Platform::timeGetTime(), kBuiltAt + 1000);
    EXPECT_EQ(Lumo::GetCrashHTTPTransfer().GetResult(), Lumo::HTTPTransfer::kAborted);
    EXPECT_TRUE(mSession.Desktop().MessageBoxes().empty());
    EXPECT_TRUE(NotSentLines().empty());
}

TEST_F(CrashUploadTest, AbortEndsAStalledUploadQuicklyWhileTheWaitTicks)
{
    LoopbackServer server({}, LoopbackServer::Ending::kStall);
    UploadClock clock([&] { return server.Received(); }, false);
    Platform::ScopedClock useClock(&clock);
    Lumo::CrashReportState& state = Lumo::GetCrashReportState();
    state.mUploadHost = "127.0.0.1:" + std::to_string(server.Port());
    SendWithText("stuck");
    Do("Submitting Report", DialogAction::Kind::Press, "Abort", 10500);
    const auto began = std::chrono::steady_clock::now();
    Lumo::CreateCrashWindow("text", "title");

    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
    EXPECT_TRUE(server.Received());
    Lumo::GetCrashHTTPTransfer().WaitFinish();
    EXPECT_EQ(Lumo::GetCrashHTTPTransfer().GetResult(), Lumo::HTTPTransfer::kAborted);
    // The user's own abort ends the upload quietly.
    EXPECT_TRUE(mSession.Desktop().MessageBoxes().empty());
    EXPECT_TRUE(NotSentLines().empty());
    const auto dialogs = mSession.Desktop().Dialogs();
    ASSERT_EQ(dialogs.size(), 3u);
    const Platform::DialogLayout& progress = dialogs[2].layout;
    EXPECT_EQ(progress.controls[0].text, "Please Wait");
    // One more " ." each second, back to none after nine.
    const auto& changes = dialogs[2].textChanges;
    ASSERT_GE(changes.size(), 10u);
    std::string dots;
    for (size_t i = 0; i < 10; ++i) {
        dots = i == 9 ? "" : dots + " .";
        EXPECT_EQ(changes[i], std::make_pair(size_t(0), "Please Wait" + dots));
    }
    EXPECT_NE(server.Request().find("name=\"usertext\"\r\n\r\nstuck\r\n"), std::string::npos);
}

} // namespace
