#include "framework/core/AppLog.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/widgets/EditWidget.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGUIHost.h"
#include "game/screens/windows/CGUIScrollbar.h"
#include "game/screens/windows/GUIWindowTable.h"

#include <tinyxml.h>

#include <cstring>

namespace {

void Log(const char* text)
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", text);
}

// Calls visit for each child element named child of the first element named
// list under parent.
template <typename Visit>
void ForEachIn(const TiXmlElement* parent, const char* list, const char* child, Visit visit)
{
    const TiXmlElement* container = parent != nullptr ? parent->FirstChildElement(list) : nullptr;
    if (container == nullptr)
        return;
    for (const TiXmlElement* e = container->FirstChildElement(child); e != nullptr;
         e = e->NextSiblingElement(child))
        visit(e);
}

// Bounds of the file's numbers: counts and indices of controls and groups,
// the zoom of a counted number.
constexpr int32_t kMaxCount = 10'000;
constexpr float kMaxZoom = 16.0f;

Lumo::Rect ReadRect(const TiXmlElement* element, const char* name)
{
    Lumo::Rect rect;
    ParseRect(XmlTextAttribute(element, name), &rect);
    return XmlPixelsInRange(element, name, {rect.mX, rect.mY, rect.mWidth, rect.mHeight}) ? rect : Lumo::Rect{};
}

void ReadPoint(const TiXmlElement* element, const char* name, int32_t* x, int32_t* y)
{
    int px = 0;
    int py = 0;
    ParsePoint(XmlTextAttribute(element, name), &px, &py);
    const bool fits = XmlPixelsInRange(element, name, {px, py});
    *x = fits ? px : 0;
    *y = fits ? py : 0;
}

int32_t Count(const TiXmlElement* element, const char* name)
{
    return XmlRangedAttribute(element, name, 0, 0, kMaxCount);
}

// A speed something waits on: a refused one ends at once.
float Speed(const TiXmlElement* element, const char* name)
{
    return XmlRangedAttribute(element, name, kRefusedSpeed, kMinSpeed, kMaxSpeed);
}

// An absent "id" follows the previous one; an id outside 0 .. count - 1 is reported and becomes 0.
int32_t GroupId(const TiXmlElement* element, int32_t previous, int32_t count, const char* error)
{
    int32_t id = XmlIntAttribute(element, "id", previous + 1);
    if (id < 0 || id >= count) {
        Log(error);
        id = 0;
    }
    return id;
}

template <size_t N>
void ReadNames(const TiXmlElement* root, const char* list, std::array<std::string, N>& names)
{
    size_t next = 0;
    ForEachIn(root, list, "string", [&](const TiXmlElement* e) {
        if (next < N)
            names[next++] = XmlTextAttribute(e, "src");
    });
}

} // namespace

int32_t CGUIController::ReadImage(const TiXmlElement* element, const char* name, int32_t current)
{
    const char* text = element->Attribute(name);
    if (text != nullptr)
        mHost->FindImage(text, &current);
    return current;
}

int32_t CGUIController::ReadFont(const TiXmlElement* element, const char* name)
{
    const char* text = XmlTextAttribute(element, name);
    const int32_t font = mHost->FontIndexByName(text);
    if (font >= 0)
        return font;
    // An element with no font it knows keeps slot 0, the service font: without
    // one its text would not be drawn, nor typed into.
    if (*text != '\0')
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR CGUIController - <%s> %s=\"%s\" is no font",
                                            element->Value(), name, text);
    return 0;
}

void CGUIController::LoadFromXml(const TiXmlElement* root)
{
    if (root == nullptr) {
        Log("ERROR CGUIController - no root element");
        return;
    }
    ReadRootAttributes(root);
    CountControls(root);
    mLabels.assign(size_t(mLabelCount), GUILabel{});
    mLabelGroups.assign(size_t(mGroupCount), {0, 0});
    mButtons.assign(size_t(mButtonCount), GUIButton{});
    mCheckboxes.assign(size_t(mCheckboxCount), GUICheckbox{});
    mSliders.assign(size_t(mSliderCount), GUISlider{});
    mEditBoxes.clear();
    mEditBoxes.resize(size_t(mEditBoxCount));
    mListBoxes.clear();
    mListBoxes.resize(size_t(mListBoxCount));
    mNextLabel = 0;
    LoadLabelGroups(root);
    LoadRandomGroups(root);

    mNextButton = GUIWindowSpec::kRunningButton;
    mNextCheckbox = GUIWindowSpec::kRunningCheckbox;
    mNextSlider = GUIWindowSpec::kRunningSlider;
    mNextEditBox = GUIWindowSpec::kRunningEditBox;
    mNextListBox = GUIWindowSpec::kRunningListBox;
    mInfoSlots.fill(-1);
    mWindows.fill(GUIWindow{});
    const TiXmlElement* windows = root->FirstChildElement("windows");
    for (int32_t id : GUIWindowReadingOrder()) {
        const TiXmlElement* element = XmlFindWindowByName(windows, GUIWindowName(id));
        if (element == nullptr) {
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "WARNING CGUIController - no window %s",
                                                GUIWindowName(id).c_str());
            continue;
        }
        mNextSlot = GUIWindowSpecOf(id).mFirstSlot;
        LoadWindowControls(element, mWindows[size_t(id)], GUIWindowSpecOf(id));
    }
    LoadNameLists(root);
}

