// The ball and its shadow, the bonus icons, the power ball's beam, glow and
// hit light, sparks, the explosion and the background stars.
#include "tools/GlyphFace.h"
#include "tools/pictures/Art.h"
#include "tools/pictures/Palette.h"
#include "tools/pictures/PictureWriter.h"
#include "tools/pictures/Shapes.h"

#include <cmath>
#include <string>

namespace {

constexpr float kPi = 3.14159265f;

float Gauss(float d, float width) { return std::exp(-(d * d) / (width * width)); }

// Frames turn the highlight round the ball, so it seems to roll.
void Ball(PictureWriter& out)
{
    Canvas canvas(96, 24);
    const Rgba body = FromBytes(236, 240, 250);
    const Rgba shade = FromBytes(70, 96, 150);
    for (int f = 0; f < 4; ++f) {
        const float cx = f * 24 + 12.0f, cy = 12.0f;
        const float angle = -2.3f + f * 0.35f;
        const float hx = cx + std::cos(angle) * 4.5f, hy = cy + std::sin(angle) * 4.5f;
        canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, cx, cy, 10.5f); },
                    [=](float x, float y) {
                        const float lit = std::clamp(1.0f - std::hypot(x - hx, y - hy) / 15.0f, 0.0f, 1.0f);
                        Rgba c = Mix(shade, body, std::pow(lit, 0.7f));
                        // A faint band round the ball shows it turning.
                        const float band = Gauss(std::sin((x - cx) * 0.35f + (y - cy) * 0.2f + f * kPi / 2), 0.25f);
                        c = Mix(c, Palette::kTeal, 0.25f * band * lit);
                        return Mix(c, Palette::kWhite, Gauss(std::hypot(x - hx, y - hy), 2.2f));
                    },
                    cx - 12, 0, cx + 12, 24);
    }
    out.Write("res/ball.png", canvas);
}

void Shadows(PictureWriter& out)
{
    Canvas canvas(96, 12);
    for (int f = 0; f < 4; ++f) {
        const float cx = f * 24 + 12.0f, rx = 12.0f - 2 * f, ry = 5.5f - f;
        canvas.Fill([=](float x, float y) { return Shapes::Ellipse(x, y, cx, 6, rx, ry); },
                    [=](float x, float y) {
                        const float r = std::hypot((x - cx) / rx, (y - 6) / ry);
                        return WithAlpha(Palette::kInk, 0.55f * (1 - r * r * 0.8f));
                    },
                    cx - 12, 0, cx + 12, 12);
    }
    out.Write("res/ballshadow.png", canvas);
}

void Bonuses(PictureWriter& out)
{
    struct Icon {
        char letter;
        Rgba colour;
    };
    const Icon icons[8] = {{'S', FromBytes(230, 90, 60)},  {'R', FromBytes(170, 90, 220)}, {'D', FromBytes(70, 80, 120)},
                           {'H', FromBytes(190, 130, 70)}, {'P', FromBytes(60, 190, 230)}, {'B', FromBytes(60, 60, 70)},
                           {'E', FromBytes(80, 200, 90)},  {'T', FromBytes(240, 180, 50)}};
    GlyphFace face(true, 18);
    Canvas canvas(512, 32);
    for (int i = 0; i < 16; ++i) {
        const Icon& icon = icons[i / 2];
        const bool bright = i % 2 == 1;
        const float cx = i * 32 + 16.0f, cy = 16.0f;
        canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, cx, cy, 14.5f); },
                    [=](float, float y) {
                        const float t = std::clamp((y - 2) / 28, 0.0f, 1.0f);
                        const Rgba top = Mix(icon.colour, Palette::kWhite, bright ? 0.55f : 0.35f);
                        return Mix(top, Scaled(icon.colour, bright ? 0.9f : 0.7f), t);
                    },
                    cx - 16, 0, cx + 16, 32);
        canvas.Fill([=](float x, float y) { return Shapes::Outline(Shapes::Circle(x, y, cx, cy, 13.5f), 1.6f); },
                    WithAlpha(bright ? Palette::kWhite : Palette::kGold, 0.9f), cx - 16, 0, cx + 16, 32);
        const std::string letter(1, icon.letter);
        canvas.Text(face, cx + 1, cy + 7.5f, letter, WithAlpha(Palette::kInk, 0.6f), true);
        canvas.Text(face, cx, cy + 6.5f, letter, Palette::kWhite, true);
    }
    out.Write("res/bonus.png", canvas);
}

