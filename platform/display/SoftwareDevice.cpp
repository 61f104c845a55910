#include "platform/display/SoftwareDevice.h"

#include "platform/display/DirectDrawPalette.h"
#include "platform/display/DirectDrawSurface.h"
#include "platform/display/DisplayDesktop.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace Platform {

namespace {

DDPIXELFORMAT TextureFormat(uint32_t flags, uint32_t bits, uint32_t alpha, uint32_t red, uint32_t green,
                            uint32_t blue)
{
    DDPIXELFORMAT format;
    format.dwFlags = flags;
    format.dwRGBBitCount = bits;
    format.dwRGBAlphaBitMask = alpha;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    return format;
}

// 0..255 products, rounded.
inline uint32_t Mul(uint32_t a, uint32_t b)
{
    const uint32_t p = a * b + 128;
    return (p + (p >> 8)) >> 8;
}

inline uint32_t Channel(uint32_t argb, int index)
{
    return (argb >> (24 - 8 * index)) & 0xFF;
}

uint32_t Modulate(uint32_t a, uint32_t b)
{
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i)
        out |= Mul(Channel(a, i), Channel(b, i)) << (24 - 8 * i);
    return out;
}

// a towards b by f in 0..1, in 256ths.
uint32_t Lerp(uint32_t a, uint32_t b, double f)
{
    const uint32_t weight = uint32_t(std::clamp(f, 0.0, 1.0) * 256.0);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t mixed = (((a >> shift) & 0xFF) * (256 - weight) + ((b >> shift) & 0xFF) * weight + 128) >> 8;
        out |= std::min<uint32_t>(mixed, 255) << shift;
    }
    return out;
}

// An attribute's plane over a triangle.
struct Plane {
    double atOrigin = 0;
    double perX = 0;
    double perY = 0;

    Plane() = default;
    Plane(const double* x, const double* y, const double* q, double det)
    {
        perX = ((q[1] - q[0]) * (y[2] - y[0]) - (q[2] - q[0]) * (y[1] - y[0])) / det;
        perY = ((q[2] - q[0]) * (x[1] - x[0]) - (q[1] - q[0]) * (x[2] - x[0])) / det;
        atOrigin = q[0] - perX * x[0] - perY * y[0];
    }
    double At(double px, double py) const { return atOrigin + perX * px + perY * py; }
};

uint32_t BlendFactor(uint32_t blend, uint32_t sourceAlpha)
{
    switch (blend) {
    case D3DBLEND_ZERO:
        return 0;
    case D3DBLEND_SRCALPHA:
        return sourceAlpha;
    case D3DBLEND_INVSRCALPHA:
        return 255 - sourceAlpha;
    default:
        return 255;
    }
}

} // namespace

SoftwareDevice::SoftwareDevice(DirectDrawSurface* target) : mTarget(target)
{
    mTarget->AddRef();
    mViewport.dwWidth = uint32_t(target->Width());
    mViewport.dwHeight = uint32_t(target->Height());
}

SoftwareDevice::~SoftwareDevice()
{
    if (mTexture)
        mTexture->Release();
    mTarget->Release();
}

const std::array<DDPIXELFORMAT, 5>& SoftwareDevice::TextureFormats()
{
    static const std::array<DDPIXELFORMAT, 5> formats = {
        TextureFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF),
        TextureFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0xF000, 0x0F00, 0x00F0, 0x000F),
        TextureFormat(DDPF_RGB, 16, 0, 0xF800, 0x07E0, 0x001F),
        TextureFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x8000, 0x7C00, 0x03E0, 0x001F),
        TextureFormat(DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0),
    };
    return formats;
}

HRESULT SoftwareDevice::GetCaps(D3DDEVICEDESC7* desc)
{
    if (!desc)
        return DDERR_INVALIDPARAMS;
    if (HRESULT fault = DisplayDesktop::Fault("GetCaps"))
        return fault;
    *desc = D3DDEVICEDESC7{};
    desc->dpcTriCaps.dwTextureCaps = D3DPTEXTURECAPS_ALPHAPALETTE;
    desc->dwMinTextureWidth = 1;
    desc->dwMinTextureHeight = 1;
    desc->dwMaxTextureWidth = 2048;
    desc->dwMaxTextureHeight = 2048;
    return D3D_OK;
}

HRESULT SoftwareDevice::EnumTextureFormats(TextureFormatCallback callback, void* context)
{
    if (!callback)
        return DDERR_INVALIDPARAMS;
    if (HRESULT fault = DisplayDesktop::Fault("EnumTextureFormats"))
        return fault;
    for (DDPIXELFORMAT format : TextureFormats())
        if (callback(&format, context) == D3DENUMRET_CANCEL)
            break;
    return D3D_OK;
}

