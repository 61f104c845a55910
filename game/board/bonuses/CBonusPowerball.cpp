#include "game/board/bonuses/CBonusPowerball.h"

#include "framework/app/LumoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "game/board/CFieldActivity.h"
#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CBonusLevel.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int32_t kPoints = 200;
constexpr int32_t kShotSample = 8;
// A beam's last piece shorter than this is left out.
constexpr float kShortestPiece = 5.0f;
// The shortest stage wait and settle time, for a ball whose rise is 3 or less.
constexpr float kShortestWait = 0.1f;
constexpr float kStepDelaySpeed = 2.0f;
// What the words of a kind-16 slot say the track is.
constexpr intptr_t kStageTag = 0;
constexpr intptr_t kHitFadeTag = 1;
constexpr intptr_t kGroupFadeTag = -2;

} // namespace

CBonusPowerball::BeamPieces CBonusPowerball::CutBeam(float length, float step)
{
    BeamPieces pieces;
    if (!(step > 0.0f) || !(length > 0.0f) || !std::isfinite(length))
        return pieces;
    pieces.mWhole = int32_t(length / step);
    const float rest = length - float(pieces.mWhole) * step;
    pieces.mRest = rest > kShortestPiece ? rest : 0.0f;
    return pieces;
}

CBonusPowerball::CBonusPowerball(const BonusEffectLinks& links)
    : mLinks(links),
      mParticles(*links.mProcessor, *links.mField, links.mBase->mPowerBall.mParticles, kProcessPowerBall)
{
}

CBonusPowerball::~CBonusPowerball() = default;

void CBonusPowerball::Init()
{
    CTrackBase& tracks = *mLinks.mTracks;
    const CBonusBase::PowerBall& p = mLinks.mBase->mPowerBall;
    mFadeCurve.mChannels = 4;
    mFadeCurve.mValues = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f};
    if (!mTrack)
        mTrack = tracks.NewIdleInstance();
    if (!mHitTrack)
        mHitTrack = tracks.NewIdleInstance();
    if (!mFinalFade)
        mFinalFade = tracks.NewIdleInstance();
    mFinalFade->mCurve = &mFadeCurve;
    mFinalFade->mSpeed = p.mPostFadeSpeed;
    if (!mGlow)
        mGlow = mLinks.mAnims->CreateInstance(p.mBallGlow, &mLinks.mProcessor->Player());
    mGroups.reserve(16);
    mState = kIdle;
    mLinks.mProcessor->RegisterKind(kProcessPowerBall,
                                    {[this](CAnimTrack& track, int32_t slot) { Update(track, slot); }, nullptr});
    mLinks.mBonuses->SetEffect(kBonusPowerBall, [this](CFieldBlock*) { return Activate(); });
}

void CBonusPowerball::Shutdown()
{
    CTrackBase& tracks = *mLinks.mTracks;
    FreeShotImages();
    for (CAnimTrack** track : {&mTrack, &mHitTrack, &mFinalFade}) {
        if (*track)
            tracks.FreeInstance(*track);
        *track = nullptr;
    }
    if (mGlow)
        mLinks.mAnims->ReleaseInstance(mGlow);
    mGlow = nullptr;
    if (mHitLight)
        mLinks.mAnims->ReleaseInstance(mHitLight);
    mHitLight = nullptr;
    mParticles.Release();
}

bool CBonusPowerball::Activate()
{
    if (mState != kIdle)
        return false;
    CGameProcessor& processor = *mLinks.mProcessor;
    CGameField& field = *mLinks.mField;
    const CBonusBase::PowerBall& p = mLinks.mBase->mPowerBall;
    const CGameConfig::Values& config = CGameConfig::live;
    processor.ShowPopup(0, kPoints, false, 0, 0, config.ctrlBombBanerFader, config.ctrlBombBaner);
    mLinks.mLevel->AddPoints(kPoints);

    CCellGrid& grid = field.Grid();
    grid.CollectMatchedGroups();
    mGroups = grid.MatchedGroupList();
    mFadeCurve.mValues = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f};
    mFinalFade->mTime = 1.0f;
    if (mGroups.empty())
        return false;

    // Each group's spray waits, placed on its cells, until the group is hit.
    mParticles.Release();
    CParticleEmitter& emitter = mParticles.Emitter();
    emitter.Resize(int32_t(mGroups.size()));
    const int32_t count = std::max(p.mParticles.particleCount, 0);
    for (size_t g = 0; g < mGroups.size(); ++g) {
        const GroupRecord& group = mGroups[g];
        const CFieldBlock* first = field.Record(group.mMembers.front()).mBlock;
        mParticles.SetUpRun(int32_t(g), count * group.Count(), first ? field.ColourSprite(*first) : -2);
        int32_t k = 0;
        for (int32_t cell : group.mMembers) {
            const FieldPoint centre = field.CellCentre(cell % field.Width(), cell / field.Width());
            emitter.Emit(int32_t(g), p.mParticles, count, centre.mX, centre.mY, k);
            k += count;
        }
    }
    mScored.assign(mGroups.size(), 0);
    mShot = 0;
    mGroupsLeft = int32_t(mGroups.size());
    const float wait = std::max(mLinks.mBall->Times().mRise - 3.0f, kShortestWait);
    mLinks.mTracks->StartTimer(mTrack, 0.0f, 1.0f / wait, 1, true, &processor.Player());
    processor.StartProcess(kProcessPowerBall, mTrack, true).SetWord(3, kStageTag);
    mState = kWaiting;
    mLinks.mActivity->SetFieldActive(false);
    mLinks.mBall->SetState(CBall::kHeld);
    return true;
}