void PowerBall(PictureWriter& out)
{
    Canvas beam(64, 16);
    for (int f = 0; f < 2; ++f) {
        const float x0 = f * 32.0f;
        beam.Add([=](float x, float) { return x < x0 || x >= x0 + 32 ? 1.0f : -1.0f; },
                 [=](float x, float y) {
                     // The streak's core wobbles with the frame; the beam tiles along x.
                     const float centre = 8 + 1.5f * std::sin((x - x0) / 32 * 2 * kPi + f * kPi);
                     const float core = Gauss(y - centre, 1.6f);
                     const float halo = Gauss(y - centre, 4.5f);
                     return Rgba{0.5f * halo + core, 0.85f * halo + core, 1.0f * halo + core, 1.0f};
                 },
                 x0, 0, x0 + 32, 16);
    }
    out.Write("res/pb_beam.png", beam);

    Canvas glow(80, 40);
    for (int f = 0; f < 2; ++f) {
        const float cx = f * 40 + 20.0f, strength = f == 0 ? 0.7f : 1.0f;
        glow.Add([=](float x, float y) { return Shapes::Circle(x, y, cx, 20, 19.5f); },
                 [=](float x, float y) {
                     const float d = std::hypot(x - cx, y - 20) / 19.5f;
                     const float k = strength * std::pow(std::max(0.0f, 1 - d), 2.0f);
                     return Rgba{0.45f * k, 0.85f * k, 1.0f * k, 1.0f};
                 },
                 cx - 20, 0, cx + 20, 40);
    }
    out.Write("res/pb_glow.png", glow);

    Canvas hit(192, 48);
    for (int f = 0; f < 4; ++f) {
        const float cx = f * 48 + 24.0f, size = 8 + f * 5.0f;
        hit.Add([=](float x, float y) { return Shapes::Circle(x, y, cx, 24, 23.5f); },
                [=](float x, float y) {
                    const float dx = x - cx, dy = y - 24, r = std::hypot(dx, dy);
                    const float a = std::atan2(dy, dx);
                    const float rays = std::pow(std::abs(std::cos(a * 4)), 8.0f) * std::max(0.0f, 1 - r / (size * 2));
                    const float core = std::max(0.0f, 1 - r / size);
                    const float k = std::min(1.0f, rays + core * core);
                    return Rgba{0.8f * k + 0.2f * core, 0.95f * k, 1.0f * k, 1.0f};
                },
                cx - 24, 0, cx + 24, 48);
    }
    out.Write("res/pb_hit.png", hit);
}

void Sparks(PictureWriter& out)
{
    Canvas canvas(24, 8);
    for (int f = 0; f < 3; ++f) {
        const float cx = f * 8 + 4.0f, radius = 3.8f - f * 0.8f;
        canvas.Add([=](float x, float y) { return Shapes::Circle(x, y, cx, 4, 3.9f); },
                   [=](float x, float y) {
                       const float k = std::max(0.0f, 1 - std::hypot(x - cx, y - 4) / radius);
                       return Rgba{k, 0.85f * k * k + 0.1f * k, 0.4f * k * k * k, 1.0f};
                   },
                   cx - 4, 0, cx + 4, 8);
    }
    out.Write("res/particle.png", canvas);
}

void Explosion(PictureWriter& out)
{
    Canvas canvas(384, 64);
    for (int f = 0; f < 6; ++f) {
        const float cx = f * 64 + 32.0f, t = f / 5.0f;
        const float ring = 6 + t * 24, flash = (1 - t) * (1 - t);
        canvas.Add([=](float x, float y) { return Shapes::Circle(x, y, cx, 32, 31.5f); },
                   [=](float x, float y) {
                       const float r = std::hypot(x - cx, y - 32);
                       const float band = Gauss(r - ring, 2.5f + 3 * t) * (1 - 0.7f * t);
                       const float core = flash * std::max(0.0f, 1 - r / (10 + 10 * t));
                       const float k = std::min(1.0f, band + core);
                       return Rgba{k, 0.6f * k + 0.4f * core, 0.2f * k + 0.5f * core * core, 1.0f};
                   },
                   cx - 32, 0, cx + 32, 64);
    }
    out.Write("res/explosion.png", canvas);
}

void Stars(PictureWriter& out)
{
    Canvas canvas(36, 9);
    const float sizes[4] = {0.5f, 0.8f, 1.0f, 0.7f};
    for (int f = 0; f < 4; ++f) {
        const float cx = f * 9 + 4.5f, s = sizes[f];
        canvas.Add([=](float x, float y) { return Shapes::Circle(x, y, cx, 4.5f, 4.4f); },
                   [=](float x, float y) {
                       const float dx = std::abs(x - cx), dy = std::abs(y - 4.5f);
                       const float cross = (Gauss(dy, 0.6f) * std::max(0.0f, 1 - dx / (4.4f * s)) +
                                            Gauss(dx, 0.6f) * std::max(0.0f, 1 - dy / (4.4f * s)));
                       const float k = std::min(1.0f, s * (cross + Gauss(std::hypot(dx, dy), 1.2f)));
                       return Rgba{0.9f * k, 0.95f * k, k, 1.0f};
                   },
                   cx - 4.5f, 0, cx + 4.5f, 9);
    }
    out.Write("res/star.png", canvas);
}

} // namespace

void DrawEffectArt(PictureWriter& out)
{
    Ball(out);
    Shadows(out);
    Bonuses(out);
    PowerBall(out);
    Sparks(out);
    Explosion(out);
    Stars(out);
}
