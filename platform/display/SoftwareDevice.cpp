#include "platform/display/SoftwareDevice.h"

#include "platform/display/DirectDrawSurface.h"
#include "platform/display/DisplayDesktop.h"

#include <algorithm>
#include <cmath>

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

inline uint32_t Channel(uint32_t argb, int index)
{
    return (argb >> (24 - 8 * index)) & 0xFF;
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

// Whole values below, without a library call: the build targets processors
// without a rounding instruction.
inline double Floor(double value)
{
    if (!(std::fabs(value) < 4503599627370496.0))
        return value;
    const double whole = double(int64_t(value));
    return whole > value ? whole - 1 : whole;
}

inline double Ceil(double value)
{
    return -Floor(-value);
}

// 32.32 fixed point of a texel coordinate or step; far-off values are
// pinned well outside any texture, undefined ones give 0.
inline int64_t Fixed(double value, double limit)
{
    if (std::isnan(value))
        return 0;
    return int64_t(Floor(std::clamp(value, -limit, limit) * 4294967296.0));
}

constexpr double kCoordinateLimit = 1 << 20;
constexpr double kStepLimit = 1 << 16;

// A triangle edge's x along the rows.
struct Edge {
    double x = 0;
    double y = 0;
    double slope = 0;

    Edge(const double* xs, const double* ys, int from, int to) : x(xs[from]), y(ys[from])
    {
        if (ys[to] != ys[from])
            slope = (xs[to] - xs[from]) / (ys[to] - ys[from]);
    }
    double At(double row) const { return x + slope * (row - y); }
};

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
    const DevicePixels target = DevicePixels::Of(mTarget, mTargetPalette);
    const uint32_t raw = target.FromArgb(color);
    const Bounds bounds = DrawBounds();
    auto fill = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
        for (int32_t y = std::max(top, bounds.top); y < std::min(bottom, bounds.bottom); ++y)
            for (int32_t x = std::max(left, bounds.left); x < std::min(right, bounds.right); ++x)
                target.Store(target.Row(y) + ptrdiff_t(x) * target.bytes, raw);
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

SoftwareDevice::Draw SoftwareDevice::PrepareDraw()
{
    Draw draw;
    draw.target = DevicePixels::Of(mTarget, mTargetPalette);
    draw.textured = mTexture != nullptr;
    if (draw.textured)
        draw.texture = DevicePixels::Of(mTexture, mTexturePalette);
    draw.linear = mMagFilter == D3DTFG_LINEAR || mMinFilter == D3DTFN_LINEAR;
    draw.bounds = DrawBounds();
    using Kind = DevicePixels::Kind;
    DeviceShading& shading = draw.shading;
    shading.textured = draw.textured;
    shading.modulateMask =
        (mColorOp == D3DTOP_MODULATE ? 0x00FFFFFFu : 0u) | (mAlphaOp == D3DTOP_MODULATE ? 0xFF000000u : 0u);
    shading.sourceFactor = mSourceBlend;
    shading.destFactor = mDestBlend;
    if (!mAlphaBlend)
        shading.blend = DeviceShading::Blend::Replace;
    else if (mSourceBlend == D3DBLEND_SRCALPHA && mDestBlend == D3DBLEND_INVSRCALPHA)
        shading.blend = DeviceShading::Blend::Over;
    else if (mSourceBlend == D3DBLEND_SRCALPHA && mDestBlend == D3DBLEND_ONE)
        shading.blend = DeviceShading::Blend::Add;
    else
        shading.blend = DeviceShading::Blend::Other;
    if (DrawsInPlace(draw.target) && draw.target.kind == Kind::Xrgb32) {
        shading.readAlpha = 0xFF000000;
        shading.writeMask = 0x00FFFFFF;
    }
    return draw;
}

bool SoftwareDevice::DrawsNothing(const Draw& draw, const D3DTLVERTEX* const* vertices, int count) const
{
    // A source alpha of 0 everywhere: the diffuse alpha, or what it multiplies.
    if (!draw.shading.ZeroAlphaKeeps() || (draw.textured && mAlphaOp != D3DTOP_MODULATE))
        return false;
    for (int i = 0; i < count; ++i)
        if (vertices[i]->color >> 24)
            return false;
    return true;
}

struct SoftwareDevice::Planes {
    Plane u;
    Plane v;
    int64_t du = 0;
    int64_t dv = 0;
    bool flat = true;
    uint32_t color = 0;
    Plane colors[4];
};

SoftwareDevice::Planes SoftwareDevice::PlanesOf(const Draw& draw, const D3DTLVERTEX* const* vertices) const
{
    double x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = vertices[i]->sx;
        y[i] = vertices[i]->sy;
    }
    const double det = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    auto plane = [&](auto value) {
        const double q[3] = {value(*vertices[0]), value(*vertices[1]), value(*vertices[2])};
        return Plane(x, y, q, det);
    };
    Planes planes;
    // Texture coordinates in texels.
    const double width = draw.texture.width, height = draw.texture.height;
    planes.u = plane([&](const D3DTLVERTEX& p) { return double(p.tu) * width; });
    planes.v = plane([&](const D3DTLVERTEX& p) { return double(p.tv) * height; });
    planes.du = Fixed(planes.u.perX, kStepLimit);
    planes.dv = Fixed(planes.v.perX, kStepLimit);
    planes.color = vertices[0]->color;
    planes.flat = vertices[0]->color == vertices[1]->color && vertices[1]->color == vertices[2]->color;
    if (!planes.flat)
        for (int i = 0; i < 4; ++i)
            planes.colors[i] = plane([i](const D3DTLVERTEX& p) { return double(Channel(p.color, i)); });
    return planes;
}

