#pragma once

#include "framework/widgets/Dialog.h"
#include "framework/widgets/TextEntryListener.h"

#include <memory>
#include <string>

namespace Lumo {

class EditWidget;
class LumoAppBase;

// "Jump To Time": an edit box for the time before the end, "Ok" (or Enter)
// jumps there and remembers the text, "Cancel" ends without a jump.
class DemoJumpDialog : public Dialog, public TextEntryListener {
public:
    static constexpr int kDialogId = 900002;
    static constexpr int kEditId = 100;
    static constexpr int kEditHeight = 24;

    DemoJumpDialog(LumoAppBase* app, const std::string& storedText);
    ~DemoJumpDialog() override;

    // Sizes the box and places the edit box above the buttons.
    void Layout(int width);
    void OnButtonClicked(int id) override;

    void TextEntered(int id, const std::string& text) override;
    bool AllowKey(int, int) override { return true; }
    bool AllowChar(int, char&) override { return true; }
    bool AllowText(int, const std::string&) override { return true; }

    LumoAppBase* mOwner;
    std::unique_ptr<EditWidget> mEdit;
};

} // namespace Lumo
