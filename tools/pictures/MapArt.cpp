// The level map: its console background, the two map pictures with their
// paths, the highlight, radar, position icons, hand, cross-fade pictures,
// monitors, lights and colour lamps.
#include "tools/GlyphFace.h"
#include "tools/pictures/Art.h"
#include "tools/pictures/Noise.h"
#include "tools/pictures/Palette.h"
#include "tools/pictures/PictureWriter.h"
#include "tools/pictures/Shapes.h"

#include <cmath>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

// The ten positions of each map, in picture pixels; levelmap.xml and the
// curves of curves.xml use the same numbers.
const Point kPositions[10] = {{60, 300}, {150, 260}, {240, 300}, {330, 250}, {420, 290},
                              {500, 220}, {430, 160}, {330, 130}, {230, 150}, {130, 100}};
// The raised middle point of the curve from each position to the next.
const Point kMiddles[9] = {{105, 250}, {195, 250}, {285, 245}, {375, 240}, {460, 225},
                           {465, 160}, {380, 115}, {280, 110}, {180, 95}};

// A point along the three-point curve from position i, as a quadratic through its points.
Point PathPoint(int i, float t)
{
    const Point a = kPositions[i], m = kMiddles[i], b = kPositions[i + 1];
    const float u = 2 * t;
    const float la = (u - 1) * (u - 2) / 2, lm = -u * (u - 2), lb = u * (u - 1) / 2;
    return {a.x * la + m.x * lm + b.x * lb, a.y * la + m.y * lm + b.y * lb};
}

float DistanceToPath(float x, float y)
{
    float best = 1e9f;
    for (int i = 0; i < 9; ++i)
        for (int s = 0; s <= 16; ++s) {
            const Point p = PathPoint(i, s / 16.0f);
            best = std::min(best, std::hypot(x - p.x, y - p.y));
        }
    return best;
}

struct Biome {
    Rgba deep, shallow, shore, low, high, peak;
    uint32_t seed;
};

void MapPicture(PictureWriter& out, const char* name, const Biome& biome)
{
    constexpr int kW = 560, kH = 360;
    const Noise land(biome.seed);
    std::vector<float> height(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float d = DistanceToPath(x + 0.5f, y + 0.5f) / 55;
            const float near = std::exp(-d * d);
            const float edge = std::min({x / 60.0f, (kW - x) / 60.0f, y / 50.0f, (kH - y) / 50.0f, 1.0f});
            height[size_t(y) * kW + size_t(x)] =
                (0.55f * land.Fractal(x / 90.0f, y / 90.0f, 5) + 0.45f * near) * (0.55f + 0.45f * edge);
        }
    const auto h = [&](int x, int y) {
        return height[size_t(std::clamp(y, 0, kH - 1)) * kW + size_t(std::clamp(x, 0, kW - 1))];
    };
    Canvas canvas(kW, kH);
    canvas.Fill([](float x, float y) { return Shapes::RoundBox(x, y, 0, 0, kW, kH, 18); },
                [&](float fx, float fy) {
                    const int x = int(fx), y = int(fy);
                    const float v = h(x, y);
                    const float sea = 0.36f;
                    Rgba c;
                    if (v < sea)
                        c = Mix(biome.deep, biome.shallow, std::pow(v / sea, 2.0f));
                    else if (v < sea + 0.03f)
                        c = biome.shore;
                    else if (v < 0.62f)
                        c = Mix(biome.low, biome.high, (v - sea - 0.03f) / (0.62f - sea - 0.03f));
                    else
                        c = Mix(biome.high, biome.peak, std::min(1.0f, (v - 0.62f) / 0.15f));
                    if (v >= sea) {
                        // Hill shading, lit from the top left.
                        const float slope = (h(x - 1, y - 1) - h(x + 1, y + 1)) * 28;
                        c = Scaled(c, std::clamp(1.0f + slope, 0.6f, 1.35f));
                    }
                    return c;
                },
                0, 0, kW, kH);
    // The dotted road between the positions, then a pad at each position.
    for (int i = 0; i < 9; ++i)
        for (int s = 0; s < 10; ++s) {
            const Point p = PathPoint(i, (s + 0.5f) / 10);
            canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, p.x, p.y, 2.6f); }, WithAlpha(Palette::kInk, 0.5f),
                        p.x - 5, p.y - 4, p.x + 5, p.y + 6);
            canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, p.x, p.y - 1, 2.2f); },
                        Mix(Palette::kGold, Palette::kWhite, 0.4f), p.x - 4, p.y - 4, p.x + 4, p.y + 3);
        }
    for (const Point& p : kPositions) {
        canvas.Fill([=](float x, float y) { return Shapes::Ellipse(x, y, p.x, p.y + 3, 19, 9); }, WithAlpha(Palette::kInk, 0.45f),
                    p.x - 22, p.y - 8, p.x + 22, p.y + 14);
        canvas.Fill([=](float x, float y) { return Shapes::Ellipse(x, y, p.x, p.y, 17, 8); },
                    [=](float, float y) { return Mix(Palette::kSlateLight, Palette::kSlateDark, (y - p.y + 8) / 16); },
                    p.x - 20, p.y - 10, p.x + 20, p.y + 10);
        canvas.Fill([=](float x, float y) { return Shapes::Outline(Shapes::Ellipse(x, y, p.x, p.y, 17, 8), 1.5f); },
                    Palette::kGold, p.x - 20, p.y - 10, p.x + 20, p.y + 10);
    }
    // A soft vignette and a gold frame.
    canvas.Fill([](float x, float y) { return Shapes::RoundBox(x, y, 0, 0, kW, kH, 18); },
                [](float x, float y) {
                    const float d = -Shapes::RoundBox(x, y, 0, 0, kW, kH, 18);
                    return WithAlpha(Palette::kInk, 0.5f * std::exp(-d / 14));
                },
                0, 0, kW, kH);
    canvas.Fill([](float x, float y) { return Shapes::Outline(Shapes::RoundBox(x, y, 1.5f, 1.5f, kW - 3, kH - 3, 17), 3); },
                Palette::kGoldDark, 0, 0, kW, kH);
    out.Write(name, canvas);
}

