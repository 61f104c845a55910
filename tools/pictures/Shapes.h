#pragma once

#include <vector>

// Signed distances in pixels, negative inside: the shapes the pictures are
// built from.
struct Point {
    float x, y;
};

namespace Shapes {

float Circle(float x, float y, float cx, float cy, float radius);
float Ellipse(float x, float y, float cx, float cy, float rx, float ry);
// A rectangle with rounded corners, given by its corner and size.
float RoundBox(float x, float y, float left, float top, float w, float h, float radius);
// A thick segment with round ends.
float Capsule(float x, float y, Point a, Point b, float radius);
float Polygon(float x, float y, const std::vector<Point>& points);
// The polygon (corners clockwise on screen) with every edge moved outward by
// d pixels; a negative d shrinks it.
std::vector<Point> Grown(const std::vector<Point>& polygon, float d);
// A band of the given width along the shape's edge.
inline float Outline(float distance, float width)
{
    return (distance < 0 ? -distance : distance) - width / 2;
}

} // namespace Shapes
