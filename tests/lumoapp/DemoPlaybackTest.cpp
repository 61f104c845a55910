#include "tests/lumoapp/AppFixture.h"

#include "framework/widgets/WidgetManager.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/windows/Messages.h"

#include <string>
#include <vector>

namespace LumoTest {
namespace {

using namespace Platform;

class DemoPlaybackTest : public AppFixture {
protected:
    ~DemoPlaybackTest() override
    {
        if (mApp)
            mApp->mPlaying = false;
    }

    void Header(int delta, bool isShort, int kind)
    {
        mRecords.WriteBits(delta, 4);
        mRecords.WriteBits(isShort ? 1 : 0, 1);
        mRecords.WriteBits(kind, isShort ? 1 : 5);
    }
    void Play()
    {
        mApp->mDemoBuffer = mRecords;
        mApp->mDemoBuffer.RewindRead();
        mApp->mPlaying = true;
        mApp->mDemoLoadingComplete = mApp->mLoadingDoneHandled = true;
        mApp->mUpdateCount = 0;
    }
    // Steps the pump and the update as the main loop does, n times.
    void Step(int passes)
    {
        for (int i = 0; i < passes; ++i) {
            mApp->DemoPlaybackStep();
            mApp->UpdateTick();
        }
    }

    Lumo::Buffer mRecords;
};

// Records at 3, 3 and 7: updates run freely up to a record's update, both
// records of update 3 land before update 4, and the stream's last byte,
// mostly padding, is not replayed as a move to (0, 0).
TEST_F(DemoPlaybackTest, UpdatesWaitForTheRecordsOfTheirCount)
{
    ASSERT_NE(StartApp(), nullptr);
    InputWidget widget;
    widget.Resize(0, 0, 320, 240);
    mApp->mWidgetManager->AddChild(&widget);
    mApp->mWidgetManager->SetFocus(&widget);
    std::vector<std::pair<int, int>> keys;
    Header(3, false, 3);
    mRecords.WriteBits('A', 8);
    Header(0, false, 5);
    mRecords.WriteBits(1, 1);
    mRecords.WriteBits(0x0141, 16);
    Header(4, false, 3);
    mRecords.WriteBits('B', 8);
    Play();

    for (int pass = 0; pass < 20; ++pass) {
        const size_t before = widget.mKeys.size();
        Step(1);
        if (widget.mKeys.size() != before)
            keys.emplace_back(widget.mKeys.back(), mApp->mUpdateCount);
    }
    EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{'A', 4}, {'B', 7}})); // applied, then the update ran
    EXPECT_EQ(widget.mChars, std::vector<char>{'A'});
    EXPECT_EQ(mApp->mUpdateCount, 7); // the stream's end holds the count
    EXPECT_TRUE(mApp->mDemoEnded);
    EXPECT_TRUE(widget.mDowns.empty());
    EXPECT_EQ(mApp->mWidgetManager->mLastMouseX, 0);
    mApp->mWidgetManager->RemoveChild(&widget);
}

TEST_F(DemoPlaybackTest, ShortMovesAddAndLongMovesSetThePosition)
{
    ASSERT_NE(StartApp(), nullptr);
    Header(0, false, 0);
    mRecords.WriteBits(100, 12);
    mRecords.WriteBits(50, 12);
    Header(0, true, 0);
    mRecords.WriteBits(-1, 6);
    mRecords.WriteBits(31, 6);
    Header(1, false, 6);
    Play();
    mApp->DemoPlaybackStep();
    EXPECT_EQ(mApp->mDemoMouseX, 99);
    EXPECT_EQ(mApp->mDemoMouseY, 81);
    EXPECT_FALSE(mApp->mShutdown);
    Step(2);
    EXPECT_TRUE(mApp->mShutdown.load());
}

TEST_F(DemoPlaybackTest, PlaybackKeysSteerRateJumpsAndSound)
{
    ASSERT_NE(StartApp(), nullptr);
    mApp->mPlaying = true;
    mApp->mDemoTotalUpdates = 20000;
    mApp->mUpdateCount = 100;
    auto type = [&](const std::string& keys) {
        for (char key : keys)
            mApp->HandleWindowMessage(mApp->mHWnd, WM_CHAR, WPARAM(uint8_t(key)), 0);
    };
    type("+++");
    EXPECT_DOUBLE_EQ(mApp->mRateMultiplier, 3.375);
    type("=---");
    EXPECT_NEAR(mApp->mRateMultiplier, 0.296, 0.001);
    type("4");
    EXPECT_EQ(mApp->mJumpTarget, 8000);
    type("0");
    EXPECT_EQ(mApp->mJumpTarget, 20000);
    type("n");
    EXPECT_EQ(mApp->mJumpTarget, 101);
    EXPECT_TRUE(mApp->mStepOne);

    mApp->SetMusicVolume(0.5f);
    mApp->SetSfxVolume(0.0f);
    type("s");
    EXPECT_EQ(mApp->GetMusicVolume(), 0.0f);
    EXPECT_EQ(mApp->GetSfxVolume(), 0.0f); // set to what was remembered: nothing yet
    type("S");
    EXPECT_EQ(mApp->GetMusicVolume(), 0.5f);
}

