#pragma once

#include "framework/widgets/ButtonWidget.h"

namespace Lumo {

// A dialog's push button: the plain button look, or a face drawn as nine
// cells of a component image.
class DialogButton : public ButtonWidget {
public:
    Image* mComponentImage = nullptr;
    // Offset of the whole drawing while the button is held down.
    int32_t mTranslateX = 1;
    int32_t mTranslateY = 1;
    int32_t mTextOffsetX = 0;
    int32_t mTextOffsetY = 0;

    DialogButton(int id, ButtonListener* listener);

    void Draw(Graphics& graphics) override;

private:
    void DrawFace(Graphics& graphics, bool down);
};

} // namespace Lumo
