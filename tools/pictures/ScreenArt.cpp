// The full-screen pictures: splash, title, the menu's two layers and the
// play screen's scrolling background; the cloud, the loading wheel and the
// mouse pointer.
#include "tools/GlyphFace.h"
#include "tools/pictures/Art.h"
#include "tools/pictures/BlockGeometry.h"
#include "tools/pictures/BlockPainter.h"
#include "tools/pictures/Noise.h"
#include "tools/pictures/Outlined.h"
#include "tools/pictures/Palette.h"
#include "tools/pictures/PictureWriter.h"
#include "tools/pictures/Shapes.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

// Large lettering: a drop shadow, a gold face and a thin light edge on top.
void Lettering(Canvas& canvas, const GlyphFace& face, float x, float baseline, const std::string& text)
{
    for (int i = 6; i >= 1; --i)
        canvas.Text(face, x + i * 0.6f, baseline + i, text, WithAlpha(Palette::kInk, 0.16f), true);
    Canvas mask(canvas.Width(), canvas.Height());
    mask.Text(face, x, baseline, text, Palette::kWhite, true);
    const float top = baseline - face.Ascent() * 0.75f;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int px = 0; px < canvas.Width(); ++px) {
            const Rgba cover = mask.At(px, y);
            if (cover.a <= 0)
                continue;
            const float t = std::clamp((y - top) / (baseline - top), 0.0f, 1.0f);
            const Rgba gold = t < 0.5f ? Mix(Mix(Palette::kGold, Palette::kWhite, 0.6f), Palette::kGold, t * 2)
                                       : Mix(Palette::kGold, Palette::kGoldDark, (t - 0.5f) * 2);
            canvas.Fill([=](float qx, float qy) { return std::max(std::abs(qx - px - 0.5f), std::abs(qy - y - 0.5f)) - 0.5f; },
                        WithAlpha(gold, cover.a), float(px), float(y), float(px + 1), float(y + 1));
        }
}

void Splash(PictureWriter& out)
{
    Canvas canvas(800, 600);
    canvas.Paint([](float x, float y) {
        const float r = std::hypot(x - 400, y - 300) / 500;
        return Mix(FromBytes(26, 38, 62), FromBytes(4, 6, 12), std::min(1.0f, r));
    });
    // A small emblem: three blocks stacked.
    BlockPainter::Block(canvas, 368, 226, Palette::kBlocks[0], false);
    BlockPainter::Block(canvas, 368, 216, Palette::kBlocks[3], false);
    BlockPainter::Block(canvas, 368, 206, Palette::kBlocks[2], false);
    GlyphFace big(true, 44);
    GlyphFace small(false, 16);
    canvas.Text(big, 402, 332, "DravikGames", WithAlpha(Palette::kInk, 0.7f), true);
    canvas.Text(big, 400, 330, "DravikGames", Palette::kText, true);
    canvas.Fill([](float x, float y) { return Shapes::Capsule(x, y, {300, 350}, {500, 350}, 1); },
                [](float x, float) { return WithAlpha(Palette::kGold, 1 - std::abs(x - 400) / 100); }, 296, 346, 504, 354);
    canvas.Text(small, 400, 380, "presents", FromBytes(160, 175, 200), true);
    out.Write("res/splash_800x600.png", canvas);
}

