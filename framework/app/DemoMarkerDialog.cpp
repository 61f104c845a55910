#include "framework/app/DemoMarkerDialog.h"

#include "framework/app/LumoAppBase.h"
#include "framework/widgets/ButtonWidget.h"

namespace Lumo {

DemoMarkerDialog::DemoMarkerDialog(LumoAppBase* app, std::vector<std::pair<std::string, int32_t>> entries)
    : Dialog(app, kDialogId, true, "Marker List", "", "Cancel", kFooterButton), mOwner(app),
      mEntries(std::move(entries))
{
    for (size_t i = 0; i < mEntries.size(); ++i) {
        auto row = std::make_unique<ButtonWidget>(kFirstEntryId + int(i), this);
        row->mLabel = mEntries[i].first;
        row->mLabelAlign = -1;
        AddChild(row.get());
        mRows.push_back(std::move(row));
    }
}

DemoMarkerDialog::~DemoMarkerDialog()
{
    for (const auto& row : mRows)
        RemoveChild(row.get());
}

void DemoMarkerDialog::Layout(int width)
{
    const int rowsTop = GetPreferredHeight(width) - mContentInsets.mBottom - mBackgroundInsets.mBottom - mButtonHeight;
    const int rowsHeight = int(mRows.size()) * kRowHeight + (mRows.empty() ? 0 : mButtonGap);
    const int left = mBackgroundInsets.mLeft + mContentInsets.mLeft;
    const int inner = width - left - mContentInsets.mRight - mBackgroundInsets.mRight;
    for (size_t i = 0; i < mRows.size(); ++i) {
        mRows[i]->Resize(left, rowsTop + int(i) * kRowHeight, inner, kRowHeight);
        mRows[i]->SetLabelFont(mLinesFont.get());
    }
    Resize(mX, mY, width, GetPreferredHeight(width) + rowsHeight);
}

void DemoMarkerDialog::OnButtonPressedCount(int id, int clickCount)
{
    const int index = id - kFirstEntryId;
    if (clickCount != 2 || index < 0 || index >= int(mEntries.size()))
        return;
    if (mOwner->JumpToDemoMarker(mEntries[size_t(index)].second))
        mResult = id;
}

} // namespace Lumo
