#include "tools/pictures/Canvas.h"

#include "tools/GlyphFace.h"

#include <algorithm>
#include <cmath>

Rgba Mix(const Rgba& a, const Rgba& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba Scaled(const Rgba& c, float light)
{
    return {std::min(1.0f, c.r * light), std::min(1.0f, c.g * light), std::min(1.0f, c.b * light), c.a};
}

Rgba WithAlpha(const Rgba& c, float a) { return {c.r, c.g, c.b, a}; }

Rgba FromBytes(int r, int g, int b, int a) { return {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f}; }

Rgba Dithered(const Rgba& c, float x, float y)
{
    static constexpr int kOrder[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    if (c.a <= 0.0f)
        return c;
    // The step applies to the premultiplied colour the display narrows.
    const int threshold = kOrder[int(std::floor(y)) & 3][int(std::floor(x)) & 3];
    const float offset = ((threshold + 0.5f) / 16 - 0.5f) / 31 / c.a;
    const auto moved = [offset](float v) { return std::clamp(v + offset, 0.0f, 1.0f); };
    return {moved(c.r), moved(c.g), moved(c.b), c.a};
}

Canvas::Canvas(int width, int height)
    : mWidth(width), mHeight(height), mPixels(size_t(width) * size_t(height))
{
}

void Canvas::Blend(int x, int y, const Rgba& colour, float coverage)
{
    const float a = std::clamp(colour.a * coverage, 0.0f, 1.0f);
    if (a <= 0.0f)
        return;
    Pixel& p = mPixels[size_t(y) * size_t(mWidth) + size_t(x)];
    const float keep = 1.0f - a;
    p.r = colour.r * a + p.r * keep;
    p.g = colour.g * a + p.g * keep;
    p.b = colour.b * a + p.b * keep;
    p.a = a + p.a * keep;
}

namespace {

struct Box {
    int x0, y0, x1, y1;
};

Box Clipped(float x0, float y0, float x1, float y1, int w, int h)
{
    return {std::max(0, int(std::floor(x0)) - 1), std::max(0, int(std::floor(y0)) - 1),
            std::min(w, int(std::ceil(x1)) + 1), std::min(h, int(std::ceil(y1)) + 1)};
}

float Coverage(float distance) { return std::clamp(0.5f - distance, 0.0f, 1.0f); }

} // namespace

template <class Painter>
void Canvas::Cover(const Distance& shape, float x0, float y0, float x1, float y1, Painter paint)
{
    const Box box = Clipped(x0, y0, x1, y1, mWidth, mHeight);
    for (int y = box.y0; y < box.y1; ++y) {
        for (int x = box.x0; x < box.x1; ++x) {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            const float coverage = Coverage(shape(px, py));
            if (coverage > 0.0f)
                paint(x, y, PixelCentre{px, py}, coverage);
        }
    }
}

void Canvas::Fill(const Distance& shape, const Shader& shader, float x0, float y0, float x1, float y1)
{
    Cover(shape, x0, y0, x1, y1,
          [&](int x, int y, PixelCentre at, float coverage) { Blend(x, y, shader(at.x, at.y), coverage); });
}

void Canvas::Fill(const Distance& shape, const Rgba& colour, float x0, float y0, float x1, float y1)
{
    Fill(shape, [&colour](float, float) { return colour; }, x0, y0, x1, y1);
}

void Canvas::Paint(const Shader& shader)
{
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            Blend(x, y, shader(x + 0.5f, y + 0.5f), 1.0f);
}

void Canvas::Add(const Distance& shape, const Shader& shader, float x0, float y0, float x1, float y1)
{
    Cover(shape, x0, y0, x1, y1, [&](int x, int y, PixelCentre at, float coverage) {
        const Rgba c = shader(at.x, at.y);
        const float k = c.a * coverage;
        Pixel& p = mPixels[size_t(y) * size_t(mWidth) + size_t(x)];
        p.r = std::min(1.0f, p.r + c.r * k);
        p.g = std::min(1.0f, p.g + c.g * k);
        p.b = std::min(1.0f, p.b + c.b * k);
        p.a = std::min(1.0f, std::max({p.a, p.r, p.g, p.b}));
    });
}

void Canvas::Text(const GlyphFace& face, float x, float baseline, const std::string& text, const Rgba& colour,
                  bool centre)
{
    int pen = int(std::lround(centre ? x - face.TextWidth(text) / 2.0f : x));
    const int base = int(std::lround(baseline));
    for (char c : text) {
        const GlyphFace::Glyph glyph = face.Render(c);
        for (int gy = 0; gy < glyph.height; ++gy) {
            for (int gx = 0; gx < glyph.width; ++gx) {
                const int px = pen + glyph.left + gx;
                const int py = base - glyph.top + gy;
                if (px < 0 || py < 0 || px >= mWidth || py >= mHeight)
                    continue;
                Blend(px, py, colour, glyph.coverage[size_t(gy * glyph.width + gx)] / 255.0f);
            }
        }
        pen += glyph.advance;
    }
}

Rgba Canvas::At(int x, int y) const
{
    const Pixel& p = mPixels[size_t(y) * size_t(mWidth) + size_t(x)];
    if (p.a <= 0.0f)
        return {};
    return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

std::vector<uint32_t> Canvas::Pixels() const
{
    std::vector<uint32_t> out(mPixels.size());
    for (size_t i = 0; i < mPixels.size(); ++i) {
        const Pixel& p = mPixels[i];
        const auto byte = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
        const uint32_t a = byte(p.a);
        if (a == 0) {
            out[i] = 0;
            continue;
        }
        out[i] = a << 24 | byte(p.r / p.a) << 16 | byte(p.g / p.a) << 8 | byte(p.b / p.a);
    }
    return out;
}