void Title(PictureWriter& out)
{
    const Noise haze(0x717E5u);
    Canvas canvas(800, 600);
    canvas.Paint([&](float x, float y) {
        Rgba c = Mix(FromBytes(8, 14, 36), FromBytes(44, 70, 120), std::pow(y / 600, 1.4f));
        c = Mix(c, FromBytes(120, 90, 140), 0.35f * std::exp(-std::pow((y - 430) / 120, 2)));
        return Scaled(c, 0.9f + 0.2f * haze.Fractal(x / 160, y / 90, 4));
    });
    // A few fixed stars in the upper sky.
    const Noise place(0x57A25u);
    for (int i = 0; i < 70; ++i) {
        const float x = place.At(i * 3.1f, 0.5f) * 800, y = place.At(0.5f, i * 2.7f) * 300;
        if (x > 350 && x < 440 && y < 110)
            continue; // the loading wheel turns there
        const float k = 0.4f + 0.6f * place.At(i * 1.3f, i * 0.7f);
        canvas.Add([=](float px, float py) { return Shapes::Circle(px, py, x, y, 1.6f); },
                   [=](float px, float py) {
                       const float e = std::max(0.0f, 1 - std::hypot(px - x, py - y) / 1.6f) * k;
                       return Rgba{e, e, e, 1};
                   },
                   x - 2, y - 2, x + 2, y + 2);
    }
    // A small field of blocks, floating below the title.
    using G = BlockGeometry;
    const float sx = 41.8f, sy = 20.9f, tx = -25.8f, ty = 12.9f;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) {
            const int colour = (r * 3 + c * 2 + (r * c) % 3) % 4;
            const float x = 400 - G::kWidth / 2.0f + c * sx + r * tx - 2 * sx - 2 * tx;
            const float y = 390 + c * sy + r * ty - 2 * sy - 2 * ty;
            BlockPainter::Block(canvas, x, y, Palette::kBlocks[(r == 2 && c == 2) ? 4 : colour], r == 2 && c == 2);
        }
    canvas.Fill([](float x, float y) { return Shapes::Ellipse(x, y, 400, 505, 200, 24); },
                [](float x, float y) {
                    const float r = std::hypot((x - 400) / 200, (y - 505) / 24);
                    return WithAlpha(Palette::kInk, 0.45f * (1 - r));
                },
                190, 475, 610, 535);
    GlyphFace title(true, 88);
    Lettering(canvas, title, 400, 230, "ZENTROVA");
    GlyphFace small(false, 18);
    canvas.Text(small, 400, 272, "a puzzle of blocks and a bouncing ball", WithAlpha(Palette::kText, 0.85f), true);
    out.Write("res/titlescreen.png", canvas);
}

// Tiles downwards every 600 rows: a dim lattice of blocks.
void MenuBack(PictureWriter& out)
{
    Canvas canvas(800, 600);
    canvas.Paint([](float, float) { return FromBytes(10, 16, 30); });
    const Noise pick(0x3E4Bu);
    constexpr int kRows = 20; // 30 rows of pixels each: 600 in all
    // Rows past either edge repeat those at the other, so the seam vanishes.
    for (int row = -2; row < kRows + 2; ++row)
        for (int col = -1; col < 14; ++col) {
            const int wrapped = ((row % kRows) + kRows) % kRows;
            const float x = col * 64.0f + (wrapped % 2) * 32.0f - 16;
            const float y = row * 30.0f - 20;
            const int colour = int(pick.At(col * 1.7f + 0.3f, wrapped * 1.3f + 0.3f) * 5) % 5;
            const Rgba dim = Mix(Scaled(Palette::kBlocks[colour], 0.32f), FromBytes(20, 34, 60), 0.55f);
            BlockPainter::Block(canvas, x, y, dim, colour == 4);
        }
    out.Write("res/menu_back.png", canvas);
}

void MenuFront(PictureWriter& out)
{
    Canvas canvas(800, 600);
    canvas.Paint([](float x, float y) {
        const float dx = std::max(0.0f, std::abs(x - 400) - 250) / 150;
        const float dy = std::max(0.0f, std::abs(y - 300) - 200) / 100;
        const float k = std::min(1.0f, std::hypot(dx, dy));
        return WithAlpha(Palette::kInk, 0.85f * k * k);
    });
    canvas.Fill([](float x, float y) { return Shapes::Outline(Shapes::RoundBox(x, y, 12, 12, 776, 576, 26), 2); },
                [](float x, float) { return WithAlpha(Palette::kGold, 0.55f + 0.3f * std::abs(x - 400) / 400); }, 0, 0, 800, 600);
    canvas.Fill([](float x, float y) { return Shapes::Outline(Shapes::RoundBox(x, y, 18, 18, 764, 564, 22), 0.8f); },
                WithAlpha(Palette::kGoldDark, 0.6f), 0, 0, 800, 600);
    out.Write("res/menu_front.png", canvas);
}

