#include "tests/app/LevelWatch.h"

#include "app/CGameApp.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CBonusShell.h"
#include "game/board/bonuses/CGameBonuses.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace AppTest {
namespace {

// Updates a level may stay in play, unpaused, before it counts as locked.
constexpr int32_t kLevelBound = 20000;
// Far above what any game here scores.
constexpr int32_t kScoreBound = 10000000;
// Updates without anything changing on screen or in the level before the session counts as stalled.
constexpr int32_t kStallBound = 6000;

// Tracks and animations are pooled by the blocks and windows that use them,
// so their counts move a little from one level start to the next; a leak
// grows them level after level.
constexpr int32_t kTrackAllowance = 12;
constexpr int32_t kAnimationAllowance = 1;

constexpr int32_t kFullEnergy = 1000;
// What a crazy level pays for a block turned to its colour.
constexpr int32_t kCrazyTurnPoints = 100;
// A combo of five landings or more pays the supercombo.
constexpr int32_t kLongestCombo = 5;

} // namespace

std::string LevelWatch::Holdings::Describe() const
{
    std::ostringstream out;
    out << "processes of kinds";
    for (const int32_t kind : mProcesses)
        out << ' ' << kind;
    out << ", " << mTracks << " tracks, " << mAnimations << " animations, " << mMainPlayer << " on the main player";
    return out.str();
}

void LevelWatch::Update(int32_t update)
{
    mUpdate = update;
    const CLevelController& levels = *mGame.LevelController();
    const bool playing = levels.State() == CLevelController::kPlaying;
    // The endless game goes on to its next level at once, in play.
    const bool moved = levels.CurrentGraph() != mGraph || levels.CurrentPosition() != mPosition;
    if (mPlaying && (!playing || moved))
        LevelEnded();
    if (playing && (!mPlaying || moved))
        LevelBegan();
    mPlaying = playing;
    mGraph = levels.CurrentGraph();
    mPosition = levels.CurrentPosition();
    const CGUIController& gui = *mGame.GuiController();
    const int32_t shown = gui.State() == CGUIController::kShown ? gui.CurrentWindow() : -1;
    if (shown != mShown && (shown == GUIWindowId::kLevelStart || shown == GUIWindowId::kScoreStart))
        CheckLevelStart();
    mShown = shown;
    const bool running = mPlaying && !mGame.GamePaused() && mGame.mActive;
    if (running && ++mPlayedUpdates == kLevelBound)
        Fault("the level is still in play after " + std::to_string(kLevelBound) + " updates");
    WatchCombo(running);
    const LevelLook now = LookAtLevel(running);
    const bool sameLevel = now.mGraph == mLastLevel.mGraph && now.mPosition == mLastLevel.mPosition;
    if (now.mInPlay && mLastLevel.mInPlay && sameLevel) {
        WatchHazards(now);
        WatchComboPayout(now);
        WatchDrain(now);
        WatchCheckpoint(now);
        WatchEnergyGain(now);
        WatchClosedShell(now);
        WatchCrazyScoring(now);
    } else {
        mDrainOwed = 0.0f;
    }
    mLastLevel = now;
    WatchHovers();
    WatchForStall();
}

LevelWatch::Holdings LevelWatch::Now() const
{
    Holdings now;
    const CGameProcessor& processor = *mGame.Processor();
    // A puzzle level shows its arrows from its start on, a crazy level its colour's blinking indicator.
    const int32_t type = mGame.LevelController()->Level().mLevelType;
    for (const ProcessSlot& slot : processor.Slots()) {
        const bool setAside = slot.mKind == kProcessBlockBump || (type == 1 && slot.mKind == kProcessArrows) ||
                              (type == 2 && slot.mKind == kProcessCrazyLevel);
        if (slot.mKind != kProcessFree && !setAside)
            now.mProcesses.insert(slot.mKind);
    }
    now.mTracks = int32_t(mGame.Tracks()->Running().Used());
    now.mAnimations = int32_t(mGame.Anims()->Instances().Used());
    now.mMainPlayer = int32_t(mGame.Anims()->mPlayer.mActive.size());
    return now;
}

void LevelWatch::CheckLevelStart()
{
    const Holdings now = Now();
    const auto [first, isFirst] = mFirstStarts.emplace(mGame.LevelController()->GameMode(), now);
    if (isFirst)
        return;
    const Holdings& was = first->second;
    if (now.mProcesses != was.mProcesses || now.mTracks > was.mTracks + kTrackAllowance ||
        now.mAnimations > was.mAnimations + kAnimationAllowance || now.mMainPlayer > was.mMainPlayer)
        Fault("a level starts with " + now.Describe() + "; the first of its mode with " + was.Describe());
}

void LevelWatch::LevelBegan()
{
    mPlayedUpdates = 0;
    // Play begins with the player's files saved.
    mSavedProfiles = ProfileRecords(*mGame.Profiles());
    for (int32_t table = 0; table < CHiscoreTable::kTableCount; ++table)
        mSavedScores[size_t(table)] = mGame.Hiscores()->GetTable(table);
}