void SoftwareDevice::FillSpan(const Draw& draw, const Planes& planes, double y, double first, double end) const
{
    uint32_t texels[kSpanPixels];
    uint32_t diffuse[kSpanPixels];
    diffuse[0] = planes.color;
    TexelWalk walk{0, 0, 0, 0};
    if (draw.textured)
        walk = TexelWalk{Fixed(planes.u.At(first, y), kCoordinateLimit), Fixed(planes.v.At(first, y), kCoordinateLimit),
                         planes.du, planes.dv};
    // The diffuse channels in 16.16, rounded to the nearest on use.
    int64_t channels[4] = {}, steps[4] = {};
    if (!planes.flat)
        for (int i = 0; i < 4; ++i) {
            channels[i] = int64_t(Floor(std::clamp(planes.colors[i].At(first, y), -1e6, 1e6) * 65536.0)) + 0x8000;
            steps[i] = int64_t(Floor(std::clamp(planes.colors[i].perX, -1e6, 1e6) * 65536.0));
        }
    for (int32_t x = int32_t(first); x < int32_t(end); x += kSpanPixels) {
        const int32_t count = std::min(kSpanPixels, int32_t(end) - x);
        const uint32_t* row = nullptr;
        if (draw.textured) {
            row = SampleRow(draw.texture, draw.linear, walk, count, texels);
            walk.u += walk.du * count;
            walk.v += walk.dv * count;
        }
        if (!planes.flat)
            for (int32_t k = 0; k < count; ++k) {
                uint32_t color = 0;
                for (int i = 0; i < 4; ++i) {
                    color |= uint32_t(std::clamp<int64_t>(channels[i] >> 16, 0, 255)) << (24 - 8 * i);
                    channels[i] += steps[i];
                }
                diffuse[k] = color;
            }
        ShadeSpan(draw.target, x, int32_t(y), count, row, diffuse, planes.flat, draw.shading);
    }
}

void SoftwareDevice::FillTriangle(const Draw& draw, const D3DTLVERTEX& a, const D3DTLVERTEX& b,
                                  const D3DTLVERTEX& c) const
{
    const D3DTLVERTEX* v[3] = {&a, &b, &c};
    if (DrawsNothing(draw, v, 3))
        return;
    double x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = v[i]->sx;
        y[i] = v[i]->sy;
    }
    const double det = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (det == 0 || !std::isfinite(det))
        return;
    const Planes planes = PlanesOf(draw, v);
    int order[3] = {0, 1, 2};
    std::sort(order, order + 3, [&](int l, int r) { return y[l] < y[r]; });
    const int top = order[0], middle = order[1], bottom = order[2];
    const Edge longEdge(x, y, top, bottom), upperEdge(x, y, top, middle), lowerEdge(x, y, middle, bottom);
    const Bounds& bounds = draw.bounds;
    const double firstRow = std::max(Ceil(y[top]), double(bounds.top));
    const double endRow = std::min(Ceil(y[bottom]), double(bounds.bottom));
    for (double py = firstRow; py < endRow; ++py) {
        const double longX = longEdge.At(py);
        const double shortX = py < y[middle] ? upperEdge.At(py) : lowerEdge.At(py);
        const double first = std::max(Ceil(std::min(longX, shortX)), double(bounds.left));
        const double end = std::min(Ceil(std::max(longX, shortX)), double(bounds.right));
        if (first < end)
            FillSpan(draw, planes, py, first, end);
    }
}

