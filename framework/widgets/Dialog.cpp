#include "framework/widgets/Dialog.h"

#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/DialogButtonLabels.h"
#include "framework/widgets/DialogListener.h"
#include "framework/widgets/WidgetAppHost.h"
#include "framework/widgets/WidgetManager.h"

namespace Lumo {

namespace {

constexpr const char* kFaceName = "Arial Unicode MS";
constexpr int kCursorPointer = 0;
constexpr int kCursorDrag = 2;
// How far a dragged dialog may leave the manager's area.
constexpr int kDragMargin = 8;

constexpr int kDefaultColors[][3] = {{255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {0, 0, 0},
                                     {0, 0, 0},       {80, 80, 80},  {255, 255, 255}};

int ClampGrab(int value, int size)
{
    if (value < kDragMargin)
        return kDragMargin;
    return value > size - kDragMargin - 1 ? size - kDragMargin - 1 : value;
}

int ClampPlace(int position, int size, int area)
{
    if (position < -kDragMargin)
        return -kDragMargin;
    return position + size > area + kDragMargin ? area - size + kDragMargin : position;
}

} // namespace

Dialog::Dialog(WidgetAppHost* app, int id, bool isModal, const std::string& header, const std::string& lines,
               const std::string& footer, int buttonMode)
    : mApp(app),
      mListener(app != nullptr ? app->GetDialogListener() : nullptr),
      mHeader(header),
      mFooter(footer),
      mLines(lines),
      mButtonMode(buttonMode),
      mId(id),
      mIsModal(isModal)
{
    if (buttonMode == kYesNo || buttonMode == kOkCancel || buttonMode == kFooterButton) {
        mYesButton = std::make_unique<DialogButton>(kYesButtonId, this);
        mYesButton->mLabel = buttonMode == kYesNo ? gDialogYesLabel : (buttonMode == kOkCancel ? gDialogOkLabel : footer);
    }
    if (buttonMode == kYesNo || buttonMode == kOkCancel) {
        mNoButton = std::make_unique<DialogButton>(kNoButtonId, this);
        mNoButton->mLabel = buttonMode == kYesNo ? gDialogNoLabel : gDialogCancelLabel;
    }
    mSeeThrough = true;
    mTranslucent = true;
    mOverlayLevel = 1;
    SetColorsRGB(kDefaultColors, 7);
}

Dialog::~Dialog() = default;

void Dialog::EnsureFonts()
{
    if (mApp == nullptr)
        return;
    if (mHeaderFont == nullptr)
        mHeaderFont.reset(mApp->CreateSysFont(kFaceName, 14, 0));
    if (mLinesFont == nullptr)
        mLinesFont.reset(mApp->CreateSysFont(kFaceName, 12, 0));
}

void Dialog::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    if (mYesButton != nullptr)
        manager->AddChild(mYesButton.get());
    if (mNoButton != nullptr)
        manager->AddChild(mNoButton.get());
}

void Dialog::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    if (mYesButton != nullptr)
        manager->RemoveChild(mYesButton.get());
    if (mNoButton != nullptr)
        manager->RemoveChild(mNoButton.get());
}

void Dialog::StackOrderChanged()
{
    if (mManager == nullptr)
        return;
    if (mYesButton != nullptr)
        mManager->PutInFront(mYesButton.get(), this);
    if (mNoButton != nullptr)
        mManager->PutInFront(mNoButton.get(), this);
}

void Dialog::SetColor(int index, const Color& color)
{
    Widget::SetColor(index, color);
    if (index != 3 && index != 4)
        return;
    DialogButton* buttons[] = {mYesButton.get(), mNoButton.get()};
    for (DialogButton* button : buttons) {
        if (button != nullptr)
            button->SetColor(index - 3, color);
    }
}

void Dialog::SetButtonFont(Font* font)
{
    if (mYesButton != nullptr)
        mYesButton->SetLabelFont(font);
    if (mNoButton != nullptr)
        mNoButton->SetLabelFont(font);
}

void Dialog::SetHeaderFont(Font* font)
{
    mHeaderFont.reset(font->Duplicate());
}

void Dialog::SetLinesFont(Font* font)
{
    mLinesFont.reset(font->Duplicate());
}

bool Dialog::IsModal()
{
    return mIsModal;
}

int Dialog::BodyWidth(int width) const
{
    return width - mContentInsets.mRight - mBackgroundInsets.mRight - mBackgroundInsets.mLeft - mContentInsets.mLeft -
           4;
}

int Dialog::GetPreferredHeight(int width)
{
    EnsureFonts();
    int height = mContentInsets.mTop + mContentInsets.mBottom + mBackgroundInsets.mTop + mBackgroundInsets.mBottom;
    bool above = false;
    if (!mHeader.empty() && mHeaderFont != nullptr) {
        height += mHeaderFont->GetHeight() - mHeaderFont->GetAscentPadding();
        above = true;
    }
    if (!mLines.empty() && mLinesFont != nullptr) {
        if (above)
            height += mSpaceAfterHeader;
        Graphics measure;
        measure.SetFont(mLinesFont.get());
        height += MeasureWrappedText(measure, BodyWidth(width), mLines,
                                     mLinesFont->GetLineSpacing() + mLineSpacingOffset);
        above = true;
    }
    if (!mFooter.empty() && mButtonMode != kFooterButton && mHeaderFont != nullptr) {
        if (above)
            height += 8;
        height += mHeaderFont->GetLineSpacing();
        above = true;
    }
    if (mYesButton != nullptr) {
        if (above)
            height += 8;
        height += 8 + mButtonHeight;
    }
    return height;
}

