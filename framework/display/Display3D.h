#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/TriVertex.h"
#include "platform/display/DirectDraw.h"

#include <string>

namespace Lumo {

class DDInterface;
class Image;
class MemoryImage;

// The display's Direct3D device and its one-time self-test. This base is the
// machine without 3D: the test fails, the device never starts and draws
// nothing. A real device derives from it.
class Display3D {
public:
    struct TestOutcome {
        bool newResults = false;
        bool failed = true;
        bool warned = false;
    };

    virtual ~Display3D() = default;

    virtual TestOutcome RunTest(Platform::DirectDraw* directDraw, Platform::HWND window, int minVidMemory,
                                int recVidMemory);
    virtual bool InitFromDDInterface(DDInterface* display);
    virtual std::string GetErrorText();
    virtual void Cleanup() {}
    // Ends the scene so the draw surface holds the frame.
    virtual void Flush() {}
    virtual void RemoveImageTexture(MemoryImage*) {}

    virtual void FillRect(const Rect&, const Color&, int) {}
    virtual void DrawLine(double, double, double, double, const Color&, int) {}
    virtual void FillPoly(const int32_t*, int, const Rect*, const Color&, int, int, int) {}
    virtual void Blt(Image*, float, float, const Rect&, const Color&, int, bool) {}
    virtual void BltF(Image*, float, float, const Rect&, const Rect&, const Color&, int) {}
    virtual void BltMirror(Image*, float, float, const Rect&, const Color&, int) {}
    virtual void BltStretched(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool, bool) {}
    virtual void BltRotated(Image*, float, float, const Rect&, const Color&, int, float, float, const Rect&, double) {}
    virtual void BltTransformed(Image*, const Rect*, const Color&, int, const Rect&, const Matrix3&, bool, float,
                                float, bool)
    {
    }
    virtual void BltTriangles(Image*, const TriVertex (*)[3], int, const Color&, int, float, float, bool) {}
};

} // namespace Lumo