void CGUIController::ReadRootAttributes(const TiXmlElement* root)
{
    mFrameImage = ReadImage(root, "img", mFrameImage);
    mHeaderImage = ReadImage(root, "himg", mHeaderImage);
    ReadPoint(root, "wheelpos", &mWheelX, &mWheelY);
    mLeftBorderWidth = XmlPixelAttribute(root, "leftborder_width");
    mLeftShadowWidth = XmlPixelAttribute(root, "leftshadow_width");
    mMiddleWidth = XmlPixelAttribute(root, "middle_width");
    mRightShadowWidth = XmlPixelAttribute(root, "rightshadow_width");
    mRightBorderWidth = XmlPixelAttribute(root, "rightborder_width");
    mHeaderY = XmlPixelAttribute(root, "hdr_y");
    mBorderShowSpeed = Speed(root, "bordershowspeed");
    mWindowRollSpeed = Speed(root, "windowrollspeed");
    mWindowFadeSpeed = Speed(root, "windowfadespeed");
    mMaxZoom = XmlRangedAttribute(root, "maxzoom", 0.0f, 0.0f, kMaxZoom);
    mPointsStaySpeed = Speed(root, "ptscount_stayspeed");
    mCountSpeedMax = Speed(root, "countspeed_max");
    mCountSpeedMin = Speed(root, "countspeed_min");
    mZoomSpeed = Speed(root, "zoomspeed");
    ReadPoint(root, "zoomimgdim", &mZoomWidth, &mZoomHeight);
    ReadPoint(root, "stageselect_glyph_pos", &mSlotLook.mGlyphX, &mSlotLook.mGlyphY);
    ReadPoint(root, "stageselect_hint_offs", &mSlotLook.mHintX, &mSlotLook.mHintY);
    mSlotLook.mHintFont = ReadFont(root, "stageselect_hintfont");
    mSlotLook.mHintFadeSpeed = XmlRangedAttribute(root, "stageselect_hintfadespeed", 0.0f, 0.0f, kMaxSpeed);
    mSlotLook.mGlyphStep = XmlPixelAttribute(root, "stageselect_glyph_step");
    for (size_t i = 0; i < mSlotLook.mGlyphs.size(); ++i) {
        const std::string name = "stageselect_img" + std::to_string(i + 1);
        mSlotLook.mGlyphs[i] = ReadImage(root, name.c_str(), mSlotLook.mGlyphs[i]);
    }
    mSlotLook.mHighlight = ReadImage(root, "stageselect_hl", mSlotLook.mHighlight);
    mDefaultWindow = XmlRangedAttribute(root, "tmp_default_window", 0, 0, GUIWindowId::kCount - 1);
    mBorderFlag = std::strcmp(XmlTextAttribute(root, "tmp_border"), "1") == 0;
}

void CGUIController::CountControls(const TiXmlElement* root)
{
    mLabelCount = mButtonCount = mCheckboxCount = mSliderCount = mEditBoxCount = mListBoxCount = mGroupCount = 0;
    const TiXmlElement* windows = root->FirstChildElement("windows");
    for (const TiXmlElement* w = windows != nullptr ? windows->FirstChildElement("window") : nullptr; w != nullptr;
         w = w->NextSiblingElement("window")) {
        mLabelCount += XmlCountChildElements(w->FirstChildElement("infolabels"), "label");
        mLabelCount += XmlCountChildElements(w->FirstChildElement("labels"), "label");
        mCheckboxCount += XmlCountChildElements(w->FirstChildElement("checkboxes"), "cb");
        mButtonCount += XmlCountChildElements(w->FirstChildElement("buttons"), "button");
        mSliderCount += XmlCountChildElements(w->FirstChildElement("sliders"), "slider");
        mEditBoxCount += XmlCountChildElements(w->FirstChildElement("editboxes"), "editbox");
        mListBoxCount += XmlCountChildElements(w->FirstChildElement("listboxes"), "listbox");
    }
    ForEachIn(root, "labelgroups", "labelgroup", [&](const TiXmlElement* g) {
        ++mGroupCount;
        mLabelCount += XmlCountChildElements(g, "label");
    });
}

