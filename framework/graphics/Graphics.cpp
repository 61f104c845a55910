#include "framework/graphics/Graphics.h"

#include "framework/graphics/images/Image.h"

#include <cmath>

namespace Lumo {

namespace {

// The destination of contexts made without one: 0 x 0, so every draw is
// clipped away and the base operations draw nothing anyway.
Image& EmptyImage()
{
    static Image sEmpty;
    return sEmpty;
}

// Source rectangles may come from content files: anything not wholly inside
// the image would make the blits read outside its pixels.
bool SourceInside(const Image& image, const Rect& src)
{
    return src.mX >= 0 && src.mY >= 0 && src.mWidth >= 0 && src.mHeight >= 0 &&
           int64_t(src.mX) + src.mWidth <= image.mWidth && int64_t(src.mY) + src.mHeight <= image.mHeight;
}

Rect WholeImage(const Image& image) { return Rect{0, 0, image.mWidth, image.mHeight}; }

// Tiles of size step needed to cover span; none for a span of 0 or less.
int TileCount(int span, int step) { return (span + step - 1) / step; }

} // namespace

Graphics::Graphics(Image* destImage)
{
    mDestImage = destImage ? destImage : &EmptyImage();
    mClipRect = DestinationBounds();
}

Graphics::Graphics(const Graphics& other) : GraphicsState(other) {}

Graphics::~Graphics() = default;

Graphics* Graphics::CreateCopy() const { return new Graphics(*this); }

void Graphics::PushState() { mStateStack.push_back(*this); }

void Graphics::PopState()
{
    if (mStateStack.empty())
        return;
    static_cast<GraphicsState&>(*this) = mStateStack.back();
    mStateStack.pop_back();
}

void Graphics::SetColor(const Color& color) { mColor = color; }

const Color& Graphics::GetColor() const { return mColor; }

void Graphics::SetFont(Font* font) { mFont = font; }

Font* Graphics::GetFont() const { return mFont; }

void Graphics::SetDrawMode(int drawMode) { mDrawMode = drawMode; }

int Graphics::GetDrawMode() const { return mDrawMode; }

void Graphics::SetTintImages(bool tint) { mTintImages = tint; }

bool Graphics::GetTintImages() const { return mTintImages; }

void Graphics::SetQuickStretch(bool quick) { mQuickStretch = quick; }

void Graphics::Translate(int dx, int dy)
{
    mTransX += float(dx);
    mTransY += float(dy);
}

void Graphics::ResetClip() { mClipRect = DestinationBounds(); }

void Graphics::SetClipRect(int x, int y, int width, int height)
{
    mClipRect = Rect{TranslateX(x), TranslateY(y), width, height}.Intersect(DestinationBounds());
}

void Graphics::SetClipRectR(const Rect& rect) { SetClipRect(rect.mX, rect.mY, rect.mWidth, rect.mHeight); }

void Graphics::NarrowClipRect(int x, int y, int width, int height)
{
    mClipRect = Rect{TranslateX(x), TranslateY(y), width, height}.Intersect(mClipRect);
}

void Graphics::FillRect(int x, int y, int width, int height)
{
    if (mColor.mAlpha == 0)
        return;
    // Called even when clipped away: the image ignores empty rectangles.
    mDestImage->FillRect(Rect{TranslateX(x), TranslateY(y), width, height}.Intersect(mClipRect), mColor,
                         mDrawMode);
}

void Graphics::FillRectR(const Rect& rect) { FillRect(rect.mX, rect.mY, rect.mWidth, rect.mHeight); }

void Graphics::FillRectRWrap(const Rect& rect) { FillRectR(rect); }

void Graphics::DrawRect(int x, int y, int width, int height)
{
    if (mColor.mAlpha == 0)
        return;
    const int destX = TranslateX(x);
    const int destY = TranslateY(y);
    const Rect outline{destX, destY, width + 1, height + 1};
    // A negative size makes the image's outline reach left of or above the
    // rectangle, past what the clip test covered.
    if (width >= 0 && height >= 0 && outline.Intersect(mClipRect) == outline) {
        mDestImage->DrawRect(Rect{destX, destY, width, height}, mColor, mDrawMode);
        return;
    }
    FillRect(x, y, width + 1, 1);
    FillRect(x, y + height, width + 1, 1);
    FillRect(x, y + 1, 1, height - 1);
    FillRect(x + width, y + 1, 1, height - 1);
}

void Graphics::ClearRectArea(int x, int y, int width, int height)
{
    mDestImage->ClearRect(Rect{TranslateX(x), TranslateY(y), width, height}.Intersect(mClipRect));
}

void Graphics::ClearRectArea(const Rect& rect) { ClearRectArea(rect.mX, rect.mY, rect.mWidth, rect.mHeight); }

void Graphics::DrawImage(Image* image, int x, int y) { DrawImageSrcRect(image, x, y, WholeImage(*image)); }

void Graphics::DrawImageSrcRect(Image* image, int x, int y, const Rect& srcRect)
{
    if (!SourceInside(*image, srcRect))
        return;
    const int destX = TranslateX(x);
    const int destY = TranslateY(y);
    if (mScaleX == 1.0f && mScaleY == 1.0f) {
        // Blit takes no clip: cut the source to what the clip lets through.
        const Rect dest = Rect{destX, destY, srcRect.mWidth, srcRect.mHeight}.Intersect(mClipRect);
        if (dest.mWidth < 1 || dest.mHeight < 1)
            return;
        const Rect cut{srcRect.mX + dest.mX - destX, srcRect.mY + dest.mY - destY, dest.mWidth, dest.mHeight};
        mDestImage->Blit(image, dest.mX, dest.mY, cut, ModulationColor(), mDrawMode);
        return;
    }
    // Single precision throughout, each product rounded to a float first.
    const float width = float(srcRect.mWidth) * mScaleX;
    const float height = float(srcRect.mHeight) * mScaleY;
    const float left = std::floor((float(destX) - mScaleOrigX) * mScaleX) + mScaleOrigX;
    const float top = std::floor((float(destY) - mScaleOrigY) * mScaleY) + mScaleOrigY;
    const Rect dest{int(left), int(top), int(std::ceil(width)), int(std::ceil(height))};
    mDestImage->BlitStretched(image, dest, srcRect, mClipRect, ModulationColor(), mDrawMode, mQuickStretch);
}

void Graphics::DrawImageSized(Image* image, int width, int height)
{
    const Rect dest{int(mTransX), int(mTransY), width, height};
    mDestImage->BlitStretched(image, dest, WholeImage(*image), mClipRect, ModulationColor(), mDrawMode,
                              mQuickStretch);
}

void Graphics::DrawImageStretched(Image* image, const Rect& destRect, const Rect& srcRect)
{
    if (!SourceInside(*image, srcRect))
        return;
    const Rect dest{TranslateX(destRect.mX), TranslateY(destRect.mY), destRect.mWidth, destRect.mHeight};
    mDestImage->BlitStretched(image, dest, srcRect, mClipRect, ModulationColor(), mDrawMode, mQuickStretch);
}

void Graphics::DrawImageRotated(Image* image, int x, int y, double angle, const Rect* srcRect)
{
    const Rect centreOf = srcRect ? *srcRect : WholeImage(*image);
    DrawImageRotatedAt(image, x, y, angle, centreOf.mWidth / 2, centreOf.mHeight / 2, srcRect);
}

void Graphics::DrawImageRotatedAt(Image* image, int x, int y, double angle, int centerX, int centerY,
                                  const Rect* srcRect)
{
    DrawImageRotatedF(image, float(x), float(y), float(centerX), float(centerY), srcRect, angle);
}

void Graphics::DrawImageRotatedF(Image* image, float x, float y, float centerX, float centerY, const Rect* srcRect,
                                 double angle)
{
    const Rect src = srcRect ? *srcRect : WholeImage(*image);
    if (!SourceInside(*image, src))
        return;
    mDestImage->BlitRotated(image, mTransX + x, mTransY + y, src, mClipRect, ModulationColor(), mDrawMode, angle,
                            centerX, centerY);
}

void Graphics::DrawNineCellImage(Image* image, const Rect& destRect)
{
    DrawNineCellImageFrom(image, destRect, WholeImage(*image));
}

void Graphics::DrawNineCellImageFrom(Image* image, const Rect& destRect, const Rect& srcRect)
{
    if (srcRect.mWidth < 1 || srcRect.mHeight < 1 || !SourceInside(*image, srcRect))
        return;
    const Rect& d = destRect;
    const int cw = srcRect.mWidth / 3;
    const int ch = srcRect.mHeight / 3;
    const int mw = srcRect.mWidth - 2 * cw;
    const int mh = srcRect.mHeight - 2 * ch;
    const int left = srcRect.mX;
    const int middleX = srcRect.mX + cw;
    const int rightX = srcRect.mX + cw + mw;
    const int top = srcRect.mY;
    const int middleY = srcRect.mY + ch;
    const int bottomY = srcRect.mY + ch + mh;
    const int farX = d.mX + d.mWidth - cw;
    const int farY = d.mY + d.mHeight - ch;

    DrawImageSrcRect(image, d.mX, d.mY, Rect{left, top, cw, ch});
    DrawImageSrcRect(image, farX, d.mY, Rect{rightX, top, cw, ch});
    DrawImageSrcRect(image, d.mX, farY, Rect{left, bottomY, cw, ch});
    DrawImageSrcRect(image, farX, farY, Rect{rightX, bottomY, cw, ch});

    // Edges and centre are tiled; each on a copy whose clip cuts the last tile.
    const int across = TileCount(d.mWidth - 2 * cw, mw);
    const int down = TileCount(d.mHeight - 2 * ch, mh);

    Graphics horizontal(*this);
    horizontal.NarrowClipRect(d.mX + cw, d.mY, d.mWidth - 2 * cw, d.mHeight);
    for (int i = 0; i < across; ++i) {
        horizontal.DrawImageSrcRect(image, d.mX + cw + i * mw, d.mY, Rect{middleX, top, mw, ch});
        horizontal.DrawImageSrcRect(image, d.mX + cw + i * mw, farY, Rect{middleX, bottomY, mw, ch});
    }

    Graphics vertical(*this);
    vertical.NarrowClipRect(d.mX, d.mY + ch, d.mWidth, d.mHeight - 2 * ch);
    for (int j = 0; j < down; ++j) {
        vertical.DrawImageSrcRect(image, d.mX, d.mY + ch + j * mh, Rect{left, middleY, cw, mh});
        vertical.DrawImageSrcRect(image, farX, d.mY + ch + j * mh, Rect{rightX, middleY, cw, mh});
    }

    Graphics centre(*this);
    centre.NarrowClipRect(d.mX + cw, d.mY + ch, d.mWidth - 2 * cw, d.mHeight - 2 * ch);
    for (int i = 0; i < across; ++i) {
        for (int j = 0; j < down; ++j)
            centre.DrawImageSrcRect(image, d.mX + cw + i * mw, d.mY + ch + j * mh, Rect{middleX, middleY, mw, mh});
    }
}

void Graphics::DrawImageMasked(Image* image, int x, int y, const Rect& srcRect, Image* mask, int maskX, int maskY)
{
    if (!SourceInside(*image, srcRect))
        return;
    const Rect visible = Rect{x, y, srcRect.mWidth, srcRect.mHeight}.Intersect(mClipRect);
    if (visible.mWidth < 1 || visible.mHeight < 1)
        return;
    const Rect k = Rect{maskX, maskY, mask->mWidth, mask->mHeight}.Intersect(visible);
    if (k.mWidth < 1 || k.mHeight < 1)
        return;
    const Rect imageRect{srcRect.mX + k.mX - x, srcRect.mY + k.mY - y, k.mWidth, k.mHeight};
    const Rect maskRect{k.mX - maskX, k.mY - maskY, k.mWidth, k.mHeight};
    mDestImage->BlitWithAlphaMask(image, k.mX, k.mY, imageRect, mask, maskRect, ModulationColor(), mDrawMode);
}

int Graphics::TranslateX(int x) const { return int(mTransX + float(x)); }

int Graphics::TranslateY(int y) const { return int(mTransY + float(y)); }

Rect Graphics::DestinationBounds() const { return WholeImage(*mDestImage); }

const Color& Graphics::ModulationColor() const { return mTintImages ? mColor : Color::White; }

} // namespace Lumo
