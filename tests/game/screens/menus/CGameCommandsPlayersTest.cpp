#include "framework/widgets/EditWidget.h"
#include "tests/game/screens/menus/GameCommandsFixture.h"

#include <algorithm>

namespace CommandsTest {
namespace {

using namespace GUIWindowId;

class PlayersAndOptionsTest : public CommandsFixture {
protected:
    // Presses and releases at a point of the window shown, in its own coordinates.
    void ClickAt(int32_t x, int32_t y)
    {
        const int32_t left = 400 - mGui->Window(mGui->CurrentWindow())->mWidth / 2;
        mGui->OnPointerMove(left + x, y);
        mGui->OnPointerDown(left + x, y, false);
        mGui->OnPointerUp(left + x, y);
    }

    void Type(int32_t edit, const std::string& text) { mGui->EditBox(edit)->mWidget->SetText(text, true); }

    std::string CurrentName() const { return mProfiles.CurrentName(); }
};

TEST_F(PlayersAndOptionsTest, NewPlayersNeedANameOfTheirOwn)
{
    struct Row {
        int32_t mWindow;
        int32_t mEdit;
        int32_t mCommand;
        std::string mName;
        int32_t mAfter;
        int32_t mCount;
        std::string mCurrent;
    };
    const Row rows[] = {
        {kCreatePlayer1, 0, 25, "", kCreatePlayer1Empty, 1, "ann"},
        {kCreatePlayer1, 0, 25, "bob", kMenu, 2, "bob"},
        // A further player: an empty name is not taken, a name in use is refused.
        {kCreatePlayer2, 1, 31, "", kCreatePlayer2, 2, "bob"},
        {kCreatePlayer2, 1, 31, "ann", kCreatePlayer2Identical, 2, "bob"},
        {kCreatePlayer2, 1, 31, "cy", kMenu, 3, "cy"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mName);
        OpenNow(row.mWindow);
        Type(row.mEdit, row.mName);
        Click(row.mCommand);
        Settle();
        EXPECT_EQ(Shown(), row.mAfter);
        EXPECT_EQ(mProfiles.Count(), row.mCount);
        EXPECT_EQ(CurrentName(), row.mCurrent);
    }
    EXPECT_EQ(mGui->ListBox(0)->mLineCount, 3);

    // Enter in the edit box chooses as its button does.
    OpenNow(kCreatePlayer2);
    mGui->TextEntered(1, "dee");
    Settle();
    EXPECT_EQ(Shown(), kMenu);
    EXPECT_EQ(CurrentName(), "dee");
}

TEST_F(PlayersAndOptionsTest, DeletingPlayersKeepsTheCurrentOneUntilTheLastIsGone)
{
    mProfiles.Add("bob");
    mProfiles.Add("cy");
    mProfiles.SelectByName("cy");
    OpenNow(kMenu);
    Click(16);
    Settle();
    ASSERT_EQ(Shown(), kPlayerList);
    EXPECT_EQ(mGui->ListBox(0)->mSelection, 2);

    // Without a selection nothing goes.
    mGui->ListBox(0)->mSelection = -1;
    Click(29);
    Settle();
    EXPECT_EQ(Slot(37), "");
    Click(34);
    Settle();
    EXPECT_EQ(Shown(), kPlayerList);
    EXPECT_EQ(mProfiles.Count(), 3);
    EXPECT_EQ(mGui->ListBox(0)->mLineCount, 3);

    // Another player goes; the current one stays current.
    mGui->ListBox(0)->mSelection = 0;
    Click(29);
    Settle();
    ASSERT_EQ(Shown(), kDeletePlayer);
    EXPECT_EQ(Slot(37), "Delete ann?");
    Click(34);
    Settle();
    EXPECT_EQ(Shown(), kPlayerList);
    EXPECT_EQ(mProfiles.Count(), 2);
    EXPECT_EQ(mGui->ListBox(0)->mLineCount, 2);
    EXPECT_EQ(CurrentName(), "cy");

    // Selecting by double click makes the player current.
    mGui->ListBox(0)->mSelection = 1;
    mCommands->OnProfileSelected();
    Settle();
    EXPECT_EQ(Shown(), kMenu);
    EXPECT_EQ(CurrentName(), "bob");

    // The last player gone, a first one is asked for.
    for (const int32_t left : {2, 1}) {
        OpenNow(kDeletePlayer);
        mGui->ListBox(0)->mSelection = 0;
        Click(34);
        Settle();
        EXPECT_EQ(mProfiles.Count(), left - 1);
    }
    EXPECT_EQ(Shown(), kCreatePlayer1);
    EXPECT_EQ(CurrentName(), "UNKNOWN\n");
}

TEST_F(PlayersAndOptionsTest, OptionsCancelPutsBackWhatTheSlidersMoved)
{
    Lumo::LumoAppBase& app = App();
    app.SetSfxVolume(0.5f);
    app.SetMusicVolume(0.3f);
    OpenNow(kMenu);
    Click(20);
    Settle();
    ASSERT_EQ(Shown(), kOptions);
    EXPECT_FLOAT_EQ(mGui->Slider(0)->mValue, 0.5f);
    EXPECT_FLOAT_EQ(mGui->Slider(1)->mValue, 0.3f);
    EXPECT_EQ(mGui->Checkbox(0)->mValue, app.mWindowed ? 0 : 1);
    EXPECT_EQ(mGui->Checkbox(1)->mValue, 0);

    // The sound slider's right arrow, the music slider's left arrow, the cursor box.
    App().mSoundsPlayed.clear();
    ClickAt(260, 282);
    ClickAt(44, 352);
    ClickAt(330, 200);
    EXPECT_FLOAT_EQ(app.GetSfxVolume(), 0.6f);
    EXPECT_FLOAT_EQ(app.GetMusicVolume(), 0.2f);
    // Moving the sound slider lets it be heard; the box clicks too.
    EXPECT_EQ(std::count(App().mSoundsPlayed.begin(), App().mSoundsPlayed.end(), CGameCommands::kSoundClick), 2);
    mCommands->ApplyVolumeSlider(0, 0.7f, true);
    EXPECT_FLOAT_EQ(app.GetSfxVolume(), 0.7f);
    EXPECT_EQ(mGui->Checkbox(1)->mValue, 1);

    Click(24);
    Settle();
    EXPECT_EQ(Shown(), kMenu);
    EXPECT_FLOAT_EQ(app.GetSfxVolume(), 0.5f);
    EXPECT_FLOAT_EQ(app.GetMusicVolume(), 0.3f);
    EXPECT_FALSE(app.mCustomCursorsEnabled);
    EXPECT_EQ(mFlow.Calls(), "");
}

TEST_F(PlayersAndOptionsTest, OptionsOkFromPauseAppliesAndPlaysOn)
{
    Lumo::LumoAppBase& app = App();
    OpenNow(kPauseScore);
    Click(3);
    Settle();
    ASSERT_EQ(Shown(), kOptions);
    // The full-screen box as the screen is now, the own pointer ticked.
    ClickAt(330, 200);
    const bool windowed = app.mWindowed;
    Click(23);
    Settle();
    EXPECT_EQ(Shown(), -1);
    EXPECT_FALSE(mFlow.mPaused);
    EXPECT_EQ(app.mWindowed, windowed);
    EXPECT_TRUE(app.mCustomCursorsEnabled);
    EXPECT_EQ(mFlow.Calls(), "cursor");
}

// A desktop that will not give the screen keeps the game in its window, and
// the options stay open to show it so.
TEST_F(PlayersAndOptionsTest, OptionsShowTheWindowWhenFullScreenIsRefused)
{
    Lumo::LumoAppBase& app = App();
    ASSERT_TRUE(app.mWindowed);
    App().mFullScreenRefused = true;
    OpenNow(kMenu);
    Click(20);
    Settle();
    ASSERT_EQ(Shown(), kOptions);
    mGui->Checkbox(0)->mValue = 1;
    Click(23);
    Settle();
    EXPECT_TRUE(app.mWindowed);
    EXPECT_EQ(Shown(), kOptions);
    EXPECT_EQ(mGui->Checkbox(0)->mValue, 0);

    App().mFullScreenRefused = false;
    mGui->Checkbox(0)->mValue = 1;
    Click(23);
    Settle();
    EXPECT_FALSE(app.mWindowed);
    EXPECT_EQ(Shown(), kMenu);
}

} // namespace
} // namespace CommandsTest
