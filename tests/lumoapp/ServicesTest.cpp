#include "tests/lumoapp/AppFixture.h"

#include "framework/core/UserDataFolder.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/WindowConstants.h"

#include <filesystem>
#include <regex>
#include <utility>

namespace LumoTest {
namespace {

using namespace Platform;

class RecordingSwitches : public TestApp {
public:
    std::vector<std::pair<std::string, std::string>> mSwitches;
    void ApplyCommandLineSwitch(const std::string& name, const std::string& value) override
    {
        mSwitches.emplace_back(name, value);
    }
};

class ServicesTest : public AppFixture {};

TEST_F(ServicesTest, SplitsTheCommandLineIntoSwitches)
{
    using Switches = std::vector<std::pair<std::string, std::string>>;
    const std::pair<std::string, Switches> cases[] = {
        {"-record", {{"-record", ""}}},
        {"-a=b=c", {{"-a", "bc"}}},
        {"-demofile=\"x y.dmo\" -play", {{"-demofile", "x y.dmo"}, {"-play", ""}}},
        {"   -play    -record ", {{"-play", ""}, {"-record", ""}}},
        {"-changedir=\"/a b", {{"-changedir", "/a b"}}},
    };
    for (const auto& [line, expected] : cases) {
        RecordingSwitches app;
        app.SplitCommandLine(line);
        EXPECT_EQ(app.mSwitches, expected) << line;
    }
}

TEST_F(ServicesTest, AnUnknownSwitchEndsTheStartWithItsName)
{
    mApp = std::make_unique<TestApp>();
    try {
        mApp->ApplyCommandLineSwitch("-PLAY", "");
        ADD_FAILURE() << "no exit";
    } catch (const ExitCalled& exit) {
        EXPECT_EQ(exit.code, 1u);
    }
    EXPECT_EQ(mSession.Desktop().MessageBoxes().back().text, "Invalid command line parameter: -PLAY");
}

TEST_F(ServicesTest, NumberedDemosRotateInTheUserDataFolder)
{
    Lumo::SetUserDataFolder(mFolder.Path());
    mApp = std::make_unique<TestApp>();
    mApp->ApplyCommandLineSwitch("-recnum", "3");
    EXPECT_EQ(mApp->mDemoFileName, Lumo::GetUserDataFolder() + "lumoapp1.dmo");
    for (int n = 1; n <= 3; ++n)
        mFolder.Write("lumoapp" + std::to_string(n) + ".dmo", "x");
    mApp->ApplyCommandLineSwitch("-recnum", "3");
    EXPECT_EQ(mApp->mDemoFileName, Lumo::GetUserDataFolder() + "lumoapp4.dmo");
    EXPECT_FALSE(mApp->mPlaying);
    std::FILE* first = std::fopen((mFolder / "lumoapp1.dmo").c_str(), "rb");
    EXPECT_EQ(first, nullptr);
    if (first)
        std::fclose(first);

    for (int n = 4; n <= 7; ++n)
        mFolder.Write("lumoapp" + std::to_string(n) + ".dmo", "x");
    mApp->ApplyCommandLineSwitch("-playnum", "2");
    EXPECT_EQ(mApp->mDemoFileName, Lumo::GetUserDataFolder() + "lumoapp6.dmo");
    EXPECT_TRUE(mApp->mPlaying);
    // Ages at and past the ends of 32 bits: none counts below the newest.
    for (const auto& [age, file] : {std::pair{"-2147483648", "lumoapp7.dmo"},
                                    {"-99999999999", "lumoapp7.dmo"},
                                    {"99999999999", "lumoapp-2147483639.dmo"}}) {
        mApp->ApplyCommandLineSwitch("-playnum", age);
        EXPECT_EQ(mApp->mDemoFileName, Lumo::GetUserDataFolder() + file) << age;
    }
    mApp->mPlaying = false;
}

TEST_F(ServicesTest, TheScreensaverWritesErrorsToAFreshLogInsteadOfBoxes)
{
    mApp = std::make_unique<TestApp>();
    mApp->mIsScreenSaver = true;
    mFolder.Write("ScrError.txt", "from an earlier run\n");
    EXPECT_EQ(mApp->ShowMessageBoxA("first", "caption", MB_OK), IDOK);
    mApp->ShowFatalErrorA("second");
    EXPECT_TRUE(mSession.Desktop().MessageBoxes().empty());
    const std::string log = ReadFile(mFolder / "ScrError.txt");
    EXPECT_TRUE(std::regex_match(log, std::regex("first \\d\\d:\\d\\d:\\d\\d \\d+\nsecond \\d\\d:\\d\\d:\\d\\d \\d+\n")))
        << log;
}

// A link planted by the log's name is replaced by the log, on the first line
// of a run and on every later one.
TEST_F(ServicesTest, TheScreensaverErrorLogNeverWritesThroughALink)
{
    mApp = std::make_unique<TestApp>();
    mApp->mIsScreenSaver = true;
    mFolder.Write("elsewhere/letter.txt", "keep me");
    for (const char* text : {"first", "second"}) {
        std::filesystem::remove(mFolder / "ScrError.txt");
        std::filesystem::create_symlink(mFolder / "elsewhere/letter.txt", mFolder / "ScrError.txt");
        mApp->ShowFatalErrorA(text);
        EXPECT_EQ(ReadFile(mFolder / "elsewhere/letter.txt"), "keep me") << text;
        EXPECT_FALSE(std::filesystem::is_symlink(mFolder / "ScrError.txt")) << text;
    }
    const std::string log = ReadFile(mFolder / "ScrError.txt");
    EXPECT_TRUE(std::regex_match(log, std::regex("first \\d\\d:\\d\\d:\\d\\d \\d+\nsecond \\d\\d:\\d\\d:\\d\\d \\d+\n")))
        << log;
}

TEST_F(ServicesTest, AFatalErrorWhileShuttingDownShowsNoBoxAndNeverEndsTheProgram)
{
    ASSERT_NE(StartApp(), nullptr);
    mApp->ShowFatalErrorA("shown");
    ASSERT_EQ(mSession.Desktop().MessageBoxes().size(), 1u);
    EXPECT_EQ(mSession.Desktop().MessageBoxes()[0].caption, "FATAL ERROR");
    mApp->RequestShutdown();
    mApp->ShowFatalErrorA("hidden");
    EXPECT_EQ(mSession.Desktop().MessageBoxes().size(), 1u);
}

TEST_F(ServicesTest, TheMuteStackNeverChangesTheStoredVolumes)
{
    ASSERT_NE(StartApp(), nullptr);
    Send(WM_ACTIVATEAPP, 1, 0);
    ASSERT_FALSE(mApp->IsMuted());
    mApp->mMusicVolumes.clear();
    mApp->PushMute(false);
    mApp->PushMute(true);
    mApp->PopMute(true);
    EXPECT_EQ(mApp->mMusicVolumes, (std::vector<float>{0.0f, 0.0f, 0.0f}));
    mApp->SetMusicVolume(0.5f);
    EXPECT_EQ(mApp->mMusicVolumes.back(), 0.0f);
    EXPECT_FLOAT_EQ(mApp->GetMusicVolume(), 0.5f);
    mApp->PopMute(false);
    EXPECT_FLOAT_EQ(mApp->mMusicVolumes.back(), 0.5f);
    mApp->PopMute(false);
    EXPECT_EQ(mApp->mMuteCount, 0);
    EXPECT_FLOAT_EQ(mApp->mMusicVolumes.back(), 0.5f);

    mApp->SuspendForSystem();
    EXPECT_FLOAT_EQ(mApp->GetMusicVolume(), 0.5f);
    EXPECT_TRUE(mApp->IsMuted());
    mApp->SetSystemVolume(0.25f);
    EXPECT_FLOAT_EQ(mApp->GetSfxVolume(), mApp->mSfxVolume);
}

TEST_F(ServicesTest, StringTableKeepsTheLastTextAndFallsBackToTheDefault)
{
    mApp = std::make_unique<TestApp>();
    EXPECT_EQ(mApp->GetString("NEVER_SET", "default"), "default");
    mApp->SetString("ID", L"one");
    mApp->SetString("ID", L"two");
    EXPECT_EQ(mApp->GetString("ID", "default"), "two");
    EXPECT_EQ(mApp->GetString("DIALOG_BUTTON_CANCEL", ""), "CANCEL");
}

TEST_F(ServicesTest, OpeningTheSameUrlTwiceStartsOneBrowser)
{
    ASSERT_NE(StartApp(), nullptr);
    EXPECT_TRUE(mApp->OpenUrl("https://a.example", true));
    EXPECT_TRUE(mApp->OpenUrl("https://a.example", true));
    EXPECT_EQ(mSession.Desktop().OpenedUrls().size(), 1u);
    Send(WM_ACTIVATEAPP, 0, 0);
    EXPECT_TRUE(mApp->mShutdown);
}

} // namespace
} // namespace LumoTest
