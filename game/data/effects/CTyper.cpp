#include "game/data/effects/CTyper.h"

#include "framework/core/RandomNumber.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"

#include <tinyxml.h>

#include <algorithm>

namespace {

// 0 to range - 1; an empty or inverted range from the data gives 0.
int32_t R(int32_t range) { return Lumo::RandomNumber(std::max(range, 0)); }

} // namespace

void CTyper::Reset()
{
    mColors.clear();
    mLines.clear();
    mCells.clear();
    mTime = 0.0f;
    mState = 0;
}

void CTyper::LoadFromXml(const TiXmlElement* element)
{
    mMaxLength = XmlRangedAttribute(element, "typer_maxlength", 0, 0, kMaxLength);
    mMinLength = XmlRangedAttribute(element, "typer_minlength", 0, 0, mMaxLength);
    mPauseProbability = XmlRangedAttribute(element, "typer_pause_probability", 0, 0, 100);
    mPauseVariation = XmlRangedAttribute(element, "typer_pause_var", 0, 0, kMaxLength);
    mPauseAfter = XmlRangedAttribute(element, "typer_pause_after", 0, 0, kMaxLength);
    mMinSpeed = XmlRangedAttribute(element, "typer_minspeed", 0.0f, 0.0f, kMaxSpeed);
    mMaxSpeed = XmlRangedAttribute(element, "typer_maxspeed", 0.0f, 0.0f, kMaxSpeed);
    mFlashSpeed = XmlRangedAttribute(element, "typer_flashspeed", 0.0f, 0.0f, kMaxSpeed);
    mPauseSpeed = XmlRangedAttribute(element, "typer_pause", 0.0f, 0.0f, kMaxSpeed);
    for (int n = 1;; ++n) {
        const std::string name = Lumo::FormatString("typer_color%d", n);
        if (!element->Attribute(name.c_str()))
            break;
        Lumo::Color colour;
        if (XmlColorAttribute(element, name.c_str(), &colour))
            mColors.push_back(colour);
    }
    for (int n = 1; const char* text = element->Attribute(Lumo::FormatString("typer_line%d", n).c_str()); ++n) {
        if (mLines.size() == kMaxLines)
            break;
        Point start;
        ParsePoint(text, &start.x, &start.y);
        if (!XmlPixelsInRange(element, "typer_line", {start.x, start.y}))
            continue;
        mLines.push_back(start);
    }
    mCells.reserve(size_t(std::max(mMaxLength, 0) + 1) * mLines.size());
}

void CTyper::Start()
{
    mCells.clear();
    mTime = 0.0f;
    mState = 0;
    mLine = 0;
    if (!CanType())
        return;
    mCursor = mLines[0];
    mColor = R(int32_t(mColors.size()));
    DrawSpeed();
    DrawLineLength();
    DrawPauseCount();
}

void CTyper::NextLine()
{
    ++mLine;
    if (mLine >= int32_t(mLines.size())) {
        Start();
        return;
    }
    mCursor = mLines[size_t(mLine)];
    mColor = R(int32_t(mColors.size()));
    DrawLineLength();
}

void CTyper::Step()
{
    --mUntilPause;
    --mLeftOnLine;
    mCells.push_back({mCursor.x, mCursor.y, mFlash, mColor});
    ++mCursor.x;
    mColor = R(int32_t(mColors.size()));
    DrawSpeed();
    if (mUntilPause < 0) {
        if (R(100) < mPauseProbability)
            mState = 0;
        else
            DrawPauseCount();
    }
    if (mLeftOnLine < 0)
        NextLine();
}

void CTyper::Update()
{
    if (!CanType())
        return;
    if (mState == 0) {
        mTime += mPauseSpeed;
        if (mTime > 1.0f) {
            DrawPauseCount();
            mTime = 0.0f;
            mState = 1;
        } else {
            mFlashTime += mFlashSpeed;
            if (mFlashTime > 1.0f) {
                mFlashTime = 0.0f;
                mFlash = mFlash == 1 ? 0 : 1;
            }
        }
    }
    mTime += mSpeed;
    if (mTime > 1.0f) {
        mTime = 0.0f;
        Step();
    }
}

void CTyper::Draw(Lumo::Graphics& g) const
{
    if (!CanType())
        return;
    const int alpha = g.GetTintImages() ? g.GetColor().mAlpha : 255;
    auto dot = [&](int32_t x, int32_t y, int32_t colour) {
        Lumo::Color color = mColors[size_t(colour)];
        color.mAlpha = alpha;
        g.SetColor(color);
        g.FillRect(x, y, 1, 1);
    };
    for (const TyperCell& cell : mCells)
        dot(cell.x, cell.y, cell.colour);
    if (mState == 0 && mFlash == 1)
        dot(mCursor.x, mCursor.y, mColor);
}

void CTyper::DrawSpeed()
{
    mSpeed = mMinSpeed + float(R(10000)) * 0.0001f * (mMaxSpeed - mMinSpeed);
}

void CTyper::DrawLineLength() { mLeftOnLine = R(mMaxLength - mMinLength) + mMinLength; }

void CTyper::DrawPauseCount() { mUntilPause = R(mPauseVariation) + mPauseAfter; }