// The play screen's backdrop: a night gradient over hills that join across
// the strip's ends.
void BackgroundStrip(PictureWriter& out)
{
    constexpr int kW = 512;
    const Noise far(0xB6F00u, 4, 0), near(0xB6F01u, 8, 0), sky(0xB6F02u, 4, 4);
    Canvas canvas(kW, 600);
    canvas.Paint([&](float x, float y) {
        Rgba c = Mix(FromBytes(6, 10, 26), FromBytes(30, 52, 90), std::pow(y / 600, 1.2f));
        c = Scaled(c, 0.9f + 0.2f * sky.Fractal(x / 128, y / 150, 3));
        const float u = x / kW;
        const float farLine = 440 - 90 * far.Fractal(u * 4, 0.5f, 3);
        const float nearLine = 520 - 60 * near.Fractal(u * 8, 2.5f, 2);
        c = Mix(c, Mix(FromBytes(22, 36, 62), c, 0.3f * std::exp(-(y - farLine) / 40)), std::clamp(y - farLine + 0.5f, 0.0f, 1.0f));
        c = Mix(c, Scaled(FromBytes(14, 24, 42), 1 - 0.3f * std::max(0.0f, y - nearLine) / 80),
                std::clamp(y - nearLine + 0.5f, 0.0f, 1.0f));
        return c;
    });
    out.Write("res/bg_strip.png", canvas);
}

void Cloud(PictureWriter& out)
{
    Canvas canvas(96, 48);
    const struct {
        float x, y, r;
    } puffs[] = {{26, 30, 13}, {44, 22, 16}, {62, 26, 14}, {74, 32, 10}, {40, 34, 11}, {56, 35, 11}};
    canvas.Paint([&](float x, float y) {
        float density = 0;
        for (const auto& p : puffs)
            density += std::exp(-std::pow(std::hypot(x - p.x, y - p.y) / p.r, 2) * 1.6f);
        const float a = std::clamp(density * 0.9f - 0.15f, 0.0f, 0.75f);
        const float shade = std::clamp((y - 14) / 30, 0.0f, 1.0f);
        return WithAlpha(Mix(FromBytes(230, 236, 250), FromBytes(140, 155, 190), shade), a);
    });
    out.Write("res/cloud.png", canvas);
}

void LoadingWheel(PictureWriter& out)
{
    Canvas canvas(64, 64);
    for (int i = 0; i < 12; ++i) {
        const float a = -kPi / 2 + i * kPi / 6;
        const Point inner = {32 + 16 * std::cos(a), 32 + 16 * std::sin(a)};
        const Point outer = {32 + 26 * std::cos(a), 32 + 26 * std::sin(a)};
        const float fade = 1.0f - i / 12.0f;
        const Rgba c = i == 0 ? Palette::kWhite : WithAlpha(Mix(Palette::kGoldDark, Palette::kGold, fade), 0.25f + 0.75f * fade);
        canvas.Fill([=](float x, float y) { return Shapes::Capsule(x, y, inner, outer, 3.6f); }, c, 0, 0, 64, 64);
    }
    out.Write("res/loading_wheel.png", canvas);
}

void Pointer(PictureWriter& out)
{
    // The display centres the pointer's picture on the mouse, so the tip, the
    // hot spot, is the centre pixel (32, 32): the rim's rounded corner ends
    // within it and leaves the rows and columns above and left of it clear.
    constexpr float kTip = 33.4f;
    const std::vector<Point> arrow = {{0, 0}, {0, 21}, {5.5f, 16.5f}, {9.5f, 25}, {13, 23.5f}, {9.2f, 15.2f}, {16, 15.2f}};
    std::vector<Point> placed;
    for (const Point& corner : arrow)
        placed.push_back({corner.x + kTip, corner.y + kTip});
    Canvas canvas(64, 64);
    FillOutlined(canvas, placed, Palette::kInk, 1.4f, [](float x, float y) {
        return Mix(Palette::kWhite, FromBytes(200, 210, 230), (x + y - 2 * kTip) / 40);
    });
    out.Write("res/cursor_pointer.png", canvas);
}

} // namespace

void DrawScreenArt(PictureWriter& out)
{
    Splash(out);
    Title(out);
    MenuBack(out);
    MenuFront(out);
    BackgroundStrip(out);
    Cloud(out);
    LoadingWheel(out);
    Pointer(out);
}