HRESULT SoftwareDevice::SetViewport(const D3DVIEWPORT7* viewport)
{
    if (!viewport)
        return DDERR_INVALIDPARAMS;
    mViewport = *viewport;
    return D3D_OK;
}

SoftwareDevice::Bounds SoftwareDevice::DrawBounds() const
{
    const int64_t right = int64_t(mViewport.dwX) + mViewport.dwWidth;
    const int64_t bottom = int64_t(mViewport.dwY) + mViewport.dwHeight;
    return Bounds{int32_t(std::min<int64_t>(mViewport.dwX, mTarget->Width())),
                  int32_t(std::min<int64_t>(mViewport.dwY, mTarget->Height())),
                  int32_t(std::min<int64_t>(right, mTarget->Width())),
                  int32_t(std::min<int64_t>(bottom, mTarget->Height()))};
}

HRESULT SoftwareDevice::Clear(uint32_t count, const D3DRECT* rects, uint32_t flags, uint32_t color, float,
                              uint32_t)
{
    if (HRESULT fault = DisplayDesktop::Fault("Clear"))
        return fault;
    if (!(flags & D3DCLEAR_TARGET))
        return D3D_OK;
    const PixelLayout target = LayoutOf(mTarget);
    const Bounds bounds = DrawBounds();
    auto fill = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
        for (int32_t y = std::max(top, bounds.top); y < std::min(bottom, bounds.bottom); ++y)
            for (int32_t x = std::max(left, bounds.left); x < std::min(right, bounds.right); ++x)
                WriteArgb(target, x, y, color);
    };
    if (!rects || count == 0) {
        fill(bounds.left, bounds.top, bounds.right, bounds.bottom);
        return D3D_OK;
    }
    for (uint32_t i = 0; i < count; ++i)
        fill(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
    return D3D_OK;
}

HRESULT SoftwareDevice::SetRenderTarget(DirectDrawSurface* target, uint32_t)
{
    if (HRESULT fault = DisplayDesktop::Fault("SetRenderTarget"))
        return fault;
    if (!target || !(target->Caps() & DDSCAPS_3DDEVICE))
        return DDERR_INVALIDPARAMS;
    target->AddRef();
    mTarget->Release();
    mTarget = target;
    return D3D_OK;
}

HRESULT SoftwareDevice::BeginScene()
{
    if (HRESULT fault = DisplayDesktop::Fault("BeginScene"))
        return fault;
    if (mInScene)
        return D3DERR_SCENE_IN_SCENE;
    mInScene = true;
    return D3D_OK;
}

HRESULT SoftwareDevice::EndScene()
{
    if (HRESULT fault = DisplayDesktop::Fault("EndScene"))
        return fault;
    if (!mInScene)
        return D3DERR_SCENE_NOT_IN_SCENE;
    mInScene = false;
    return D3D_OK;
}

HRESULT SoftwareDevice::SetRenderState(uint32_t state, uint32_t value)
{
    if (HRESULT fault = DisplayDesktop::Fault("SetRenderState"))
        return fault;
    switch (state) {
    case D3DRENDERSTATE_ALPHABLENDENABLE:
        mAlphaBlend = value != 0;
        break;
    case D3DRENDERSTATE_SRCBLEND:
        mSourceBlend = value;
        break;
    case D3DRENDERSTATE_DESTBLEND:
        mDestBlend = value;
        break;
    default:
        break;
    }
    return D3D_OK;
}

HRESULT SoftwareDevice::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value)
{
    if (HRESULT fault = DisplayDesktop::Fault("SetTextureStageState"))
        return fault;
    if (stage != 0)
        return D3D_OK;
    switch (type) {
    case D3DTSS_COLOROP:
        mColorOp = value;
        break;
    case D3DTSS_ALPHAOP:
        mAlphaOp = value;
        break;
    case D3DTSS_MAGFILTER:
        mMagFilter = value;
        break;
    case D3DTSS_MINFILTER:
        mMinFilter = value;
        break;
    default:
        break;
    }
    return D3D_OK;
}

HRESULT SoftwareDevice::SetTexture(uint32_t stage, DirectDrawSurface* texture)
{
    if (HRESULT fault = DisplayDesktop::Fault("SetTexture"))
        return fault;
    if (stage != 0)
        return D3D_OK;
    if (texture)
        texture->AddRef();
    if (mTexture)
        mTexture->Release();
    mTexture = texture;
    return D3D_OK;
}

