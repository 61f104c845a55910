#include "framework/display/D3DInterface.h"
#include "framework/display/PolygonClipper.h"
#include "framework/display/TextureData.h"
#include "framework/graphics/images/MemoryImage.h"

namespace Lumo {

using namespace Platform;

namespace {

D3DTLVERTEX PlainVertex(float x, float y, uint32_t color)
{
    D3DTLVERTEX vertex;
    vertex.sx = x;
    vertex.sy = y;
    vertex.color = color;
    return vertex;
}

} // namespace

TextureData* D3DInterface::PrepareTextured(Image* image, int drawMode, bool linear)
{
    if (!PreDraw())
        return nullptr;
    auto* memory = dynamic_cast<MemoryImage*>(image);
    if (!memory || !CreateImageTexture(memory))
        return nullptr;
    SetBlendMode(drawMode);
    SetLinearFilter(linear);
    return memory->textureData;
}

bool D3DInterface::PrepareUntextured(int drawMode)
{
    if (!PreDraw())
        return false;
    SetBlendMode(drawMode);
    CheckResult("SetTexture NULL", mDevice->SetTexture(0, nullptr));
    return true;
}

void D3DInterface::Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                       bool linear)
{
    if (TextureData* textures = PrepareTextured(image, drawMode, linear))
        textures->Blt(this, srcRect, PackColor(color), x, y);
}

void D3DInterface::BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                        int drawMode)
{
    TextureData* textures = PrepareTextured(image, drawMode, true);
    if (!textures)
        return;
    Matrix3 transform;
    transform.Translate(x, y);
    textures->BltTransformed(this, PackColor(color), transform, srcRect, &clip, 0, 0, false);
}

void D3DInterface::BltMirror(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode)
{
    TextureData* textures = PrepareTextured(image, drawMode, false);
    if (!textures)
        return;
    Matrix3 transform;
    transform.Translate(-float(srcRect.mWidth), 0);
    transform.Scale(-1, 1);
    transform.Translate(x, y);
    textures->BltTransformed(this, PackColor(color), transform, srcRect, nullptr, 0, 0, false);
}

void D3DInterface::BltStretched(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                const Color& color, int drawMode, bool quick, bool mirror)
{
    if (srcRect.mWidth <= 0 || srcRect.mHeight <= 0)
        return;
    TextureData* textures = PrepareTextured(image, drawMode, !quick);
    if (!textures)
        return;
    const float sx = float(destRect.mWidth) / float(srcRect.mWidth);
    const float sy = float(destRect.mHeight) / float(srcRect.mHeight);
    Matrix3 transform;
    if (mirror) {
        transform.Translate(-float(srcRect.mWidth), 0);
        transform.Scale(-sx, sy);
    } else {
        transform.Scale(sx, sy);
    }
    transform.Translate(float(destRect.mX), float(destRect.mY));
    textures->BltTransformed(this, PackColor(color), transform, srcRect, &clip, 0, 0, false);
}

void D3DInterface::BltRotated(Image* image, float x, float y, const Rect& clip, const Color& color, int drawMode,
                              float centerX, float centerY, const Rect& srcRect, double angle)
{
    TextureData* textures = PrepareTextured(image, drawMode, true);
    if (!textures)
        return;
    Matrix3 transform;
    transform.Translate(-centerX, -centerY);
    transform.Rotate(float(angle));
    transform.Translate(x + centerX, y + centerY);
    textures->BltTransformed(this, PackColor(color), transform, srcRect, &clip, 0, 0, false);
}

void D3DInterface::BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode,
                                  const Rect& srcRect, const Matrix3& transform, bool linear, float tx, float ty,
                                  bool center)
{
    if (TextureData* textures = PrepareTextured(image, drawMode, linear))
        textures->BltTransformed(this, PackColor(color), transform, srcRect, clip, tx, ty, center);
}

void D3DInterface::BltTriangles(Image* image, const TriVertex (*triangles)[3], int triangleCount, const Color& color,
                                int drawMode, float tx, float ty, bool linear)
{
    if (TextureData* textures = PrepareTextured(image, drawMode, linear))
        textures->BltTriangles(this, triangles, triangleCount, PackColor(color), tx, ty);
}

void D3DInterface::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    if (!PrepareUntextured(drawMode))
        return;
    const uint32_t packed = PackColor(color);
    const float x0 = float(rect.mX) - 0.5f;
    const float y0 = float(rect.mY) - 0.5f;
    const float w = float(rect.mWidth), h = float(rect.mHeight);
    const D3DTLVERTEX strip[4] = {PlainVertex(x0, y0, packed), PlainVertex(x0, y0 + h, packed),
                                  PlainVertex(x0 + w, y0, packed), PlainVertex(x0 + w, y0 + h, packed)};
    CheckResult("DrawPrimitive (Rect)", mDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip, 4, 0));
}

void D3DInterface::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (!PrepareUntextured(drawMode))
        return;
    const uint32_t packed = PackColor(color);
    const D3DTLVERTEX strip[3] = {PlainVertex(float(x1), float(y1), packed),
                                  PlainVertex(float(x2), float(y2), packed),
                                  PlainVertex(float(x2) + 0.5f, float(y2) + 0.5f, packed)};
    CheckResult("DrawPrimitive (Line)", mDevice->DrawPrimitive(D3DPT_LINESTRIP, D3DFVF_TLVERTEX, strip, 3, 0));
}

void D3DInterface::FillPoly(const int32_t* points, int pointCount, const Rect* clip, const Color& color,
                            int drawMode, int tx, int ty)
{
    if (pointCount < 3 || !PrepareUntextured(drawMode))
        return;
    const uint32_t packed = PackColor(color);
    VertexList polygon;
    for (int i = 0; i < pointCount; ++i)
        polygon.Add(PlainVertex(float(points[2 * i] + tx), float(points[2 * i + 1] + ty), packed));
    if (clip) {
        PolygonClipper::DrawClippedPolygon(this, *clip, polygon);
        return;
    }
    CheckResult("DrawPrimitive (FillPoly)", mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX,
                                                                   polygon.Data(), uint32_t(pointCount), 0));
}

} // namespace Lumo