// A recessed screen in the console.
void Bezel(Canvas& canvas, float x, float y, float w, float h, float radius)
{
    canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x - 4, y - 4, w + 8, h + 8, radius + 4); },
                [=](float, float py) { return Mix(Palette::kSlateLight, Palette::kSlateDark, (py - y + 4) / (h + 8)); },
                x - 6, y - 6, x + w + 6, y + h + 6);
    canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x, y, w, h, radius); }, FromBytes(6, 10, 18), x - 2,
                y - 2, x + w + 2, y + h + 2);
}

void Console(PictureWriter& out)
{
    const Noise metal(0xC0A501E5u);
    Canvas canvas(800, 600);
    canvas.Paint([&](float x, float y) {
        const Rgba base = Mix(FromBytes(30, 44, 68), FromBytes(12, 18, 32), std::hypot(x - 400, y - 280) / 520);
        // Brushed metal: fine horizontal streaks.
        return Scaled(base, 0.92f + 0.1f * metal.Fractal(x / 200, y / 2.5f, 2));
    });
    // Panel seams.
    for (float y : {22.0f, 585.0f})
        canvas.Fill([=](float, float py) { return std::abs(py - y) - 0.7f; }, WithAlpha(Palette::kInk, 0.7f), 0, y - 2, 800, y + 2);
    GlyphFace title(true, 20);
    // Above the band 52..100 where the award windows draw their header ribbon.
    canvas.Text(title, 401, 45, "STAGE MAP", WithAlpha(Palette::kInk, 0.8f), true);
    canvas.Text(title, 400, 44, "STAGE MAP", Palette::kGold, true);
    Bezel(canvas, 116, 92, 568, 368, 20);     // the map
    Bezel(canvas, 32, 96, 64, 358, 12);       // the cup rack
    Bezel(canvas, 16, 466, 312, 72, 8);       // three monitors
    Bezel(canvas, 336, 470, 170, 36, 6);      // the typewriter's screen
    Bezel(canvas, 646, 456, 136, 104, 10);    // the cross-fade picture
    canvas.Fill([](float x, float y) { return Shapes::Circle(x, y, 716, 56, 21); }, Palette::kSlateLight, 690, 30, 742, 82);
    canvas.Fill([](float x, float y) { return Shapes::Circle(x, y, 716, 56, 18); }, FromBytes(6, 10, 18), 690, 30, 742, 82);
    for (int i = 0; i < 4; ++i) {
        const float cx = 528.0f + i * 20;
        canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, cx, 568, 9); }, Palette::kSlateDark, cx - 10, 558, cx + 10, 578);
        canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, cx, 568, 6.5f); }, FromBytes(6, 10, 18), cx - 8, 560, cx + 8, 576);
    }
    // Rivets along the top.
    for (int i = 0; i < 12; ++i) {
        const float cx = 40.0f + i * 65;
        canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, cx, 11, 3); },
                    [=](float x, float y) { return Mix(Palette::kSlateLight, Palette::kInk, (x - cx + y - 11 + 6) / 12); },
                    cx - 4, 7, cx + 4, 15);
    }
    out.Write("res/map_bg.png", canvas);
}

