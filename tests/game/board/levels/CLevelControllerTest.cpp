#include "tests/game/board/levels/LevelFlowFixture.h"

#include "game/data/players/CUserProfile.h"

#include <algorithm>
#include <fstream>
#include <set>

using BoardTest::LevelFlowFixture;

namespace {

class CLevelControllerTest : public LevelFlowFixture {
protected:
    // The saved progress of the current profile, read back from its file.
    CUserProfile Saved()
    {
        mProfiles.Save(App());
        CUserProfiles again;
        again.Init(App());
        EXPECT_TRUE(again.SelectByName("ann"));
        return again.Record(again.CurrentIndex());
    }

    // Starts the graph's first level on a field filled at random, the rules in
    // force beforehand having a single colour (as a field that has not played yet).
    void ExpectFirstFieldMixed(int32_t graph)
    {
        mHost.mFillField = &mField;
        CGridParameters single = mField.Grid().Parameters();
        single.mBlockTypes = 1;
        ASSERT_TRUE(mField.Grid().SetParameters(single));
        Play(graph, 0);
        std::set<int32_t> colours;
        for (int32_t cell = 0; cell < mField.Grid().CellCount(); ++cell)
            colours.insert(CCellGrid::ColourOf(mField.Grid().Cell(cell)));
        EXPECT_GT(colours.size(), 1u);
        EXPECT_LT(*colours.rbegin(), 4);
    }
};

} // namespace

TEST_F(CLevelControllerTest, APointsLevelPlaysFromItsStartToItsWin)
{
    Play(0, 0);
    EXPECT_TRUE(mHost.Has("Onload 0 0 1"));
    EXPECT_TRUE(mHost.Has("BallSpeeds 0.500000 0.250000"));
    EXPECT_TRUE(mHost.Has("Arrows stop hide"));
    // The first level is on another map: the panel goes at once, without sliding.
    EXPECT_TRUE(mHost.Has("HidePanel"));
    // The processor's intro state plays the intro; the level only asks for it.
    EXPECT_TRUE(mHost.Has("State 3"));
    EXPECT_FALSE(mHost.Has("Phase 1") || mHost.Has("Phase 2") || mHost.Has("Phase 3"));
    EXPECT_EQ(mLevels.LevelKind(), CLevelController::kPointsKind);
    EXPECT_EQ(mLevels.Energy(), 1000);
    const CUserProfile started = Saved();
    EXPECT_EQ(started.progressA[0], 1);
    EXPECT_EQ(started.progressA[2], 0);
    EXPECT_EQ(started.progressA[11], 1000);

    EXPECT_EQ(Land(0, 0), 3);
    EXPECT_TRUE(mHost.Has("Popup 0 30"));
    EXPECT_TRUE(mHost.Has("Group " + std::to_string(CCellGrid::GroupOf(mField.Grid().Cell(0, 0)))));
    mLevels.CheckLevelEnd();
    EXPECT_EQ(mLevels.State(), CLevelController::kPlaying);
    EXPECT_EQ(Land(4, 0), 5);
    EXPECT_EQ(mLevels.LevelPoints(), 120);
    EXPECT_EQ(mLevels.ApplyCombo(), 1);
    EXPECT_EQ(mLevels.Score(), 220);

    FinishLevel();
    EXPECT_TRUE(mHost.Has("Sample 17"));
    EXPECT_EQ(mHost.mProcessorState, CLevelController::kCompletedDone);
    EXPECT_EQ(mWindows.mOpened.back(), 5);
}

