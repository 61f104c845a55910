#pragma once

#include "tools/pictures/Canvas.h"
#include "tools/pictures/Shapes.h"

#include <vector>

// A polygon filled by the shader inside a dark rim of the given width: the
// arrows and the mouse pointer.
void FillOutlined(Canvas& canvas, const std::vector<Point>& polygon, const Rgba& rim, float width,
                  const Canvas::Shader& fill);