void CBonusPowerball::Update(CAnimTrack& track, int32_t slot)
{
    const ProcessSlot& process = mLinks.mProcessor->Slot(slot);
    if (&track == mTrack)
        OnStageTrack();
    else if (&track == mFinalFade)
        Finish();
    else if (&track == mHitTrack) {
        ScoreGroup(mHitGroup);
        mLinks.mProcessor->StopProcess(mHitTrack);
    } else if (process.Word(3) == kGroupFadeTag)
        OnGroupFaded(track, int32_t(process.Word(4)));
    else if (process.Word(3) == kHitFadeTag)
        OnHitFaded(track, slot);
}

void CBonusPowerball::OnStageTrack()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    const CBonusBase::PowerBall& p = mLinks.mBase->mPowerBall;
    if (mState == kShot) {
        OnShotFlown();
        return;
    }
    if (mState == kWaiting)
        mLinks.mBall->SetState(CBall::kFrozen);
    else if (mState == kReloading) {
        if (mHitTrack->mAttached) {
            ScoreGroup(mHitGroup);
            processor.StopProcess(mHitTrack);
        }
        ++mShot;
    } else {
        return;
    }
    Shoot();
    mTrack->mSpeed = p.mShotTime;
    mState = kShot;
    processor.RestartTimer(mTrack, 0.0f);
}

void CBonusPowerball::OnShotFlown()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CGameField& field = *mLinks.mField;
    const CBonusBase::PowerBall& p = mLinks.mBase->mPowerBall;
    if (mShotPopup != -2) {
        FreeShotImages();
        field.RemovePopupRecord(mShotPopup);
        mShotPopup = -2;
    }
    if (mHitLight) {
        // The light fades where it is; its end takes the record away.
        mLinks.mAnims->ResetInstance(p.mHitLightFade, mHitLight);
        CAnimTrack* light = mHitLight->mTrack;
        light->mTime = 0.0f;
        light->mRunning = 1;
        light->mRepeatCount = 1;
        processor.Player().ClearFinished(light);
        ProcessSlot& slot = processor.StartProcess(kProcessPowerBall, light, true);
        slot.SetWord(3, kHitFadeTag);
        slot.SetWord(4, mHitPopup);
        slot.SetObject(5, mHitLight);
        mHitLight = nullptr;
        mHitPopup = -2;
    }
    CAnimTrack* fade = nullptr;
    mLinks.mTracks->StartTimer(fade, 0.0f, p.mPreFadeSpeed, 1, true, &processor.Player());
    fade->mCurve = &mFadeCurve;
    ProcessSlot& slot = processor.StartProcess(kProcessPowerBall, fade, true);
    slot.SetWord(3, kGroupFadeTag);
    slot.SetWord(4, mShot);
    for (int32_t cell : mGroups[size_t(mShot)].mMembers)
        if (CFieldBlock* block = field.Record(cell).mBlock) {
            block->mHighlightTrack = fade;
            block->mHighlightMode = 0;
        }
    if (mShot + 1 < int32_t(mGroups.size())) {
        mTrack->mSpeed = p.mShotReloadTime;
        mState = kReloading;
        processor.RestartTimer(mTrack, 0.0f);
    } else {
        // The slot stays for the final fade.
        processor.Player().Detach(mTrack);
    }
}

