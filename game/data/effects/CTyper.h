#pragma once

#include "framework/graphics/Color.h"
#include "game/data/effects/TyperCell.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TiXmlElement;

namespace Lumo {
class Graphics;
}

// The level map's typing effect: dots of random colours typed along short
// lines at a random pace, with pauses in which a cursor dot flashes; after
// the last line everything is wiped and typing starts again.
class CTyper {
public:
    // Bounds of the file's numbers: the dots of a line, the lines.
    static constexpr int32_t kMaxLength = 1024;
    static constexpr size_t kMaxLines = 64;

    struct Point {
        int32_t x = 0;
        int32_t y = 0;
    };

    void Reset();
    // The "typer_..." attributes of the element.
    void LoadFromXml(const TiXmlElement* element);
    void Start();
    void NextLine();
    // Types one dot.
    void Step();
    void Update();
    void Draw(Lumo::Graphics& g) const;

    const std::vector<TyperCell>& Cells() const { return mCells; }
    int32_t State() const { return mState; }
    int32_t LineIndex() const { return mLine; }

    std::vector<Lumo::Color> mColors;
    std::vector<Point> mLines;
    int32_t mMinLength = 0;
    int32_t mMaxLength = 0;
    int32_t mPauseProbability = 0;
    int32_t mPauseAfter = 0;
    int32_t mPauseVariation = 0;
    float mMinSpeed = 0.0f;
    float mMaxSpeed = 0.0f;
    float mFlashSpeed = 0.0f;
    float mPauseSpeed = 0.0f;

private:
    // Nothing to type without a line or a colour.
    bool CanType() const { return !mLines.empty() && !mColors.empty(); }
    void DrawSpeed();
    void DrawLineLength();
    void DrawPauseCount();

    std::vector<TyperCell> mCells;
    Point mCursor;
    int32_t mFlash = 0;
    int32_t mColor = 0;
    float mTime = 0.0f;
    float mFlashTime = 0.0f;
    // 0 a flash phase, 1 typing.
    int32_t mState = 0;
    int32_t mLine = 0;
    int32_t mUntilPause = 0;
    int32_t mLeftOnLine = 0;
    float mSpeed = 0.0f;
};
