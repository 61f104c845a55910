#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class GlyphFace;

// A colour with straight alpha, components 0..1.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba Scaled(const Rgba& c, float light); // colour times light, alpha kept
Rgba WithAlpha(const Rgba& c, float a);
Rgba FromBytes(int r, int g, int b, int a = 255);
// The colour at the pixel centred on (x, y) moved by an ordered dither of one
// 16-bit colour step: narrowed to 5 bits, a smooth shading then keeps its
// mean over every 4 x 4 pixels instead of breaking into bands.
Rgba Dithered(const Rgba& c, float x, float y);

// A picture being painted: premultiplied float pixels, painted with
// anti-aliased shapes given as signed distance functions.
class Canvas {
public:
    using Distance = std::function<float(float x, float y)>;
    using Shader = std::function<Rgba(float x, float y)>;

    Canvas(int width, int height);
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

    // Source-over: the shape (distance < 0 inside, in pixels) within the box
    // x0..x1, y0..y1, coloured by the shader at each pixel centre.
    void Fill(const Distance& shape, const Shader& shader, float x0, float y0, float x1, float y1);
    void Fill(const Distance& shape, const Rgba& colour, float x0, float y0, float x1, float y1);
    // Every pixel, source-over.
    void Paint(const Shader& shader);
    // Adds light: colour times coverage added to the pixel; the alpha follows the
    // brightest channel, so the light also reads right when blended normally.
    void Add(const Distance& shape, const Shader& shader, float x0, float y0, float x1, float y1);
    // Text on a baseline; centred on x when centre.
    void Text(const GlyphFace& face, float x, float baseline, const std::string& text, const Rgba& colour,
              bool centre = false);

    Rgba At(int x, int y) const; // straight alpha

    // 0xAARRGGBB words; pixels with alpha 0 are exactly 0.
    std::vector<uint32_t> Pixels() const;

private:
    struct PixelCentre {
        float x, y;
    };
    // Calls paint(x, y, centre, coverage) for every pixel of the box the shape covers.
    template <class Painter>
    void Cover(const Distance& shape, float x0, float y0, float x1, float y1, Painter paint);
    void Blend(int x, int y, const Rgba& colour, float coverage);
    struct Pixel {
        float r = 0, g = 0, b = 0, a = 0; // premultiplied
    };
    int mWidth;
    int mHeight;
    std::vector<Pixel> mPixels;
};
