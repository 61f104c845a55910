// The play panel and its parts, the window frame, header and widgets, the
// hiscore column titles, the stage badges and the cups.
#include "tools/GlyphFace.h"
#include "tools/pictures/Art.h"
#include "tools/pictures/Noise.h"
#include "tools/pictures/Outlined.h"
#include "tools/pictures/Palette.h"
#include "tools/pictures/PictureWriter.h"
#include "tools/pictures/Shapes.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

Rgba VerticalGradient(const Rgba& top, const Rgba& bottom, float y, float y0, float y1)
{
    return Mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0f, 1.0f));
}

// A sunken socket: darker inside, a light lower rim.
void Socket(Canvas& canvas, float x, float y, float w, float h, float radius)
{
    canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x - 1, y - 1, w + 2, h + 2, radius + 1); },
                WithAlpha(Mix(Palette::kSlateLight, Palette::kWhite, 0.2f), 0.8f), x - 2, y - 2, x + w + 2, y + h + 2);
    canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x - 1, y - 2, w + 2, h + 2, radius + 1); },
                Palette::kInk, x - 2, y - 3, x + w + 2, y + h + 2);
    canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x, y, w, h, radius); },
                [=](float, float py) { return VerticalGradient(Palette::kInk, Palette::kSlateDark, py, y, y + h); },
                x, y, x + w, y + h);
}

void ShadowedText(Canvas& canvas, const GlyphFace& face, float x, float y, const std::string& text, const Rgba& colour,
                  bool centre)
{
    canvas.Text(face, x + 1, y + 1, text, WithAlpha(Palette::kInk, 0.7f), centre);
    canvas.Text(face, x, y, text, colour, centre);
}

// The level-map game's panel shows score, level, phase, energy and goal; the
// endless game's only score and energy.
void HudBody(PictureWriter& out, bool endless)
{
    const Noise grain(0x4D5B0D1Eu, 0, 0);
    Canvas canvas(800, 64);
    canvas.Fill([](float x, float y) { return Shapes::RoundBox(x, y, -20, -20, 840, 80, 14); },
                [&](float x, float y) {
                    const Rgba base = VerticalGradient(Palette::kSlateLight, Palette::kSlateDark, y, 0, 60);
                    return Scaled(base, 0.92f + 0.12f * grain.Fractal(x / 40, y / 40, 3));
                },
                0, 0, 800, 64);
    canvas.Fill([](float x, float y) { return Shapes::Outline(Shapes::RoundBox(x, y, -20, -20, 840, 80, 14), 2.0f); },
                [](float x, float) { return Mix(Palette::kGold, Palette::kGoldDark, std::abs(x - 400) / 400); }, 0, 50, 800, 64);
    Socket(canvas, 16, 16, 56, 32, 7);
    Socket(canvas, 80, 16, 56, 32, 7);
    Socket(canvas, 150, 14, 140, 34, 8);
    Socket(canvas, 558, 10, 204, 18, 6);
    if (!endless) {
        Socket(canvas, 300, 14, 60, 34, 8);
        Socket(canvas, 440, 14, 60, 34, 8);
        Socket(canvas, 558, 36, 204, 18, 6);
    }
    // The piece preview sits in a round well at the centre.
    canvas.Fill([](float x, float y) { return Shapes::Circle(x, y, 400, 32, 29); }, Palette::kGoldDark, 368, 0, 432, 64);
    canvas.Fill([](float x, float y) { return Shapes::Circle(x, y, 400, 32, 27); },
                [](float x, float y) {
                    const float r = std::hypot(x - 400, y - 32) / 27;
                    return Mix(Palette::kSlateDark, Palette::kInk, r * r);
                },
                368, 0, 432, 64);
    GlyphFace small(true, 10);
    ShadowedText(canvas, small, 220, 11, "SCORE", Palette::kGold, true);
    ShadowedText(canvas, small, 507, 23, "ENERGY", Palette::kText, false);
    if (!endless) {
        ShadowedText(canvas, small, 330, 11, "LEVEL", Palette::kGold, true);
        ShadowedText(canvas, small, 470, 11, "PHASE", Palette::kGold, true);
        ShadowedText(canvas, small, 507, 49, "GOAL", Palette::kText, false);
    }
    out.Write(endless ? "res/hud_body_endless.png" : "res/hud_body.png", canvas);
}

