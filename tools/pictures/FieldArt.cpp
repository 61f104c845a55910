// Blocks, hover frames, stencils, border plates and the piece cell, all from
// the shared block geometry.
#include "tools/pictures/Art.h"
#include "tools/pictures/BlockGeometry.h"
#include "tools/pictures/BlockPainter.h"
#include "tools/pictures/Noise.h"
#include "tools/pictures/Palette.h"
#include "tools/pictures/PictureWriter.h"
#include "tools/pictures/Shapes.h"

#include <cmath>
#include <vector>

namespace {

using G = BlockGeometry;

void Blocks(PictureWriter& out)
{
    Canvas canvas(G::kWidth * 5, G::kHeight);
    for (int i = 0; i < 5; ++i)
        BlockPainter::Block(canvas, float(i * G::kWidth), 0, Palette::kBlocks[i], i == 4);
    out.Write("res/blocks.png", canvas);
}

void Hover(PictureWriter& out)
{
    Canvas canvas(G::kWidth * 4, G::kHeight);
    for (int i = 0; i < 4; ++i)
        BlockPainter::TopOutline(canvas, float(i * G::kWidth), 0, WithAlpha(Palette::kGold, 0.25f * (i + 1)), 3.0f);
    out.Write("res/hover.png", canvas);
}

// Masks are exact: white where the block shows, 0 elsewhere.
void Stencil(PictureWriter& out, const char* name, bool vee)
{
    Canvas canvas(G::kStencilWidth, G::kStencilHeight);
    const float mid = G::kStencilWidth / 2.0f;
    canvas.Paint([&](float x, float y) {
        const float arm = G::kEdgeSlope * std::abs(x - mid);
        const bool shown = vee ? y < G::kStencilApex - arm : y > G::kStencilFoot + arm;
        return shown ? Palette::kWhite : Rgba{};
    });
    out.Write(name, canvas);
}

// The field's top-face outline about its centre (hot spot 300,160 of each plate),
// grown outward by d.
std::vector<Point> FieldOutline(float d, float dy)
{
    return Shapes::Grown({{300 - 64, 160 - 135 + dy}, {300 + 270, 160 + 32 + dy}, {300 + 64, 160 + 135 + dy},
                          {300 - 270, 160 - 32 + dy}},
                         d);
}

void Plate(Canvas& canvas, float top, const Rgba& tint, uint32_t seed)
{
    const Noise grain(seed);
    const std::vector<Point> face = FieldOutline(14, top);
    const std::vector<Point> low = FieldOutline(14, top + 12);
    // The slab's lower rim: the face moved down, darker.
    std::vector<Point> rim = {face[3], face[2], face[1], low[1], low[2], low[3]};
    canvas.Fill([&](float x, float y) { return Shapes::Polygon(x, y, rim); },
                [&](float x, float y) {
                    const float t = (y - top - 140) / 200;
                    return Scaled(tint, 0.55f - 0.15f * t + 0.05f * grain.At(x / 5, y / 5));
                },
                0, top, 600, top + 340);
    canvas.Fill([&](float x, float y) { return Shapes::Polygon(x, y, face); },
                [&](float x, float y) {
                    const float edge = -Shapes::Polygon(x, y, face);
                    const float glow = std::exp(-edge / 5);
                    const float stone = 0.85f + 0.25f * grain.Fractal(x / 24, (y - top) / 24, 3);
                    return Mix(Scaled(tint, stone), Mix(tint, Palette::kWhite, 0.5f), 0.45f * glow);
                },
                0, top, 600, top + 340);
}

void Borders(PictureWriter& out)
{
    Canvas canvas(600, 1020);
    Plate(canvas, 0, FromBytes(46, 66, 98), 0xB0A4D001u);
    Plate(canvas, 340, FromBytes(74, 60, 100), 0xB0A4D002u);
    const std::vector<Point> rim = FieldOutline(10, 680);
    canvas.Fill([&](float x, float y) { return Shapes::Outline(Shapes::Polygon(x, y, rim), 3); },
                [&](float, float y) {
                    const float t = std::clamp((y - 680 - 20) / 300, 0.0f, 1.0f);
                    return WithAlpha(Mix(Palette::kGold, Palette::kGoldDark, t), 0.9f);
                },
                0, 680, 600, 1020);
    out.Write("res/borders.png", canvas);
}

void PieceCell(PictureWriter& out)
{
    Canvas canvas(12, 12);
    canvas.Fill([](float x, float y) { return Shapes::RoundBox(x, y, 0, 0, 12, 12, 2); },
                [](float x, float y) {
                    const float t = (x + y) / 24;
                    return Mix(Mix(Palette::kWhite, Palette::kGold, 0.4f), Palette::kGoldDark, t);
                },
                0, 0, 12, 12);
    canvas.Fill([](float x, float y) { return Shapes::RoundBox(x, y, 2.5f, 2.5f, 7, 7, 1.5f); },
                [](float x, float y) { return Mix(Palette::kGold, Mix(Palette::kGold, Palette::kWhite, 0.5f), (24 - x - y) / 24); },
                0, 0, 12, 12);
    out.Write("res/piece.png", canvas);
}

} // namespace

void DrawFieldArt(PictureWriter& out)
{
    Blocks(out);
    Hover(out);
    Stencil(out, "res/stencil01.png", true);
    Stencil(out, "res/stencil23.png", false);
    Borders(out);
    PieceCell(out);
}
