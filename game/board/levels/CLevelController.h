#pragma once

#include "game/board/levels/CBonusLevel.h"
#include "game/board/levels/CEnergyMeter.h"
#include "game/board/levels/CLevelFlow.h"
#include "game/board/levels/CLevelTable.h"
#include "game/board/levels/LevelCommands.h"

#include <cstdint>
#include <map>
#include <vector>

class CCellGrid;
class CHiscoreTable;
class CLevelGraphs;
class CLevelHost;
class CLevelWindows;
class CPieceBase;
class CUserProfiles;

// Runs the level in play: starts it at a position of a level graph, scores the
// ball's landings, tests for the level's end and drives the level states with
// the windows they open. Game mode 1 is the level-map game (stages of ten,
// lives, a result window after each level); game mode 2 the endless game.
class CLevelController : public CLevelFlow, public CLevelCommandTarget, public CEnergyMeter, public CBonusLevel {
public:
    enum State : int32_t {
        kPlaying = 0,
        kFailed = 1,
        kCompleted = 2,
        kIntro = 3,
        kCompletedDone = 4,
        kFailedDone = 5,
        kRequested = 6,
        kNothing = 7,
    };
    // The phase sequence after a failed level; intros are 1 to 3, outros 6 to 8.
    static constexpr int32_t kFinalOutro = 10;
    enum Kind : int32_t { kPointsKind = 0, kTimedKind = 1, kPuzzleKind = 2, kCrazyKind = 3, kEndlessKind = 4 };

    struct Request {
        int32_t mGraph = 0;
        int32_t mPosition = 0;
        int32_t mPoints = 0;
        int32_t mLives = 0;
        int32_t mLevelGain = 0;
        int32_t mScore = 0;
        int32_t mSupercomboPoints = 0;
        int32_t mComboPoints = 0;
        int32_t mProgress = 0;
        int32_t mEnergy = 0;
        int32_t mResult = 0;
        // The endless game's cycle seed as saved; below CLevelGraphs::kFirstSeed none yet.
        int32_t mCycleSeed = 0;
    };

    struct Parts {
        CCellGrid& mGrid;
        CPieceBase& mPieces;
        CLevelGraphs& mGraphs;
        CUserProfiles& mProfiles;
        CHiscoreTable& mHiscores;
        CLevelHost& mHost;
        CLevelWindows& mWindows;
        // The field's reserved colour: a puzzle is solved when every cell holds it.
        int32_t mReservedColour = 0;
    };

    explicit CLevelController(const Parts& parts);

    bool LoadFromXml(const TiXmlElement* root, const CFieldBase& shapes);
    const CLevelTable& Table() const { return mTable; }

    // Returns 2 when handled at once (from state 7), else 1; plus 4 on another graph or stage.
    int32_t RequestLevel(const Request& request);
    void StartLevel(int32_t graph, int32_t position);
    void BeginPlay();
    void HandleState() override;
    void CheckLevelEnd();
    // After the reload of a new map: takes over the requested graph and applies
    // the onload entry of the requested position. Touches only the controller,
    // the graphs and what ApplyOnload changes, so the loading thread may run it
    // while the main thread keeps off the board.
    void NextLevelInGraph();
    void RestartAfterLoad();
    void SetLevelMapWanted(bool wanted) { mLevelMapWanted = wanted; }
    bool LevelMapWanted() const { return mLevelMapWanted; }
    bool StageChanged() const { return mStageChanged; }
    // The tally reached the first position of a new map in the current graph:
    // the reload takes it over, and the score, lives and counters run on.
    void RequestNextMap(int32_t position);
    static bool IsOtherStage(int32_t graphA, int32_t positionA, int32_t graphB, int32_t positionB);
    // The player's rank: the stage until a whole map game is won, then 5 for
    // the first, one more for each further game, up to 9.
    int32_t GetResultIndex() const;
    // The result value counts the whole map games won; the saved progress
    // keeps it, and with it the player's rank and cups.
    int32_t GraphsCompleted() const { return mResult; }
    void CompleteGraph();

    // taken: the size of the group the landing took.
    void OnBallLanded(bool countTurn, bool bonusFired, int32_t* taken);
    void OnFieldSettled() override;
    void AddPoints(int32_t points) override;
    int32_t ApplyCombo() override;
    // Combo level 1 to 4: the points of 2x, 3x, 4x and the supercombo.
    int32_t ComboValue(int32_t level) const override;
    int32_t MatchPoints(int32_t count) const override;
    void SetMatch(int32_t count, int32_t points);
    void UpdateProgressBar() override;
    // The panel's energy bar at once.
    void ShowEnergy();
    bool GetHazardFlags(int32_t* flags) override;
    void PickSuperbonusPiece() override;
    bool TestSuperbonusShape(int32_t group);
    void SetProgress(int32_t progress);
    void ApplyCheckpoint(int32_t k);
    void ApplyOnload(int32_t onload);
    // Writes the game in play into the current player's record.
    void SaveProgress();
    // The game went into its player's record as it was left for the menu,
    // where another player may be made current: no save writes it again
    // until a new game is requested.
    void LeaveGame() { mGameLeft = true; }
    int32_t Energy() const override { return mEnergy; }
    void SetEnergy(int32_t energy) override { mEnergy = energy; }
    void ShowEnergy(int32_t percent, bool immediate, float speed) override;
    void SetChanged() override { mChanged = true; }