void Bar(Canvas& canvas, float x, float y, const Rgba& colour)
{
    canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x, y, 200, 14, 5); },
                [=](float px, float py) {
                    const float t = (py - y) / 14;
                    Rgba c = Mix(Mix(colour, Palette::kWhite, 0.45f), Scaled(colour, 0.7f), t);
                    // Faint notches every 20 pixels read as a gauge.
                    if (int(px - x) % 20 == 19)
                        c = Scaled(c, 0.8f);
                    return c;
                },
                x, y, x + 200, y + 14);
    canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x + 3, y + 2, 194, 4, 2); },
                WithAlpha(Palette::kWhite, 0.35f), x, y, x + 200, y + 8);
}

void HudParts(PictureWriter& out)
{
    Canvas canvas(800, 64);
    Bar(canvas, 560, 12, FromBytes(90, 210, 100));
    Bar(canvas, 560, 38, FromBytes(80, 150, 240));
    // Menu: three lines; pause: two bars. Both white, tinted by the panel.
    for (int i = 0; i < 3; ++i) {
        const float y = 24 + i * 8.0f;
        canvas.Fill([=](float px, float py) { return Shapes::Capsule(px, py, {32, y}, {56, y}, 2.2f); }, Palette::kWhite,
                    26, y - 4, 62, y + 4);
    }
    for (int i = 0; i < 2; ++i) {
        const float x = 101 + i * 14.0f;
        canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x, 22, 6, 20, 2); }, Palette::kWhite, x - 2,
                    20, x + 8, 44);
    }
    out.Write("res/hud_parts.png", canvas);
}

// A curved arrow turning back: one move undone.
void UndoIcon(Canvas& canvas, float cx, float cy, const Rgba& colour)
{
    constexpr float kRadius = 6.5f;
    constexpr float kGapFrom = -2.62f, kGapTo = -1.05f; // the arc leaves out its top
    canvas.Fill([=](float x, float y) {
                    const float angle = std::atan2(y - cy, x - cx);
                    if (angle > kGapFrom && angle < kGapTo)
                        return 99.0f;
                    return Shapes::Outline(Shapes::Circle(x, y, cx, cy, kRadius), 2.4f);
                },
                colour, cx - 12, cy - 10, cx + 12, cy + 10);
    const Point end = {cx + kRadius * std::cos(kGapFrom), cy + kRadius * std::sin(kGapFrom)};
    const Point dir = {std::sin(kGapFrom), -std::cos(kGapFrom)};
    const Point side = {-dir.y, dir.x};
    const std::vector<Point> head = {{end.x + dir.x * 4.5f, end.y + dir.y * 4.5f},
                                     {end.x - dir.x * 1.5f + side.x * 4.5f, end.y - dir.y * 1.5f + side.y * 4.5f},
                                     {end.x - dir.x * 1.5f - side.x * 4.5f, end.y - dir.y * 1.5f - side.y * 4.5f}};
    canvas.Fill([&](float x, float y) { return Shapes::Polygon(x, y, head); }, colour, cx - 14, cy - 12, cx + 4, cy + 4);
}

void Undo(PictureWriter& out)
{
    Canvas canvas(168, 24);
    for (int f = 0; f < 3; ++f) {
        const float x = f * 56.0f;
        const float light = f == 1 ? 1.25f : f == 2 ? 0.8f : 1.0f;
        const float sink = f == 2 ? 1.0f : 0.0f;
        canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x + 1, 1, 54, 22, 8); },
                    [=](float, float py) {
                        return Scaled(VerticalGradient(Palette::kSlateLight, Palette::kSlateDark, py, 1, 23), light);
                    },
                    x, 0, x + 56, 24);
        canvas.Fill([=](float px, float py) { return Shapes::Outline(Shapes::RoundBox(px, py, x + 1, 1, 54, 22, 8), 1.5f); },
                    f == 1 ? Palette::kGold : Palette::kGoldDark, x, 0, x + 56, 24);
        UndoIcon(canvas, x + 28, 13 + sink, f == 1 ? Palette::kWhite : Palette::kText);
    }
    out.Write("res/undo.png", canvas);
}

void Arrow(PictureWriter& out)
{
    Canvas canvas(24, 24);
    FillOutlined(canvas, {{3, 8}, {12, 8}, {12, 2}, {22, 12}, {12, 22}, {12, 16}, {3, 16}}, Palette::kInk, 1.2f,
                 [](float, float y) {
                     return VerticalGradient(Mix(Palette::kGold, Palette::kWhite, 0.5f), Palette::kGoldDark, y, 2, 22);
                 });
    out.Write("res/arrow.png", canvas);
}