// The result value counts the whole map games won, without end: the rank
// goes on to 8 and 9, and whatever the count, the game saved mid-level is
// that level with its own points, and the hiscore entry of a game over
// carries the rank.
TEST_F(CLevelControllerTest, TheRankFollowsTheWholeGamesWonAndNeverMovesASaveOn)
{
    struct Case {
        int32_t mGamesWon;
        int32_t mRank;
    };
    for (const Case& c : {Case{0, 0}, Case{1, 5}, Case{2, 6}, Case{3, 7}, Case{4, 8}, Case{5, 9}, Case{6, 9}}) {
        SCOPED_TRACE(c.mGamesWon);
        mHiscores.ResetTables();
        Field({"00011", "22211", "33314"});
        Play(0, 0, 0, c.mGamesWon);
        EXPECT_EQ(mLevels.GetResultIndex(), c.mRank);
        EXPECT_EQ(Land(0, 0), 3);
        mLevels.SaveProgress();
        const CUserProfile saved = Saved();
        EXPECT_EQ(saved.progressA[1], c.mRank);
        EXPECT_EQ(saved.progressA[2], 0);
        EXPECT_EQ(saved.progressA[3], 30);
        EXPECT_EQ(saved.progressA[8], 1);
        EXPECT_EQ(saved.progressA[9], c.mGamesWon);

        for (int i = 0; i < 3; ++i)
            Land(4, 2);
        FinishLevel();
        ASSERT_TRUE(mLevels.HiscoreQualified());
        EXPECT_EQ(mHiscores.GetTable(0)[size_t(mHiscores.CurrentEntry())].extra, c.mRank);
    }
}

// A won level saves the one it leads to; the graph's last level won is the
// whole game won, counted once in the save whenever the game is closed: on
// the win, on its tally, and after the tally's end has counted it.
TEST_F(CLevelControllerTest, AWonLevelSavesTheNextAndTheLastCountsTheWholeGameOnce)
{
    struct Case {
        const char* mWhat;
        int32_t mPosition;
        int32_t mGamesWon;
        int32_t mNext;
        int32_t mCounted;
    };
    const Case cases[] = {
        {"a level within the graph", 0, 0, 1, 0},
        {"a level within the graph, games won before", 0, 4, 1, 4},
        {"the graph's last level", 3, 0, 0, 1},
        {"the graph's last level, games won before", 3, 4, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mWhat);
        Field({"00011", "22211", "33314"});
        Play(0, c.mPosition, 2, c.mGamesWon);
        mLevels.SetPoints(1000);
        mHost.mCrazyToTurn = 0;
        const auto expectSaved = [&](const char* when) {
            SCOPED_TRACE(when);
            mLevels.SaveProgress();
            const CUserProfile saved = Saved();
            EXPECT_EQ(saved.progressA[2], c.mNext);
            EXPECT_EQ(saved.progressA[8], 0);
            EXPECT_EQ(saved.progressA[9], c.mCounted);
            EXPECT_EQ(saved.progressA[1], c.mCounted > 0 ? std::min(c.mCounted + 4, 9) : 0);
        };
        mLevels.CheckLevelEnd();
        ASSERT_EQ(mLevels.State(), CLevelController::kCompleted);
        expectSaved("won");
        FinishLevel();
        ASSERT_EQ(mLevels.State(), CLevelController::kCompletedDone);
        expectSaved("its tally");
        if (c.mNext == 0) {
            mLevels.CompleteGraph();
            EXPECT_EQ(mLevels.GraphsCompleted(), c.mCounted);
            expectSaved("the tally's end");
        }
    }
}

TEST_F(CLevelControllerTest, MissesCostEnergyUntilTheLevelFailsAndLivesRunOut)
{
    Play(0, 0, 0);
    EXPECT_EQ(Land(0, 0), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Land(4, 2), 0);
    EXPECT_TRUE(mHost.Has("HazardBall"));
    EXPECT_EQ(mLevels.Energy(), 1000 - 3 * 400);
    FinishLevel();
    EXPECT_EQ(mLevels.FailReason(), 0);
    EXPECT_TRUE(mLevels.HiscoreQualified());
    EXPECT_EQ(mWindows.mOpened.back(), 26);
    EXPECT_EQ(mHiscores.GetTable(0)[0].score, 30);
    const CUserProfile saved = Saved();
    EXPECT_EQ(saved.progressA[0], 0);
    EXPECT_EQ(saved.progressA[3], 0);
    EXPECT_EQ(saved.progressA[5], 30);
    EXPECT_EQ(saved.progressA[8], 0);
    EXPECT_EQ(saved.progressA[10], -1);
    EXPECT_EQ(saved.progressA[11], 1000);
}