    void SetBallSpeeds(float first, float second) override;

    int32_t State() const { return mState; }
    int32_t GameMode() const override { return mGameMode; }
    int32_t Points() const override { return mLevelPoints; }
    void SetPoints(int32_t points) override { mLevelPoints = points; }
    void StartIntro(int32_t variant) override;
    void StartOutro(int32_t variant) override;
    void StartFinalOutro() override;
    int32_t LevelKind() const { return mLevelKind; }
    int32_t Score() const { return mScore; }
    int32_t LevelPoints() const { return mLevelPoints; }
    int32_t LevelGain() const { return mLevelGain; }
    int32_t ComboGain() const { return mComboPoints; }
    int32_t SupercomboGain() const { return mSupercomboPoints; }
    // The song of the level in play; 0 is the title song.
    int32_t Song() const { return mSong; }
    void SetSong(int32_t song) { mSong = song; }
    int32_t Lives() const { return mLives; }
    int32_t Progress() const { return mProgress; }
    int32_t CurrentCheckpoint() const { return mCheckpoint; }
    int32_t CheckpointTurns() const { return mCheckpointTurns; }
    int32_t Damage() const { return mDamage; }
    int32_t FailReason() const { return mFailReason; }
    bool HiscoreQualified() const { return mHiscoreQualified; }
    bool Changed() const { return mChanged; }
    int32_t ComboCount() const { return mComboCount; }
    int32_t CurrentPosition() const { return mPosition; }
    int32_t CurrentGraph() const { return mGraph; }
    const LevelRecord& Level() const { return *mLevel; }
    int32_t ScoringMode() const override { return mLevel ? mLevel->mScoringMode : 0; }
    bool SuperbonusActive() const { return mPieceActive; }

private:
    bool PuzzleSolved() const;
    static constexpr int32_t kTopRank = 9;
    static int32_t ResultIndex(int32_t result, int32_t stage);
    // The position after the current one, the graph's start after its last.
    int32_t FollowingPosition() const;
    // The level at a position of the current graph; null when it names none.
    const LevelRecord* LevelAt(int32_t position) const;
    // The map game's record at a level begun afresh, the score run on.
    void SaveLevelAfresh(int32_t position, int32_t result);
    void HandleRequest();
    void EnterResultState(int32_t state);
    void OpenStatus(int32_t id);

    CCellGrid& mGrid;
    CPieceBase& mPieces;
    CLevelGraphs& mGraphs;
    CUserProfiles& mProfiles;
    CHiscoreTable& mHiscores;
    CLevelHost& mHost;
    CLevelWindows& mWindows;
    int32_t mReservedColour;
    CLevelTable mTable;

    LevelDefaults mActive;
    std::map<int32_t, int32_t> mMatches;
    int32_t mHighestMatch = 0;
    const LevelRecord* mLevel = nullptr;
    bool mChanged = false;
    int32_t mComboCount = 0;
    float mDamageScale = 1.0f;
    int32_t mCheckpoint = -1;
    int32_t mDamage = 0;
    int32_t mTurnLimit = 0;
    int32_t mColourCount = 0;
    int32_t mEnergy = 0;
    int32_t mScore = 0;
    int32_t mLevelPoints = 0;
    int32_t mLevelGain = 0;
    int32_t mSupercomboPoints = 0;
    int32_t mComboPoints = 0;
    int32_t mProgress = 0;
    int32_t mCheckpointTurns = 0;
    bool mPieceActive = false;
    int32_t mPiece = 0;
    int32_t mPiecePoints = 0;
    int32_t mPieceColour = 0;
    bool mDrain = false;
    int32_t mTimeHazard = 0;
    int32_t mLevelKind = 0;
    bool mHasRequest = false;
    bool mGameLeft = false;
    Request mRequest;
    int32_t mStage = 0;
    int32_t mLevelInStage = 0;
    int32_t mLives = 0;
    int32_t mFailReason = 0;
    int32_t mGraph = -2;
    int32_t mPosition = 0;
    int32_t mResult = 0;
    // The position a won level leads to.
    int32_t mFollowing = 0;
    // The graph's last level is won and the tally's end has not counted the whole game yet.
    bool mWholeGameUncounted = false;
    bool mStageChanged = false;
    bool mFirstStart = true;
    bool mHiscoreQualified = false;
    bool mLevelMapWanted = false;
    int32_t mSong = 0;
    int32_t mOnload = -1;
    int32_t mState = kNothing;
    int32_t mGameMode = 0;
    bool mModeChanged = false;
    // The level in play began on a field laid for it, not on the last level's.
    bool mFieldLaid = false;
};