void HiscoreTitles(PictureWriter& out)
{
    Canvas canvas(240, 56);
    GlyphFace face(true, 18);
    ShadowedText(canvas, face, 120, 21, "MAP GAME", Palette::kGold, true);
    ShadowedText(canvas, face, 120, 49, "ENDLESS", Palette::kGold, true);
    out.Write("res/hs_titles.png", canvas);
}

// Frame pieces side by side: border 24, shadow 8, middle 16, shadow 8, border 24.
// The middle repeats every 16 pixels across; the bands of 75 rows run down the screen.
void GuiFrame(PictureWriter& out)
{
    const Noise grain(0x6A1F4A3Eu);
    Canvas canvas(80, 600);
    // The middle is tiled across whole windows: shading that changed from column to column by less than a
    // 16-bit step would show there as dashes repeating with the tile, so it changes along y only, and a
    // dither as fine as the tile keeps its rows from falling into bands in 16-bit colour.
    const auto middle = [&](float x, float y) {
        const float n = grain.Fractal(0, y / 16, 2);
        const Rgba base = VerticalGradient(FromBytes(34, 50, 78), FromBytes(18, 28, 46), y, 0, 600);
        return Dithered(WithAlpha(Scaled(base, 0.94f + 0.12f * n), 0.9f), x, y);
    };
    canvas.Paint(middle);
    const auto border = [&](float x0, float w, bool left) {
        canvas.Fill([=](float x, float) { return std::max(x0 - x, x - (x0 + w)); },
                    [=](float x, float y) {
                        const float u = left ? (x - x0) / w : 1 - (x - x0) / w;
                        // A rounded pillar: lit on its outer face, with a gold inlay.
                        Rgba c = Mix(Palette::kSlateLight, Palette::kSlateDark, std::abs(u - 0.35f) * 1.6f);
                        c = Scaled(c, 0.9f + 0.1f * std::sin(y / 600 * 3.14159f));
                        const float inlay = std::exp(-std::pow((u - 0.62f) / 0.07f, 2));
                        return Mix(c, Palette::kGold, 0.85f * inlay);
                    },
                    x0, 0, x0 + w, 600);
    };
    border(0, 24, true);
    border(56, 24, false);
    // Shadows the borders cast onto the middle.
    canvas.Fill([](float x, float) { return std::max(24 - x, x - 32); },
                [&](float x, float y) { return Mix(middle(x, y), Palette::kInk, 0.55f * (32 - x) / 8); }, 24, 0, 32, 600);
    canvas.Fill([](float x, float) { return std::max(48 - x, x - 56); },
                [&](float x, float y) { return Mix(middle(x, y), Palette::kInk, 0.55f * (x - 48) / 8); }, 48, 0, 56, 600);
    out.Write("res/gui_frame.png", canvas);
}

void GuiHeader(PictureWriter& out)
{
    Canvas canvas(256, 48);
    // A ribbon with folded tails and a jewel at its centre.
    const std::vector<Point> ribbon = {{40, 12}, {216, 12}, {234, 24}, {216, 36}, {40, 36}, {22, 24}};
    for (float side : {-1.0f, 1.0f}) {
        const float x = 128 + side * 108;
        const std::vector<Point> tail = {{x, 16}, {x + side * 18, 16}, {x + side * 10, 26}, {x + side * 18, 36}, {x, 36}};
        canvas.Fill([&](float px, float py) { return Shapes::Polygon(px, py, tail); }, Palette::kGoldDark, 0, 0, 256, 48);
    }
    canvas.Fill([&](float x, float y) { return Shapes::Polygon(x, y, ribbon); },
                [](float, float y) { return VerticalGradient(Mix(Palette::kGold, Palette::kWhite, 0.35f), Palette::kGoldDark, y, 12, 36); },
                0, 0, 256, 48);
    canvas.Fill([&](float x, float y) { return Shapes::Outline(Shapes::Polygon(x, y, ribbon), 1.2f); }, Palette::kGoldDark,
                0, 0, 256, 48);
    canvas.Fill([](float x, float y) { return Shapes::Polygon(x, y, {{128, 2}, {150, 24}, {128, 46}, {106, 24}}); },
                [](float x, float y) {
                    const float r = std::hypot(x - 122, y - 18) / 24;
                    return Mix(Mix(Palette::kTeal, Palette::kWhite, 0.6f), FromBytes(20, 90, 110), r);
                },
                100, 0, 156, 48);
    canvas.Fill([](float x, float y) { return Shapes::Outline(Shapes::Polygon(x, y, {{128, 2}, {150, 24}, {128, 46}, {106, 24}}), 2); },
                Palette::kGold, 100, 0, 156, 48);
    out.Write("res/gui_header.png", canvas);
}