void CGUIController::LoadLabelGroups(const TiXmlElement* root)
{
    int32_t id = 0;
    ForEachIn(root, "labelgroups", "labelgroup", [&](const TiXmlElement* g) {
        id = GroupId(g, id, mGroupCount, "ERROR CGUIController - bad labelgroup id");
        const int32_t first = mNextLabel;
        for (const TiXmlElement* l = g->FirstChildElement("label"); l != nullptr; l = l->NextSiblingElement("label"))
            LoadLabelFromXml(l, mLabels[size_t(mNextLabel++)]);
        mLabelGroups[size_t(id)] = {first, mNextLabel};
    });
}

void CGUIController::LoadRandomGroups(const TiXmlElement* root)
{
    int32_t groups = 0;
    ForEachIn(root, "randomgroups", "randomgroup", [&](const TiXmlElement*) { ++groups; });
    mRandomGroups.assign(size_t(groups), RandomGroup{});
    mLgroups.clear();
    int32_t id = 0;
    ForEachIn(root, "randomgroups", "randomgroup", [&](const TiXmlElement* g) {
        id = GroupId(g, id, groups, "ERROR CGUIController - bad randomgroup id");
        RandomGroup& group = mRandomGroups[size_t(id)];
        group.mFirst = int32_t(mLgroups.size());
        for (const TiXmlElement* l = g->FirstChildElement("lgroup"); l != nullptr;
             l = l->NextSiblingElement("lgroup")) {
            if (l->Attribute("id") == nullptr)
                continue;
            int32_t labelGroup = XmlIntAttribute(l, "id", 0);
            if (labelGroup < 0 || labelGroup >= mGroupCount) {
                Log("ERROR CGUIController - bad randomgroup::labelgroup id");
                labelGroup = 0;
            }
            mLgroups.push_back(labelGroup);
        }
        group.mEnd = int32_t(mLgroups.size());
    });
}

void CGUIController::LoadNameLists(const TiXmlElement* root)
{
    ReadNames(root, "bonusnames", mBonusNames);
    ReadNames(root, "ranknames", mRankNames);
    ReadNames(root, "stagenames", mStageNames);
    if (root->FirstChildElement("combonames") != nullptr) {
        mComboNames = {"2x combo", "3x combo", "4x combo", "supercombo", "superbonus"};
        ReadNames(root, "combonames", mComboNames);
    }
}

void CGUIController::LoadWindowControls(const TiXmlElement* element, GUIWindow& window, const GUIWindowSpec& spec)
{
    const int32_t labelEnd = int32_t(mLabels.size());
    window.mWidth = XmlPixelAttribute(element, "width");
    window.mFirstInfoLabel = mNextLabel;
    ForEachIn(element, "infolabels", "label", [&](const TiXmlElement* e) {
        if (mNextLabel >= labelEnd)
            return;
        LoadLabelFromXml(e, mLabels[size_t(mNextLabel)]);
        if (mNextSlot < kInfoSlots)
            mInfoSlots[size_t(mNextSlot++)] = mNextLabel;
        ++mNextLabel;
    });
    window.mFirstLabel = mNextLabel;
    ForEachIn(element, "labels", "label", [&](const TiXmlElement* e) {
        if (mNextLabel < labelEnd)
            LoadLabelFromXml(e, mLabels[size_t(mNextLabel++)]);
    });
    window.mEndLabel = mNextLabel;

    // Reads the controls of one list from the fixed first index, or from the
    // running one when the window names the running start.
    auto loadList = [&](const char* list, const char* child, int32_t given, int32_t running, int32_t& next,
                        int32_t count, int32_t& first, int32_t& end, auto load) {
        const bool useRunning = given == running;
        int32_t index = useRunning ? next : given;
        first = index;
        ForEachIn(element, list, child, [&](const TiXmlElement* e) {
            if (index >= 0 && index < count)
                load(e, index++);
        });
        end = index;
        if (useRunning)
            next = index;
    };
    loadList("buttons", "button", spec.mFirstCommand, GUIWindowSpec::kRunningButton, mNextButton, mButtonCount,
             window.mFirstButton, window.mEndButton,
             [&](const TiXmlElement* e, int32_t i) { LoadButtonFromXml(e, mButtons[size_t(i)]); });
    loadList("checkboxes", "cb", spec.mFirstCheckbox, GUIWindowSpec::kRunningCheckbox, mNextCheckbox,
             mCheckboxCount, window.mFirstCheckbox, window.mEndCheckbox,
             [&](const TiXmlElement* e, int32_t i) { LoadCheckboxFromXml(e, mCheckboxes[size_t(i)]); });
    loadList("sliders", "slider", spec.mFirstSlider, GUIWindowSpec::kRunningSlider, mNextSlider, mSliderCount,
             window.mFirstSlider, window.mEndSlider,
             [&](const TiXmlElement* e, int32_t i) { LoadSliderFromXml(e, mSliders[size_t(i)]); });
    loadList("editboxes", "editbox", spec.mFirstEditBox, GUIWindowSpec::kRunningEditBox, mNextEditBox,
             mEditBoxCount, window.mFirstEditBox, window.mEndEditBox,
             [&](const TiXmlElement* e, int32_t i) { LoadEditboxFromXml(e, mEditBoxes[size_t(i)], i); });
    loadList("listboxes", "listbox", spec.mFirstListBox, GUIWindowSpec::kRunningListBox, mNextListBox,
             mListBoxCount, window.mFirstListBox, window.mEndListBox,
             [&](const TiXmlElement* e, int32_t i) { LoadListboxFromXml(e, mListBoxes[size_t(i)], i); });
}