void LevelWatch::LevelEnded()
{
    ++mLevelsEnded;
    const CLevelController& levels = *mGame.LevelController();
    // A miss may take the energy below 0; the level fails there.
    if (levels.Score() < 0 || levels.Score() > kScoreBound || levels.Energy() < -1000 || levels.Energy() > 1000)
        Fault("the level ended with score " + std::to_string(levels.Score()) + " and energy " +
              std::to_string(levels.Energy()));
    if (!mReadBackFiles)
        return;
    CUserProfiles profiles;
    profiles.Init(mGame);
    if (ProfileRecords(profiles) != mSavedProfiles)
        Fault("users.dat does not read back as saved when the level began");
    CHiscoreTable scores;
    scores.Load();
    for (int32_t table = 0; table < CHiscoreTable::kTableCount; ++table) {
        if (std::memcmp(&scores.GetTable(table), &mSavedScores[size_t(table)], sizeof(CHiscoreTable::Table)) != 0)
            Fault("scores.dat does not read back as saved when the level began");
    }
}

std::vector<std::string> LevelWatch::ProfileRecords(const CUserProfiles& profiles)
{
    std::vector<std::string> records;
    for (int32_t i = 0; i < profiles.Count(); ++i)
        records.emplace_back(reinterpret_cast<const char*>(&profiles.Record(i)), sizeof(CUserProfile));
    return records;
}

void LevelWatch::WatchCombo(bool running)
{
    const CLevelController& levels = *mGame.LevelController();
    if (levels.ComboCount() == 0 || !running || mGame.Processor()->State() != CLevelController::kPlaying) {
        mComboTime = levels.ComboCount() == 0 ? 0.0f : mComboTime;
        return;
    }
    // The window's track is attached, advanced and acted upon in updates that follow the landing.
    const float window = 1.0f / levels.Table().Combos().mComboSpeed + 5.0f;
    mComboTime += mGame.Field()->Speed();
    if (mComboTime > window && mComboTime - mGame.Field()->Speed() <= window)
        Fault("a combo of " + std::to_string(levels.ComboCount()) + " is still open " +
              std::to_string(int32_t(mComboTime)) + " field steps after its window opened");
}

LevelWatch::LevelLook LevelWatch::LookAtLevel(bool running) const
{
    CLevelController& levels = *mGame.LevelController();
    LevelLook look;
    look.mInPlay = running && levels.State() == CLevelController::kPlaying &&
                   mGame.Processor()->State() == CLevelController::kPlaying;
    look.mGraph = levels.CurrentGraph();
    look.mPosition = levels.CurrentPosition();
    look.mEnergy = levels.Energy();
    look.mPoints = levels.LevelPoints();
    look.mComboCount = levels.ComboCount();
    look.mComboGains = levels.ComboGain() + levels.SupercomboGain();
    look.mCheckpoint = levels.CurrentCheckpoint();
    look.mTimeBonus = mGame.Bonuses()->FieldBonuses().TimeBonusRunning();
    if (look.mInPlay && mGame.BonusBase()->mShellActive != 0) {
        const CGameField& field = *mGame.Field();
        const CBoardWidget& board = *mGame.Board();
        const CFieldBlock* ahead = field.Record(board.TargetRow() * field.Width() + board.TargetColumn()).mBlock;
        look.mClosedShellAhead = ahead && ahead->mShellState == CBonusShell::kClosed;
    }
    levels.GetHazardFlags(&look.mHazards);
    const CGamePanel& panel = *mGame.Panel();
    look.mWarnings = (panel.HazardTrack(CGamePanel::kHazardTime) ? 1 : 0) |
                     (panel.HazardTrack(CGamePanel::kHazardEnergy) ? 2 : 0);
    return look;
}

void LevelWatch::WatchHazards(const LevelLook& now)
{
    // A combo paid changes the points without an end test.
    const bool changed = now.mEnergy != mLastLevel.mEnergy || now.mPoints != mLastLevel.mPoints;
    if (changed && now.mComboGains == mLastLevel.mComboGains && now.mWarnings != now.mHazards)
        FaultOnce("hazards", "the HUD warns of hazards " + std::to_string(now.mWarnings) + " where the level has " +
                                 std::to_string(now.mHazards) + " (energy " + std::to_string(now.mEnergy) +
                                 ", points " + std::to_string(now.mPoints) + ")");
}

void LevelWatch::WatchComboPayout(const LevelLook& now)
{
    if (mLastLevel.mComboCount == 0 || now.mComboCount != 0)
        return;
    const int32_t count = std::min(mLastLevel.mComboCount, kLongestCombo);
    const int32_t value = count > 1 ? mGame.LevelController()->ComboValue(count - 1) : 0;
    const int32_t paid = now.mComboGains - mLastLevel.mComboGains;
    if (paid != value)
        FaultOnce("combo", "a combo of " + std::to_string(mLastLevel.mComboCount) + " paid " + std::to_string(paid) +
                               " instead of " + std::to_string(value));
}

