#include "game/board/bonuses/CSuperBonus.h"

#include "framework/core/AppLog.h"
#include "framework/graphics/Graphics.h"
#include "game/board/CFieldActivity.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageSlot.h"
#include "game/data/pictures/CImageTable.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int32_t kRise = 20;
constexpr int32_t kMaxSpan = 4;
// Where the picture flies to, relative to the screen's centre.
constexpr int32_t kTargetX = 400 - 400;
constexpr int32_t kTargetY = 40 - 300;

} // namespace

CSuperBonus::CSuperBonus(const SuperBonusLinks& links) : mLinks(links) {}

CSuperBonus::~CSuperBonus() = default;

void CSuperBonus::Init()
{
    mFadeCurve.mChannels = 4;
    mFadeCurve.mValues = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f};
    mMotionCurve.mChannels = 2;
    mZoomCurve.mChannels = 1;
    mZoomCurve.mValues = {1.0f, CGameConfig::live.superbonusEndzoom};
    for (CAnimTrack** track : {&mRaise, &mFade, &mMove, &mZoom})
        if (!*track)
            *track = mLinks.mTracks->NewIdleInstance();
    mLinks.mProcessor->RegisterKind(kProcessSuperBonus, {[this](CAnimTrack& track, int32_t) { Update(track); }, nullptr});
}

bool CSuperBonus::Start(int32_t group)
{
    if (mState != 0)
        return false;
    CGameField& field = *mLinks.mField;
    const CCellGrid& grid = field.Grid();
    if (group < 0 || group >= grid.GroupIdCounter())
        return false;
    mCells = grid.Group(group).mMembers;
    if (mCells.empty())
        return false;
    mState = 1;
    const CFieldBlock* first = field.Record(mCells.front()).mBlock;
    mColour = first ? first->mColour : 0;
    mMotionCurve.mValues = {0.0f, 0.0f, 0.0f, -float(kRise)};
    mLinks.mTracks->StartTimer(mRaise, 0.0f, CGameConfig::live.superbonusRaisespd, 1, true,
                               &mLinks.mProcessor->Player());
    mRaise->mCurve = &mMotionCurve;
    for (int32_t cell : mCells)
        if (CFieldBlock* block = field.Record(cell).mBlock)
            block->mMotionTrack = mRaise;
    mLinks.mProcessor->StartProcess(kProcessSuperBonus, mRaise, true);
    mLinks.mActivity->SetFieldActive(false);
    return true;
}

void CSuperBonus::Update(CAnimTrack& track)
{
    if (&track == mRaise)
        OnRaised();
    else if (&track == mFade)
        OnFaded();
}