void Highlight(PictureWriter& out)
{
    Canvas canvas(48, 48);
    canvas.Fill([](float x, float y) {
                    const float angle = std::atan2(y - 24, x - 24);
                    const float dash = std::sin(angle * 8) < -0.2f ? 1.0f : 0.0f;
                    return std::max(Shapes::Outline(Shapes::Circle(x, y, 24, 24, 19), 4), dash * 9);
                },
                [](float x, float y) { return Mix(Mix(Palette::kGold, Palette::kWhite, 0.5f), Palette::kGold, (y + x) / 96); },
                0, 0, 48, 48);
    canvas.Add([](float x, float y) { return Shapes::Circle(x, y, 24, 24, 23.5f); },
               [](float x, float y) {
                   const float k = 0.45f * std::exp(-std::pow((std::hypot(x - 24, y - 24) - 19) / 4, 2));
                   return Rgba{k, 0.8f * k, 0.3f * k, 1};
               },
               0, 0, 48, 48);
    out.Write("res/maphl.png", canvas);
}

void Radar(PictureWriter& out)
{
    Canvas canvas(128, 32);
    const Point blips[3] = {{9, -5}, {-6, 8}, {-4, -9}};
    for (int f = 0; f < 4; ++f) {
        const float cx = f * 32 + 16.0f, sweep = f * kPi / 2 - kPi / 2;
        canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, cx, 16, 15); },
                    [=](float x, float y) {
                        const float r = std::hypot(x - cx, y - 16);
                        float behind = sweep - std::atan2(y - 16, x - cx);
                        behind = std::fmod(behind + 4 * kPi, 2 * kPi);
                        const float trail = std::exp(-behind * 1.6f);
                        const float rings = std::abs(std::fmod(r, 5.0f) - 2.5f) < 0.45f ? 0.35f : 0.0f;
                        const float k = std::min(1.0f, 0.15f + 0.8f * trail + rings);
                        return Rgba{0.1f * k, 0.9f * k + 0.05f, 0.45f * k + 0.05f, 1};
                    },
                    cx - 16, 0, cx + 16, 32);
        for (const Point& b : blips) {
            float behind = std::fmod(sweep - std::atan2(b.y, b.x) + 4 * kPi, 2 * kPi);
            const float k = std::exp(-behind * 0.8f);
            canvas.Add([=](float x, float y) { return Shapes::Circle(x, y, cx + b.x, 16 + b.y, 2); },
                       [=](float, float) { return Rgba{0.6f * k, k, 0.7f * k, 1}; }, cx - 16, 0, cx + 16, 32);
        }
        canvas.Fill([=](float x, float y) { return Shapes::Outline(Shapes::Circle(x, y, cx, 16, 15), 1.2f); },
                    FromBytes(60, 140, 100), cx - 16, 0, cx + 16, 32);
    }
    out.Write("res/radar.png", canvas);
}

