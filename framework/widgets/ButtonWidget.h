#pragma once

#include "framework/widgets/Widget.h"

#include <memory>
#include <string>

namespace Lumo {

class ButtonListener;
class Font;
class Image;

// A push button with a label, drawn as a framed box from its colours or from
// state images (or cells of the normal image), with an optional fade of the
// hover image. Events go to the listener; a null listener hears nothing.
class ButtonWidget : public Widget {
public:
    int32_t mId;
    std::string mLabel;
    // 0 centred, 1 right-aligned, other values left-aligned.
    int32_t mLabelAlign = 0;
    Font* mFont = nullptr;
    Image* mNormalImage = nullptr;
    Image* mHoverImage = nullptr;
    Image* mPressedImage = nullptr;
    Image* mDisabledImage = nullptr;
    // Cells of the normal image; a cell is set when its width is not 0.
    Rect mNormalCell{0, 0, 0, 0};
    Rect mHoverCell{0, 0, 0, 0};
    Rect mPressedCell{0, 0, 0, 0};
    Rect mDisabledCell{0, 0, 0, 0};
    bool mInvertPressed = false;
    bool mDrawNothing = false;
    bool mDrawNoFrame = false;
    ButtonListener* mListener;
    double mHoverAlpha = 0.0;
    double mHoverFadeOutStep = 0.0;
    double mHoverFadeInStep = 0.0;

    ButtonWidget(int id, ButtonListener* listener);
    ~ButtonWidget() override;

    void Update() override;
    void Draw(Graphics& graphics) override;
    void SetDisabled(bool disabled) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;

    virtual void DrawStateImage(Graphics& graphics, Image* image, const Rect& cell, int x, int y);
    // The button does not own the font.
    virtual void SetLabelFont(Font* font);
    virtual bool IsShownPressed();

    static bool HasImage(Image* image, const Rect& cell) { return image != nullptr || cell.mWidth != 0; }

protected:
    // Creates the label's font on first use when there is a label but none.
    void EnsureLabelFont(int pointSize, int charSet);

private:
    std::unique_ptr<Font> mOwnedFont;

    bool LooksAffectedByHover();
    void DrawFramed(Graphics& graphics, bool down, int* labelX, int* labelY);
    void DrawImages(Graphics& graphics, bool down, int* labelX, int* labelY);
};

} // namespace Lumo