void GuiParts(PictureWriter& out)
{
    Canvas canvas(256, 256);
    Socket(canvas, 2, 2, 24, 24, 5);
    // The check mark.
    canvas.Fill([](float x, float y) {
                    return std::min(Shapes::Capsule(x, y, {39, 14}, {45, 21}, 2.6f), Shapes::Capsule(x, y, {45, 21}, {54, 6}, 2.6f));
                },
                Palette::kGold, 32, 0, 60, 28);
    // The nut: a gold knob.
    canvas.Fill([](float x, float y) { return Shapes::RoundBox(x, y, 65, 1, 14, 22, 5); },
                [](float x, float) { return Mix(Mix(Palette::kGold, Palette::kWhite, 0.5f), Palette::kGoldDark, (x - 65) / 14); },
                64, 0, 80, 24);
    // The slider: a groove between two arrow caps.
    Socket(canvas, 26, 38, 188, 4, 2);
    for (float side : {0.0f, 1.0f}) {
        const float x = side == 0 ? 0 : 216;
        canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x + 1, 33, 22, 14, 5); },
                    [](float, float y) { return VerticalGradient(Palette::kSlateLight, Palette::kSlateDark, y, 33, 47); },
                    x, 32, x + 24, 48);
        const float tip = side == 0 ? x + 7 : x + 17, back = side == 0 ? x + 16 : x + 8;
        canvas.Fill([=](float px, float py) { return Shapes::Polygon(px, py, {{tip, 40}, {back, 35}, {back, 45}}); },
                    Palette::kText, x, 32, x + 24, 48);
    }
    // The scrollbar: arrows, rail and the three thumb pieces.
    for (int i = 0; i < 2; ++i) {
        const float x = i * 16.0f;
        canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, x + 1, 65, 14, 14, 4); },
                    [](float, float y) { return VerticalGradient(Palette::kSlateLight, Palette::kSlateDark, y, 65, 79); },
                    x, 64, x + 16, 80);
        const float tipY = i == 0 ? 68 : 76, backY = i == 0 ? 76 : 68;
        canvas.Fill([=](float px, float py) { return Shapes::Polygon(px, py, {{x + 8, tipY}, {x + 12.5f, backY}, {x + 3.5f, backY}}); },
                    Palette::kText, x, 64, x + 16, 80);
    }
    Socket(canvas, 36, 65, 8, 138, 3);
    canvas.Fill([](float x, float y) { return Shapes::RoundBox(x, y, 49, 64, 14, 12, 1); },
                [](float x, float) { return Mix(Mix(Palette::kGold, Palette::kWhite, 0.3f), Palette::kGoldDark, (x - 49) / 14); },
                48, 64, 64, 72);
    canvas.Fill([](float x, float y) { return Shapes::RoundBox(x, y, 65, 65, 14, 12, 5); },
                [](float x, float) { return Mix(Mix(Palette::kGold, Palette::kWhite, 0.3f), Palette::kGoldDark, (x - 65) / 14); },
                64, 64, 80, 70);
    canvas.Fill([](float x, float y) { return Shapes::RoundBox(x, y, 81, 58, 14, 12, 5); },
                [](float x, float) { return Mix(Mix(Palette::kGold, Palette::kWhite, 0.3f), Palette::kGoldDark, (x - 81) / 14); },
                80, 64, 96, 70);
    out.Write("res/gui_parts.png", canvas);
}