void CBonusPowerball::Shoot()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CGameField& field = *mLinks.mField;
    CAnimBase& anims = *mLinks.mAnims;
    const CBonusBase::PowerBall& p = mLinks.mBase->mPowerBall;
    if (mLinks.mApp)
        mLinks.mApp->PlaySoundById(kShotSample);
    const int32_t target = mGroups[size_t(mShot)].mMembers.front();
    const FieldPoint to = field.CellCentre(target % field.Width(), target / field.Width());
    const std::array<int32_t, 4> ball = mLinks.mBall->GetScreenRect();
    const float bx = float(ball[0]) + float(ball[2]) * 0.5f;
    const float by = float(ball[1]) + float(ball[3]) * 0.5f;
    const float dx = to.mX - bx;
    const float dy = to.mY - by;
    float angle = std::atan2(dy, dx);
    if (angle < 0.0f)
        angle += 2.0f * std::numbers::pi_v<float>;
    const BeamPieces pieces = CutBeam(std::hypot(dx, dy), p.mFrameWidth);

    PopupRecord beam;
    beam.mType = PopupRecord::kBeam;
    MakeBeamImages(angle, pieces.mRest, &beam.mTipSlot, &beam.mMaskSlot);
    const float ux = std::cos(angle);
    const float uy = std::sin(angle);
    const float w = p.mFrameWidth;
    const float h = p.mFrameHeight;
    const float boxWidth = std::ceil(std::fabs(w * ux) + std::fabs(h * uy));
    const float boxHeight = std::ceil(std::fabs(w * uy) + std::fabs(h * ux));
    // The pieces run from the ball out, the first centred half a step along.
    beam.mX = int32_t(std::floor(bx + ux * w * 0.5f - boxWidth * 0.5f));
    beam.mY = int32_t(std::floor(by + uy * w * 0.5f - boxHeight * 0.5f));
    beam.mStepX = int32_t(std::lround(w * ux));
    beam.mStepY = int32_t(std::lround(w * uy));
    beam.mPieceCount = pieces.mWhole;
    beam.mBeamAnim = p.mBeamInstance;
    beam.mGlowAnim = mGlow;
    if (mGlow) {
        const Lumo::Rect glow = anims.FirstFrameRect(p.mBallGlow);
        beam.mGlowX = int32_t(bx) - glow.mWidth / 2;
        beam.mGlowY = int32_t(by) - glow.mHeight / 2;
        processor.Player().Attach(mGlow->mTrack);
        mGlow->mTrack->mRunning = 1;
    }
    if (p.mBeamInstance && p.mBeamInstance->mTrack) {
        processor.Player().Attach(p.mBeamInstance->mTrack);
        p.mBeamInstance->mTrack->mRunning = 1;
    }
    mShotPopup = field.AddPopupRecord(beam);

    mHitLight = anims.CreateInstance(p.mHitLight, &processor.Player());
    if (mHitLight) {
        const Lumo::Rect frame = anims.FirstFrameRect(p.mHitLight);
        PopupRecord light;
        light.mType = PopupRecord::kAnimation;
        light.mAnim = mHitLight;
        light.mX = int32_t(to.mX) - frame.mWidth / 2;
        light.mY = int32_t(to.mY) - frame.mHeight / 2;
        mHitPopup = field.AddPopupRecord(light);
        mHitLight->mTrack->mRunning = 1;
        processor.Player().Attach(mHitLight->mTrack);
    }
    // The group scores when the light has played once, or at the next shot.
    if (const CAnimBase::Record* light = anims.AnimRecord(p.mHitLight))
        CAnimTrack::CopyDefinition(mHitTrack, light->mDefinition);
    mHitTrack->mTime = 0.0f;
    mHitTrack->mRunning = 1;
    mHitTrack->mRepeatCount = 1;
    mHitGroup = mShot;
    processor.StartProcess(kProcessPowerBall, mHitTrack, true).SetWord(3, kStageTag);
}

