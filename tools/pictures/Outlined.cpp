#include "tools/pictures/Outlined.h"

void FillOutlined(Canvas& canvas, const std::vector<Point>& polygon, const Rgba& rim, float width,
                  const Canvas::Shader& fill)
{
    const auto shape = [&](float x, float y) { return Shapes::Polygon(x, y, polygon); };
    canvas.Fill([&](float x, float y) { return shape(x, y) - width; }, rim, 0, 0, float(canvas.Width()),
                float(canvas.Height()));
    canvas.Fill(shape, fill, 0, 0, float(canvas.Width()), float(canvas.Height()));
}