SoftwareDevice::PixelLayout SoftwareDevice::LayoutOf(DirectDrawSurface* surface)
{
    PixelLayout layout;
    const DDPIXELFORMAT& format = surface->Format();
    layout.pixels = surface->Memory();
    layout.pitch = surface->Pitch();
    layout.width = surface->Width();
    layout.height = surface->Height();
    layout.bytes = int32_t(format.dwRGBBitCount / 8);
    layout.palettized = (format.dwFlags & DDPF_PALETTEINDEXED8) != 0;
    const uint32_t masks[4] = {(format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0,
                               format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
    layout.tabled = true;
    for (int i = 0; i < 4; ++i) {
        layout.masks[i] = masks[i];
        if (masks[i] == 0)
            continue;
        while (!((masks[i] >> layout.shifts[i]) & 1))
            ++layout.shifts[i];
        layout.maxima[i] = masks[i] >> layout.shifts[i];
        if (layout.maxima[i] > 255) {
            layout.tabled = false;
            continue;
        }
        for (uint32_t v = 0; v <= layout.maxima[i]; ++v)
            layout.widen[size_t(i)][v] = uint8_t(v * 255 / layout.maxima[i]);
        // The top bits, as the 2D routines narrow: a value read and written
        // back unchanged stays the same.
        const uint32_t bits = uint32_t(std::bit_width(layout.maxima[i]));
        for (uint32_t c = 0; c < 256; ++c)
            layout.narrow[size_t(i)][c] = uint8_t(c >> (8 - bits));
    }
    layout.direct32 = layout.bytes == 4 && !layout.palettized && (masks[0] == 0 || masks[0] == 0xFF000000) &&
                      masks[1] == 0x00FF0000 && masks[2] == 0x0000FF00 && masks[3] == 0x000000FF;
    if (layout.palettized) {
        DDPALETTEENTRY entries[256];
        if (DirectDrawPalette* palette = surface->Palette(); palette && SUCCEEDED(palette->GetEntries(0, 0, 256, entries)))
            for (int i = 0; i < 256; ++i)
                layout.palette[size_t(i)] = uint32_t(entries[i].peFlags) << 24 | uint32_t(entries[i].peRed) << 16 |
                                            uint32_t(entries[i].peGreen) << 8 | entries[i].peBlue;
        else
            layout.palette.fill(0xFF000000);
    }
    return layout;
}

uint32_t SoftwareDevice::ReadArgb(const PixelLayout& layout, int32_t x, int32_t y)
{
    const uint8_t* at = layout.pixels + ptrdiff_t(y) * layout.pitch + ptrdiff_t(x) * layout.bytes;
    uint32_t raw = 0;
    if (layout.direct32) {
        std::memcpy(&raw, at, 4);
        return layout.masks[0] ? raw : raw | 0xFF000000;
    }
    if (layout.bytes == 2)
        std::memcpy(&raw, at, 2);
    else
        std::memcpy(&raw, at, size_t(layout.bytes));
    if (layout.palettized)
        return layout.palette[raw & 0xFF];
    uint32_t argb = 0;
    for (int i = 0; i < 4; ++i) {
        const uint32_t value = (raw & layout.masks[i]) >> layout.shifts[i];
        const uint32_t wide = !layout.maxima[i] ? 255
                              : layout.tabled   ? layout.widen[size_t(i)][value]
                                                : value * 255 / layout.maxima[i];
        argb |= wide << (24 - 8 * i);
    }
    return argb;
}

void SoftwareDevice::WriteArgb(const PixelLayout& layout, int32_t x, int32_t y, uint32_t argb)
{
    uint32_t raw = 0;
    if (layout.direct32) {
        raw = layout.masks[0] ? argb : argb & 0x00FFFFFF;
    } else {
        for (int i = 0; i < 4; ++i) {
            if (!layout.maxima[i])
                continue;
            const uint32_t value = layout.tabled ? layout.narrow[size_t(i)][Channel(argb, i)]
                                                 : Channel(argb, i) * layout.maxima[i] / 255;
            raw |= (value << layout.shifts[i]) & layout.masks[i];
        }
    }
    uint8_t* at = layout.pixels + ptrdiff_t(y) * layout.pitch + ptrdiff_t(x) * layout.bytes;
    if (layout.bytes == 4)
        std::memcpy(at, &raw, 4);
    else if (layout.bytes == 2)
        std::memcpy(at, &raw, 2);
    else
        std::memcpy(at, &raw, size_t(layout.bytes));
}

uint32_t SoftwareDevice::Sample(const PixelLayout& texture, double u, double v) const
{
    // Clamped addressing; far-off or undefined coordinates land on an edge.
    const double tu = std::isnan(u) ? 0.0 : std::clamp(u * texture.width, -1.0, double(texture.width));
    const double tv = std::isnan(v) ? 0.0 : std::clamp(v * texture.height, -1.0, double(texture.height));
    auto texel = [&](int64_t x, int64_t y) {
        return ReadArgb(texture, int32_t(std::clamp<int64_t>(x, 0, texture.width - 1)),
                        int32_t(std::clamp<int64_t>(y, 0, texture.height - 1)));
    };
    if (mMagFilter != D3DTFG_LINEAR && mMinFilter != D3DTFN_LINEAR)
        return texel(tu < 0 ? -1 : int64_t(tu), tv < 0 ? -1 : int64_t(tv));
    const double fx = tu - 0.5, fy = tv - 0.5;
    const double x0 = std::floor(fx), y0 = std::floor(fy);
    const int64_t ix = int64_t(x0), iy = int64_t(y0);
    const uint32_t top = Lerp(texel(ix, iy), texel(ix + 1, iy), fx - x0);
    const uint32_t bottom = Lerp(texel(ix, iy + 1), texel(ix + 1, iy + 1), fx - x0);
    return Lerp(top, bottom, fy - y0);
}

uint32_t SoftwareDevice::Shade(const PixelLayout* texture, double u, double v, uint32_t diffuse) const
{
    if (!texture)
        return diffuse;
    const uint32_t texel = Sample(*texture, u, v);
    const uint32_t modulated = diffuse == 0xFFFFFFFF ? texel : Modulate(texel, diffuse);
    const uint32_t color = (mColorOp == D3DTOP_MODULATE ? modulated : texel) & 0x00FFFFFF;
    const uint32_t alpha = (mAlphaOp == D3DTOP_MODULATE ? modulated : texel) & 0xFF000000;
    return alpha | color;
}

void SoftwareDevice::Put(const PixelLayout& target, int32_t x, int32_t y, uint32_t source) const
{
    if (!mAlphaBlend) {
        WriteArgb(target, x, y, source);
        return;
    }
    const uint32_t dest = ReadArgb(target, x, y);
    const uint32_t alpha = source >> 24;
    const uint32_t sourceFactor = BlendFactor(mSourceBlend, alpha);
    const uint32_t destFactor = BlendFactor(mDestBlend, alpha);
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        const uint32_t mixed = (Channel(source, i) * sourceFactor + Channel(dest, i) * destFactor + 127) / 255;
        out |= std::min<uint32_t>(mixed, 255) << (24 - 8 * i);
    }
    WriteArgb(target, x, y, out);
}

void SoftwareDevice::FillTriangle(const PixelLayout& target, const PixelLayout* texture, const Bounds& bounds,
                                  const D3DTLVERTEX& a, const D3DTLVERTEX& b, const D3DTLVERTEX& c) const
{
    const D3DTLVERTEX* v[3] = {&a, &b, &c};
    double x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = v[i]->sx;
        y[i] = v[i]->sy;
    }
    const double det = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (det == 0 || !std::isfinite(det))
        return;
    auto plane = [&](auto value) {
        const double q[3] = {value(*v[0]), value(*v[1]), value(*v[2])};
        return Plane(x, y, q, det);
    };
    const Plane u = plane([](const D3DTLVERTEX& p) { return double(p.tu); });
    const Plane tv = plane([](const D3DTLVERTEX& p) { return double(p.tv); });
    const bool flat = a.color == b.color && b.color == c.color;
    Plane colors[4];
    if (!flat)
        for (int i = 0; i < 4; ++i)
            colors[i] = plane([i](const D3DTLVERTEX& p) { return double(Channel(p.color, i)); });

    int order[3] = {0, 1, 2};
    std::sort(order, order + 3, [&](int l, int r) { return y[l] < y[r]; });
    const int top = order[0], middle = order[1], bottom = order[2];
    auto edgeX = [&](int from, int to, double py) {
        return x[from] + (x[to] - x[from]) * (py - y[from]) / (y[to] - y[from]);
    };
    const double firstRow = std::max(std::ceil(y[top]), double(bounds.top));
    const double endRow = std::min(std::ceil(y[bottom]), double(bounds.bottom));
    for (double py = firstRow; py < endRow; ++py) {
        const double longX = edgeX(top, bottom, py);
        const double shortX = py < y[middle] ? edgeX(top, middle, py) : edgeX(middle, bottom, py);
        const double first = std::max(std::ceil(std::min(longX, shortX)), double(bounds.left));
        const double end = std::min(std::ceil(std::max(longX, shortX)), double(bounds.right));
        // The planes step across the span.
        double uu = u.At(first, py), vv = tv.At(first, py);
        double channels[4] = {};
        if (!flat)
            for (int i = 0; i < 4; ++i)
                channels[i] = colors[i].At(first, py);
        for (double px = first; px < end; ++px) {
            uint32_t diffuse = a.color;
            if (!flat) {
                diffuse = 0;
                for (int i = 0; i < 4; ++i) {
                    diffuse |= uint32_t(std::lround(std::clamp(channels[i], 0.0, 255.0))) << (24 - 8 * i);
                    channels[i] += colors[i].perX;
                }
            }
            Put(target, int32_t(px), int32_t(py), Shade(texture, uu, vv, diffuse));
            uu += u.perX;
            vv += tv.perX;
        }
    }
}

