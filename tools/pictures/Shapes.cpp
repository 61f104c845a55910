#include "tools/pictures/Shapes.h"

#include <algorithm>
#include <cmath>

namespace Shapes {

float Circle(float x, float y, float cx, float cy, float radius) { return std::hypot(x - cx, y - cy) - radius; }

float Ellipse(float x, float y, float cx, float cy, float rx, float ry)
{
    // Distance scaled by the smaller radius: close enough for soft edges.
    const float k = std::hypot((x - cx) / rx, (y - cy) / ry);
    return (k - 1.0f) * std::min(rx, ry);
}

float RoundBox(float x, float y, float left, float top, float w, float h, float radius)
{
    const float hx = w / 2 - radius;
    const float hy = h / 2 - radius;
    const float qx = std::abs(x - (left + w / 2)) - hx;
    const float qy = std::abs(y - (top + h / 2)) - hy;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
}

float Capsule(float x, float y, Point a, Point b, float radius)
{
    const float px = x - a.x, py = y - a.y;
    const float bx = b.x - a.x, by = b.y - a.y;
    const float length = bx * bx + by * by;
    const float t = length > 0 ? std::clamp((px * bx + py * by) / length, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - bx * t, py - by * t) - radius;
}

float Polygon(float x, float y, const std::vector<Point>& v)
{
    float d = (x - v[0].x) * (x - v[0].x) + (y - v[0].y) * (y - v[0].y);
    float sign = 1.0f;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        const float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
        const float wx = x - v[i].x, wy = y - v[i].y;
        const float t = std::clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
        const float bx = wx - ex * t, by = wy - ey * t;
        d = std::min(d, bx * bx + by * by);
        const bool c1 = y >= v[i].y, c2 = y < v[j].y, c3 = ex * wy > ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
            sign = -sign;
    }
    return sign * std::sqrt(d);
}

std::vector<Point> Grown(const std::vector<Point>& polygon, float d)
{
    const auto normal = [](Point a, Point b) {
        const float ex = b.x - a.x, ey = b.y - a.y, l = std::hypot(ex, ey);
        return Point{ey / l, -ex / l};
    };
    std::vector<Point> out;
    const size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i) {
        // Each corner moves along the sum of its two edges' normals, far enough
        // that both edges move by d.
        const Point n1 = normal(polygon[(i + n - 1) % n], polygon[i]);
        const Point n2 = normal(polygon[i], polygon[(i + 1) % n]);
        const float k = d / (1 + n1.x * n2.x + n1.y * n2.y);
        out.push_back({polygon[i].x + (n1.x + n2.x) * k, polygon[i].y + (n1.y + n2.y) * k});
    }
    return out;
}

} // namespace Shapes
