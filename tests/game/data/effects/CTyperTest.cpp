#include "game/data/effects/CTyper.h"

#include "framework/core/RandomNumber.h"
#include "tests/game/support/RecordingImage.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <map>

namespace GameTest {
namespace {

CTyper MakeTyper(int32_t minLength, int32_t maxLength, int32_t pauseProbability)
{
    CTyper typer;
    typer.mColors = {Lumo::Color(255, 0, 0), Lumo::Color(0, 255, 0)};
    typer.mLines = {{10, 20}, {10, 30}, {10, 40}};
    typer.mMinLength = minLength;
    typer.mMaxLength = maxLength;
    typer.mPauseProbability = pauseProbability;
    typer.mPauseAfter = 2;
    typer.mPauseVariation = 3;
    typer.mMinSpeed = 0.2f;
    typer.mMaxSpeed = 0.6f;
    typer.mFlashSpeed = 0.3f;
    typer.mPauseSpeed = 0.1f;
    return typer;
}

TEST(Typer, EachLineGetsOneDotMoreThanItsDrawnLengthAndTheLastLineStartsOver)
{
    for (uint32_t seed : {1u, 7u, 99u, 1234u}) {
        SCOPED_TRACE(seed);
        Lumo::SeedRandom(seed);
        CTyper typer = MakeTyper(3, 5, 0);
        typer.Start();
        std::map<int32_t, int32_t> perLine;
        do {
            ++perLine[typer.LineIndex()];
            typer.Step();
        } while (typer.LineIndex() != 0 || perLine.size() < 3);
        EXPECT_TRUE(typer.Cells().empty());
        ASSERT_EQ(perLine.size(), 3u);
        for (const auto& [line, count] : perLine) {
            EXPECT_GE(count, 4) << line;
            EXPECT_LE(count, 5) << line;
        }
    }
}

TEST(Typer, PauseProbabilityDecidesWhetherAFlashPhaseStarts)
{
    for (const auto& [probability, pauses] : {std::pair{0, false}, {100, true}}) {
        SCOPED_TRACE(probability);
        // One line long enough not to start over, which begins a flash phase of its own.
        CTyper typer = MakeTyper(150, 160, probability);
        typer.mMinSpeed = typer.mMaxSpeed = 0.25f;
        typer.mPauseSpeed = 0.5f;
        typer.Start();
        typer.Update();
        typer.Update();
        ASSERT_EQ(typer.State(), 1);
        bool paused = false;
        for (int i = 0; i < 200; ++i) {
            typer.Update();
            paused = paused || typer.State() == 0;
        }
        EXPECT_EQ(paused, pauses);
    }
}

TEST(Typer, ReadsItsSettingsAndDrawsEachDotInItsColourUnderTheTintAlpha)
{
    TiXmlDocument document;
    document.Parse("<map typer_minlength='3' typer_maxlength='5' typer_pause_probability='40' typer_pause_var='2' "
                   "typer_pause_after='6' typer_minspeed='0.5' typer_maxspeed='0.75' typer_flashspeed='0.2' "
                   "typer_pause='0.1' typer_color1='255,0,0' typer_color2='0,0,255,7' typer_color4='9,9,9' "
                   "typer_line1='100,200' typer_line2='100,210'/>");
    CTyper typer;
    typer.LoadFromXml(document.RootElement());
    EXPECT_EQ(typer.mMaxLength, 5);
    EXPECT_EQ(typer.mPauseAfter, 6);
    EXPECT_FLOAT_EQ(typer.mMaxSpeed, 0.75f);
    EXPECT_FLOAT_EQ(typer.mPauseSpeed, 0.1f);
    ASSERT_EQ(typer.mColors.size(), 2u) << "the numbering stops at the first gap";
    EXPECT_EQ(typer.mColors[1], Lumo::Color(0, 0, 255, 7));
    ASSERT_EQ(typer.mLines.size(), 2u);
    EXPECT_EQ(typer.mLines[1].y, 210);

    typer.Start();
    typer.Step();
    typer.Step();
    GameTest::RecordingGraphics g;
    g.mGraphics.SetTintImages(true);
    g.mGraphics.SetColor(Lumo::Color(255, 255, 255, 100));
    typer.Draw(g.mGraphics);
    ASSERT_EQ(g.Ops().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const TyperCell& cell = typer.Cells()[i];
        EXPECT_EQ(g.Ops()[i].mOp, "FillRect");
        EXPECT_EQ(g.Ops()[i].mDestRect, (Lumo::Rect{100 + int(i), 200, 1, 1}));
        Lumo::Color expected = typer.mColors[size_t(cell.colour)];
        expected.mAlpha = 100;
        EXPECT_EQ(g.Ops()[i].mColor, expected);
    }

    GameTest::RecordingGraphics plain;
    plain.mGraphics.SetColor(Lumo::Color(255, 255, 255, 100));
    typer.Draw(plain.mGraphics);
    EXPECT_EQ(plain.Ops()[0].mColor.mAlpha, 255);
}

TEST(Typer, EmptyRangesFromTheDataNeitherCrashNorType)
{
    CTyper typer = MakeTyper(4, 4, 50);
    typer.mPauseVariation = 0;
    typer.Start();
    for (int i = 0; i < 100 && typer.Cells().empty(); ++i)
        typer.Update();
    EXPECT_FALSE(typer.Cells().empty());

    CTyper empty;
    empty.mMaxSpeed = empty.mMinSpeed = 1.5f;
    empty.Start();
    for (int i = 0; i < 10; ++i)
        empty.Update();
    EXPECT_TRUE(empty.Cells().empty());
}

} // namespace
} // namespace GameTest