bool SoftwareDevice::FillRectangle(const Draw& draw, const D3DTLVERTEX* strip) const
{
    const D3DTLVERTEX &a = strip[0], &b = strip[1], &c = strip[2], &d = strip[3];
    const bool upright = a.sx == b.sx && c.sx == d.sx && a.sy == c.sy && b.sy == d.sy && a.sx != c.sx && a.sy != b.sy;
    const bool following = a.tu == b.tu && c.tu == d.tu && a.tv == c.tv && b.tv == d.tv && a.color == b.color &&
                           a.color == c.color && a.color == d.color;
    const double left = std::min(a.sx, c.sx), right = std::max(a.sx, c.sx);
    const double top = std::min(a.sy, b.sy), bottom = std::max(a.sy, b.sy);
    if (!upright || !following || !std::isfinite(right - left) || !std::isfinite(bottom - top))
        return false;
    // Its two triangles meet along the diagonal, so their pixels together
    // are the rectangle's.
    const D3DTLVERTEX* first[3] = {&a, &b, &c};
    if (DrawsNothing(draw, first, 3))
        return true;
    const Planes planes = PlanesOf(draw, first);
    const Bounds& bounds = draw.bounds;
    const double firstColumn = std::max(Ceil(left), double(bounds.left));
    const double endColumn = std::min(Ceil(right), double(bounds.right));
    const double firstRow = std::max(Ceil(top), double(bounds.top));
    const double endRow = std::min(Ceil(bottom), double(bounds.bottom));
    if (!(firstColumn < endColumn) || !(firstRow < endRow))
        return true;
    // A plain blit: each row a row of the texture, taken as it stands.
    constexpr int64_t kOne = int64_t(1) << 32;
    if (draw.textured && !draw.linear && planes.flat && planes.du == kOne && planes.dv == 0 && planes.u.perY == 0 &&
        planes.v.perY == 1) {
        const int64_t x = Fixed(planes.u.At(firstColumn, firstRow), kCoordinateLimit) >> 32;
        const int64_t y = Fixed(planes.v.At(firstColumn, firstRow), kCoordinateLimit) >> 32;
        const int32_t columns = int32_t(endColumn - firstColumn), rows = int32_t(endRow - firstRow);
        if (x >= 0 && y >= 0 && x + columns <= draw.texture.width && y + rows <= draw.texture.height) {
            ShadeBlock(draw.target, int32_t(firstColumn), int32_t(firstRow), rows, columns, draw.texture, int32_t(x),
                       int32_t(y), planes.color, draw.shading);
            return true;
        }
    }
    for (double py = firstRow; py < endRow; ++py)
        FillSpan(draw, planes, py, firstColumn, endColumn);
    return true;
}

void SoftwareDevice::DrawSegment(const Draw& draw, const D3DTLVERTEX& a, const D3DTLVERTEX& b) const
{
    const D3DTLVERTEX* ends[2] = {&a, &b};
    if (DrawsNothing(draw, ends, 2))
        return;
    // The pixel of a point is the one whose centre is nearest; the end pixel
    // belongs to the next segment.
    const double x0 = std::floor(double(a.sx) + 0.5), y0 = std::floor(double(a.sy) + 0.5);
    const double x1 = std::floor(double(b.sx) + 0.5), y1 = std::floor(double(b.sy) + 0.5);
    const double steps = std::max(std::fabs(x1 - x0), std::fabs(y1 - y0));
    const double reach = std::max(std::max(std::fabs(x0), std::fabs(x1)), std::max(std::fabs(y0), std::fabs(y1)));
    if (!(steps >= 1) || steps > 1 << 24 || !(reach < 1 << 30))
        return;
    const Bounds& bounds = draw.bounds;
    for (double i = 0; i < steps; ++i) {
        const double t = i / steps;
        const int64_t px = int64_t(std::floor(x0 + (x1 - x0) * t + 0.5));
        const int64_t py = int64_t(std::floor(y0 + (y1 - y0) * t + 0.5));
        if (px < bounds.left || px >= bounds.right || py < bounds.top || py >= bounds.bottom)
            continue;
        const uint32_t diffuse = Lerp(a.color, b.color, t);
        uint32_t texel = 0;
        const uint32_t* texels = nullptr;
        if (draw.textured) {
            const double u = (a.tu + (b.tu - a.tu) * t) * draw.texture.width;
            const double v = (a.tv + (b.tv - a.tv) * t) * draw.texture.height;
            texels = SampleRow(draw.texture, draw.linear, TexelWalk{Fixed(u, kCoordinateLimit), Fixed(v, kCoordinateLimit), 0, 0}, 1,
                               &texel);
        }
        ShadeSpan(draw.target, int32_t(px), int32_t(py), 1, texels, &diffuse, true, draw.shading);
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
    const Draw draw = PrepareDraw();
    switch (type) {
    case D3DPT_TRIANGLELIST:
        for (uint32_t i = 0; i + 2 < count; i += 3)
            FillTriangle(draw, v[i], v[i + 1], v[i + 2]);
        return D3D_OK;
    case D3DPT_TRIANGLESTRIP:
        if (count == 4 && FillRectangle(draw, v))
            return D3D_OK;
        for (uint32_t i = 0; i + 2 < count; ++i)
            FillTriangle(draw, v[i], v[i + 1], v[i + 2]);
        return D3D_OK;
    case D3DPT_TRIANGLEFAN:
        for (uint32_t i = 1; i + 1 < count; ++i)
            FillTriangle(draw, v[0], v[i], v[i + 1]);
        return D3D_OK;
    case D3DPT_LINESTRIP:
        for (uint32_t i = 0; i + 1 < count; ++i)
            DrawSegment(draw, v[i], v[i + 1]);
        return D3D_OK;
    default:
        return D3DERR_INVALIDPRIMITIVETYPE;
    }
}

} // namespace Platform
