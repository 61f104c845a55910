#include "game/screens/play/CGamePanel.h"

#include "framework/core/AppLog.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"

#include <tinyxml.h>

#include <string>

namespace {

CGamePanel::Point ReadPoint(const TiXmlElement* element, const std::string& name)
{
    CGamePanel::Point point;
    ParsePoint(XmlTextAttribute(element, name.c_str()), &point.mX, &point.mY);
    return XmlPixelsInRange(element, name.c_str(), {point.mX, point.mY}) ? point : CGamePanel::Point{};
}

Lumo::Rect ReadRect(const TiXmlElement* element, const std::string& name)
{
    Lumo::Rect rect{};
    ParseRect(XmlTextAttribute(element, name.c_str()), &rect);
    return XmlPixelsInRange(element, name.c_str(), {rect.mX, rect.mY, rect.mWidth, rect.mHeight}) ? rect : Lumo::Rect{};
}

int32_t ReadTrack(const CTrackBase& tracks, const TiXmlElement* element, const char* name)
{
    int32_t definition = -1;
    const char* text = XmlTextAttribute(element, name);
    if (text[0] != '\0')
        tracks.FindTrack(text, &definition);
    return definition;
}

} // namespace

CGamePanel::Part CGamePanel::ReadPart(const TiXmlElement* element, const char* name) const
{
    Part part;
    CImageRef ref;
    const char* text = XmlTextAttribute(element, name);
    if (text[0] != '\0' && mServices.mImages->ResolveImageRef(text, &ref)) {
        part.mSlot = ref.mSlot;
        part.mRect = ref.mRect;
    }
    return part;
}

int32_t CGamePanel::ReadImage(const TiXmlElement* element, const char* name) const
{
    int32_t slot = -2;
    const char* text = XmlTextAttribute(element, name);
    if (text[0] != '\0')
        mServices.mImages->FindByName(text, &slot);
    return slot;
}

void CGamePanel::ReadLayout(const TiXmlElement* element, const char* prefix, bool withLevel, Layout* layout)
{
    const std::string p = prefix;
    *layout = Layout{};
    layout->mBody = ReadPart(element, (p + "body").c_str());
    layout->mEnergyBar = ReadPart(element, (p + "bar_energy").c_str());
    layout->mMenu = ReadPart(element, (p + "menu").c_str());
    layout->mPause = ReadPart(element, (p + "pause").c_str());
    layout->mPoints = ReadPoint(element, p + "label_points");
    layout->mPiece = ReadPoint(element, p + "piece");
    layout->mCentreArea = ReadPoint(element, p + "center_area");
    layout->mMenuRect = ReadRect(element, p + "hl_menu");
    layout->mPauseRect = ReadRect(element, p + "hl_pause");
    if (withLevel) {
        layout->mCompletionBar = ReadPart(element, (p + "bar_completed").c_str());
        layout->mLevel = ReadPoint(element, p + "label_level");
        layout->mPhase = ReadPoint(element, p + "label_phase");
    }
}

bool CGamePanel::LoadFromXml(const TiXmlElement* element)
{
    if (element == nullptr) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR CGamePanel - no gamepanel");
        return false;
    }
    XmlColorAttribute(element, "fn_color", &mButtonColour);
    const Point canvas = ReadPoint(element, "label_size");
    mCanvasWidth = canvas.mX;
    mCanvasHeight = canvas.mY;
    mVOffset = XmlPixelAttribute(element, "voffset");
    mTurnSpeed = XmlRangedAttribute(element, "piece_rotation_speed", 0.0f, 0.0f, kMaxSpeed);
    mFadeSpeed = XmlRangedAttribute(element, "fn_fadespeed", 0.0f, 0.0f, kMaxSpeed);
    mLabelWidths[kPointsLabel] = XmlPixelAttribute(element, "label_points_w");
    mLabelWidths[kLevelLabel] = XmlPixelAttribute(element, "label_level_w");
    mLabelWidths[kPhaseLabel] = XmlPixelAttribute(element, "label_phase_w");
    mSlideOn = ReadTrack(*mServices.mTracks, element, "slide_on");
    mSlideOff = ReadTrack(*mServices.mTracks, element, "slide_off");
    mUndoImages[kUndoIdle] = ReadImage(element, "btn_undo_idle");
    mUndoImages[kUndoHovered] = ReadImage(element, "btn_undo_hovered");
    mUndoImages[kUndoPressed] = ReadImage(element, "btn_undo_pressed");
    mUndoOffset = ReadPoint(element, "btn_undo_offset");
    mUndoSize = ReadPoint(element, "btn_undo_size");
    ReadLayout(element, "basic_", true, &mBasic);
    ReadLayout(element, "score_", false, &mScore);
    SetLayoutMode(mLayoutMode == kScore ? kScore : kBasic);
    StartPieceTracks();
    if (mSlideOn < 0 || mSlideOff < 0) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR CGamePanel - no slide_on or slide_off track");
        return false;
    }
    return true;
}

void CGamePanel::StartPieceTracks()
{
    CTrackBase& tracks = *mServices.mTracks;
    int32_t show = -1;
    int32_t hide = -1;
    const bool found = tracks.FindTrack("ctrl_hud_piece_show", &show) && tracks.FindTrack("ctrl_hud_piece_hide", &hide);
    if (!found || !tracks.StartTrack(mPieceShow, show, false, nullptr) ||
        !tracks.StartTrack(mPieceHide, hide, false, nullptr))
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR CGamePanel - can't load piece hide/show ctrls");
}
