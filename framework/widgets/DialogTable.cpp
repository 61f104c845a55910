#include "framework/widgets/DialogTable.h"

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetAppHost.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>

namespace Lumo {

DialogTable::DialogTable(WidgetManager& manager, WidgetAppHost& app, ButtonListener& buttons)
    : mManager(manager), mApp(app), mButtons(buttons)
{
}

Dialog* DialogTable::OpenDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                                const std::string& footer, int buttonMode)
{
    CloseDialogById(id);
    Dialog* dialog = mApp.MakeDialog(id, isModal, header, lines, footer, buttonMode);
    RegisterDialogWithId(id, dialog);
    return dialog;
}

Dialog* DialogTable::FindDialog(int id) const
{
    const auto found = mDialogMap.find(id);
    return found == mDialogMap.end() ? nullptr : found->second;
}

void DialogTable::RegisterDialog(Dialog* dialog)
{
    RegisterDialogWithId(dialog->mId, dialog);
}

void DialogTable::RegisterDialogWithId(int id, Dialog* dialog)
{
    // Registering a dialog again under its own id must not close (and so
    // queue for deletion) the very dialog being registered.
    if (FindDialog(id) == dialog)
        return;
    CloseDialogById(id);
    if (dialog->mWidth == 0) {
        const int width = mApp.GetWidth() / 2;
        const int height = dialog->GetPreferredHeight(width);
        dialog->Resize((mApp.GetWidth() - width) / 2, mApp.GetHeight() / 5, width, height);
    }
    mDialogMap[id] = dialog;
    mDialogList.push_back(dialog);
    mManager.AddChild(dialog);
    if (dialog->IsModal()) {
        mManager.PushModal(dialog);
        mApp.OnModalDialogOpened();
    }
}

void DialogTable::CloseDialog(Dialog* dialog)
{
    CloseDialogById(dialog->mId);
}

bool DialogTable::CloseDialogById(int id)
{
    return CloseDialogEx(id, true, true);
}

bool DialogTable::CloseDialogEx(int id, bool removeWidget, bool deleteDialog)
{
    Dialog* dialog = FindDialog(id);
    if (dialog == nullptr)
        return false;
    if (dialog->mResult == -1)
        dialog->mResult = 0;
    mDialogList.erase(std::find(mDialogList.begin(), mDialogList.end(), dialog));
    mDialogMap.erase(id);
    if (removeWidget || deleteDialog)
        mManager.RemoveChild(dialog);
    if (dialog->IsModal()) {
        mApp.OnModalDialogClosed();
        mManager.PopModal(dialog);
    }
    if (deleteDialog)
        mApp.DeferDelete(dialog);
    return true;
}

void DialogTable::CloseAllDialogs()
{
    while (!mDialogMap.empty())
        CloseDialogEx(mDialogMap.begin()->first, true, true);
}

int DialogTable::DialogCount() const
{
    return static_cast<int>(mDialogList.size());
}

Dialog* DialogTable::DialogAt(int index) const
{
    return index >= 0 && index < DialogCount() ? mDialogList[size_t(index)] : nullptr;
}

int DialogTable::RoutedButtonId(int dialogId, int buttonId)
{
    if (buttonId == Dialog::kYesButtonId)
        return dialogId + 2000;
    if (buttonId == Dialog::kNoButtonId)
        return dialogId + 3000;
    return -1;
}

void DialogTable::OnDialogButtonPressed(int dialogId, int buttonId)
{
    const int id = RoutedButtonId(dialogId, buttonId);
    if (id != -1)
        mButtons.OnButtonPressed(id);
}

void DialogTable::OnDialogButtonClicked(int dialogId, int buttonId)
{
    const int id = RoutedButtonId(dialogId, buttonId);
    if (id != -1)
        mButtons.OnButtonClicked(id);
}

} // namespace Lumo
