#include "framework/app/LumoAppBase.h"
#include "framework/graphics/fonts/Font.h"
#include "game/screens/windows/CGUICommandHandler.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGUIScrollbar.h"
#include "game/screens/windows/CSlotPanel.h"
#include "game/screens/windows/KeyboardCharacters.h"

#include <algorithm>

namespace {

bool Inside(const Lumo::Rect& rect, int32_t x, int32_t y)
{
    return x >= rect.mX && x < rect.mX + rect.mWidth && y >= rect.mY && y < rect.mY + rect.mHeight;
}

} // namespace

void CGUIController::OnPointerMove(int32_t x, int32_t y)
{
    if (!ControlsActive())
        return;
    if (mCurrentWindow == GUIWindowId::kStageSelect && mSlotPanel != nullptr)
        mSlotPanel->HitTest(x, y);
    const int32_t wx = x + CurrentWidth() / 2 - 400;
    if (mHoverWindow == mCurrentWindow) {
        if (mHoverButton != nullptr) {
            const bool keep = mHoverButton->mEnabled && mHoverButton->mState == GUIButton::kPushed;
            if (!keep && !Inside(mHoverButton->mRect, wx, y)) {
                mHoverButton->mState = GUIButton::kIdle;
                mHoverButton = nullptr;
            }
        } else if (mHoverCheckbox != nullptr) {
            // A pressed checkbox toggles on release wherever the pointer is.
            if (!mPointerDown && !Inside(mHoverCheckbox->mRect, wx, y))
                mHoverCheckbox = nullptr;
        } else if (mHoverSlider != nullptr) {
            GUISlider& slider = *mHoverSlider;
            if (slider.mState == GUISlider::kDragging) {
                const int32_t before = slider.mNutX;
                SetSliderFromPointer(slider, wx);
                if (slider.mNutX != before)
                    mHandler->ApplyVolumeSlider(int32_t(&slider - mSliders.data()), slider.mValue, true);
            } else if (slider.mState != GUISlider::kPressed) {
                if (Inside(slider.mRect, wx, y)) {
                    slider.mState = GUISlider::kHovered;
                } else {
                    slider.mState = GUISlider::kIdle;
                    mHoverSlider = nullptr;
                }
            }
        } else if (mHoverList != nullptr) {
            if (!Inside(mHoverList->mRect, wx, y))
                mHoverList = nullptr;
        }
        if (mHoverButton != nullptr || mHoverCheckbox != nullptr || mHoverSlider != nullptr || mHoverList != nullptr)
            return;
    }
    UpdateHover(wx, y);
}

void CGUIController::UpdateHover(int32_t wx, int32_t y)
{
    const GUIWindow& window = mWindows[size_t(mCurrentWindow)];
    for (int32_t i = window.mFirstButton; i < window.mEndButton; ++i) {
        GUIButton& button = mButtons[size_t(i)];
        if (!Inside(button.mRect, wx, y))
            continue;
        if (!button.mEnabled)
            return;
        if (mHoverButton != nullptr && mHoverButton != &button)
            mHoverButton->mState = GUIButton::kIdle;
        mHoverCheckbox = nullptr;
        mHoverSlider = nullptr;
        mHoverList = nullptr;
        mHoverButton = &button;
        button.mState = GUIButton::kHovered;
        if (!button.mNoHint)
            mApp->PlaySoundById(kSoundHover);
        mHoverIndex = i;
        mHoverWindow = mCurrentWindow;
        return;
    }
    auto remember = [&](int32_t index) {
        mHoverButton = nullptr;
        mHoverIndex = index;
        mHoverWindow = mCurrentWindow;
    };
    for (int32_t i = window.mFirstCheckbox; i < window.mEndCheckbox; ++i) {
        if (Inside(mCheckboxes[size_t(i)].mRect, wx, y)) {
            remember(i);
            mHoverCheckbox = &mCheckboxes[size_t(i)];
            return;
        }
    }
    for (int32_t i = window.mFirstSlider; i < window.mEndSlider; ++i) {
        if (Inside(mSliders[size_t(i)].mRect, wx, y)) {
            remember(i);
            mHoverSlider = &mSliders[size_t(i)];
            mHoverSlider->mState = GUISlider::kHovered;
            return;
        }
    }
    for (int32_t i = window.mFirstListBox; i < window.mEndListBox; ++i) {
        if (Inside(mListBoxes[size_t(i)].mRect, wx, y)) {
            remember(i);
            mHoverList = &mListBoxes[size_t(i)];
            return;
        }
    }
}

