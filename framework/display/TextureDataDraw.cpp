#include "framework/display/D3DInterface.h"
#include "framework/display/PolygonClipper.h"
#include "framework/display/TextureData.h"

#include <algorithm>
#include <cmath>

namespace Lumo {

using namespace Platform;

namespace {

D3DTLVERTEX Vertex(float x, float y, float u, float v, uint32_t color)
{
    D3DTLVERTEX vertex;
    vertex.sx = x;
    vertex.sy = y;
    vertex.color = color;
    vertex.tu = u;
    vertex.tv = v;
    return vertex;
}

// Calls draw(texture, source x, source y, width, height, u and v bounds) for
// each part of the source rectangle that one piece holds, row band by row
// band, left to right.
template <typename Draw>
void ForEachPiece(TextureData& textures, const Rect& srcRect, Draw&& draw)
{
    const int right = srcRect.mX + srcRect.mWidth;
    const int bottom = srcRect.mY + srcRect.mHeight;
    for (int y = srcRect.mY; y < bottom;) {
        int band = 0;
        for (int x = srcRect.mX; x < right;) {
            int w = right - x;
            int h = bottom - y;
            float u0, v0, u1, v1;
            IDirectDrawSurface7* texture = textures.GetTexture(x, y, &w, &h, &u0, &v0, &u1, &v1);
            if (!texture || w <= 0 || h <= 0)
                return;
            draw(texture, x - srcRect.mX, y - srcRect.mY, w, h, u0, v0, u1, v1);
            x += w;
            band = h;
        }
        y += band;
    }
}

} // namespace

void TextureData::Blt(D3DInterface* owner, const Rect& srcRect, uint32_t color, float x, float y)
{
    if (srcRect.mWidth <= 0 || srcRect.mHeight <= 0)
        return;
    IDirect3DDevice7* device = owner->GetDevice();
    ForEachPiece(*this, srcRect,
                 [&](IDirectDrawSurface7* texture, int dx, int dy, int w, int h, float u0, float v0, float u1,
                     float v1) {
                     const float x0 = x + float(dx) - 0.5f;
                     const float y0 = y + float(dy) - 0.5f;
                     const D3DTLVERTEX strip[4] = {
                         Vertex(x0, y0, u0, v0, color), Vertex(x0, y0 + float(h), u0, v1, color),
                         Vertex(x0 + float(w), y0, u1, v0, color), Vertex(x0 + float(w), y0 + float(h), u1, v1, color)};
                     owner->CheckResult("SetTexture gTexture", device->SetTexture(0, texture));
                     owner->CheckResult("DrawPrimitive (Tri) 1",
                                        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip, 4, 0));
                 });
}

void TextureData::BltTransformed(D3DInterface* owner, uint32_t color, const Matrix3& transform, const Rect& srcRect,
                                 const Rect* clip, float tx, float ty, bool center)
{
    if (srcRect.mWidth <= 0 || srcRect.mHeight <= 0)
        return;
    IDirect3DDevice7* device = owner->GetDevice();
    const float originX = center ? -float(srcRect.mWidth) / 2 : 0.0f;
    const float originY = center ? -float(srcRect.mHeight) / 2 : 0.0f;
    const float shiftX = center ? tx : tx - 0.5f;
    const float shiftY = center ? ty : ty - 0.5f;
    ForEachPiece(*this, srcRect,
                 [&](IDirectDrawSurface7* texture, int dx, int dy, int w, int h, float u0, float v0, float u1,
                     float v1) {
                     const float lx = originX + float(dx);
                     const float ly = originY + float(dy);
                     auto corner = [&](float cx, float cy, float u, float v) {
                         const std::array<float, 2> p = transform.TransformPoint(cx, cy);
                         return Vertex(p[0] + shiftX, p[1] + shiftY, u, v, color);
                     };
                     const D3DTLVERTEX topLeft = corner(lx, ly, u0, v0);
                     const D3DTLVERTEX bottomLeft = corner(lx, ly + float(h), u0, v1);
                     const D3DTLVERTEX topRight = corner(lx + float(w), ly, u1, v0);
                     const D3DTLVERTEX bottomRight = corner(lx + float(w), ly + float(h), u1, v1);
                     bool needsClip = false;
                     if (clip) {
                         const float left = float(clip->mX), top = float(clip->mY);
                         const float right = float(clip->mX + clip->mWidth), bottom = float(clip->mY + clip->mHeight);
                         for (const D3DTLVERTEX* v : {&topLeft, &bottomLeft, &topRight, &bottomRight})
                             if (v->sx < left || v->sx >= right || v->sy < top || v->sy >= bottom)
                                 needsClip = true;
                     }
                     owner->CheckResult("SetTexture gTexture", device->SetTexture(0, texture));
                     if (needsClip) {
                         VertexList polygon;
                         for (const D3DTLVERTEX& v : {topLeft, bottomLeft, bottomRight, topRight})
                             polygon.Add(v);
                         PolygonClipper::DrawClippedPolygon(owner, *clip, polygon);
                         return;
                     }
                     const D3DTLVERTEX strip[4] = {topLeft, bottomLeft, topRight, bottomRight};
                     owner->CheckResult("DrawPrimitive (Tri) 3",
                                        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip, 4, 0));
                 });
}

