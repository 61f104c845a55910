#include "framework/diagnostics/CrashReportState.h"
#include "framework/diagnostics/CrashWindows.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/windows/Dialogs.h"
#include "tests/diagnostics/FakeDiagnosticsHost.h"
#include "tests/diagnostics/LoopbackServer.h"

#include <gtest/gtest.h>

namespace {

using LumoTest::LoopbackServer;

// The crash window, the details window and the upload, answered by script.
class CrashUploadTest : public testing::Test {
protected:
    void SetUp() override
    {
        mHost.mFields = {{"level", "7"}};
        mHost.mAttachment = "DEMO";
        mHost.mRecording = false;
    }
    void TearDown() override
    {
        Lumo::CrashReportState& state = Lumo::GetCrashReportState();
        state.mUploadHost.clear();
        state.mAttachDemo = false;
    }
    std::vector<std::string> Captions()
    {
        std::vector<std::string> captions;
        for (const auto& box : mSession.Desktop().MessageBoxes())
            captions.push_back(box.caption);
        return captions;
    }

    Platform::HeadlessSession mSession;
    LumoTest::FakeDiagnosticsHost mHost;
};

TEST_F(CrashUploadTest, SentReportCarriesTheFormAndTheDemo)
{
    LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"});
    Lumo::CrashReportState& state = Lumo::GetCrashReportState();
    state.mUploadHost = "http://127.0.0.1:" + std::to_string(server.Port());
    state.mAttachDemo = true;
    mSession.Desktop().ScriptMessageBoxAnswer(1); // Send Report
    mSession.Desktop().ScriptMessageBoxAnswer(1); // Continue
    Lumo::CreateCrashWindow("Exception: report\r\n", "Exception at 0001:00000010");

    EXPECT_TRUE(state.mDialogDone);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Fatal Error!", "Error Details"}));
    EXPECT_EQ(mSession.Desktop().MessageBoxes()[0].text.rfind("An unexpected error has occured!\r\n\r\nException: ", 0),
              0u);
    const std::string request = server.Request();
    EXPECT_EQ(request.rfind("POST /vorsel_error.php HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"), std::string::npos);
    for (const char* piece : {"name=\"level\"\r\n\r\n7\r\n", "name=\"prod\"\r\n\r\nZentrova\r\n",
                              "name=\"errortitle\"\r\n\r\nException at 0001:00000010\r\n",
                              "filename=\"marvex.dmo\"\r\nContent-Type: application/octet-stream\r\n\r\nDEMO\r\n"})
        EXPECT_NE(request.find(piece), std::string::npos) << piece;
}

TEST_F(CrashUploadTest, FailedUploadOffersRetryAndCloseAndWithoutServerOnlyClose)
{
    Lumo::CrashReportState& state = Lumo::GetCrashReportState();
    state.mUploadHost = "127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort());
    for (int answer : {1, 1, Platform::IDRETRY, Platform::IDCANCEL})
        mSession.Desktop().ScriptMessageBoxAnswer(answer);
    Lumo::CreateCrashWindow("text", "title");
    EXPECT_TRUE(state.mDialogDone);
    EXPECT_EQ(Captions(),
              (std::vector<std::string>{"Fatal Error!", "Error Details", "Connection Failed", "Connection Failed"}));
    EXPECT_EQ(mSession.Desktop().MessageBoxes()[2].text, "Failed to connect to server.");

    // Without a server there is nothing to send: the one button closes.
    state.mUploadHost.clear();
    mSession.Desktop().ScriptMessageBoxAnswer(1);
    Lumo::CreateCrashWindow("text", "title");
    EXPECT_EQ(Captions().size(), 5u);
    EXPECT_TRUE(state.mDialogDone);
}

} // namespace