// The ball bounces on its cell between jumps, and each bounce lands: only the
// landing that ends a jump can miss, else the resting ball would drain the
// energy several times a second; a crazy block still turns at every bounce.
TEST_F(CLevelControllerTest, ABounceAtRestIsNoMissButTurnsTheCrazyBlock)
{
    Play(0, 0);
    EXPECT_EQ(Land(4, 2, false), 0);
    EXPECT_EQ(mLevels.Energy(), 1000);
    EXPECT_FALSE(mHost.Has("HazardBall"));
    // A group under the resting ball is still taken.
    EXPECT_EQ(Land(0, 0, false), 3);

    Play(0, 3);
    Land(1, 0, false);
    EXPECT_TRUE(mHost.Has("CrazyStep 1"));
}

// A save from the loss on, its outro running or its window open, holds the
// retry that window offers: a life fewer, the level begun afresh, the score
// run on; never the lost try with its life.
TEST_F(CLevelControllerTest, AFailureWithLivesLeftOffersToContinue)
{
    Play(0, 0, 2);
    EXPECT_EQ(Land(0, 0), 3);
    for (int i = 0; i < 3; ++i)
        Land(4, 2);
    mLevels.CheckLevelEnd();
    ASSERT_EQ(mLevels.State(), CLevelController::kFailed);
    for (const char* when : {"the outro", "the window"}) {
        SCOPED_TRACE(when);
        if (std::string(when) == "the window") {
            FinishLevel();
            EXPECT_EQ(mWindows.mOpened.back(), 1);
        }
        EXPECT_EQ(mLevels.Lives(), 1);
        mLevels.SaveProgress();
        const CUserProfile saved = Saved();
        const int32_t retry[CUserProfile::kProgressACount] = {1, 0, 0, 0, 0, 30, 0, 0, 0, 0, 1, 1000};
        EXPECT_TRUE(std::equal(std::begin(retry), std::end(retry), saved.progressA));
    }
    EXPECT_FALSE(mLevels.HiscoreQualified());
}

TEST_F(CLevelControllerTest, TurnsMoveThroughTheCheckpoints)
{
    Play(0, 0);
    for (int i = 0; i < 5; ++i)
        Land(0, 0);
    EXPECT_EQ(mLevels.CurrentCheckpoint(), 1);
    EXPECT_EQ(mLevels.Damage(), 100);
    mLevels.SetProgress(2);
    EXPECT_EQ(mLevels.CurrentCheckpoint(), 0);
    mLevels.SetProgress(500);
    EXPECT_EQ(mLevels.CurrentCheckpoint(), 1);
    EXPECT_EQ(mField.Grid().Parameters().mBlockTypes, 3);
}

TEST_F(CLevelControllerTest, MatchTableAndCombos)
{
    Play(0, 0);
    EXPECT_EQ(mLevels.MatchPoints(3), 30);
    EXPECT_EQ(mLevels.MatchPoints(4), 90);
    EXPECT_EQ(mLevels.MatchPoints(20), 90);
    EXPECT_TRUE(LogHas("Set match[6]=90 == 90"));
    for (int i = 0; i < 7; ++i)
        Land(0, 0);
    const int32_t before = mLevels.Score();
    EXPECT_EQ(mLevels.ApplyCombo(), 4);
    EXPECT_EQ(mLevels.Score(), before + 1000);
    EXPECT_EQ(mLevels.ApplyCombo(), 0);

    // What the game processor reads through the level-flow interface.
    CLevelFlow& flow = mLevels;
    const int32_t values[] = {0, 100, 250, 500, 1000, 0};
    for (int32_t level = 0; level < 6; ++level)
        EXPECT_EQ(flow.ComboValue(level), values[level]) << level;
    flow.StartFinalOutro();
    EXPECT_EQ(mHost.mCalls.back(), "Phase 10");
}