// The four level kinds: time (clock), classic (star), puzzle (grid), crazy (swirl).
void Icon(Canvas& canvas, float x, int kind, bool glow)
{
    const float cx = x + 16, cy = 16;
    const Rgba colours[4] = {FromBytes(80, 150, 240), FromBytes(240, 190, 60), FromBytes(90, 200, 120), FromBytes(220, 90, 200)};
    const Rgba c = colours[kind];
    if (glow)
        canvas.Add([=](float px, float py) { return Shapes::Circle(px, py, cx, cy, 15.5f); },
                   [=](float px, float py) {
                       const float k = 0.8f * std::max(0.0f, 1 - std::hypot(px - cx, py - cy) / 16);
                       return Rgba{c.r * k + 0.2f * k, c.g * k + 0.2f * k, c.b * k + 0.2f * k, 1};
                   },
                   x, 0, x + 32, 32);
    canvas.Fill([=](float px, float py) { return Shapes::Circle(px, py, cx, cy, 12); },
                [=](float, float py) { return Mix(Mix(c, Palette::kWhite, glow ? 0.5f : 0.25f), Scaled(c, 0.6f), (py - 4) / 24); },
                x, 0, x + 32, 32);
    canvas.Fill([=](float px, float py) { return Shapes::Outline(Shapes::Circle(px, py, cx, cy, 12), 1.5f); },
                glow ? Palette::kWhite : Palette::kGold, x, 0, x + 32, 32);
    const Rgba ink = Palette::kWhite;
    switch (kind) {
    case 0:
        canvas.Fill([=](float px, float py) { return Shapes::Outline(Shapes::Circle(px, py, cx, cy, 7), 1.6f); }, ink, x, 0, x + 32, 32);
        canvas.Fill([=](float px, float py) {
                        return std::min(Shapes::Capsule(px, py, {cx, cy}, {cx, cy - 5}, 1),
                                        Shapes::Capsule(px, py, {cx, cy}, {cx + 4, cy + 1}, 1));
                    },
                    ink, x, 0, x + 32, 32);
        break;
    case 1: {
        std::vector<Point> star;
        for (int i = 0; i < 10; ++i) {
            const float a = -kPi / 2 + i * kPi / 5, r = i % 2 == 0 ? 8.5f : 3.6f;
            star.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
        }
        canvas.Fill([&](float px, float py) { return Shapes::Polygon(px, py, star); }, ink, x, 0, x + 32, 32);
        break;
    }
    case 2:
        for (int i = 0; i < 9; ++i) {
            const float bx = cx - 7 + (i % 3) * 5, by = cy - 7 + (i / 3) * 5;
            canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, bx, by, 4, 4, 0.8f); },
                        i % 2 == 0 ? ink : WithAlpha(ink, 0.5f), x, 0, x + 32, 32);
        }
        break;
    default:
        canvas.Fill([=](float px, float py) {
                        const float r = std::hypot(px - cx, py - cy);
                        const float a = std::atan2(py - cy, px - cx);
                        // An Archimedean spiral: distance to the nearest turn.
                        const float turn = std::fmod(r - 2.6f * (a + kPi) / kPi * 1.0f + 100, 5.2f);
                        return r > 9 ? 9.0f : std::abs(turn - 2.6f) - 1.0f;
                    },
                    ink, x, 0, x + 32, 32);
        break;
    }
}

void Icons(PictureWriter& out)
{
    Canvas canvas(256, 32);
    for (int i = 0; i < 8; ++i)
        Icon(canvas, i * 32.0f, i % 4, i >= 4);
    out.Write("res/gamemap_icons.png", canvas);
}

// A pointing glove, the finger tapping across four frames.
void Hands(PictureWriter& out)
{
    Canvas canvas(192, 48);
    const float taps[4] = {0, 2, 4, 2};
    for (int f = 0; f < 4; ++f) {
        const float ox = f * 48.0f, dy = taps[f];
        const auto shape = [=](float x, float y) {
            const float palm = Shapes::RoundBox(x, y, ox + 14, 20 + dy, 22, 20, 7);
            const float finger = Shapes::Capsule(x, y, {ox + 18, 24 + dy}, {ox + 18, 5 + dy * 1.5f}, 3.6f);
            const float thumb = Shapes::Capsule(x, y, {ox + 14, 30 + dy}, {ox + 8, 24 + dy}, 3.4f);
            float knuckles = 1e9f;
            for (int k = 0; k < 3; ++k)
                knuckles = std::min(knuckles, Shapes::Circle(x, y, ox + 24.5f + k * 5, 21 + dy, 3.6f));
            const float cuff = Shapes::RoundBox(x, y, ox + 15, 39 + dy, 20, 8, 2);
            return std::min({palm, finger, thumb, knuckles, cuff});
        };
        canvas.Fill([=](float x, float y) { return shape(x, y) - 1.6f; }, FromBytes(20, 26, 40), ox, 0, ox + 48, 48);
        canvas.Fill(shape, [=](float x, float y) {
                        const float lit = 1.0f - 0.25f * (x - ox - 8) / 30 - 0.1f * (y - dy) / 48;
                        return Scaled(FromBytes(245, 245, 250), lit);
                    },
                    ox, 0, ox + 48, 48);
        canvas.Fill([=](float x, float y) { return Shapes::RoundBox(x, y, ox + 15, 39 + dy, 20, 8, 2); },
                    Palette::kGold, ox, 0, ox + 48, 48);
        for (int k = 0; k < 2; ++k)
            canvas.Fill([=](float x, float y) { return Shapes::Capsule(x, y, {ox + 27.0f + k * 5, 24 + dy}, {ox + 27.0f + k * 5, 27 + dy}, 0.4f); },
                        WithAlpha(FromBytes(120, 120, 140), 0.8f), ox, 0, ox + 48, 48);
    }
    out.Write("res/hand.png", canvas);
}