void CBonusPowerball::MakeBeamImages(float angle, float rest, int32_t* tip, int32_t* mask)
{
    CAnimBase& anims = *mLinks.mAnims;
    const CBonusBase::PowerBall& p = mLinks.mBase->mPowerBall;
    const float ux = std::fabs(std::cos(angle));
    const float uy = std::fabs(std::sin(angle));
    const int32_t width = int32_t(std::ceil(p.mFrameWidth * ux + p.mFrameHeight * uy));
    const int32_t height = int32_t(std::ceil(p.mFrameWidth * uy + p.mFrameHeight * ux));
    const int32_t frames = p.mBeamDefinition.mEndFrame - p.mBeamDefinition.mFirstFrame;
    for (int32_t i = 0; i < frames && p.mDefinition.mFirstFrame + i < p.mDefinition.mEndFrame; ++i) {
        const int32_t slot = NewShotImage(width, height);
        if (slot == -2)
            break;
        const int32_t source = anims.Frames()[size_t(p.mDefinition.mFirstFrame + i)];
        DrawRotatedFrame(source, angle, mLinks.mImages->Slot(slot)->mRect);
        anims.SetFrame(p.mBeamDefinition.mFirstFrame + i, slot);
    }
    *tip = -2;
    *mask = -2;
    if (rest <= 0.0f)
        return;
    // The tip is drawn from the beam's current frame through the mask.
    *tip = NewShotImage(width, height);
    *mask = NewShotImage(width, height);
    if (*mask != -2)
        DrawTipMask(angle, rest, mLinks.mImages->Slot(*mask)->mRect);
}

int32_t CBonusPowerball::NewShotImage(int32_t width, int32_t height)
{
    int32_t slot = -2;
    if (width <= 0 || height <= 0 || !mLinks.mAtlas->Alloc(width, height, &slot))
        return -2;
    const CImageSlot* image = mLinks.mImages->Slot(slot);
    if (!image || !image->mImage) {
        mLinks.mAtlas->Free(slot);
        return -2;
    }
    Lumo::Graphics g(image->mImage);
    g.SetClipRectR(image->mRect);
    g.ClearRectArea(image->mRect);
    mShotImages.push_back(slot);
    return slot;
}

void CBonusPowerball::DrawRotatedFrame(int32_t source, float angle, const Lumo::Rect& box)
{
    CImageTable& images = *mLinks.mImages;
    images.FetchSlotImage(source);
    const CImageSlot* frame = images.Slot(source);
    const CImageSlot* page = images.Slot(mShotImages.back());
    if (!frame || !frame->mImage || !page || !page->mImage)
        return;
    const Lumo::Rect from = images.SourceRect(source);
    const float cx = float(from.mWidth) * 0.5f;
    const float cy = float(from.mHeight) * 0.5f;
    Lumo::Graphics g(page->mImage);
    g.SetClipRectR(box);
    // The blit turns the other way round: the frame's length comes to lie along the beam.
    g.DrawImageRotatedF(frame->mImage, float(box.mX) + float(box.mWidth) * 0.5f - cx,
                        float(box.mY) + float(box.mHeight) * 0.5f - cy, cx, cy, &from, -double(angle));
}

void CBonusPowerball::DrawTipMask(float angle, float rest, const Lumo::Rect& box)
{
    const CImageSlot* page = mLinks.mImages->Slot(mShotImages.back());
    if (!page || !page->mImage)
        return;
    const CBonusBase::PowerBall& p = mLinks.mBase->mPowerBall;
    const float ux = std::cos(angle);
    const float uy = std::sin(angle);
    Lumo::Graphics g(page->mImage);
    g.SetClipRectR(box);
    g.SetColor(Lumo::Color(255, 255, 255, 255));
    // The first rest pixels of a frame piece, turned like the pieces, row by row.
    for (int32_t y = 0; y < box.mHeight; ++y) {
        int32_t first = -1;
        int32_t last = -1;
        for (int32_t x = 0; x < box.mWidth; ++x) {
            const float px = float(x) + 0.5f - float(box.mWidth) * 0.5f;
            const float py = float(y) + 0.5f - float(box.mHeight) * 0.5f;
            const float along = px * ux + py * uy + p.mFrameWidth * 0.5f;
            const float across = -px * uy + py * ux + p.mFrameHeight * 0.5f;
            if (along < 0.0f || along >= rest || across < 0.0f || across >= p.mFrameHeight)
                continue;
            first = first < 0 ? x : first;
            last = x;
        }
        if (first >= 0)
            g.FillRect(box.mX + first, box.mY + y, last - first + 1, 1);
    }
}

void CBonusPowerball::FreeShotImages()
{
    CAnimBase& anims = *mLinks.mAnims;
    const CBonusBase::PowerBall& p = mLinks.mBase->mPowerBall;
    // The beam's frames go back to the pictures it was made from.
    const int32_t frames = p.mBeamDefinition.mEndFrame - p.mBeamDefinition.mFirstFrame;
    for (int32_t i = 0; i < frames && p.mDefinition.mFirstFrame + i < p.mDefinition.mEndFrame; ++i)
        anims.SetFrame(p.mBeamDefinition.mFirstFrame + i, anims.Frames()[size_t(p.mDefinition.mFirstFrame + i)]);
    // Later pictures move left over a freed one: free from the last.
    for (auto slot = mShotImages.rbegin(); slot != mShotImages.rend(); ++slot)
        mLinks.mAtlas->Free(*slot);
    mShotImages.clear();
    if (p.mBeamInstance && p.mBeamInstance->mTrack)
        mLinks.mProcessor->Player().Detach(p.mBeamInstance->mTrack);
}

