#include "platform/backends/headless/HeadlessDialog.h"

#include "platform/process/Clock.h"
#include "platform/process/Log.h"
#include "platform/windows/EditTyping.h"
#include "platform/windows/WindowConstants.h"

namespace Platform {

HeadlessDialog::HeadlessDialog(std::shared_ptr<HeadlessDialogDesk> desk, const DialogLayout& layout)
    : mDesk(std::move(desk)), mLayout(layout)
{
    std::lock_guard<std::mutex> lock(mDesk->lock);
    mRecord = mDesk->shown.size();
    mDesk->shown.push_back(ShownDialog{layout, false, {}});
}

void HeadlessDialog::Show(bool visible)
{
    std::lock_guard<std::mutex> lock(mDesk->lock);
    mDesk->shown[mRecord].visible = visible;
}

void HeadlessDialog::SetControlText(size_t control, const std::string& text)
{
    if (control >= mLayout.controls.size())
        return;
    mLayout.controls[control].text = text;
    std::lock_guard<std::mutex> lock(mDesk->lock);
    mDesk->shown[mRecord].textChanges.emplace_back(control, text);
}

std::string HeadlessDialog::ControlText(size_t control)
{
    return control < mLayout.controls.size() ? mLayout.controls[control].text : std::string();
}

DialogEvent HeadlessDialog::Wait(uint32_t timeoutMillis)
{
    std::optional<DialogAction> due;
    bool anyLeft = false;
    {
        std::lock_guard<std::mutex> lock(mDesk->lock);
        for (auto it = mDesk->script.begin(); it != mDesk->script.end(); ++it) {
            if (it->title != mLayout.title)
                continue;
            anyLeft = true;
            if (it->afterMillis <= mWaited) {
                due = *it;
                mDesk->script.erase(it);
            }
            break;
        }
    }
    if (due)
        return Perform(*due);
    Platform::Sleep(timeoutMillis);
    mWaited += timeoutMillis;
    return DialogEvent{anyLeft ? DialogEvent::Kind::None : DialogEvent::Kind::Close, 0};
}

DialogEvent HeadlessDialog::Perform(const DialogAction& action)
{
    if (action.kind == DialogAction::Kind::Close)
        return DialogEvent{DialogEvent::Kind::Close, 0};
    if (action.kind == DialogAction::Kind::Type) {
        if (mLayout.focus >= 0) {
            DialogControl& control = mLayout.controls[size_t(mLayout.focus)];
            for (char key : action.text)
                TypeIntoEdit(control.text, key);
        }
        return DialogEvent{};
    }
    for (size_t i = 0; i < mLayout.controls.size(); ++i) {
        const DialogControl& control = mLayout.controls[i];
        if (control.className == "BUTTON" && control.text == action.text) {
            if (control.style & WS_DISABLED)
                break;
            return DialogEvent{DialogEvent::Kind::Pressed, i};
        }
    }
    LogLine("Dialog \"" + mLayout.title + "\": no button \"" + action.text + "\" to press");
    return DialogEvent{};
}

} // namespace Platform
