#pragma once

namespace Lumo {

// Receives the button events of dialogs: buttons 1000 (yes, OK or the single
// button) and 1001 (no, cancel).
class DialogListener {
public:
    virtual ~DialogListener() = default;

    virtual void OnDialogButtonPressed(int dialogId, int buttonId) = 0;
    virtual void OnDialogButtonClicked(int dialogId, int buttonId) = 0;
};

} // namespace Lumo