void Stages(PictureWriter& out)
{
    const Rgba colours[5] = {FromBytes(90, 180, 90), FromBytes(220, 170, 90), FromBytes(60, 180, 190),
                             FromBytes(110, 130, 200), FromBytes(150, 90, 200)};
    GlyphFace face(true, 34);
    Canvas canvas(432, 72);
    for (int i = 0; i < 5; ++i) {
        const float cx = i * 72 + 36.0f;
        canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, cx, 36, 33); }, Palette::kGoldDark, cx - 36, 0, cx + 36, 72);
        canvas.Fill([=](float x, float y) { return Shapes::Circle(x, y, cx, 36, 30); },
                    [=, &colours](float x, float y) {
                        const float r = std::hypot(x - cx + 8, y - 26) / 44;
                        return Mix(Mix(colours[i], Palette::kWhite, 0.45f), Scaled(colours[i], 0.55f), r);
                    },
                    cx - 36, 0, cx + 36, 72);
        canvas.Fill([=](float x, float y) { return Shapes::Outline(Shapes::Circle(x, y, cx, 36, 31.5f), 1.5f); },
                    Mix(Palette::kGold, Palette::kWhite, 0.3f), cx - 36, 0, cx + 36, 72);
        const std::string digit(1, char('1' + i));
        canvas.Text(face, cx + 1.5f, 50.5f, digit, WithAlpha(Palette::kInk, 0.6f), true);
        canvas.Text(face, cx, 49, digit, Palette::kWhite, true);
    }
    canvas.Fill([](float x, float y) { return Shapes::Outline(Shapes::Circle(x, y, 396, 36, 34), 3.5f); },
                [](float x, float y) {
                    const float a = std::atan2(y - 36, x - 396);
                    return Mix(Palette::kGold, Palette::kWhite, 0.5f + 0.5f * std::sin(a * 3));
                },
                360, 0, 432, 72);
    out.Write("res/stages.png", canvas);
}

void Cup(Canvas& canvas, float x, const Rgba& metal, bool lit)
{
    const float cx = x + 24;
    if (lit) {
        canvas.Fill([=](float px, float py) { return Shapes::Circle(px, py, cx, 22, 23); },
                    [=](float px, float py) {
                        const float r = std::hypot(px - cx, py - 22) / 23;
                        return WithAlpha(Mix(metal, Palette::kWhite, 0.5f), 0.55f * (1 - r));
                    },
                    x, 0, x + 48, 48);
    }
    const auto shade = [=](float px, float) {
        const float u = (px - (cx - 14)) / 28;
        const float light = 0.6f + 0.7f * std::exp(-std::pow((u - 0.32f) / 0.22f, 2)) - 0.25f * u;
        return Scaled(Mix(metal, Palette::kWhite, lit ? 0.25f : 0.0f), light);
    };
    // Handles, bowl, stem and foot.
    canvas.Fill([=](float px, float py) { return Shapes::Outline(Shapes::Ellipse(px, py, cx - 14, 18, 6, 7), 3); }, shade, x, 0, x + 48, 48);
    canvas.Fill([=](float px, float py) { return Shapes::Outline(Shapes::Ellipse(px, py, cx + 14, 18, 6, 7), 3); }, shade, x, 0, x + 48, 48);
    canvas.Fill([=](float px, float py) {
                    return std::max(Shapes::Ellipse(px, py, cx, 10, 14, 20), 8 - py);
                },
                shade, x, 0, x + 48, 48);
    canvas.Fill([=](float px, float py) { return Shapes::Polygon(px, py, {{cx - 3, 28}, {cx + 3, 28}, {cx + 5, 38}, {cx - 5, 38}}); }, shade, x, 0, x + 48, 48);
    canvas.Fill([=](float px, float py) { return Shapes::RoundBox(px, py, cx - 11, 37, 22, 7, 2); }, shade, x, 0, x + 48, 48);
    canvas.Fill([=](float px, float py) { return Shapes::Ellipse(px, py, cx, 9, 13, 2.5f); },
                Scaled(metal, 0.45f), x, 0, x + 48, 48);
}

void Cups(PictureWriter& out)
{
    const Rgba metals[8] = {FromBytes(205, 127, 50),  FromBytes(200, 205, 215), FromBytes(240, 190, 60),  FromBytes(80, 190, 130),
                            FromBytes(220, 70, 90),   FromBytes(70, 120, 230),  FromBytes(160, 100, 220), FromBytes(225, 235, 245)};
    Canvas canvas(768, 48);
    for (int i = 0; i < 16; ++i)
        Cup(canvas, i * 48.0f, metals[i % 8], i >= 8);
    out.Write("res/cups.png", canvas);
}

} // namespace

void DrawPanelArt(PictureWriter& out)
{
    HudBody(out, false);
    HudBody(out, true);
    HudParts(out);
    Undo(out);
    Arrow(out);
    HiscoreTitles(out);
    GuiFrame(out);
    GuiHeader(out);
    GuiParts(out);
    Stages(out);
    Cups(out);
}
