#include "tools/pictures/BlockPainter.h"

#include "tools/pictures/BlockGeometry.h"
#include "tools/pictures/Noise.h"
#include "tools/pictures/Palette.h"
#include "tools/pictures/Shapes.h"

#include <cmath>
#include <vector>

namespace BlockPainter {

namespace {

using G = BlockGeometry;

std::vector<Point> Placed(std::initializer_list<Point> points, float x, float y, float scale)
{
    std::vector<Point> out;
    for (const Point& p : points)
        out.push_back({x + p.x * scale, y + p.y * scale});
    return out;
}

void Face(Canvas& canvas, const std::vector<Point>& face, const Canvas::Shader& shader)
{
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const Point& p : face) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    canvas.Fill([&face](float px, float py) { return Shapes::Polygon(px, py, face); }, shader, x0, y0, x1, y1);
}

} // namespace

void Block(Canvas& canvas, float x, float y, const Rgba& colour, bool stone, float scale)
{
    static const Noise speckle(0x5EED0001u);
    const auto grain = [&](float px, float py) {
        if (!stone)
            return 1.0f;
        const float n = speckle.At((px - x) / (1.6f * scale), (py - y) / (1.6f * scale));
        return 0.82f + 0.3f * n;
    };
    const auto top = Placed({{G::kTopX, G::kTopY}, {G::kRightX, G::kRightY}, {G::kBottomX, G::kBottomY},
                             {G::kLeftX, G::kLeftY}}, x, y, scale);
    const float side = G::kSide;
    const auto left = Placed({{G::kLeftX, G::kLeftY}, {G::kBottomX, G::kBottomY}, {G::kBottomX, G::kBottomY + side},
                              {G::kLeftX, G::kLeftY + side}}, x, y, scale);
    const auto right = Placed({{G::kBottomX, G::kBottomY}, {G::kRightX, G::kRightY},
                               {G::kRightX, G::kRightY + side}, {G::kBottomX, G::kBottomY + side}}, x, y, scale);
    Face(canvas, left, [&](float px, float py) {
        const float t = (py - y) / (G::kHeight * scale);
        return Scaled(colour, (0.72f - 0.12f * t) * grain(px, py));
    });
    Face(canvas, right, [&](float px, float py) {
        const float t = (py - y) / (G::kHeight * scale);
        return Scaled(colour, (0.5f - 0.1f * t) * grain(px, py));
    });
    // The top face: lit from the top corner, with a soft sheen across its middle.
    const float cx = x + (G::kTopX + G::kBottomX) / 2 * scale;
    const float cy = y + (G::kTopY + G::kBottomY) / 2 * scale;
    Face(canvas, top, [&](float px, float py) {
        const float t = std::clamp((py - y) / (G::kBottomY * scale), 0.0f, 1.0f);
        float light = 1.25f - 0.35f * t;
        const float sheen = std::exp(-std::pow((px - cx) / (22 * scale), 2) - std::pow((py - cy + 4 * scale) / (7 * scale), 2));
        Rgba c = Scaled(colour, light * grain(px, py));
        return Mix(c, Palette::kWhite, 0.22f * sheen);
    });
    // A light rim along the two upper edges, a dark one along the lower.
    const Point t0 = top[0], r0 = top[1], b0 = top[2], l0 = top[3];
    const auto edge = [&](Point a, Point b, const Rgba& c) {
        canvas.Fill([a, b, scale](float px, float py) { return Shapes::Capsule(px, py, a, b, 0.45f * scale); }, c,
                    std::min(a.x, b.x) - 2, std::min(a.y, b.y) - 2, std::max(a.x, b.x) + 2, std::max(a.y, b.y) + 2);
    };
    edge(l0, t0, WithAlpha(Mix(colour, Palette::kWhite, 0.7f), 0.85f));
    edge(t0, r0, WithAlpha(Mix(colour, Palette::kWhite, 0.5f), 0.7f));
    edge(l0, b0, WithAlpha(Mix(colour, Palette::kWhite, 0.35f), 0.5f));
    edge(b0, r0, WithAlpha(Mix(colour, Palette::kWhite, 0.25f), 0.4f));
}

void TopOutline(Canvas& canvas, float x, float y, const Rgba& colour, float width)
{
    const auto top = Placed({{G::kTopX, G::kTopY}, {G::kRightX, G::kRightY}, {G::kBottomX, G::kBottomY},
                             {G::kLeftX, G::kLeftY}}, x, y, 1.0f);
    // Inset by half the width, so the glow runs along the inside of the face's edge.
    const std::vector<Point> inset = Shapes::Grown(top, -(width / 2 + 0.5f));
    canvas.Fill([&](float px, float py) { return Shapes::Outline(Shapes::Polygon(px, py, inset), width); },
                [&](float px, float py) {
                    const float d = std::abs(Shapes::Polygon(px, py, inset));
                    return WithAlpha(Mix(Palette::kWhite, colour, std::min(1.0f, d / width * 2)), colour.a);
                },
                x, y, x + G::kWidth, y + G::kHeight);
}

} // namespace BlockPainter