// Once the stream is spent no update can run, so a jump to the end (or past
// it) must stop there instead of holding the loop muted for good.
TEST_F(DemoPlaybackTest, JumpToEndStopsWhereTheStreamEnds)
{
    ASSERT_NE(StartApp(), nullptr);
    Header(5, false, 7);
    Play();
    const int32_t autoMutes = mApp->mAutoMuteCount;
    mApp->mJumpToEnd = true;
    for (int pass = 0; pass < 20 && (mApp->mJumpToEnd || mApp->mDemoMute); ++pass)
        mApp->PumpAndStep(nullptr);
    EXPECT_FALSE(mApp->mJumpToEnd);
    EXPECT_FALSE(mApp->mDemoMute);
    EXPECT_EQ(mApp->mUpdateCount, 5);
    EXPECT_EQ(mApp->mAutoMuteCount, autoMutes); // unmuted again
}

// A replay that has run out, after its last record or (a damaged file) with
// no record at all, not even the loading-done one, leaves the loop idling: it
// sleeps between frames and still answers its window.
TEST_F(DemoPlaybackTest, AReplayThatHasRunOutIdlesAndStillClosesOnRequest)
{
    for (const bool loadingRecorded : {true, false}) {
        SCOPED_TRACE(loadingRecorded ? "after the last record" : "an empty stream");
        ASSERT_NE(StartApp(), nullptr);
        mRecords = Lumo::Buffer();
        if (loadingRecorded)
            Header(2, false, 7);
        Play();
        mApp->mLoadingFinished = true;
        mApp->mDemoLoadingComplete = mApp->mLoadingDoneHandled = loadingRecorded;
        const uint64_t start = mClock.NowMicros();
        for (int pass = 0; pass < 300; ++pass)
            mApp->PumpAndStep(nullptr);
        EXPECT_TRUE(mApp->mDemoEnded);
        EXPECT_EQ(mApp->mUpdateCount, loadingRecorded ? 2 : 0);
        EXPECT_GE(mClock.NowMicros() - start, 500'000u); // slept, not spun

        mSession.Desktop().InjectWindowEvent(mApp->mHWnd, NativeEvent::Kind::CloseRequested);
        for (int pass = 0; pass < 10 && !mApp->mShutdown; ++pass)
            mApp->PumpAndStep(nullptr);
        EXPECT_TRUE(mApp->mShutdown);
        mApp->mPlaying = false;
        mApp.reset();
    }
}

TEST_F(DemoPlaybackTest, JumpTimesFoldIntoSecondsAndAreRemembered)
{
    const std::pair<const char*, int32_t> cases[] = {{"1:30", 90}, {"1:02:03", 3723}, {"", 0}, {"x:5", 5}};
    for (const auto& [text, seconds] : cases)
        EXPECT_EQ(Lumo::LumoAppBase::ParseJumpTime(text), seconds) << text;

    ASSERT_NE(StartApp(), nullptr);
    mApp->RegistryWriteInteger("Touch", 1); // makes the key
    mApp->mDemoTotalUpdates = 50000;
    mApp->JumpToDemoTime("1:30");
    EXPECT_EQ(mApp->mJumpTarget, 50000 - 9100);
    EXPECT_EQ(mApp->StoredDemoJumpTime(), "1:30");
    mApp->JumpToDemoTime("");
    EXPECT_EQ(mApp->mJumpTarget, 50000 - 100);
}

TEST_F(DemoPlaybackTest, MarkerListHoldsOnlyMarkersAhead)
{
    ASSERT_NE(StartApp(), nullptr);
    mApp->mDemoTotalUpdates = 400000;
    mApp->mUpdateCount = 1000;
    mApp->mDemoMarkers = {{"early", 500}, {"boss", 30000}};
    const auto entries = mApp->DemoMarkerEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, "boss (01:01:40)");
    EXPECT_FALSE(mApp->JumpToDemoMarker(500));
    EXPECT_TRUE(mApp->JumpToDemoMarker(entries[0].second));
    EXPECT_EQ(mApp->mJumpTarget, 30000);
}

TEST_F(DemoPlaybackTest, SessionInfoNamesTheRun)
{
    ASSERT_NE(StartApp(), nullptr);
    mApp->mIsWindowed = true;
    mApp->mProductVersion = "1.2";
    mClock.AdvanceMillis(3725 * 1000);
    const std::string info = mApp->BuildSessionInfo();
    EXPECT_EQ(info.substr(0, info.find("Primary")),
              "Product: " + mApp->mProductName + "\r\nVersion: 1.2\r\nTime Loaded: 01:02:05\r\nFullscreen: No\r\n");
}

} // namespace
} // namespace LumoTest