// Three small landscapes: a sunset sea, moonlit peaks, a green dawn.
void CrossFade(PictureWriter& out)
{
    Canvas canvas(384, 96);
    const Noise hills(0x7A11E5u);
    struct Scene {
        Rgba skyTop, skyLow, sun, ground, far;
        float sunX, sunY, sunR;
        bool water;
    };
    const Scene scenes[3] = {
        {FromBytes(40, 40, 100), FromBytes(250, 150, 90), FromBytes(255, 220, 140), FromBytes(30, 60, 100), FromBytes(90, 60, 90), 80, 58, 14, true},
        {FromBytes(8, 12, 34), FromBytes(40, 60, 110), FromBytes(235, 240, 255), FromBytes(20, 26, 44), FromBytes(60, 74, 110), 94, 24, 8, false},
        {FromBytes(120, 180, 230), FromBytes(250, 230, 180), FromBytes(255, 250, 210), FromBytes(50, 120, 60), FromBytes(110, 160, 120), 30, 40, 10, false}};
    for (int s = 0; s < 3; ++s) {
        const Scene& sc = scenes[s];
        const float ox = s * 128.0f;
        canvas.Fill([=](float x, float y) { return Shapes::RoundBox(x, y, ox, 0, 128, 96, 6); },
                    [&, ox](float x, float y) {
                        const float u = x - ox;
                        Rgba c = Mix(sc.skyTop, sc.skyLow, std::pow(y / 96, 1.3f));
                        c = Mix(c, sc.sun, std::exp(-std::pow(std::hypot(u - sc.sunX, y - sc.sunY) / (sc.sunR * 2.5f), 2)) * 0.6f);
                        if (std::hypot(u - sc.sunX, y - sc.sunY) < sc.sunR)
                            c = sc.sun;
                        const float farLine = (s == 1 ? 52 : 60) - 22 * hills.Fractal(u / 30 + s * 7, 0.5f, 3) * (s == 1 ? 1.6f : 1.0f);
                        c = Mix(c, Mix(sc.far, c, 0.25f), std::clamp(y - farLine + 0.5f, 0.0f, 1.0f));
                        const float nearLine = 74 - 14 * hills.Fractal(u / 20 + s * 13, 3.5f, 3);
                        if (sc.water && y > 66) {
                            const float shimmer = std::exp(-std::pow((u - sc.sunX) / 10, 2)) * (std::sin(y * 2.1f) > 0.3f ? 0.6f : 0.1f);
                            c = Mix(Mix(sc.ground, sc.skyLow, 0.25f), sc.sun, shimmer);
                        } else if (!sc.water) {
                            const Rgba ground = Scaled(sc.ground, 1.0f - 0.3f * std::max(0.0f, y - nearLine) / 30);
                            c = Mix(c, ground, std::clamp(y - nearLine + 0.5f, 0.0f, 1.0f));
                        }
                        return c;
                    },
                    ox, 0, ox + 128, 96);
    }
    out.Write("res/xfade.png", canvas);
}

