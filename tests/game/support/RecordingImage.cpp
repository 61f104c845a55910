#include "tests/game/support/RecordingImage.h"

namespace GameTest {

RecordingImage::RecordingImage(int width, int height)
{
    mWidth = width;
    mHeight = height;
}

void RecordingImage::FillRect(const Lumo::Rect& rect, const Lumo::Color& color, int drawMode)
{
    mOps.push_back({"FillRect", nullptr, rect.mX, rect.mY, {}, rect, color, drawMode, 0.0});
}

void RecordingImage::DrawRect(const Lumo::Rect& rect, const Lumo::Color& color, int drawMode)
{
    mOps.push_back({"DrawRect", nullptr, rect.mX, rect.mY, {}, rect, color, drawMode, 0.0});
}

void RecordingImage::ClearRect(const Lumo::Rect& rect)
{
    mOps.push_back({"ClearRect", nullptr, rect.mX, rect.mY, {}, rect, {}, 0, 0.0});
}

void RecordingImage::DrawLine(double x1, double y1, double x2, double y2, const Lumo::Color& color, int drawMode)
{
    mOps.push_back({"DrawLine", nullptr, int(x1), int(y1), {}, {int(x1), int(y1), int(x2), int(y2)}, color, drawMode, 0.0});
}

void RecordingImage::Blit(Lumo::Image* source, int x, int y, const Lumo::Rect& srcRect, const Lumo::Color& color,
                          int drawMode)
{
    mOps.push_back({"Blit", source, x, y, srcRect, {}, color, drawMode, 0.0});
}

void RecordingImage::BlitFloat(Lumo::Image* source, float x, float y, const Lumo::Rect& srcRect,
                               const Lumo::Rect& clip, const Lumo::Color& color, int drawMode)
{
    mOps.push_back({"BlitFloat", source, int(x), int(y), srcRect, clip, color, drawMode, 0.0});
}

void RecordingImage::BlitRotated(Lumo::Image* source, float x, float y, const Lumo::Rect& srcRect,
                                 const Lumo::Rect& clip, const Lumo::Color& color, int drawMode, double angle,
                                 float, float)
{
    mOps.push_back({"BlitRotated", source, int(x), int(y), srcRect, clip, color, drawMode, angle});
}

void RecordingImage::BlitStretched(Lumo::Image* source, const Lumo::Rect& destRect, const Lumo::Rect& srcRect,
                                   const Lumo::Rect&, const Lumo::Color& color, int drawMode, bool)
{
    mOps.push_back({"BlitStretched", source, destRect.mX, destRect.mY, srcRect, destRect, color, drawMode, 0.0});
}

void RecordingImage::BlitWithAlphaMask(Lumo::Image* source, int x, int y, const Lumo::Rect& srcRect, Lumo::Image*,
                                       const Lumo::Rect& maskRect, const Lumo::Color& color, int drawMode)
{
    mOps.push_back({"BlitWithAlphaMask", source, x, y, srcRect, maskRect, color, drawMode, 0.0});
}

void RecordingImage::BlitMirrored(Lumo::Image* source, int x, int y, const Lumo::Rect& srcRect,
                                  const Lumo::Color& color, int drawMode)
{
    mOps.push_back({"BlitMirrored", source, x, y, srcRect, {}, color, drawMode, 0.0});
}

} // namespace GameTest