void CGUIController::LoadLabelFromXml(const TiXmlElement* element, GUILabel& label)
{
    label = GUILabel{};
    if (element->Attribute("groupid") != nullptr) {
        label.mFlags = GUILabel::kGroup;
        label.mX = XmlIntAttribute(element, "groupid", 0);
        label.mY = XmlIntAttribute(element, "groupcount", 0);
        label.mHalfWidthOrGroup = label.mX;
        if (label.mX < 0 || label.mY < 0 || label.mX >= mGroupCount || label.mY > mGroupCount - label.mX) {
            Log("ERROR CGUIController::LoadLabelFromXml - wrong group index");
            label.mBroken = true;
        }
        return;
    }
    if (element->Attribute("randomgroupid") != nullptr) {
        label.mFlags = GUILabel::kRandomGroup;
        label.mX = XmlIntAttribute(element, "randomgroupid", 0);
        label.mY = XmlIntAttribute(element, "randomgroupcount", 0);
        const int32_t groups = int32_t(mRandomGroups.size());
        if (label.mX < 0 || label.mY < 0 || label.mX >= groups || label.mY > groups - label.mX) {
            Log("ERROR CGUIController::LoadLabelFromXml - wrong randomgroup index");
            label.mBroken = true;
            return;
        }
        const RandomGroup& group = mRandomGroups[size_t(label.mX)];
        if (group.mFirst < group.mEnd)
            label.mHalfWidthOrGroup = mLgroups[size_t(group.mFirst)];
        else
            label.mBroken = true;
        return;
    }
    ReadPoint(element, "p", &label.mX, &label.mY);
    if (label.mX == -1)
        label.mFlags |= GUILabel::kCentered;
    if (element->Attribute("img") != nullptr) {
        label.mFlags |= GUILabel::kImage;
        label.mFontOrImage = ReadImage(element, "img", -2);
        Lumo::Rect rect;
        if (mHost->SlotImage(label.mFontOrImage, &rect) != nullptr)
            label.mHalfWidthOrGroup = rect.mWidth / 2;
        return;
    }
    label.mFontOrImage = ReadFont(element, "font");
    if (element->Attribute("format") != nullptr) {
        label.mFlags |= GUILabel::kFormat;
        label.mFormat = element->Attribute("format");
    }
    label.mText = XmlTextAttribute(element, "caption");
}

void CGUIController::LoadButtonFromXml(const TiXmlElement* element, GUIButton& button)
{
    button = GUIButton{};
    button.mNoHint = XmlTextAttribute(element, "nohint")[0] == '1';
    if (element->Attribute("glyph_idle") != nullptr || element->Attribute("glyph_hover") != nullptr ||
        element->Attribute("glyph_push") != nullptr) {
        button.mKind = GUIButton::kGlyph;
        button.mIdle = ReadImage(element, "glyph_idle", -2);
        button.mHover = ReadImage(element, "glyph_hover", -2);
        button.mPush = ReadImage(element, "glyph_push", -2);
        if (button.mHover == -2)
            button.mHover = button.mPush != -2 ? button.mPush : button.mIdle;
        if (button.mPush == -2)
            button.mPush = button.mHover != -2 ? button.mHover : button.mIdle;
    } else {
        button.mCaption = XmlTextAttribute(element, "caption");
        button.mFont = ReadFont(element, "font");
        button.mHoverFont = ReadFont(element, "hoverfont");
    }
    button.mRect = ReadRect(element, "rect");
    ReadPoint(element, "p", &button.mX, &button.mY);
}