bool CSuperBonus::BuildImage(int32_t* x, int32_t* y)
{
    CGameField& field = *mLinks.mField;
    const int32_t w = field.Width();
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (int32_t cell : mCells) {
        left = std::min(left, cell % w);
        right = std::max(right, cell % w);
        top = std::min(top, cell / w);
        bottom = std::max(bottom, cell / w);
    }
    if (left < 0 || top < 0 || right >= w || bottom >= field.Height() || right - left >= kMaxSpan ||
        bottom - top >= kMaxSpan)
        return false;
    const int32_t columns = right - left + 1;
    const int32_t rows = bottom - top + 1;
    std::array<uint8_t, kMaxSpan * kMaxSpan> mask{};
    for (int32_t cell : mCells)
        mask[size_t((cell / w - top) * columns + cell % w - left)] = 1;

    // Where the mask's cells fall, as the field's piece drawing places them.
    const int32_t shift = -TruncateToInt(field.FieldToScreen({0.0f, float(rows - 1) * field.StepY()}).mX);
    int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t k = 0; k < columns; ++k) {
            const FieldPoint p = field.FieldToScreen({float(k) * field.StepX(), float(r) * field.StepY()});
            minX = std::min(minX, TruncateToInt(p.mX) + shift);
            maxX = std::max(maxX, TruncateToInt(p.mX) + shift);
            minY = std::min(minY, TruncateToInt(p.mY));
            maxY = std::max(maxY, TruncateToInt(p.mY));
        }
    const std::vector<BlockDef>& defs = field.BlockDefs();
    const Lumo::Rect sprite =
        size_t(mColour) < defs.size() ? mLinks.mImages->SourceRect(defs[size_t(mColour)].mSprite) : Lumo::Rect{};
    const int32_t width = maxX - minX + sprite.mWidth;
    const int32_t height = maxY - minY + sprite.mHeight;
    int32_t slot = -2;
    if (width <= 0 || height <= 0 || !mLinks.mAtlas->Alloc(width, height, &slot))
        return false;
    const CImageSlot* picture = mLinks.mImages->Slot(slot);
    if (!picture || !picture->mImage) {
        mLinks.mAtlas->Free(slot);
        return false;
    }
    Lumo::Graphics g(picture->mImage);
    g.SetClipRectR(picture->mRect);
    g.ClearRectArea(picture->mRect);
    field.DrawPieceMask(mColour, rows, g, mask.data(), columns, picture->mRect.mX - minX, picture->mRect.mY - minY);
    mImage = slot;

    // The picture's corner on screen: where the box's first cell is drawn, less its place in the picture.
    const FieldPoint first = field.FieldToScreen({0.0f, 0.0f});
    int32_t cx = 0, cy = 0;
    field.CellToScreen(left, top, &cx, &cy);
    *x = cx - (TruncateToInt(first.mX) + shift - minX);
    *y = cy - (TruncateToInt(first.mY) - minY);
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "start=%d %d", *x + 400, *y + 300);
    return true;
}

void CSuperBonus::OnRaised()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CGameField& field = *mLinks.mField;
    const CGameConfig::Values& config = CGameConfig::live;
    int32_t x = 0, y = 0;
    if (BuildImage(&x, &y)) {
        CAnimPlayer* player = &processor.Player();
        mLinks.mTracks->StartTimer(mFade, 0.0f, config.superbonusFadespd, 1, true, player);
        mFade->mCurve = &mFadeCurve;
        mMotionCurve.mValues = {0.0f, 0.0f, 1.0f, 1.0f};
        mLinks.mTracks->StartTimer(mMove, 0.0f, config.superbonusMovespd, 1, true, player);
        mMove->mCurve = &mMotionCurve;
        mLinks.mTracks->StartTimer(mZoom, 0.0f, config.superbonusZoomspd, 1, true, player);
        mZoom->mCurve = &mZoomCurve;
        processor.StartProcess(kProcessSuperBonus, mFade, true);
        for (CAnimTrack* track : {mMove, mZoom}) {
            track->mOwnerTag = mFade->mOwnerTag;
            player->Attach(track);
        }
        PopupRecord record;
        record.mType = PopupRecord::kMovingImage;
        record.mSlot = mImage;
        record.mX = x;
        record.mY = y - kRise;
        record.mMoveTrack = mMove;
        record.mAmplitudeX = kTargetX - record.mX;
        record.mAmplitudeY = kTargetY - record.mY;
        record.mColourTrack = mFade;
        record.mScaleTrack = mZoom;
        mPopup = field.AddPopupRecord(record);
    } else {
        mState = 0;
    }
    // The cells are emptied too, so that the lines close up over them.
    for (int32_t cell : mCells) {
        if (CFieldBlock* block = field.Record(cell).mBlock) {
            block->mMotionTrack = nullptr;
            field.RemoveBlock(block);
            field.Record(cell).mBlock = nullptr;
        }
        field.Grid().EmptyCell(cell);
    }
    processor.StopProcess(mRaise);
    mRaise->mCurve = nullptr;
    mLinks.mActivity->SetFieldActive(true);
    processor.StepAfterBonus(mLinks.mBall->Times().mRise, 1.0f);
}

void CSuperBonus::OnFaded()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    processor.StopProcess(mFade);
    processor.Player().Detach(mMove);
    processor.Player().Detach(mZoom);
    mLinks.mField->RemovePopupRecord(mPopup);
    mPopup = -2;
    mLinks.mAtlas->Free(mImage);
    mImage = -2;
    mState = 0;
}
