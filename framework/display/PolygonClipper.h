#pragma once

#include "framework/display/VertexList.h"
#include "framework/graphics/Rect.h"

namespace Lumo {

class D3DInterface;

// Cuts device polygons to bounds one axis at a time, the crossings taking
// every attribute at the point where the edge meets the bound.
class PolygonClipper {
public:
    // 0 x, 1 y, 2 z, 3 u, 4 v; anything else reads 0.
    static float GetVertexCoord(const Platform::D3DTLVERTEX& vertex, int axis);
    static Platform::D3DTLVERTEX InterpolateVertex(const Platform::D3DTLVERTEX& a, const Platform::D3DTLVERTEX& b,
                                                   float t);
    // Keeps coordinates >= bound.
    static void ClipEdgeToMin(const Platform::D3DTLVERTEX& a, const Platform::D3DTLVERTEX& b, int axis, float bound,
                              VertexList& out);
    // Keeps coordinates < bound.
    static void ClipEdgeToMax(const Platform::D3DTLVERTEX& a, const Platform::D3DTLVERTEX& b, int axis, float bound,
                              VertexList& out);
    static void ClipPolygonToMin(const VertexList& in, int axis, float bound, VertexList& out);
    static void ClipPolygonToMax(const VertexList& in, int axis, float bound, VertexList& out);
    // Draws what lies inside the rectangle as one fan with the texture set.
    static void DrawClippedPolygon(D3DInterface* owner, const Rect& clip, const VertexList& polygon);
    // Keeps the part with u and v in [0, 1), in place.
    static void ClipToTextureSquare(VertexList& list);
};

} // namespace Lumo