void CGUIController::LoadCheckboxFromXml(const TiXmlElement* element, GUICheckbox& checkbox)
{
    checkbox = GUICheckbox{};
    checkbox.mBody = ReadImage(element, "body", -2);
    checkbox.mCheck = ReadImage(element, "check", -2);
    checkbox.mRect = ReadRect(element, "rect");
    ReadPoint(element, "p_body", &checkbox.mBodyX, &checkbox.mBodyY);
    ReadPoint(element, "p_check", &checkbox.mCheckX, &checkbox.mCheckY);
}

void CGUIController::LoadSliderFromXml(const TiXmlElement* element, GUISlider& slider)
{
    slider = GUISlider{};
    slider.mBody = ReadImage(element, "slider", -2);
    slider.mNut = ReadImage(element, "nut", -2);
    slider.mPos = ReadRect(element, "pos");
    slider.mRect = ReadRect(element, "rect");
    slider.mLeftRect = ReadRect(element, "l_rect");
    slider.mRightRect = ReadRect(element, "r_rect");
    ReadPoint(element, "p_rail", &slider.mRailX, &slider.mRailY);
    slider.mRailLength = XmlPixelAttribute(element, "rail_length");
    slider.mStep = XmlRangedAttribute(element, "dt", 0.0f, -kMaxMagnitude, kMaxMagnitude);
    slider.mNutX = slider.mRailX;
    slider.mNutY = slider.mRailY;
}

void CGUIController::LoadEditboxFromXml(const TiXmlElement* element, GUIEditBox& editBox, int32_t index)
{
    editBox.mFont = ReadFont(element, "font");
    editBox.mRect = ReadRect(element, "rect");
    XmlColorAttribute(element, "bgcolor", &editBox.mBackground);
    editBox.mPos = ReadRect(element, "pos");
    editBox.mWidget = std::make_unique<Lumo::EditWidget>(index, this);
    editBox.mWidget->SetColor(0, Lumo::Color(0, 0, 0, 0));
    editBox.mWidget->SetColor(1, Lumo::Color(0, 0, 0, 0));
    editBox.mWidget->SetColor(2, Lumo::Color(255, 255, 255, 255));
    editBox.mWidget->SetColor(3, Lumo::Color(255, 215, 81, 255));
    editBox.mWidget->SetVisible(true);
    editBox.mWidget->SetDisabled(false);
    editBox.mWidget->mMaxChars = 8;
}

void CGUIController::LoadListboxFromXml(const TiXmlElement* element, GUIListBox& listBox, int32_t index)
{
    listBox.mXOffs = XmlPixelAttribute(element, "xoffs");
    listBox.mYOffs = XmlPixelAttribute(element, "yoffs");
    listBox.mLineStep = XmlPixelAttribute(element, "linestep");
    listBox.mMaxLines = Count(element, "maxlines");
    listBox.mSelectionXOffs = XmlPixelAttribute(element, "selection_xoffs");
    listBox.mSelectionWidth = XmlPixelAttribute(element, "selection_width");
    listBox.mSelectionYOffs = XmlPixelAttribute(element, "selection_vertical_offset");
    listBox.mSelectionHeight = XmlPixelAttribute(element, "selection_height");
    listBox.mFont = ReadFont(element, "font");
    XmlColorAttribute(element, "selectioncolor", &listBox.mSelectionColor);
    listBox.mRect = ReadRect(element, "rect");
    listBox.mSelection = -1;
    listBox.mFirstVisible = 0;
    listBox.mLineCount = 0;
    CGUIScrollbar::Images images;
    images.mUp = ReadImage(element, "scrollbar_up", -2);
    images.mDown = ReadImage(element, "scrollbar_down", -2);
    images.mRail = ReadImage(element, "scrollbar_rail", -2);
    images.mThumb = ReadImage(element, "scrollbar_thumb", -2);
    images.mThumbTop = ReadImage(element, "scrollbar_thumb1", -2);
    images.mThumbBottom = ReadImage(element, "scrollbar_thumb2", -2);
    listBox.mScrollbar = std::make_unique<CGUIScrollbar>(index, this, mHost, images,
                                                         XmlPixelAttribute(element, "scrollbar_thumboffset"));
    listBox.mScrollbar->SetPageLength(listBox.mMaxLines);
    listBox.mScrollbarRect = ReadRect(element, "scrollbar_relative_rect");
}