void Dialog::Draw(Graphics& graphics)
{
    EnsureFonts();
    if (mComponentImage != nullptr) {
        graphics.DrawNineCellImage(mComponentImage,
                                   Rect{mBackgroundInsets.mLeft, mBackgroundInsets.mTop,
                                        mWidth - mBackgroundInsets.mLeft - mBackgroundInsets.mRight,
                                        mHeight - mBackgroundInsets.mTop - mBackgroundInsets.mBottom});
    } else {
        graphics.SetColor(GetColor(6));
        graphics.DrawRect(12, 12, mWidth - 25, mHeight - 25);
        graphics.SetColor(GetColor(5));
        graphics.FillRect(13, 13, mWidth - 26, mHeight - 26);
        graphics.SetColor(Color(0, 0, 0, 128));
        graphics.FillRect(mWidth - 12, 24, 12, mHeight - 36);
        graphics.FillRect(24, mHeight - 12, mWidth - 24, 12);
    }
    if (mHeaderFont == nullptr || mLinesFont == nullptr)
        return;
    int y = mContentInsets.mTop + mBackgroundInsets.mTop;
    if (!mHeader.empty()) {
        graphics.SetFont(mHeaderFont.get());
        graphics.SetColor(GetColor(0));
        DrawCenteredLine(graphics, y + mHeaderFont->GetAscent() - mHeaderFont->GetAscentPadding(), mHeader);
        y += mHeaderFont->GetHeight() - mHeaderFont->GetAscentPadding() + mSpaceAfterHeader;
    }
    graphics.SetFont(mLinesFont.get());
    graphics.SetColor(GetColor(1));
    y += DrawColorCodedWrapped(graphics, mLines,
                               Rect{mBackgroundInsets.mLeft + mContentInsets.mLeft + 2, y, BodyWidth(mWidth), 0},
                               mLinesFont->GetLineSpacing() + mLineSpacingOffset, mTextJustification);
    if (!mFooter.empty() && mButtonMode != kFooterButton) {
        y += mHeaderFont->GetLineSpacing() + 8;
        graphics.SetFont(mHeaderFont.get());
        graphics.SetColor(GetColor(2));
        DrawCenteredLine(graphics, y, mFooter);
    }
}

void Dialog::LayoutButtons()
{
    const int buttonY = mY + mHeight - mContentInsets.mBottom - mBackgroundInsets.mBottom - mButtonHeight;
    const int left = mX + mBackgroundInsets.mLeft + mContentInsets.mLeft;
    const int inner =
        mWidth - mContentInsets.mRight - mBackgroundInsets.mRight - mBackgroundInsets.mLeft - mContentInsets.mLeft;
    if (mYesButton != nullptr && mNoButton != nullptr) {
        const int buttonWidth = (inner - 2 * mButtonSideMargin - mButtonGap) / 2;
        const int yesX = left + mButtonSideMargin;
        mYesButton->Resize(yesX, buttonY, buttonWidth, mButtonHeight);
        mNoButton->Resize(yesX + buttonWidth + mButtonGap, buttonY, buttonWidth, mButtonHeight);
    } else if (mYesButton != nullptr) {
        mYesButton->Resize(left, buttonY, inner, mButtonHeight);
    }
}

void Dialog::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    LayoutButtons();
}

void Dialog::MouseDown(int x, int y, int, int clickCount)
{
    if (clickCount != 1)
        return;
    if (mApp != nullptr)
        mApp->SetCursor(kCursorDrag);
    mDragging = true;
    mDragX = x;
    mDragY = y;
}

void Dialog::MouseUp(int, int, int, int)
{
    if (!mDragging)
        return;
    if (mApp != nullptr)
        mApp->SetCursor(kCursorPointer);
    mDragging = false;
}

void Dialog::MouseDrag(int x, int y)
{
    if (!mDragging || mManager == nullptr)
        return;
    const int newX = ClampPlace(mX - mDragX + x, mWidth, mManager->mWidth);
    const int newY = ClampPlace(mY - mDragY + y, mHeight, mManager->mHeight);
    mDragX = ClampGrab(mX - newX + x, mWidth);
    mDragY = ClampGrab(mY - newY + y, mHeight);
    Move(newX, newY);
}

int Dialog::WaitForResult(bool closeAfter)
{
    while (mApp != nullptr && mManager != nullptr && mResult == kNoResult && mApp->PumpAndStep(nullptr)) {
    }
    if (closeAfter && mApp != nullptr)
        mApp->CloseDialogById(mId);
    return mResult;
}

void Dialog::OnButtonPressed(int id)
{
    if ((id == kYesButtonId || id == kNoButtonId) && mListener != nullptr)
        mListener->OnDialogButtonPressed(mId, id);
}

void Dialog::OnButtonClicked(int id)
{
    if (id != kYesButtonId && id != kNoButtonId)
        return;
    mResult = id;
    if (mListener != nullptr)
        mListener->OnDialogButtonClicked(mId, id);
}

} // namespace Lumo
