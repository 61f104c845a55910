#include "platform/windows/Dialogs.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/process/Log.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

using namespace Platform;

namespace {

class Dialogs : public ::testing::Test {
protected:
    HeadlessSession mSession;
    HeadlessBackend& mDesktop = mSession.Desktop();
};

TEST_F(Dialogs, MessageBoxesAnswerFromTheScriptThenWithTheirDefault)
{
    mDesktop.ScriptMessageBoxAnswer(IDNO);
    mDesktop.ScriptMessageBoxAnswer(IDRETRY);
    std::vector<std::string> logged;
    LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    EXPECT_EQ(MessageBoxA(nullptr, "Keep it?", "Caf\xE9", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Send the report?", L"Crash", MB_RETRYCANCEL), IDRETRY);
    struct DefaultCase {
        uint32_t type;
        int expected;
    };
    const DefaultCase defaults[] = {
        {MB_OK | MB_ICONSTOP, IDOK},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_RETRYCANCEL, IDRETRY},
        {MB_OK | MB_DEFBUTTON3, IDOK},
    };
    for (const DefaultCase& c : defaults)
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", c.type), c.expected) << c.type;
    SetLogHook(previous);

    const std::vector<HeadlessBackend::ShownMessageBox>& boxes = mDesktop.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u + std::size(defaults));
    EXPECT_EQ(boxes[0].text, "Keep it?");
    EXPECT_EQ(boxes[0].caption, "Caf\xC3\xA9");
    EXPECT_EQ(boxes[0].type, MB_YESNO);
    EXPECT_EQ(boxes[1].caption, "Crash");
    ASSERT_EQ(logged.size(), boxes.size());
    EXPECT_EQ(logged[0], "Message box \"Caf\xE9\": Keep it? -> 7");
}

TEST_F(Dialogs, ClipboardKeepsCodePage1252Text)
{
    std::string text;
    EXPECT_FALSE(GetClipboardText(&text));
    ASSERT_TRUE(SetClipboardText("\x80 5, caf\xE9"));
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "\x80 5, caf\xE9");
    ASSERT_TRUE(SetClipboardText(""));
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "");
}

TEST_F(Dialogs, OpeningAWebAddressIsRecorded)
{
    EXPECT_GT(ShellExecuteA("open", "https://example.org/z?q=caf\xE9"), 32);
    mDesktop.SetUrlOpenWorks(false);
    EXPECT_LE(ShellExecuteA("open", "https://example.org/"), 32);
    // Refused before the desktop sees them.
    EXPECT_LE(ShellExecuteA("open", "--help"), 32);
    EXPECT_LE(ShellExecuteA("print", "https://example.org/"), 32);
    EXPECT_LE(ShellExecuteA("open", ""), 32);
    EXPECT_EQ(mDesktop.OpenedUrls(),
              (std::vector<std::string>{"https://example.org/z?q=caf\xC3\xA9", "https://example.org/"}));
}

} // namespace
