#pragma once

#include "platform/windows/DialogWindow.h"

#include <deque>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// What a test's user does in a headless dialog window.
struct DialogAction {
    enum class Kind { Type, Press, Close };
    std::string title; // the window it is meant for
    Kind kind = Kind::Press;
    // Type: the keys ('\r' Return, '\b' Backspace); Press: the button's text.
    std::string text;
    // How long the window must have waited for its user first.
    uint32_t afterMillis = 0;
};

// A dialog window as a test sees it afterwards.
struct ShownDialog {
    DialogLayout layout;
    bool visible = false;
    // Every text the program set in a control, in order.
    std::vector<std::pair<size_t, std::string>> textChanges;
};

// The script and the record of the headless dialog windows, shared with the
// windows themselves, which may live on another thread.
struct HeadlessDialogDesk {
    std::mutex lock;
    std::deque<DialogAction> script;
    std::vector<ShownDialog> shown;
};

// Answers from the script: the window's next action once it has waited long
// enough, else a wait on the clock. A window with no action left is closed
// by its user after the wait, so that nothing waits long on a user who is
// not there.
class HeadlessDialog final : public DialogWindow {
public:
    HeadlessDialog(std::shared_ptr<HeadlessDialogDesk> desk, const DialogLayout& layout);

    void Show(bool visible) override;
    void SetControlText(size_t control, const std::string& text) override;
    std::string ControlText(size_t control) override;
    DialogEvent Wait(uint32_t timeoutMillis) override;

private:
    DialogEvent Perform(const DialogAction& action);

    std::shared_ptr<HeadlessDialogDesk> mDesk;
    DialogLayout mLayout;
    size_t mRecord;
    uint32_t mWaited = 0;
};

} // namespace Platform