void SoftwareDevice::DrawSegment(const PixelLayout& target, const PixelLayout* texture, const Bounds& bounds,
                                 const D3DTLVERTEX& a, const D3DTLVERTEX& b) const
{
    // The pixel of a point is the one whose centre is nearest; the end pixel
    // belongs to the next segment.
    const double x0 = std::floor(double(a.sx) + 0.5), y0 = std::floor(double(a.sy) + 0.5);
    const double x1 = std::floor(double(b.sx) + 0.5), y1 = std::floor(double(b.sy) + 0.5);
    const double steps = std::max(std::fabs(x1 - x0), std::fabs(y1 - y0));
    const double reach = std::max(std::max(std::fabs(x0), std::fabs(x1)), std::max(std::fabs(y0), std::fabs(y1)));
    if (!(steps >= 1) || steps > 1 << 24 || !(reach < 1 << 30))
        return;
    for (double i = 0; i < steps; ++i) {
        const double t = i / steps;
        const int64_t px = int64_t(std::floor(x0 + (x1 - x0) * t + 0.5));
        const int64_t py = int64_t(std::floor(y0 + (y1 - y0) * t + 0.5));
        if (px < bounds.left || px >= bounds.right || py < bounds.top || py >= bounds.bottom)
            continue;
        const uint32_t diffuse = Lerp(a.color, b.color, t);
        const double u = a.tu + (b.tu - a.tu) * t, v = a.tv + (b.tv - a.tv) * t;
        Put(target, int32_t(px), int32_t(py), Shade(texture, u, v, diffuse));
    }
}

