#include "framework/app/LumoAppBase.h"

#include "framework/app/DemoJumpDialog.h"
#include "framework/app/DemoMarkerDialog.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"

namespace Lumo {

namespace {

// Runs a playback dialog until it ends. Updates would advance the replay, so
// they hold while it is open; the replay's focus comes back afterwards.
int RunHeldDialog(LumoAppBase& app, Dialog* dialog, Widget* focus)
{
    Widget* const replayFocus = app.mWidgetManager->mFocusWidget;
    const bool wasOpen = app.mDemoDialogOpen;
    app.mDemoDialogOpen = true;
    app.RegisterDialog(dialog);
    if (focus != nullptr)
        app.mWidgetManager->SetFocus(focus);
    const int result = dialog->WaitForResult(true);
    app.mDemoDialogOpen = wasOpen;
    if (replayFocus != nullptr && replayFocus->mManager == app.mWidgetManager)
        app.mWidgetManager->SetFocus(replayFocus);
    return result;
}

int DialogLeft(LumoAppBase& app, int width)
{
    return (app.GetWidth() - width) / 2;
}

} // namespace

int LumoAppBase::ShowMarkerListDialog()
{
    auto* dialog = new DemoMarkerDialog(this, DemoMarkerEntries());
    const int width = GetWidth() / 2;
    dialog->Resize(DialogLeft(*this, width), GetHeight() / 10, width, 0);
    dialog->Layout(width);
    return RunHeldDialog(*this, dialog, nullptr);
}

int LumoAppBase::ShowJumpToTimeDialog()
{
    auto* dialog = new DemoJumpDialog(this, StoredDemoJumpTime());
    const int width = GetWidth() / 2;
    dialog->Resize(DialogLeft(*this, width), GetHeight() / 5, width, 0);
    dialog->Layout(width);
    return RunHeldDialog(*this, dialog, dialog->mEdit.get());
}

} // namespace Lumo
