#include "tests/app/TourPlayer.h"

#include "app/CGameApp.h"
#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/BonusRecord.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "platform/windows/VirtualKeys.h"
#include "tests/app/WindowCommands.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// What Esc or the undo button starts takes some updates; the next look comes after that.
constexpr int32_t kAfterAct = 20;
// How long the player is away in another window.
constexpr int32_t kAwayUpdates = 60;
// The map game's second map begins at this position.
constexpr int32_t kSecondMap = 10;

} // namespace

const std::set<int32_t>& FiredBonuses::Now()
{
    std::ifstream file(mLog, std::ios::binary);
    if (!file.seekg(std::streamoff(mRead)))
        return mFired;
    std::ostringstream gained;
    gained << file.rdbuf();
    mRead += gained.str().size();
    mPartLine += gained.str();
    static const std::string kFired = "DBGPROCESS: bonus_activate ";
    size_t end;
    while ((end = mPartLine.find("\r\n")) != std::string::npos) {
        if (mPartLine.compare(0, kFired.size(), kFired) == 0)
            mFired.insert(std::stoi(mPartLine.substr(kFired.size(), end - kFired.size())));
        mPartLine.erase(0, end + 2);
    }
    return mFired;
}

TourPlayer::TourPlayer(CGameApp& game, GameMouse mouse, std::string name, std::string log)
    : GamePlayer(game, mouse), mName(std::move(name)), mFired(std::move(log))
{
}

void TourPlayer::OnWindow(int32_t window)
{
    if (window == kCreatePlayer1)
        mMouse.Type(mName);
    // The endless game is over; what is left is the quit.
    if (window == kScoreGameover || window == kScoreGameoverHiscore)
        mPart = kQuit;
}

void TourPlayer::ActOnWindow(int32_t window)
{
    switch (window) {
    case kCreatePlayer1:
        Press(Command::kCreatePlayerOk);
        return;
    case kMenu:
        Press(mPart == kMapGame       ? Command::kMenuPlay
              : mPart == kEndlessGame ? Command::kMenuEndless
                                      : Command::kMenuQuit);
        return;
    case kQuitConfirm:
        mQuitConfirmed = Press(Command::kQuitYes);
        return;
    case kLevelMap:
        // After a won level the map's highlight moves on to the next position; watch it arrive.
        if (mGame.LevelMap()->HighlightState() == CLevelMap::kAtPosition)
            Press(Command::kMapPlay);
        return;
    case kPauseBasic:
        Press(mLeaving ? Command::kPauseBasicLeave : Command::kPauseBasicResume);
        return;
    case kPauseScore:
        Press(mLeaving ? Command::kPauseScoreLeave : Command::kPauseScoreResume);
        return;
    case kMenuConfirm:
        if (!mLeaving) {
            Press(Command::kStayInGame);
        } else if (Press(Command::kLeaveConfirmed)) {
            mLeaving = false;
            mPart = Part(mPart + 1);
        }
        return;
    default:
        Press(OnwardCommand(window));
        return;
    }
}

bool TourPlayer::PartDone() const
{
    const CLevelController& levels = *mGame.LevelController();
    // The second map reached; one endless level won, the endless game goes on
    // at its next, where the player misses until the game is over.
    return mPart == kMapGame ? levels.GameMode() == 1 && levels.CurrentPosition() >= kSecondMap
                             : levels.GameMode() == 2 && levels.CurrentPosition() >= 1;
}

void TourPlayer::PlayField()
{
    // On its first level the player tries for a combo once: as soon as a take
    // has landed the ball is sent on to the next group, and is in the air
    // when the combo's window closes.
    const CLevelController& levels = *mGame.LevelController();
    if (!mTriedCombo && levels.GameMode() == 1 && levels.CurrentPosition() == 0 && levels.ComboCount() > 0 &&
        mMouse.FieldTakesClick()) {
        mTriedCombo = true;
        TakeGroup();
        return;
    }
    if (!FieldReady(true))
        return;
    const int32_t kind = levels.LevelKind();
    // Esc opens the pause window: the first time to go on, at the map game's end to leave.
    if (!mPausedByKey || (mPart == kMapGame && PartDone())) {
        mLeaving = mPausedByKey;
        mPausedByKey = true;
        mMouse.PressKey(Platform::VK_ESCAPE);
        mWaitUntil = mUpdate + kAfterAct;
        return;
    }
    if (!mLeftWindow && kind == CLevelController::kTimedKind) {
        LeaveWindow(kAwayUpdates);
        mLeftWindow = true;
        return;
    }
    if (mPart == kEndlessGame && PartDone())
        ClickCell(mMouse.PickCell(false));
    else if (kind == CLevelController::kPuzzleKind)
        PlayPuzzle();
    else if (kind == CLevelController::kCrazyKind)
        PlayCrazy();
    else if (!LandOnWantedBonus() && (kind == CLevelController::kTimedKind || !BringsWantedBonuses()))
        TakeGroup();
}

void TourPlayer::TakeGroup()
{
    const int32_t take = mMouse.PickCell(true);
    ClickCell(take >= 0 ? take : mMouse.PickCell(false));
}

void TourPlayer::PlayPuzzle()
{
    if (!mUndone && !CCellRuns::Current()->Runs().empty()) {
        mMouse.ClickUndo();
        mUndone = true;
        mWaitUntil = mUpdate + kAfterAct;
        return;
    }
    ClickCell(mMouse.PickCell(true));
}

bool TourPlayer::LandOnWantedBonus()
{
    const std::set<int32_t>& fired = mFired.Now();
    const CGameField& field = *mGame.Field();
    for (int32_t cell = 0; cell < field.Grid().CellCount(); ++cell) {
        const CFieldBlock* block = field.Record(cell).mBlock;
        if (block == nullptr || block->mBonus == nullptr || fired.count(block->mBonus->mId) != 0 ||
            !CFieldBonuses::IsArmed(*block->mBonus) || mMouse.GroupTaken(cell) < 0)
            continue;
        ClickCell(cell);
        RestHandBeside(cell);
        return true;
    }
    return false;
}

void TourPlayer::RestHandBeside(int32_t cell)
{
    // Best on a block of no group: a bomb's blast takes that one by itself, not with a group.
    const int32_t width = mGame.Field()->Width();
    const int32_t height = mGame.Field()->Height();
    const int32_t column = cell % width;
    const int32_t row = cell / width;
    int32_t rest = column + 1 < width ? cell + 1 : cell - 1;
    for (int32_t c = std::max(column - 1, 0); c <= std::min(column + 1, width - 1); ++c) {
        for (int32_t r = std::max(row - 1, 0); r <= std::min(row + 1, height - 1); ++r) {
            if (r * width + c != cell && mMouse.GroupTaken(r * width + c) == 0)
                rest = r * width + c;
        }
    }
    mMouse.PointAtCell(rest % width, rest / width);
}

bool TourPlayer::BringsWantedBonuses()
{
    const std::set<int32_t>& fired = mFired.Now();
    const CBonusBase& bonuses = *mGame.BonusBase();
    for (int32_t id = 0; id < kBonusCount; ++id) {
        if (fired.count(id) == 0 && bonuses.Amount(id) > 0)
            return true;
    }
    return false;
}

std::string TourPlayer::Report() const
{
    std::ostringstream out;
    out << "update " << mUpdate << ", part " << mPart << ", " << mMouse.Sight() << ", cell clicks " << CellClicks()
        << ", windows seen:";
    for (const int32_t window : WindowsSeen())
        out << ' ' << window;
    return out.str();
}

} // namespace AppTest