HRESULT SoftwareDevice::DrawPrimitive(uint32_t type, uint32_t vertexFormat, const void* vertices, uint32_t count,
                                      uint32_t)
{
    if (HRESULT fault = DisplayDesktop::Fault("DrawPrimitive"))
        return fault;
    if (!vertices || vertexFormat != D3DFVF_TLVERTEX)
        return DDERR_INVALIDPARAMS;
    const auto* v = static_cast<const D3DTLVERTEX*>(vertices);
    const PixelLayout target = LayoutOf(mTarget);
    PixelLayout textureLayout;
    const PixelLayout* texture = nullptr;
    if (mTexture) {
        textureLayout = LayoutOf(mTexture);
        texture = &textureLayout;
    }
    const Bounds bounds = DrawBounds();
    switch (type) {
    case D3DPT_TRIANGLELIST:
        for (uint32_t i = 0; i + 2 < count; i += 3)
            FillTriangle(target, texture, bounds, v[i], v[i + 1], v[i + 2]);
        return D3D_OK;
    case D3DPT_TRIANGLESTRIP:
        for (uint32_t i = 0; i + 2 < count; ++i)
            FillTriangle(target, texture, bounds, v[i], v[i + 1], v[i + 2]);
        return D3D_OK;
    case D3DPT_TRIANGLEFAN:
        for (uint32_t i = 1; i + 1 < count; ++i)
            FillTriangle(target, texture, bounds, v[0], v[i], v[i + 1]);
        return D3D_OK;
    case D3DPT_LINESTRIP:
        for (uint32_t i = 0; i + 1 < count; ++i)
            DrawSegment(target, texture, bounds, v[i], v[i + 1]);
        return D3D_OK;
    default:
        return D3DERR_INVALIDPRIMITIVETYPE;
    }
}

} // namespace Platform
