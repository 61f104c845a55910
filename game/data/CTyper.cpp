#include "game/data/CTyper.h"

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
    mMinLength = XmlIntAttribute(element, "typer_minlength", 0);
    mMaxLength = XmlIntAttribute(element, "typer_maxlength", 0);
    mPauseProbability = XmlIntAttribute(element, "typer_pause_probability", 0);
    mPauseVariation = XmlIntAttribute(element, "typer_pause_var", 0);
    mPauseAfter = XmlIntAttribute(element, "typer_pause_after", 0);
    mMinSpeed = XmlFloatAttribute(element, "typer_minspeed", 0.0f);
    mMaxSpeed = XmlFloatAttribute(element, "typer_maxspeed", 0.0f);
    mFlashSpeed = XmlFloatAttribute(element, "typer_flashspeed", 0.0f);
    mPauseSpeed = XmlFloatAttribute(element, "typer_pause", 0.0f);
    for (int n = 1; const char* text = element->Attribute(Lumo::FormatString("typer_color%d", n).c_str()); ++n) {
        Lumo::Color colour;
        ParseColor(text, &colour);
        mColors.push_back(colour);
    }
    for (int n = 1; const char* text = element->Attribute(Lumo::FormatString("typer_line%d", n).c_str()); ++n) {
        Point start;
        ParsePoint(text, &start.x, &start.y);
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