void CBonusPowerball::ScoreGroup(int32_t group)
{
    if (group < 0 || size_t(group) >= mGroups.size() || mScored[size_t(group)])
        return;
    mScored[size_t(group)] = 1;
    CGameField& field = *mLinks.mField;
    const GroupRecord& record = mGroups[size_t(group)];
    for (int32_t cell : record.mMembers)
        field.Grid().EmptyCell(cell);
    const int32_t points = mLinks.mLevel->MatchPoints(record.Count());
    const int32_t first = record.mMembers.front();
    const FieldPoint centre = field.CellCentre(first % field.Width(), first / field.Width());
    mLinks.mProcessor->ShowPopup(0, points, true, int32_t(centre.mX), int32_t(centre.mY));
    mLinks.mLevel->AddPoints(points);
    // With no particle to die, nothing would end the spray.
    if (mParticles.Emitter().mLive > 0) {
        mParticles.Show();
        mParticles.Emitter().Run(group).state = ParticleRun::kLive;
    }
}

void CBonusPowerball::OnGroupFaded(CAnimTrack& track, int32_t group)
{
    CGameField& field = *mLinks.mField;
    mLinks.mProcessor->StopProcess(&track);
    if (group >= 0 && size_t(group) < mGroups.size())
        for (int32_t cell : mGroups[size_t(group)].mMembers)
            if (CFieldBlock* block = field.Record(cell).mBlock)
                block->mHighlightTrack = mFinalFade;
    mLinks.mTracks->FreeInstance(&track);
    if (--mGroupsLeft > 0)
        return;
    mFinalFade->mTime = 0.0f;
    mFinalFade->mRunning = 1;
    mFinalFade->mRepeatCount = 1;
    mFinalFade->mOwnerTag = mTrack->mOwnerTag;
    mLinks.mProcessor->Player().ClearFinished(mFinalFade);
    mLinks.mProcessor->Player().Attach(mFinalFade);
}

void CBonusPowerball::OnHitFaded(CAnimTrack& track, int32_t slot)
{
    const ProcessSlot& process = mLinks.mProcessor->Slot(slot);
    CAnimInstance* light = process.Object<CAnimInstance>(5);
    mLinks.mField->RemovePopupRecord(int32_t(process.Word(4)));
    mLinks.mProcessor->StopProcess(&track);
    if (light)
        mLinks.mAnims->ReleaseInstance(light);
}

void CBonusPowerball::Finish()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CGameField& field = *mLinks.mField;
    CBall& ball = *mLinks.mBall;
    if (processor.State() == 0)
        ball.ClearState(CBall::kFrozen | CBall::kHeld);
    processor.Player().Detach(mTrack);
    processor.Player().Detach(mFinalFade);
    // A light still playing has not scored its group yet; every group is
    // scored, and its cells emptied, before the lines close up.
    if (mHitTrack->mAttached)
        processor.StopProcess(mHitTrack);
    for (size_t g = 0; g < mGroups.size(); ++g)
        ScoreGroup(int32_t(g));
    processor.FreeSlot(mFinalFade->mOwnerTag);
    mFinalFade->mOwnerTag = CGameProcessor::kNone;
    mTrack->mOwnerTag = CGameProcessor::kNone;
    for (const GroupRecord& group : mGroups)
        for (int32_t cell : group.mMembers) {
            CFieldBlock* block = field.Record(cell).mBlock;
            if (!block)
                continue;
            block->mHighlightTrack = nullptr;
            field.RemoveBlock(block);
            field.Record(cell).mBlock = nullptr;
        }
    mState = kIdle;
    mLinks.mActivity->SetFieldActive(true);
    mLinks.mBonuses->ClearBonusState();
    ball.SetBounce(ball.Def().mGMatched, ball.Def().mPMatched);
    processor.StepAfterBonus(std::max(ball.Times().mRise - 3.0f, kShortestWait), kStepDelaySpeed);
    if (mGlow && mGlow->mTrack)
        processor.Player().Detach(mGlow->mTrack);
}