TEST_F(CLevelControllerTest, EndTestPerLevelType)
{
    struct Case {
        const char* mName;
        int32_t mPosition;
        std::vector<std::string> mField;
        int32_t mPoints;
        int32_t mCrazyToTurn;
        int32_t mExpected;
    };
    const Case cases[] = {
        {"points reached", 0, {"00011", "22211", "33314"}, 60, 1, CLevelController::kCompleted},
        {"points short", 0, {"00011", "22211", "33314"}, 59, 1, CLevelController::kPlaying},
        {"no group left", 0, {"01230", "12301", "23012"}, 0, 1, CLevelController::kFailed},
        {"timed ran dry", 1, {"00011", "22211", "33314"}, 0, 1, CLevelController::kFailed},
        {"timed running", 1, {"00011", "22211", "33314"}, 1, 1, CLevelController::kPlaying},
        {"puzzle solved", 2, {"44444", "44444", "44444"}, 0, 1, CLevelController::kCompleted},
        {"puzzle stuck", 2, {"01244", "44444", "44444"}, 0, 1, CLevelController::kFailed},
        {"puzzle open", 2, {"00044", "44444", "44444"}, 0, 1, CLevelController::kPlaying},
        {"crazy turned", 3, {"00011", "22211", "33314"}, 0, 0, CLevelController::kCompleted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mName);
        Play(0, c.mPosition);
        Field(c.mField);
        mLevels.SetPoints(c.mPoints);
        mHost.mCrazyToTurn = c.mCrazyToTurn;
        mLevels.CheckLevelEnd();
        EXPECT_EQ(mLevels.State(), c.mExpected);
        EXPECT_FALSE(mLevels.Changed());
    }
}

TEST_F(CLevelControllerTest, EachKindOpensItsResultWindow)
{
    struct Case {
        int32_t mPosition;
        std::vector<std::string> mField;
        int32_t mKind;
        int32_t mWindow;
    };
    const Case cases[] = {
        {1, {"00011", "22211", "33314"}, CLevelController::kTimedKind, 5},
        {2, {"44444", "44444", "44444"}, CLevelController::kPuzzleKind, 6},
        {3, {"00011", "22211", "33314"}, CLevelController::kCrazyKind, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mPosition);
        Play(0, c.mPosition);
        EXPECT_EQ(mLevels.LevelKind(), c.mKind);
        Field(c.mField);
        mLevels.SetPoints(1000);
        mHost.mCrazyToTurn = 0;
        FinishLevel();
        EXPECT_EQ(mWindows.mOpened.back(), c.mWindow);
    }
}

TEST_F(CLevelControllerTest, APuzzleLevelDrivesItsArrowsAndFollowsTheField)
{
    Play(0, 2);
    EXPECT_TRUE(mHost.Has("PanelLayout 1 undo"));
    EXPECT_FALSE(mHost.Has("Arrows stop hide"));
    EXPECT_TRUE(mHost.Has("Arrows dim"));
    EXPECT_EQ(mHost.mCompletion, 6);
    EXPECT_EQ(Land(0, 0), 3);
    EXPECT_TRUE(mHost.Has("Arrows show"));
    EXPECT_TRUE(mLevels.Changed());
    EXPECT_EQ(mLevels.LevelPoints(), 0);
    mLevels.OnFieldSettled();
    EXPECT_TRUE(mHost.Has("Arrows flash"));
    // The reserved colour is never taken.
    Field({"44400", "12312", "31231"});
    EXPECT_EQ(Land(0, 0), 0);
}

TEST_F(CLevelControllerTest, TheFirstRandomFieldOfAMapLevelHasTheLevelsColours) { ExpectFirstFieldMixed(0); }

TEST_F(CLevelControllerTest, TheFirstRandomFieldOfTheEndlessGameHasTheLevelsColours) { ExpectFirstFieldMixed(1); }

