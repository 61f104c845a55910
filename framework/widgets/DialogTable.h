#pragma once

#include "framework/widgets/DialogListener.h"

#include <map>
#include <string>
#include <vector>

namespace Lumo {

class ButtonListener;
class Dialog;
class WidgetAppHost;
class WidgetManager;

// The application's open dialogs by id and in the order they were
// registered. It also routes dialog buttons to the application's button
// handler: button 1000 of dialog n as button n + 2000, 1001 as n + 3000.
class DialogTable : public DialogListener {
public:
    DialogTable(WidgetManager& manager, WidgetAppHost& app, ButtonListener& buttons);

    // Replaces a dialog open under the id.
    Dialog* OpenDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                       const std::string& footer, int buttonMode);
    Dialog* FindDialog(int id) const;
    void RegisterDialog(Dialog* dialog);
    // Places a dialog of width 0 on the screen, shows it and makes it modal
    // when it is.
    void RegisterDialogWithId(int id, Dialog* dialog);
    void CloseDialog(Dialog* dialog);
    bool CloseDialogById(int id);
    // Never deletes at once: deletion goes to the application's deferred
    // deletion, so a dialog may be closed from its own button handler.
    bool CloseDialogEx(int id, bool removeWidget, bool deleteDialog);
    // Each by the id it is registered under, which need not be its own.
    void CloseAllDialogs();
    int DialogCount() const;
    // In the order they were registered; null past the end.
    Dialog* DialogAt(int index) const;

    void OnDialogButtonPressed(int dialogId, int buttonId) override;
    void OnDialogButtonClicked(int dialogId, int buttonId) override;

private:
    static int RoutedButtonId(int dialogId, int buttonId);

    WidgetManager& mManager;
    WidgetAppHost& mApp;
    ButtonListener& mButtons;
    std::map<int, Dialog*> mDialogMap;
    std::vector<Dialog*> mDialogList;
};

} // namespace Lumo
