#pragma once

#include "framework/display/D3DTestImage.h"
#include "platform/display/Direct3D.h"
#include "platform/display/Direct3DDevice.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DirectDrawSurface.h"
#include "platform/storage/Registry.h"
#include "platform/windows/WindowTypes.h"

#include <cstdio>
#include <exception>
#include <string>

namespace Lumo {

class DisplayAppHost;

// The one-time hardware self-test: identifies the adapter, checks its video
// memory and the card lists, draws five blend and clip scenes on a small
// device, reads them back and keeps a failure reason and a warning, both
// empty when all passed. The outcome is stored per adapter and reused.
class D3DTester {
public:
    struct TestException : std::exception {
        explicit TestException(std::string message) : mMessage(std::move(message)) {}
        const char* what() const noexcept override { return mMessage.c_str(); }
        std::string mMessage;
    };

    // The texture format of the uploads: A8R8G8B8, else A4R4G4B4.
    static inline bool gTextures32 = true;

    explicit D3DTester(DisplayAppHost* app);
    virtual ~D3DTester();
    D3DTester(const D3DTester&) = delete;
    D3DTester& operator=(const D3DTester&) = delete;

    void SetVidMemoryLimits(uint32_t minimum, uint32_t recommended);
    void RunTest(Platform::HWND window, Platform::IDirectDraw7* directDraw);
    bool DoTest(Platform::HWND window, Platform::IDirectDraw7* directDraw);
    bool RunRenderTests();
    void CheckHR(Platform::HRESULT result, const char* label);
    bool SetFailure(const std::string& text);
    bool SetWarning(const std::string& text);
    void ReleaseAll();

    bool ReadStoredResult();
    void WriteStoredResult();
    bool CheckCard(const std::string& description);
    static bool MatchListFile(std::FILE* file, const std::string& description);

    const std::string& GetFailureReason() const { return mFailureReason; }
    const std::string& GetWarning() const { return mWarning; }
    bool IsFirstTest() const { return mFirstTest; }

    // The five scenes; each gives false on a failure.
    bool TestAlphaBlend();
    bool TestAdditiveBlend();
    bool TestAlphaAddBlend();
    bool TestAlphaModulatedBlend();
    bool TestClipping();

private:
    struct Sample {
        int mErrors;
        bool mUniform;
    };

    bool ProbeDirect3D8();
    void IdentifyAdapter();
    // False when the memory is below the minimum.
    bool MeasureVideoMemory();
    void ReadDriverYear();
    void DrawImage(const D3DTestImage& image, int x, int y, uint32_t diffuse);
    void UploadTile(const D3DTestImage& image, int tileX, int tileY);
    void DrawTile(int x, int y, uint32_t diffuse);
    void CopyRenderTarget();
    Sample CheckSample(uint32_t expected) const;
    int CountPatternErrors() const;
    void SetRenderState(uint32_t state, uint32_t value, const char* label);
    // Begins the scene, clears it, sets the blend states, draws, ends it and
    // reads it back.
    template <typename Draw>
    void RunScene(uint32_t sourceBlend, const char* sourceLabel, uint32_t destBlend, const char* destLabel,
                  bool modulateAlpha, Draw&& draw);
    // The blend scene with its colours and texts.
    bool BlendTest(uint32_t sourceBlend, const char* sourceLabel, uint32_t destBlend, const char* destLabel,
                   bool modulateAlpha, uint32_t first, uint32_t second, uint32_t secondDiffuse, uint32_t expected,
                   const char* failure, const char* warning);

    DisplayAppHost* mApp;
    Platform::IDirectDraw7* mDirectDraw = nullptr;
    Platform::IDirectDrawSurface7* mRenderTarget = nullptr;
    Platform::IDirectDrawSurface7* mTexture1 = nullptr;
    Platform::IDirectDrawSurface7* mTexture2 = nullptr;
    Platform::IDirect3D7* mD3D = nullptr;
    Platform::IDirect3DDevice7* mDevice = nullptr;
    Platform::HKEY mKey = nullptr;
    uint8_t mDisplayGuid[16] = {};
    std::string mDriver;
    std::string mDescription;
    D3DTestImage mResultImage;
    std::string mFailureReason;
    std::string mWarning;
    uint32_t mMinVidMemory = 0;
    uint32_t mRecVidMemory = 0;
    bool mTestedNow = false;
    bool mFirstTest = false;
    int mDriverYear = 0;
};

} // namespace Lumo