void LevelWatch::WatchDrain(const LevelLook& now)
{
    const CLevelController& levels = *mGame.LevelController();
    if (levels.LevelKind() != CLevelController::kTimedKind)
        return;
    if (mLastLevel.mTimeBonus && now.mTimeBonus && now.mPoints < mLastLevel.mPoints)
        FaultOnce("drain paused", "the points drain while a time bonus runs");
    if (now.mTimeBonus || now.mPoints != mLastLevel.mPoints || now.mPoints < 1) {
        mDrainOwed = 0.0f;
        return;
    }
    // The drain takes whole points as they come due; two owed and none taken is a drain stopped.
    mDrainOwed += levels.Level().mPointsDecreaseSpeed * mGame.Field()->Speed();
    if (mDrainOwed >= 2.0f)
        FaultOnce("drain", "the points of a timed level stand still at " + std::to_string(now.mPoints));
}

void LevelWatch::WatchCheckpoint(const LevelLook& now)
{
    const CLevelController& levels = *mGame.LevelController();
    const LevelRecord& level = levels.Level();
    if (now.mCheckpoint != mLastLevel.mCheckpoint &&
        (now.mCheckpoint != mLastLevel.mCheckpoint + 1 || levels.CheckpointTurns() != 0))
        FaultOnce("checkpoint", "the checkpoint goes from " + std::to_string(mLastLevel.mCheckpoint) + " to " +
                                    std::to_string(now.mCheckpoint) + " after " +
                                    std::to_string(levels.CheckpointTurns()) + " turns");
    const bool last = now.mCheckpoint + 1 >= level.mCheckpointCount;
    if (!last && levels.CheckpointTurns() >= levels.Table().CheckpointOf(level, now.mCheckpoint).mTurns)
        FaultOnce("checkpoint turns", "checkpoint " + std::to_string(now.mCheckpoint) + " holds on after " +
                                          std::to_string(levels.CheckpointTurns()) + " turns");
}

void LevelWatch::WatchEnergyGain(const LevelLook& now)
{
    if (now.mEnergy <= mLastLevel.mEnergy)
        return;
    const int32_t amount = mGame.BonusBase()->mEnergyAmount;
    if (now.mEnergy != std::min(kFullEnergy, mLastLevel.mEnergy + amount))
        FaultOnce("energy bonus", "the energy rises from " + std::to_string(mLastLevel.mEnergy) + " to " +
                                      std::to_string(now.mEnergy) + " with an energy bonus of " +
                                      std::to_string(amount));
}

void LevelWatch::WatchClosedShell(const LevelLook& now)
{
    if (mLastLevel.mClosedShellAhead && now.mEnergy < mLastLevel.mEnergy &&
        mGame.LevelController()->LevelKind() != CLevelController::kCrazyKind)
        FaultOnce("closed shell", "a landing on a closed shell block costs " +
                                      std::to_string(mLastLevel.mEnergy - now.mEnergy) + " energy");
}

void LevelWatch::WatchCrazyScoring(const LevelLook& now)
{
    const int32_t gained = now.mPoints - mLastLevel.mPoints;
    if (mGame.LevelController()->LevelKind() == CLevelController::kCrazyKind && gained != 0 &&
        gained != kCrazyTurnPoints)
        FaultOnce("crazy", "a crazy level's points change by " + std::to_string(gained) + " at one update");
}

void LevelWatch::WatchHovers()
{
    const CGameField& field = *mGame.Field();
    for (const ProcessSlot& slot : mGame.Processor()->Slots()) {
        if (slot.mKind != kProcessCellHover || mHoverOffField)
            continue;
        // A block off the field is back in the field's pool, past its blocks in play, or taken anew and bare.
        const CFieldBlock* block = slot.Object<CFieldBlock>(2);
        if (block == nullptr || block->mPoolIndex >= field.ActiveBlocks() || block->mHover.mPhase == 0) {
            mHoverOffField = true;
            Fault("a hover goes on for a block taken off the field");
        }
    }
}

void LevelWatch::WatchForStall()
{
    const CLevelController& levels = *mGame.LevelController();
    const CGUIController& gui = *mGame.GuiController();
    const std::vector<int32_t> look = {gui.CurrentWindow(), gui.State(),        levels.State(),
                                       levels.Score(),      levels.Energy(),    levels.LevelPoints(),
                                       mGame.GamePaused(),  levels.CurrentPosition()};
    if (look != mLastLook) {
        mLastLook = look;
        mSameSince = mUpdate;
    } else if (mUpdate - mSameSince == kStallBound) {
        Fault("nothing has changed for " + std::to_string(kStallBound) + " updates");
    }
}

void LevelWatch::FaultOnce(const std::string& kind, const std::string& what)
{
    if (mFaultKinds.insert(kind).second)
        Fault(what);
}

void LevelWatch::Fault(const std::string& what)
{
    const CLevelController& levels = *mGame.LevelController();
    mFaults += "update " + std::to_string(mUpdate) + ", level " + std::to_string(levels.CurrentPosition()) +
               " of graph " + std::to_string(levels.CurrentGraph()) + ": " + what + "\n";
}

} // namespace AppTest
