#pragma once

#include "framework/graphics/GraphicsState.h"

#include <string>
#include <vector>

namespace Lumo {

// The drawing context. It works out positions (translation, scale), clipping
// and the modulation colour, then calls one operation of its destination
// image; it never touches pixels itself. A context made without a
// destination draws on a shared empty image: nothing shows, but text can be
// measured.
//
// Positions are ints added to the float translation and truncated toward
// zero; widths and heights are never translated. A source rectangle that is
// not wholly inside its image draws nothing.
class Graphics : public GraphicsState {
public:
    explicit Graphics(Image* destImage = nullptr);
    // Copies the state; the copy's state stack starts empty.
    Graphics(const Graphics& other);
    Graphics& operator=(const Graphics&) = delete;
    virtual ~Graphics();

    // A heap copy owned by the caller.
    Graphics* CreateCopy() const;

    void PushState();
    // Does nothing on an empty stack.
    void PopState();

    void SetColor(const Color& color);
    const Color& GetColor() const;
    void SetFont(Font* font);
    Font* GetFont() const;
    void SetDrawMode(int drawMode);
    int GetDrawMode() const;
    void SetTintImages(bool tint);
    bool GetTintImages() const;
    void SetQuickStretch(bool quick);

    void Translate(int dx, int dy);
    void ResetClip();
    // The translated rectangle within the destination; replaces the clip.
    void SetClipRect(int x, int y, int width, int height);
    void SetClipRectR(const Rect& rect);
    // The translated rectangle within the current clip.
    void NarrowClipRect(int x, int y, int width, int height);

    void FillRect(int x, int y, int width, int height);
    void FillRectR(const Rect& rect);
    // The same fill under the second name the game calls it by.
    void FillRectRWrap(const Rect& rect);
    // Outline covering width + 1 by height + 1 pixels.
    void DrawRect(int x, int y, int width, int height);
    void ClearRectArea(int x, int y, int width, int height);
    void ClearRectArea(const Rect& rect);

    void DrawImage(Image* image, int x, int y);
    void DrawImageSrcRect(Image* image, int x, int y, const Rect& srcRect);
    // The whole image stretched to width x height at the translation point.
    void DrawImageSized(Image* image, int width, int height);
    void DrawImageStretched(Image* image, const Rect& destRect, const Rect& srcRect);
    // About the centre of srcRect, or of the whole image when srcRect is null.
    void DrawImageRotated(Image* image, int x, int y, double angle, const Rect* srcRect = nullptr);
    void DrawImageRotatedAt(Image* image, int x, int y, double angle, int centerX, int centerY,
                            const Rect* srcRect = nullptr);
    // The centre is relative to the source rectangle's top-left corner.
    void DrawImageRotatedF(Image* image, float x, float y, float centerX, float centerY, const Rect* srcRect,
                           double angle);
    // Corners drawn once, edges and centre tiled (never stretched).
    void DrawNineCellImage(Image* image, const Rect& destRect);
    void DrawNineCellImageFrom(Image* image, const Rect& destRect, const Rect& srcRect);
    // In destination pixels: the translation is not applied.
    void DrawImageMasked(Image* image, int x, int y, const Rect& srcRect, Image* mask, int maskX, int maskY);

    // Text. Justification 0 centres, 1 aligns right, anything else left.
    // An old colour is packed 0xAARRGGBB; -1 stands for the current colour.
    void DrawText(const std::string& text, int x, int y);
    int TextWidth(const std::string& text);
    // Width of length characters from start (length -1: to the end) with
    // colour codes removed; draws them when draw is set. A colour set by a
    // code stays current after the call.
    int DrawColorCodedString(const std::string& text, int x, int y, int width, int justification, bool draw,
                             int start, int length, int oldColor);
    // -1 when nothing of the text is left from start.
    int DrawWrappedLine(const std::string& text, int start, int length, int x, int y, int width,
                        int justification, int oldColor);
    // Wraps into rect's width; returns the height of the text. Line spacing
    // -1 takes the font's.
    int DrawWordWrapped(const std::string& text, const Rect& rect, int lineSpacing, int justification);
    // What DrawWordWrapped would return, without drawing.
    int MeasureWrappedText(int width, const std::string& text, int lineSpacing);

private:
    int TranslateX(int x) const;
    int TranslateY(int y) const;
    Rect DestinationBounds() const;
    const Color& ModulationColor() const;

    std::vector<GraphicsState> mStateStack;
};

} // namespace Lumo