void CGUIController::OnPointerDown(int32_t x, int32_t y, bool doubleClick)
{
    if (!ControlsActive())
        return;
    mPointerDown = true;
    if (mCurrentWindow == GUIWindowId::kStageSelect && mSlotPanel != nullptr) {
        mSlotPanel->HitTest(x, y);
        if (mSlotPanel->HoveredSlot() >= 0) {
            mSlotPanel->mSelected = mSlotPanel->HoveredSlot();
            SetLabelValue(InfoLabelIndex(39), mSlotPanel->mSelected);
            mApp->PlaySoundById(kSoundHover);
        }
    }
    if (mHoverWindow != mCurrentWindow)
        return;
    const int32_t wx = x + CurrentWidth() / 2 - 400;
    if (mHoverButton != nullptr) {
        if (mHoverButton->mEnabled && Inside(mHoverButton->mRect, wx, y))
            mHoverButton->mState = GUIButton::kPushed;
    } else if (mHoverSlider != nullptr) {
        GUISlider& slider = *mHoverSlider;
        if (!Inside(slider.mRect, wx, y))
            return;
        slider.mState = GUISlider::kPressed;
        if (Inside(slider.mRightRect, wx, y)) {
            slider.mValue = std::min(1.0f, slider.mValue + slider.mStep);
        } else if (Inside(slider.mLeftRect, wx, y)) {
            slider.mValue = std::max(0.0f, slider.mValue - slider.mStep);
        } else {
            SetSliderFromPointer(slider, wx);
            slider.mState = GUISlider::kDragging;
        }
        slider.mNutX = slider.mRailX + static_cast<int32_t>(slider.mValue * float(slider.mRailLength));
        mHandler->ApplyVolumeSlider(int32_t(&slider - mSliders.data()), slider.mValue, false);
    } else if (mHoverList != nullptr) {
        SelectListRow(*mHoverList, int32_t(mHoverList - mListBoxes.data()), wx, y, doubleClick);
    }
}

void CGUIController::SelectListRow(GUIListBox& list, int32_t index, int32_t wx, int32_t y, bool doubleClick)
{
    // The scroll bar takes presses on itself while there is something to scroll.
    if (list.mLineCount > list.mMaxLines && Inside(list.mScrollbarRect, wx, y))
        return;
    const int32_t dy = y - list.mRect.mY - list.mYOffs - list.mSelectionYOffs;
    if (list.mLineStep <= 0 || dy <= 0 || dy >= list.mLineStep * list.mMaxLines)
        return;
    const int32_t row = std::min(dy / list.mLineStep, list.mMaxLines - 1);
    list.mSelection = std::min(list.mFirstVisible + row, list.mLineCount - 1);
    if (doubleClick && index == 0)
        mHandler->OnProfileSelected();
}

void CGUIController::OnPointerUp(int32_t x, int32_t y)
{
    mPointerDown = false;
    if (!ControlsActive() || mHoverWindow != mCurrentWindow)
        return;
    const int32_t wx = x + CurrentWidth() / 2 - 400;
    if (mHoverButton != nullptr) {
        GUIButton& button = *mHoverButton;
        if (button.mEnabled && Inside(button.mRect, wx, y)) {
            button.mState = GUIButton::kHovered;
            mHandler->OnGuiCommand(int32_t(&button - mButtons.data()), 1);
        } else {
            button.mState = GUIButton::kIdle;
        }
    } else if (mHoverCheckbox != nullptr) {
        mHoverCheckbox->mValue = mHoverCheckbox->mValue == 1 ? 0 : 1;
        mApp->PlaySoundById(kSoundClick);
    } else if (mHoverSlider != nullptr) {
        GUISlider& slider = *mHoverSlider;
        if (slider.mState == GUISlider::kDragging)
            mHandler->ApplyVolumeSlider(int32_t(&slider - mSliders.data()), slider.mValue, false);
        slider.mState = Inside(slider.mRect, wx, y) ? GUISlider::kHovered : GUISlider::kIdle;
    }
}

bool CGUIController::IsCharAllowed(int32_t editId, char& ch)
{
    if (ch == 0)
        return false;
    const GUIEditBox* edit = EditBox(editId);
    Lumo::Font* font = edit != nullptr ? FontOf(edit->mFont) : nullptr;
    if (font == nullptr)
        return false;
    const char usKey = UsKeyCharacter(ch);
    const char candidates[] = {ch, Cp1252Upper(ch), Cp1252Lower(ch), usKey, Cp1252Lower(usKey)};
    for (char candidate : candidates) {
        if (candidate != 0 && font->CharWidth(candidate) != 0) {
            ch = candidate;
            return true;
        }
    }
    return false;
}
