#pragma once

#include "framework/widgets/Dialog.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Lumo {

class ButtonWidget;
class LumoAppBase;

// "Marker List": one row per marker still ahead; a double-click on a row
// jumps there and ends the dialog, the footer button ends it without a jump.
class DemoMarkerDialog : public Dialog {
public:
    static constexpr int kDialogId = 900001;
    static constexpr int kFirstEntryId = 2000;
    static constexpr int kRowHeight = 20;

    DemoMarkerDialog(LumoAppBase* app, std::vector<std::pair<std::string, int32_t>> entries);
    ~DemoMarkerDialog() override;

    // Sizes the box for its rows and places them above the footer button.
    void Layout(int width);
    void OnButtonPressedCount(int id, int clickCount) override;

    LumoAppBase* mOwner;
    std::vector<std::pair<std::string, int32_t>> mEntries;
    std::vector<std::unique_ptr<ButtonWidget>> mRows;
};

} // namespace Lumo
