#pragma once

#include "framework/graphics/images/Image.h"

#include <gmock/gmock.h>

namespace GraphicsTests {

// Records what Graphics asks of its destination image.
class MockImage : public Lumo::Image {
public:
    MockImage(int width, int height)
    {
        mWidth = width;
        mHeight = height;
    }

    MOCK_METHOD(void, FillRect, (const Lumo::Rect&, const Lumo::Color&, int), (override));
    MOCK_METHOD(void, DrawRect, (const Lumo::Rect&, const Lumo::Color&, int), (override));
    MOCK_METHOD(void, ClearRect, (const Lumo::Rect&), (override));
    MOCK_METHOD(void, Blit, (Lumo::Image*, int, int, const Lumo::Rect&, const Lumo::Color&, int), (override));
    MOCK_METHOD(void, BlitRotated,
                (Lumo::Image*, float, float, const Lumo::Rect&, const Lumo::Rect&, const Lumo::Color&, int, double,
                 float, float),
                (override));
    MOCK_METHOD(void, BlitStretched,
                (Lumo::Image*, const Lumo::Rect&, const Lumo::Rect&, const Lumo::Rect&, const Lumo::Color&, int, bool),
                (override));
    MOCK_METHOD(void, BlitWithAlphaMask,
                (Lumo::Image*, int, int, const Lumo::Rect&, Lumo::Image*, const Lumo::Rect&, const Lumo::Color&, int),
                (override));
};

// A plain image of a given size, used as a source.
class SizedImage : public Lumo::Image {
public:
    SizedImage(int width, int height)
    {
        mWidth = width;
        mHeight = height;
    }
};

} // namespace GraphicsTests
