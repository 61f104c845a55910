#include "framework/display/PolygonClipper.h"

#include "framework/display/D3DInterface.h"

namespace Lumo {

using Platform::D3DTLVERTEX;

float PolygonClipper::GetVertexCoord(const D3DTLVERTEX& vertex, int axis)
{
    switch (axis) {
    case 0:
        return vertex.sx;
    case 1:
        return vertex.sy;
    case 2:
        return vertex.sz;
    case 3:
        return vertex.tu;
    case 4:
        return vertex.tv;
    default:
        return 0.0f;
    }
}

D3DTLVERTEX PolygonClipper::InterpolateVertex(const D3DTLVERTEX& a, const D3DTLVERTEX& b, float t)
{
    D3DTLVERTEX out = a;
    out.sx = a.sx + (b.sx - a.sx) * t;
    out.sy = a.sy + (b.sy - a.sy) * t;
    out.tu = a.tu + (b.tu - a.tu) * t;
    out.tv = a.tv + (b.tv - a.tv) * t;
    if (a.color != b.color) {
        uint32_t color = 0;
        for (int shift = 24; shift >= 0; shift -= 8) {
            const int32_t from = int32_t((a.color >> shift) & 0xFF);
            const int32_t to = int32_t((b.color >> shift) & 0xFF);
            color |= (uint32_t(int32_t(float(from) + float(to - from) * t)) & 0xFF) << shift;
        }
        out.color = color;
    }
    return out;
}

namespace {

template <bool Minimum>
void ClipEdge(const D3DTLVERTEX& a, const D3DTLVERTEX& b, int axis, float bound, VertexList& out)
{
    const float ca = PolygonClipper::GetVertexCoord(a, axis);
    const float cb = PolygonClipper::GetVertexCoord(b, axis);
    const bool aInside = Minimum ? ca >= bound : ca < bound;
    const bool bInside = Minimum ? cb >= bound : cb < bound;
    if (aInside && bInside) {
        out.Add(b);
    } else if (aInside != bInside) {
        out.Add(PolygonClipper::InterpolateVertex(a, b, (bound - ca) / (cb - ca)));
        if (bInside)
            out.Add(b);
    }
}

template <bool Minimum>
void ClipPolygon(const VertexList& in, int axis, float bound, VertexList& out)
{
    const int count = in.Count();
    if (count < 2)
        return;
    ClipEdge<Minimum>(in[count - 1], in[0], axis, bound, out);
    for (int i = 0; i + 1 < count; ++i)
        ClipEdge<Minimum>(in[i], in[i + 1], axis, bound, out);
}

} // namespace

void PolygonClipper::ClipEdgeToMin(const D3DTLVERTEX& a, const D3DTLVERTEX& b, int axis, float bound,
                                   VertexList& out)
{
    ClipEdge<true>(a, b, axis, bound, out);
}

void PolygonClipper::ClipEdgeToMax(const D3DTLVERTEX& a, const D3DTLVERTEX& b, int axis, float bound,
                                   VertexList& out)
{
    ClipEdge<false>(a, b, axis, bound, out);
}

void PolygonClipper::ClipPolygonToMin(const VertexList& in, int axis, float bound, VertexList& out)
{
    ClipPolygon<true>(in, axis, bound, out);
}

void PolygonClipper::ClipPolygonToMax(const VertexList& in, int axis, float bound, VertexList& out)
{
    ClipPolygon<false>(in, axis, bound, out);
}

void PolygonClipper::DrawClippedPolygon(D3DInterface* owner, const Rect& clip, const VertexList& polygon)
{
    VertexList first;
    VertexList second;
    first.Reserve(polygon.Count());
    for (int i = 0; i < polygon.Count(); ++i)
        first.Add(polygon[i]);
    ClipPolygonToMin(first, 0, float(clip.mX), second);
    first.Clear();
    ClipPolygonToMin(second, 1, float(clip.mY), first);
    second.Clear();
    ClipPolygonToMax(first, 0, float(clip.mX + clip.mWidth), second);
    first.Clear();
    ClipPolygonToMax(second, 1, float(clip.mY + clip.mHeight), first);
    if (first.Count() < 3)
        return;
    owner->CheckResult("DrawPrimitive (Tri) 2",
                       owner->GetDevice()->DrawPrimitive(Platform::D3DPT_TRIANGLEFAN, Platform::D3DFVF_TLVERTEX,
                                                         first.Data(), uint32_t(first.Count()), 0));
}

void PolygonClipper::ClipToTextureSquare(VertexList& list)
{
    VertexList other;
    ClipPolygonToMin(list, 3, 0.0f, other);
    list.Clear();
    ClipPolygonToMin(other, 4, 0.0f, list);
    other.Clear();
    ClipPolygonToMax(list, 3, 1.0f, other);
    list.Clear();
    ClipPolygonToMax(other, 4, 1.0f, list);
}

} // namespace Lumo
