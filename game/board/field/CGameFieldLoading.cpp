#include "framework/core/AppLog.h"
#include "framework/core/RuntimeRandom.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/board/field/CGameField.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"

#include <algorithm>
#include <tinyxml.h>

namespace {

// Bounds of the file's numbers: a block sprite's side in pixels.
constexpr int32_t kMaxBlockSide = 512;

void LogLine(const char* text) { Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", text); }

} // namespace

bool CGameField::LoadFromXml(const TiXmlElement* element, const FieldTables& tables)
{
    mTables = tables;
    CTrackBase& tracks = *tables.mTracks;
    if (!element) {
        LogLine("ERROR CGameField::LoadFromXml - no gamefield1");
        return false;
    }
    mW = XmlRangedAttribute(element, "w", 0, 1, CCellGrid::kMaxCells);
    mH = XmlRangedAttribute(element, "h", 0, 1, CCellGrid::kMaxCells);
    if (mW == 0 || mH == 0 || int64_t(mW) * mH > CCellGrid::kMaxCells) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile,
                                            "ERROR CGameField::LoadFromXml - a field of %d x %d cells", mW, mH);
        return false;
    }
    SetCentre(XmlPixelAttribute(element, "ofsx"), XmlPixelAttribute(element, "ofsy"));
    // Every update of the board runs at this speed: 0 would stop the game.
    mSpeed = XmlRangedAttribute(element, "speed", 1.0f, kMinSpeed, kMaxSpeed);

    if (const TiXmlElement* pulses = element->FirstChildElement("pulses"))
        tracks.LoadFromXml(pulses, *tables.mCurves);

    const TiXmlElement* block = element->FirstChildElement("block");
    if (!block) {
        LogLine("ERROR CGameField::LoadFromXml - no block");
        return false;
    }
    BlockShape& shape = mShape;
    shape.mWidth = XmlRangedAttribute(block, "w", 0, 1, kMaxBlockSide);
    shape.mHeight = XmlRangedAttribute(block, "h", 0, 1, kMaxBlockSide);
    shape.mSideHeight = XmlRangedAttribute(block, "bheight", 0, 0, shape.mHeight);
    shape.mHSpacing = XmlRangedAttribute(block, "hspacing", 0.0f, 0.0f, float(kMaxBlockSide));
    shape.mVSpacing = XmlRangedAttribute(block, "vspacing", 0.0f, 0.0f, float(kMaxBlockSide));
    shape.mHIndent = XmlRangedAttribute(block, "hindent", 0, 0, shape.mWidth);
    shape.mVIndent = XmlRangedAttribute(block, "vindent", 0, 0, shape.mHeight - shape.mSideHeight);
    // The cell's two edges must span an area, or no point maps back to a cell.
    const int64_t area = int64_t(shape.mWidth - shape.mHIndent) * shape.mVIndent +
                         int64_t(shape.mHIndent) * (shape.mHeight - shape.mSideHeight - shape.mVIndent);
    if (area <= 0) {
        LogLine("ERROR CGameField::LoadFromXml - a block without area");
        return false;
    }
    mHoverX = XmlPixelAttribute(block, "hover_ofsx");
    mHoverY = XmlPixelAttribute(block, "hover_ofsy");
    mFallSpeedVariation = XmlRangedAttribute(block, "falling_speed_variation_percent", 0, 0, kMaxPercent);
    int32_t* trackIds[] = {&mFallingTrack, &mFadingTrack, &mSpringTrack, &mSpinTrack};
    const char* trackNames[] = {"falling_track", "fading_track", "spring_track", "spin_track"};
    for (size_t i = 0; i < 4; ++i) {
        if (!tracks.FindTrack(XmlTextAttribute(block, trackNames[i]), trackIds[i]))
            continue;
        if (CAnimTrack* definition = tracks.Definition(*trackIds[i])) {
            definition->mTime = 0.0f;
            definition->mRunning = 1;
        }
    }
    const bool hoverFound = tables.mAnims->FindAnim(XmlTextAttribute(block, "start_hover_anim"), &mStartHoverAnim) &&
                 tables.mAnims->FindAnim(XmlTextAttribute(block, "onhover_anim"), &mOnHoverAnim) &&
                 tables.mAnims->FindAnim(XmlTextAttribute(block, "endhover_anim"), &mEndHoverAnim);

    mBlockDefs.clear();
    const TiXmlElement* blocks = element->FirstChildElement("blocks");
    for (const TiXmlElement* e = blocks ? blocks->FirstChildElement("block") : nullptr; e;
         e = e->NextSiblingElement("block")) {
        BlockDef def;
        const bool found = hoverFound && tables.mImages->FindByName(XmlTextAttribute(e, "sprite"), &def.mSprite) &&
                tables.mAnims->FindAnim(XmlTextAttribute(e, "fall_anim_1"), &def.mFallAnim1) &&
                tables.mAnims->FindAnim(XmlTextAttribute(e, "fall_anim_2"), &def.mFallAnim2) &&
                tables.mAnims->FindAnim(XmlTextAttribute(e, "spin_anim1"), &def.mSpinAnim1) &&
                tables.mAnims->FindAnim(XmlTextAttribute(e, "spin_anim2"), &def.mSpinAnim2) &&
                tracks.FindTrack(XmlTextAttribute(e, "hover_fadein"), &def.mHoverFadeIn) &&
                tracks.FindTrack(XmlTextAttribute(e, "hover_fadeout"), &def.mHoverFadeOut);
        if (!found) {
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Failed to load block: '%s'",
                                                XmlTextAttribute(e, "sprite"));
            break;
        }
        if (e->Attribute("color"))
            XmlColorAttribute(e, "color", &def.mColour);
        mBlockDefs.push_back(def);
    }
    if (mBlockDefs.size() > size_t(CCellGrid::kMaxColours)) {
        LogLine("WARNING! Too many colors");
        // The colour tables hold 16 colours; the last one kept is the reserved colour.
        mBlockDefs.resize(size_t(CCellGrid::kMaxColours));
    }
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Loaded %d blocks.", int32_t(mBlockDefs.size()));
    if (mBlockDefs.empty()) {
        LogLine("ERROR CGameField::LoadFromXml - no block definition");
        return false;
    }
    mGrid.SetColourCount(int32_t(mBlockDefs.size()));
    mReservedColour = int32_t(mBlockDefs.size()) - 1;
    mReservedSprite = mBlockDefs.back().mSprite;

    const int32_t matchCount = XmlRangedAttribute(element, "matchcount", 0, 2, CCellGrid::kMaxCells);
    if (matchCount < 2) {
        LogLine("ERROR CGameField::LoadFromXml - matchcount below 2");
        return false;
    }
    mGrid.SetMatchCount(matchCount);

    int32_t upLeft = kNone, downRight = kNone;
    tables.mImages->FindByName("res\\stencil01.png|1", &upLeft);
    tables.mImages->FindByName("res\\stencil23.png|1", &downRight);
    SetStencilImages(upLeft, downRight);
    // The scratch holds a whole entering block, however large its sprite.
    const int32_t scratchW = std::max(kStencilScratchW, mShape.mWidth);
    const int32_t scratchH = std::max(kStencilScratchH, mShape.mHeight);
    if (!mScratch || mScratch->GetWidth() != scratchW || mScratch->GetHeight() != scratchH) {
        mScratch = std::make_unique<Lumo::MemoryImage>();
        mScratch->SetSize(scratchW, scratchH);
        mScratch->Clear();
        mScratchGraphics = std::make_unique<Lumo::Graphics>(mScratch.get());
    }
    for (int32_t d = 0; d < 4; ++d) {
        const std::string n = std::to_string(d + 1);
        SetStencilOffset(d, XmlPixelAttribute(element, ("stencil_ofs_x_" + n).c_str()),
                         XmlPixelAttribute(element, ("stencil_ofs_y_" + n).c_str()));
    }

    const TiXmlElement* queues = element->FirstChildElement("block_queues");
    if (!queues) {
        LogLine("ERROR CGameField::LoadFromXml - no block_queues");
        return false;
    }
    mColorChangerSpeed = XmlRangedAttribute(queues, "color_changer_activation_speed", 0.0f, 0.0f, kMaxSpeed);
    LoadQueueControllers(element, tracks);
    if (!ControllersCover(mW, mH)) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile,
                                            "ERROR CGameField::LoadFromXml - %d queue controllers for %d rings",
                                            int32_t(mControllers.size()), RingCount(mW, mH));
        return false;
    }
    mGrid.SetQueueDirection(XmlRangedAttribute(element, "shift", 0, 0, 3));
    return true;
}

float CGameField::RandomFallSpeed() const
{
    const CAnimTrack* falling = mTables.mTracks ? mTables.mTracks->Definition(mFallingTrack) : nullptr;
    const float s = falling ? falling->mSpeed : 0.0f;
    int32_t v = mFallSpeedVariation > 0 ? Lumo::Rand() % mFallSpeedVariation : 0;
    if (Lumo::Rand() % 2 == 0)
        v = -v;
    return s + s * float(v) * 0.01f;
}
