#pragma once

#include "framework/graphics/Color.h"
#include "framework/widgets/WidgetContainer.h"

#include <string>
#include <vector>

namespace Lumo {

class Image;

// The base of every visible, interactive element. The manager sets pressed,
// hovered and (through GotFocus and LostFocus) focused; the widget only reads
// them.
class Widget : public WidgetContainer {
public:
    struct Insets {
        int32_t mLeft = 0;
        int32_t mTop = 0;
        int32_t mRight = 0;
        int32_t mBottom = 0;
    };

    bool mVisible = true;
    bool mHitTestable = true;
    bool mDisabled = false;
    bool mFocused = false;
    bool mPressed = false;
    bool mHovered = false;
    // With seeThrough, keeps the widget from counting as an opaque cover.
    bool mTranslucent = false;
    std::vector<Color> mColors;
    Insets mHitInsets;
    bool mHandCursor = false;
    bool mTakesFocus = false;
    Widget* mTabBackward = nullptr;
    Widget* mTabForward = nullptr;

    Widget() = default;
    ~Widget() override;

    virtual void StackOrderChanged();
    virtual void SetVisible(bool visible);
    virtual void SetColorsRGBA(const int (*colors)[4], int count);
    virtual void SetColorsRGB(const int (*colors)[3], int count);
    virtual void SetColor(int index, const Color& color);
    virtual Color GetColorOr(int index, const Color& defaultColor);
    virtual const Color& GetColor(int index);
    virtual void SetDisabled(bool disabled);
    virtual void SetHandCursor(bool hand);
    virtual void ResizeRect(const Rect& rect);
    virtual void Resize(int x, int y, int width, int height);
    virtual void Move(int x, int y);
    virtual bool WantsFocus();
    virtual void DrawOverlayPriority(Graphics& graphics, int level);
    virtual void DrawOverlay(Graphics& graphics);
    virtual void GotFocus();
    virtual void LostFocus();
    virtual void KeyChar(char ch);
    virtual void KeyDown(int key);
    virtual void KeyUp(int key);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseMove(int x, int y);
    // Buttons: 0 left, 1 right, 2 middle.
    virtual void MouseDown(int x, int y, int button, int clickCount);
    // Codes: 1 left, 2 left double, -1 right, -2 right double, 3 middle.
    virtual void MouseDownCount(int x, int y, int code);
    virtual void MouseUp(int x, int y, int button, int clickCount);
    virtual void MouseUpCount(int x, int y, int code);
    virtual void MouseUpAt(int x, int y);
    virtual void MouseDrag(int x, int y);
    virtual void MouseWheel(int delta);
    // False for points of an irregular shape that it does not cover.
    virtual bool AcceptsPoint(int x, int y);
    virtual Rect DrawCenteredLineShadowed(Graphics& graphics, int y, const std::string& text, const Color& color,
                                          const Color& shadowColor, int dx, int dy);
    virtual Rect DrawCenteredLine(Graphics& graphics, int y, const std::string& text);
    virtual int DrawColorCodedLine(Graphics& graphics, const std::string& text, int x, int y, int width,
                                   int justification, bool draw, int start, int length);
    virtual int DrawColorCodedWrapped(Graphics& graphics, const std::string& text, const Rect& rect,
                                      int lineSpacing, int justification);
    virtual int MeasureWrappedText(Graphics& graphics, int width, const std::string& text, int lineSpacing);
    virtual int CountDigits(int n);
    // The image holds the digits 0 to 9 side by side in equal cells.
    virtual void DrawDigitStrip(Graphics& graphics, int n, int x, int y, Image* image, int spacing);
    // In parent coordinates.
    virtual bool ContainsPoint(int x, int y);
    // The hit rectangle: the bounds less the hit insets, in parent coordinates.
    virtual Rect InnerRect();

private:
    int CenteredX(Graphics& graphics, const std::string& text);
};

} // namespace Lumo