void Monitors(PictureWriter& out)
{
    // Each tiles across its 96 pixels, since the map scrolls it sideways.
    const auto screen = [](Canvas& c, const Rgba& tint) {
        c.Paint([=](float, float y) {
            const float scan = int(y) % 3 == 0 ? 0.75f : 1.0f;
            return Scaled(Mix(FromBytes(4, 10, 12), Scaled(tint, 0.25f), 0.6f), scan);
        });
        for (int x = 0; x < 96; x += 16)
            c.Fill([=](float px, float) { return std::abs(px - x - 0.5f) - 0.5f; }, WithAlpha(tint, 0.18f), float(x) - 1, 0, float(x) + 2, 64);
        for (int y = 8; y < 64; y += 16)
            c.Fill([=](float, float py) { return std::abs(py - y - 0.5f) - 0.5f; }, WithAlpha(tint, 0.18f), 0, float(y) - 1, 96, float(y) + 2);
    };
    const float tau = 2 * kPi;
    {
        Canvas c(96, 64);
        const Rgba green = FromBytes(90, 255, 140);
        screen(c, green);
        c.Add([=](float x, float y) {
                  const float wave = 32 - 14 * std::sin(x / 96 * tau * 2) - 6 * std::sin(x / 96 * tau * 5);
                  return std::abs(y - wave) - 1.2f;
              },
              [=](float, float) { return green; }, 0, 0, 96, 64);
        out.Write("res/monitor1.png", c);
    }
    {
        Canvas c(96, 64);
        const Rgba amber = FromBytes(255, 180, 60);
        screen(c, amber);
        const float heights[8] = {20, 34, 26, 44, 30, 50, 38, 24};
        for (int i = 0; i < 8; ++i) {
            const float x = i * 12 + 3.0f, top = 60 - heights[i];
            c.Add([=](float px, float py) { return Shapes::RoundBox(px, py, x, top, 7, heights[i], 1); },
                  [=](float, float py) { return Scaled(amber, 0.5f + 0.5f * (60 - py) / 50); }, x - 1, top - 1, x + 8, 61);
        }
        out.Write("res/monitor2.png", c);
    }
    {
        Canvas c(96, 64);
        const Rgba teal = FromBytes(90, 220, 255);
        screen(c, teal);
        const Noise n(0x3EAD1u, 6, 0);
        c.Add([&](float x, float y) {
                  const float line = 40 - 26 * n.Fractal(x / 16, 0.3f, 2);
                  return std::abs(y - line) - 0.9f;
              },
              [=](float, float) { return teal; }, 0, 0, 96, 64);
        for (int i = 0; i < 6; ++i) {
            const float x = 8 + i * 16.0f, y = 12 + (i * 23) % 40;
            c.Add([=](float px, float py) { return Shapes::Circle(px, py, x, y, 1.8f); },
                  [=](float, float) { return Mix(teal, Palette::kWhite, 0.5f); }, x - 3, y - 3, x + 3, y + 3);
        }
        out.Write("res/monitor3.png", c);
    }
}

void Lamps(PictureWriter& out)
{
    Canvas light(16, 16);
    light.Add([](float x, float y) { return Shapes::Circle(x, y, 8, 8, 7.9f); },
              [](float x, float y) {
                  const float k = std::pow(std::max(0.0f, 1 - std::hypot(x - 8, y - 8) / 8), 1.6f);
                  return Rgba{k, 0.85f * k, 0.5f * k, 1};
              },
              0, 0, 16, 16);
    out.Write("res/light.png", light);

    Canvas lamp(16, 16);
    lamp.Fill([](float x, float y) { return Shapes::Circle(x, y, 8, 8, 6.5f); },
              [](float x, float y) {
                  const float r = std::hypot(x - 6.5f, y - 6) / 9;
                  return Mix(FromBytes(220, 255, 200), FromBytes(60, 180, 80), std::min(1.0f, r));
              },
              0, 0, 16, 16);
    lamp.Fill([](float x, float y) { return Shapes::Circle(x, y, 6, 5.5f, 1.8f); }, WithAlpha(Palette::kWhite, 0.9f), 0, 0, 16, 16);
    out.Write("res/indicator.png", lamp);
}

} // namespace

void DrawMapArt(PictureWriter& out)
{
    Console(out);
    MapPicture(out, "res/map1.png",
               {FromBytes(20, 50, 100), FromBytes(50, 120, 160), FromBytes(210, 195, 140), FromBytes(110, 170, 80),
                FromBytes(40, 110, 60), FromBytes(150, 150, 140), 0xA11CE1u});
    MapPicture(out, "res/map2.png",
               {FromBytes(30, 40, 90), FromBytes(60, 110, 150), FromBytes(230, 210, 160), FromBytes(215, 180, 120),
                FromBytes(170, 120, 80), FromBytes(240, 240, 250), 0xA11CE2u});
    Highlight(out);
    Radar(out);
    Icons(out);
    Hands(out);
    CrossFade(out);
    Monitors(out);
    Lamps(out);
}