TEST_F(CLevelControllerTest, ACrazyLevelWithNoEnergyFailsAtOnce)
{
    Play(0, 0);
    // Without a request the level's own energy holds.
    mLevels.StartLevel(0, 3);
    mLevels.HandleState();
    mLevels.BeginPlay();
    // K is the last of the level's colours; the field also holds the reserved one.
    EXPECT_GT(mField.Grid().ColourCount(), 4);
    EXPECT_TRUE(mHost.Has("CrazyNewTurn 4"));
    EXPECT_TRUE(mHost.Has("CrazyPhaseAnim"));
    EXPECT_EQ(Land(2, 1), 0);
    EXPECT_TRUE(mHost.Has("CrazyStep 7"));
    EXPECT_FALSE(mHost.Has("HazardBall"));
    // No points goal: the bar shows full instead of dividing by zero.
    mLevels.UpdateProgressBar();
    EXPECT_EQ(mHost.mCompletion, 100);
    EXPECT_EQ(mLevels.Energy(), 0);
    FinishLevel();
    EXPECT_EQ(mWindows.mOpened.back(), 1);
}

TEST_F(CLevelControllerTest, TheEndlessGameGoesStraightOnKeepingEnergyAndScore)
{
    Play(1, 0);
    EXPECT_EQ(mLevels.GameMode(), 2);
    EXPECT_TRUE(mHost.Has("PanelLayout 2"));
    EXPECT_EQ(mLevels.LevelKind(), CLevelController::kEndlessKind);
    Land(0, 0);
    Land(4, 0);
    Land(4, 2);
    const int32_t energy = mLevels.Energy();
    EXPECT_EQ(energy, 600);
    mLevels.CheckLevelEnd();
    EXPECT_EQ(mLevels.State(), CLevelController::kCompleted);
    mLevels.HandleState();
    EXPECT_EQ(mLevels.State(), CLevelController::kPlaying);
    EXPECT_EQ(mLevels.CurrentPosition(), 1);
    EXPECT_EQ(mLevels.Energy(), energy);
    EXPECT_EQ(mLevels.Score(), 120);
    EXPECT_EQ(mLevels.LevelPoints(), 0);
    EXPECT_EQ(mLevels.Progress(), 0);
    const CUserProfile saved = Saved();
    EXPECT_EQ(saved.progressB[0], 1);
    EXPECT_EQ(saved.progressB[1], 1);
    EXPECT_EQ(saved.progressB[2], 120);
    EXPECT_EQ(saved.progressB[3], energy);
}

// The endless game plays on over the field the last level left, but a puzzle
// lays its own, and so does the level after it, whose grey would hold nothing
// to take; a level that lays its field waits for the last one's blocks to rest.
TEST_F(CLevelControllerTest, TheEndlessGameLaysAFieldForAPuzzleAndTheLevelAfterIt)
{
    Play(2, 0);
    struct Next {
        int32_t position;
        bool laid;
    };
    for (const Next& next : {Next{1, false}, Next{2, true}, Next{3, true}, Next{4, false}}) {
        const std::string context = "position " + std::to_string(next.position);
        if (mLevels.Level().mLevelType == 1)
            Field({"44444", "44444", "44444"});
        else
            mLevels.AddPoints(60);
        mLevels.SetChanged();
        mLevels.CheckLevelEnd();
        ASSERT_EQ(mLevels.State(), CLevelController::kCompleted) << context;
        // Blocks still on the move hold the next level back.
        mHost.mFieldMoving = true;
        mLevels.HandleState();
        EXPECT_EQ(mLevels.State(), CLevelController::kCompleted) << context;
        EXPECT_EQ(mHost.mProcessorState, CLevelController::kCompleted) << context;
        mHost.mFieldMoving = false;
        mHost.mCalls.clear();
        mLevels.HandleState();
        ASSERT_EQ(mLevels.CurrentPosition(), next.position) << context;
        EXPECT_EQ(mLevels.State(), CLevelController::kPlaying) << context;
        const bool laid = std::any_of(mHost.mCalls.begin(), mHost.mCalls.end(),
                                      [](const std::string& call) { return call.rfind("Field ", 0) == 0; });
        EXPECT_EQ(laid, next.laid) << context;
        EXPECT_EQ(mHost.Has("Ball " + std::to_string(next.laid) + " 0,0"), true) << context;
        Field({"00011", "22211", "33314"});
    }
}