void TextureData::BltTriangles(D3DInterface* owner, const TriVertex (*triangles)[3], int triangleCount,
                               uint32_t color, float tx, float ty)
{
    if (triangleCount < 1 || mPieces.empty())
        return;
    IDirect3DDevice7* device = owner->GetDevice();
    auto vertexOf = [&](const TriVertex& t) {
        return Vertex(t.mX + tx, t.mY + ty, t.mU * mMaxU, t.mV * mMaxV, t.mColor ? t.mColor : color);
    };
    if (mMaxU <= 1 && mMaxV <= 1) {
        owner->CheckResult("SetTexture gTexture", device->SetTexture(0, mPieces[0].mTexture));
        constexpr int kBatch = 100;
        D3DTLVERTEX batch[3 * kBatch];
        int held = 0;
        for (int i = 0; i < triangleCount; ++i) {
            for (int k = 0; k < 3; ++k)
                batch[3 * held + k] = vertexOf(triangles[i][k]);
            if (++held == kBatch || i == triangleCount - 1) {
                owner->CheckResult("DrawPrimitive (TriList)",
                                   device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, batch,
                                                         uint32_t(3 * held), 0));
                held = 0;
            }
        }
        return;
    }
    for (int i = 0; i < triangleCount; ++i) {
        const D3DTLVERTEX corners[3] = {vertexOf(triangles[i][0]), vertexOf(triangles[i][1]),
                                        vertexOf(triangles[i][2])};
        float minU = mMaxU, maxU = 0, minV = mMaxV, maxV = 0;
        for (const D3DTLVERTEX& v : corners) {
            minU = std::min(minU, v.tu);
            maxU = std::max(maxU, v.tu);
            minV = std::min(minV, v.tv);
            maxV = std::max(maxV, v.tv);
        }
        const int firstColumn = std::max(0, int(std::floor(minU)));
        const int columnBound = std::min(mColumns, int(std::ceil(maxU)));
        const int firstRow = std::max(0, int(std::floor(minV)));
        const int rowBound = std::min(mRows, int(std::ceil(maxV)));
        for (int row = firstRow; row < rowBound; ++row) {
            for (int column = firstColumn; column < columnBound; ++column) {
                const TexturePiece& piece = mPieces[size_t(row * mColumns + column)];
                VertexList list;
                for (D3DTLVERTEX v : corners) {
                    v.tu -= float(column);
                    v.tv -= float(row);
                    if (column == mColumns - 1)
                        v.tu *= float(mPieceWidth) / float(piece.mWidth);
                    if (row == mRows - 1)
                        v.tv *= float(mPieceHeight) / float(piece.mHeight);
                    list.Add(v);
                }
                PolygonClipper::ClipToTextureSquare(list);
                if (list.Count() < 3)
                    continue;
                owner->CheckResult("SetTexture gTexture", device->SetTexture(0, piece.mTexture));
                owner->CheckResult("DrawPrimitive (Tri) 4",
                                   device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, list.Data(),
                                                         uint32_t(list.Count()), 0));
            }
        }
    }
}

} // namespace Lumo
