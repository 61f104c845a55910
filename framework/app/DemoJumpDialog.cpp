#include "framework/app/DemoJumpDialog.h"

#include "framework/app/LumoAppBase.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/EditWidget.h"

namespace Lumo {

DemoJumpDialog::DemoJumpDialog(LumoAppBase* app, const std::string& storedText)
    : Dialog(app, kDialogId, true, "Jump To Time", "", "", kOkCancel), mOwner(app),
      mEdit(std::make_unique<EditWidget>(kEditId, this))
{
    mYesButton->mLabel = "Ok";
    mNoButton->mLabel = "Cancel";
    mEdit->mMaxChars = 500;
    mEdit->SetText(storedText, true);
    mEdit->mSelectionAnchor = 0;
    mEdit->mCursorPos = int32_t(mEdit->mText.size());
    AddChild(mEdit.get());
}

DemoJumpDialog::~DemoJumpDialog()
{
    RemoveChild(mEdit.get());
}

void DemoJumpDialog::Layout(int width)
{
    const int top = GetPreferredHeight(width) - mContentInsets.mBottom - mBackgroundInsets.mBottom - mButtonHeight;
    const int left = mBackgroundInsets.mLeft + mContentInsets.mLeft;
    mEdit->Resize(left, top, width - left - mContentInsets.mRight - mBackgroundInsets.mRight, kEditHeight);
    mEdit->SetFont(mLinesFont.get(), mLinesFont.get());
    Resize(mX, mY, width, GetPreferredHeight(width) + kEditHeight + mButtonGap);
}

void DemoJumpDialog::OnButtonClicked(int id)
{
    if (id == kYesButtonId)
        mOwner->JumpToDemoTime(mEdit->mText);
    Dialog::OnButtonClicked(id);
}

void DemoJumpDialog::TextEntered(int, const std::string&)
{
    OnButtonClicked(kYesButtonId);
}

} // namespace Lumo
