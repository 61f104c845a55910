#include "tests/display/DisplayFixture.h"

#include "framework/display/D3DInterface.h"
#include "platform/display/DeviceSpans.h"
#include "platform/display/Direct3D.h"
#include "platform/display/SoftwareDevice.h"

#include <limits>
#include <utility>
#include <vector>

using namespace Platform;

namespace {

// The layer's device on an 8 x 4 32-bit target with a 2 x 1 texture.
class SoftwareDeviceTest : public DisplayTest::DisplayFixture {
protected:
    SoftwareDeviceTest()
    {
        void* made = nullptr;
        DirectDrawCreateEx(nullptr, &made, IID_IDirectDraw7, nullptr);
        mDirectDraw = static_cast<IDirectDraw7*>(made);
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = 8;
        desc.dwHeight = 4;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        mDirectDraw->CreateSurface(&desc, &mTarget, nullptr);
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.dwWidth = 2;
        desc.dwHeight = 1;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        Lumo::D3DInterface::FillTexturePixelFormat(&desc.ddpfPixelFormat, Lumo::kPixelTypeA8R8G8B8);
        mDirectDraw->CreateSurface(&desc, &mTexture, nullptr);
        mTexture->SetPixelAt(0, 0, 0xFF000000);
        mTexture->SetPixelAt(1, 0, 0xFFFFFFFF);
        void* queried = nullptr;
        mDirectDraw->QueryInterface(IID_IDirect3D7, &queried);
        mD3D = static_cast<IDirect3D7*>(queried);
        mD3D->CreateDevice(IID_IDirect3DHALDevice, mTarget, &mDevice);
    }
    ~SoftwareDeviceTest() override
    {
        mDevice->Release();
        mD3D->Release();
        mTexture->Release();
        mTarget->Release();
        mDirectDraw->Release();
    }

    // A quad over the whole target as a strip, pixel centres on whole numbers.
    void Quad(uint32_t diffuse, float u0 = 0, float u1 = 1)
    {
        D3DTLVERTEX strip[4];
        const float xs[4] = {-0.5f, -0.5f, 7.5f, 7.5f}, ys[4] = {-0.5f, 3.5f, -0.5f, 3.5f};
        for (int i = 0; i < 4; ++i) {
            strip[i].sx = xs[i];
            strip[i].sy = ys[i];
            strip[i].color = diffuse;
            strip[i].tu = i < 2 ? u0 : u1;
        }
        ASSERT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip, 4, 0), D3D_OK);
    }

    uint32_t At(int x, int y = 1) { return mTarget->PixelAt(x, y) & 0xFFFFFF; }

    IDirectDraw7* mDirectDraw = nullptr;
    IDirectDrawSurface7* mTarget = nullptr;
    IDirectDrawSurface7* mTexture = nullptr;
    IDirect3D7* mD3D = nullptr;
    IDirect3DDevice7* mDevice = nullptr;
};

TEST_F(SoftwareDeviceTest, FilteringModulationAndBlending)
{
    // Point sampling: each texel covers half the quad.
    mDevice->SetTexture(0, mTexture);
    Quad(0xFFFFFFFF);
    EXPECT_EQ(At(3), 0x000000u);
    EXPECT_EQ(At(4), 0xFFFFFFu);
    // Linear: the two texel centres fall on pixels 1.5 and 5.5, so pixels 3
    // and 4 lie three and five eighths of the way; the edges clamp.
    mDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    Quad(0xFFFFFFFF);
    EXPECT_EQ(At(0), 0x000000u);
    EXPECT_EQ(At(3), 0x606060u);
    EXPECT_EQ(At(4), 0x9F9F9Fu);
    EXPECT_EQ(At(7), 0xFFFFFFu);
    // The diffuse colour tints.
    mDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    Quad(0xFF8000FF);
    EXPECT_EQ(At(7), 0x8000FFu);

    // Untextured additive blending saturates.
    mDevice->SetTexture(0, nullptr);
    mDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    Quad(0xFF404080);
    EXPECT_EQ(At(0), 0x404080u);
    EXPECT_EQ(At(7), 0xC040FFu);
    // Alpha over: half of 0xFF0000 on 0x404080.
    mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    Quad(0x80FF0000);
    EXPECT_EQ(At(0), 0xA02040u);
}

TEST_F(SoftwareDeviceTest, WildVerticesDrawNothingOutsideTheTarget)
{
    mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float far = 1e30f;
    D3DTLVERTEX wild[4];
    const float xs[4] = {nan, -far, far, 3}, ys[4] = {0, -far, far, nan};
    for (int i = 0; i < 4; ++i) {
        wild[i].sx = xs[i];
        wild[i].sy = ys[i];
        wild[i].color = 0xFFFFFFFF;
        wild[i].tu = i == 1 ? far : nan;
    }
    mDevice->SetTexture(0, mTexture);
    for (uint32_t type : {D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN, D3DPT_LINESTRIP})
        EXPECT_EQ(mDevice->DrawPrimitive(type, D3DFVF_TLVERTEX, wild, 4, 0), D3D_OK);
    EXPECT_EQ(mDevice->DrawPrimitive(99, D3DFVF_TLVERTEX, wild, 4, 0), D3DERR_INVALIDPRIMITIVETYPE);
    EXPECT_EQ(At(0, 0), 0x102030u);
}

// The vector forms against the pixel-by-pixel one: a quad drawn whole, and
// the same quad drawn as one-pixel columns, at every vector width.
TEST_F(SoftwareDeviceTest, VectorWidthsDrawWhatSinglePixelsDraw)
{
    mTexture->SetPixelAt(0, 0, 0x80FF8040);
    mTexture->SetPixelAt(1, 0, 0x00204080);
    mDevice->SetTexture(0, mTexture);
    mDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    // Columns first to end, the colour going from top to bottom.
    auto columns = [&](int first, int end, uint32_t top, uint32_t bottom) {
        D3DTLVERTEX strip[4];
        for (int i = 0; i < 4; ++i) {
            strip[i].sx = float(i < 2 ? first : end) - 0.5f;
            strip[i].sy = i % 2 ? 3.5f : -0.5f;
            strip[i].color = i % 2 ? bottom : top;
            strip[i].tu = float(i < 2 ? first : end) / 8;
        }
        mDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip, 4, 0);
    };
    auto frame = [&](int width) {
        mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
        for (uint32_t dest : {D3DBLEND_INVSRCALPHA, D3DBLEND_ONE})
            for (const auto& [top, bottom] : {std::pair{0xFFFFFFFFu, 0xFFFFFFFFu}, std::pair{0xC0FF8000u, 0xC0FF8000u},
                                              std::pair{0xFF10FF80u, 0x4080FF20u}}) {
                mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, dest);
                for (int x = 0; x < 8; x += width)
                    columns(x, x + width, top, bottom);
            }
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                pixels.push_back(mTarget->PixelAt(x, y));
        return pixels;
    };
    const SpanWidth widest = CurrentSpanWidth();
    const std::vector<uint32_t> single = frame(1);
    for (const SpanWidth width : {SpanWidth::Sse2, widest}) {
        SetSpanWidth(width);
        EXPECT_EQ(frame(8), single) << int(width);
    }
    SetSpanWidth(widest);
}

} // namespace
