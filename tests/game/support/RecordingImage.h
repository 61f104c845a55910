#pragma once

#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/Image.h"

#include <string>
#include <vector>

namespace GameTest {

// One operation a Graphics asked of its destination image.
struct DrawOp {
    std::string mOp;
    Lumo::Image* mSource = nullptr;
    int mX = 0;
    int mY = 0;
    Lumo::Rect mSrcRect{};
    Lumo::Rect mDestRect{};
    Lumo::Color mColor;
    int mDrawMode = 0;
    double mAngle = 0.0;
};

// A destination image that draws nothing and records every operation, so
// that a Graphics on it is a recording drawing context: positions arrive
// translated and clipped, colours as the context modulates them.
class RecordingImage : public Lumo::Image {
public:
    RecordingImage(int width = 800, int height = 600);

    void FillRect(const Lumo::Rect& rect, const Lumo::Color& color, int drawMode) override;
    void DrawRect(const Lumo::Rect& rect, const Lumo::Color& color, int drawMode) override;
    void ClearRect(const Lumo::Rect& rect) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Lumo::Color& color, int drawMode) override;
    void Blit(Lumo::Image* source, int x, int y, const Lumo::Rect& srcRect, const Lumo::Color& color,
              int drawMode) override;
    void BlitFloat(Lumo::Image* source, float x, float y, const Lumo::Rect& srcRect, const Lumo::Rect& clip,
                   const Lumo::Color& color, int drawMode) override;
    void BlitRotated(Lumo::Image* source, float x, float y, const Lumo::Rect& srcRect, const Lumo::Rect& clip,
                     const Lumo::Color& color, int drawMode, double angle, float centerX, float centerY) override;
    void BlitStretched(Lumo::Image* source, const Lumo::Rect& destRect, const Lumo::Rect& srcRect,
                       const Lumo::Rect& clip, const Lumo::Color& color, int drawMode, bool quick) override;
    void BlitWithAlphaMask(Lumo::Image* source, int x, int y, const Lumo::Rect& srcRect, Lumo::Image* mask,
                           const Lumo::Rect& maskRect, const Lumo::Color& color, int drawMode) override;
    void BlitMirrored(Lumo::Image* source, int x, int y, const Lumo::Rect& srcRect, const Lumo::Color& color,
                      int drawMode) override;

    std::vector<DrawOp> mOps;
};

// A drawing context whose destination records what is drawn.
struct RecordingGraphics {
    RecordingImage mImage;
    Lumo::Graphics mGraphics{&mImage};

    const std::vector<DrawOp>& Ops() const { return mImage.mOps; }
};

} // namespace GameTest
