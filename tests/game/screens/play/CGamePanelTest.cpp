#include "tests/game/screens/play/CGamePanelFixture.h"

#include "framework/graphics/images/MemoryImage.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimPlayer.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/pictures/CPieceBase.h"
#include "game/data/pictures/CSceneObj.h"
#include "game/screens/windows/CGUIController.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using GameTest::DrawOp;

struct Blit {
    const char* mPicture;
    int mX;
    int mY;
    Lumo::Rect mSource;
};

class CGamePanelTest : public PanelTest::PanelFixture {
protected:
    std::vector<DrawOp> DrawOps(int32_t x = 0, int32_t y = 0)
    {
        GameTest::RecordingGraphics g;
        mPanel->Draw(g.mGraphics, x, y);
        return g.Ops();
    }

    // The ops are blits of these pictures ("canvas": the label canvas) at these places.
    void ExpectBlits(const std::vector<DrawOp>& ops, const std::vector<Blit>& expected)
    {
        ASSERT_EQ(ops.size(), expected.size());
        for (size_t i = 0; i < ops.size(); ++i) {
            const Blit& e = expected[i];
            Lumo::Image* picture = std::string(e.mPicture) == "canvas" ? mPanel->LabelCanvas() : Picture(e.mPicture);
            EXPECT_EQ(ops[i].mOp, "Blit") << i;
            EXPECT_EQ(ops[i].mSource, picture) << i << " " << e.mPicture;
            EXPECT_EQ(ops[i].mX, e.mX) << i << " " << e.mPicture;
            EXPECT_EQ(ops[i].mY, e.mY) << i << " " << e.mPicture;
            EXPECT_EQ(ops[i].mSrcRect, e.mSource) << i << " " << e.mPicture;
        }
    }

    // The energy bar's blit: the first of the parts picture at the bar's row.
    int EnergyWidth()
    {
        for (const DrawOp& op : DrawOps())
            if (op.mSource == Picture("res\\hud_parts.png|energy") && op.mY == 12)
                return op.mSrcRect.mWidth;
        return -1;
    }
};

TEST_F(CGamePanelTest, TheSamplePanelLoadsCleanlyAndDrawsBothLayoutsWherePartsSit)
{
    MakeSamplePanel();
    for (const std::string& line : LogLines())
        EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
    ASSERT_NE(mPanel->PieceShowTrack(), nullptr);
    ASSERT_NE(mPanel->PieceHideTrack(), nullptr);
    ASSERT_NE(mPanel->LabelCanvas(), nullptr);
    EXPECT_EQ(mPanel->LabelCanvas()->GetWidth(), 400);

    mPanel->SetLayoutMode(CGamePanel::kBasic);
    mPanel->SetEnergy(50, true, 0.0f);
    mPanel->SetCompletion(25);
    const char* parts = "res\\hud_parts.png|energy";
    ExpectBlits(DrawOps(), {
                               {"res\\hud_body.png|1", 0, 0, {0, 0, 800, 64}},
                               {"canvas", 150, 16, {0, 0, 140, 32}},
                               {parts, 560, 12, {560, 12, 100, 14}},
                               {parts, 16, 16, {16, 16, 56, 32}},
                               {parts, 80, 16, {80, 16, 56, 32}},
                               {"canvas", 300, 16, {140, 0, 60, 32}},
                               {"canvas", 440, 16, {200, 0, 60, 32}},
                               {parts, 560, 38, {560, 38, 50, 14}},
                           });

    // The score layout has a body of its own without level, phase or completion; the draw origin moves it all.
    mPanel->SetLayoutMode(CGamePanel::kScore);
    ExpectBlits(DrawOps(0, 7), {
                                   {"res\\hud_body_endless.png|1", 0, 7, {0, 0, 800, 64}},
                                   {"canvas", 150, 23, {0, 0, 140, 32}},
                                   {parts, 560, 19, {560, 12, 100, 14}},
                                   {parts, 16, 23, {16, 16, 56, 32}},
                                   {parts, 80, 23, {80, 16, 56, 32}},
                               });
}

TEST_F(CGamePanelTest, AMissingPieceTrackIsLoggedAndTheRestStillLoads)
{
    TiXmlDocument tracks;
    tracks.Parse(R"(<root><ctrl_hud_piece_show speed="0.1"><w src="0 1"/></ctrl_hud_piece_show></root>)");
    mOtherTracks.LoadFromXml(tracks.RootElement(), *mCurves);
    // A rectangle after ";" replaces the sprite's; attributes left out read as zero.
    MakePanel(R"(<root><gamepanel basic_body="res\hud_parts.png|energy;0,0,800,20" basic_label_points="7,3"
                 label_size="100,20" label_points_w="100"/></root>)",
              &mOtherTracks);
    EXPECT_TRUE(LogHas("ERROR CGamePanel - can't load piece hide/show ctrls"));
    EXPECT_EQ(mPanel->PieceHideTrack(), nullptr);

    ExpectBlits(DrawOps(), {
                               {"res\\hud_parts.png|energy", 0, 0, {0, 0, 800, 20}},
                               {"canvas", 7, 3, {0, 0, 100, 20}},
                           });
    EXPECT_EQ(mPanel->ActiveLayout().mMenuRect, (Lumo::Rect{0, 0, 0, 0}));
}

TEST_F(CGamePanelTest, LabelsAreWrittenCentredInTheirCanvasRectangles)
{
    GameTest::FixedWidthFont font(10, 8, 10);
    CGameConfig::live.fonts[CGameConfig::kHudScore] = &font;
    MakeSamplePanel();
    Lumo::MemoryImage& canvas = *mPanel->LabelCanvas();
    uint32_t* bits = canvas.GetPixelBits();
    std::fill(bits, bits + 400 * 32, 0xFFFFFFFFu);

    mPanel->SetPointsLabel(1234);
    mPanel->SetLevelLabel(7);
    mPanel->SetPhaseLabel(-3);
    CGameConfig::live.fonts[CGameConfig::kHudScore] = nullptr;

    ASSERT_EQ(font.mDraws.size(), 3u);
    // Baseline (32 - 10) / 2 + 8; x centres the text's width in the label's width.
    const std::vector<std::pair<int, std::string>> expected = {{50, "1234"}, {140 + 25, "7"}, {200 + 20, "-3"}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(font.mDraws[i].mX, expected[i].first) << i;
        EXPECT_EQ(font.mDraws[i].mY, 19) << i;
        EXPECT_EQ(font.mDraws[i].mText, expected[i].second) << i;
        EXPECT_EQ(font.mDraws[i].mColor, Lumo::Color(255, 255, 255, 255)) << i;
    }
    EXPECT_EQ(mPanel->PointsValue(), 1234);
    EXPECT_EQ(mPanel->LevelValue(), 7);
    EXPECT_EQ(mPanel->PhaseValue(), -3);
    // The three rectangles were cleared; the canvas beyond them was not.
    const uint32_t* pixels = canvas.GetPixelBits();
    EXPECT_EQ(pixels[0] >> 24, 0u);
    EXPECT_EQ(pixels[31 * 400 + 259] >> 24, 0u);
    EXPECT_EQ(pixels[260], 0xFFFFFFFFu);
}

TEST_F(CGamePanelTest, EnergyCountsToItsTargetOrJumps)
{
    MakeSamplePanel();
    mPanel->SetEnergy(80, true, 0.0f);
    EXPECT_FALSE(mPanel->EnergyCounting());
    EXPECT_EQ(EnergyWidth(), 160);

    mPanel->SetEnergy(30, false, 0.25f);
    EXPECT_TRUE(mPanel->EnergyCounting());
    Step(2);
    EXPECT_EQ(mPanel->ShownEnergy(), 55);
    EXPECT_EQ(EnergyWidth(), 110);
    Step(2);
    EXPECT_FALSE(mPanel->EnergyCounting());
    EXPECT_EQ(mPanel->ShownEnergy(), 30);
    EXPECT_EQ(std::count(mHandler.mCalls.begin(), mHandler.mCalls.end(), "hud 3"), 1);
    EXPECT_EQ(mGui->TrackEntry(mPanel->EnergyTrack()), nullptr);

    // The same value again starts nothing; an immediate value stops a running count.
    mPanel->SetEnergy(30, false, 0.25f);
    EXPECT_FALSE(mPanel->EnergyCounting());
    mPanel->SetEnergy(70, false, 0.25f);
    Step(1);
    mPanel->SetEnergy(90, true, 0.0f);
    EXPECT_FALSE(mPanel->EnergyCounting());
    EXPECT_EQ(mGui->TrackEntry(mPanel->EnergyTrack()), nullptr);
    Step(8);
    EXPECT_EQ(mPanel->ShownEnergy(), 90);
    EXPECT_EQ(std::count(mHandler.mCalls.begin(), mHandler.mCalls.end(), "hud 3"), 1);

    // A value beyond the bar fills it; a negative one empties it.
    mPanel->SetEnergy(140, true, 0.0f);
    EXPECT_EQ(EnergyWidth(), 200);
    mPanel->SetEnergy(-5, true, 0.0f);
    EXPECT_EQ(EnergyWidth(), -1);
}

TEST_F(CGamePanelTest, TheMiddleShowsTheUndoButtonInItsLookOrTheTurningPiece)
{
    CPieceBase pieces(mImages);
    TiXmlDocument document;
    document.Parse(SampleFile("pieces.xml").c_str());
    pieces.LoadFromXml(document.RootElement());
    pieces.DrawSprite(0, 0);
    mPieces = &pieces;
    MakeSamplePanel();
    const auto middle = [this](const char* op) {
        std::vector<DrawOp> found;
        for (const DrawOp& d : DrawOps(0, 100))
            if (d.mOp == op && d.mX >= 360 && d.mX < 440)
                found.push_back(d);
        return found;
    };
    EXPECT_TRUE(middle("BlitRotated").empty());

    // The piece turns about its centre at the piece point, a whole turn per track run.
    mPanel->ShowPiece(true);
    Step(125);
    std::vector<DrawOp> piece = middle("BlitRotated");
    ASSERT_EQ(piece.size(), 1u);
    EXPECT_EQ(piece[0].mSource, pieces.Image());
    EXPECT_EQ(piece[0].mX, 400 - 26);
    EXPECT_EQ(piece[0].mY, 100 + 32 - 26);
    EXPECT_NEAR(piece[0].mAngle, -0.25 * 6.28316, 1e-4);
    EXPECT_EQ(piece[0].mColor, Lumo::Color(255, 255, 255, 255));
    // It keeps turning past a whole turn.
    Step(500);
    EXPECT_NEAR(middle("BlitRotated")[0].mAngle, -0.25 * 6.28316, 1e-3);
    // While a new piece shows, it takes the show track's colour (its alpha rising from 0).
    mPanel->SetPieceDisplay(CGamePanel::kPieceShowing);
    EXPECT_EQ(middle("BlitRotated")[0].mColor.mAlpha, 0);

    // The undo button takes the middle, in the look of its state.
    mPanel->ShowUndoButton(true);
    EXPECT_TRUE(middle("BlitRotated").empty());
    // The looks are the cels of one picture, 56 pixels apart.
    const int32_t looks[][3] = {{CGamePanel::kUndoIdle, 300, 0},
                                {CGamePanel::kUndoHovered, 400, 56},
                                {CGamePanel::kUndoPressed, 400, 112}};
    for (const auto& [state, pointerX, celX] : looks) {
        mPanel->OnPointerMove(pointerX, 30);
        if (state == CGamePanel::kUndoPressed)
            mPanel->OnPointerButton(pointerX, 30, true);
        ASSERT_EQ(mPanel->UndoState(), state);
        const std::vector<DrawOp> undo = middle("Blit");
        ASSERT_EQ(undo.size(), 1u) << state;
        EXPECT_EQ(undo[0].mSource, Picture("res\\undo.png|1"));
        EXPECT_EQ(undo[0].mX, 372);
        EXPECT_EQ(undo[0].mY, 100 + 20);
        EXPECT_EQ(undo[0].mSrcRect, (Lumo::Rect{celX, 0, 56, 24})) << state;
    }
    mPieces = nullptr;
}

TEST_F(CGamePanelTest, WarningsGlowOverTheBarsAndACrazyLevelShowsItsIndicatorAndShare)
{
    MakeSamplePanel();
    mPanel->SetEnergy(50, true, 0.0f);
    mPanel->SetCompletion(20);
    CCurve red;
    red.mChannels = 4;
    red.mValues = {1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f};
    CAnimTrack warning;
    warning.mCurve = &red;
    mPanel->SetHazardTrack(CGamePanel::kHazardEnergy, &warning);
    mPanel->SetHazardTrack(CGamePanel::kHazardTime, &warning);
    const auto bars = [this] {
        std::vector<DrawOp> found;
        for (const DrawOp& d : DrawOps())
            if (d.mX == 560)
                found.push_back(d);
        return found;
    };
    std::vector<DrawOp> drawn = bars();
    ASSERT_EQ(drawn.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(drawn[i].mSrcRect.mWidth, i < 2 ? 100 : 40) << i;
        EXPECT_EQ(drawn[i].mDrawMode, int(i % 2)) << i;
        EXPECT_EQ(drawn[i].mColor, i % 2 ? Lumo::Color(255, 0, 0, 255) : Lumo::Color(255, 255, 255, 255)) << i;
    }
    mPanel->SetHazardTrack(CGamePanel::kHazardEnergy, nullptr);
    mPanel->SetHazardTrack(CGamePanel::kHazardTime, nullptr);
    EXPECT_EQ(bars().size(), 2u);

    // The indicator: a two-frame animation of the undo looks, centred on the
    // centre-area point, and a glow in its colour track's colour.
    int32_t first = -2;
    int32_t second = -2;
    mImages.FindByName("res\\undo.png|1", &first);
    mImages.FindByName("res\\undo.png|2", &second);
    CCurve frames;
    frames.mValues = {0.0f, 2.0f};
    CAnimTrack definition;
    definition.mCurve = &frames;
    int32_t anim = -1;
    ASSERT_TRUE(mAnims->AddAnim({first, second}, 0, 2, definition, &anim));
    CAnimPlayer player;
    CSceneObj indicator;
    indicator.mFrameAnim = mAnims->CreateInstance(anim, &player);
    indicator.mFrameAnim->mTrack->mTime = 0.75f;
    const auto centre = [this] {
        std::vector<DrawOp> found;
        for (const DrawOp& d : DrawOps())
            if (d.mX == 400 - 28 && d.mY == 32 - 12)
                found.push_back(d);
        return found;
    };
    mPanel->SetCrazyIndicator(&indicator, true);
    mPanel->SetCrazyPercent(75);
    drawn = centre();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].mSrcRect.mX, 56);
    EXPECT_EQ(bars()[1].mSrcRect.mWidth, 150);
    indicator.mColorTrack = &warning;
    drawn = centre();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].mDrawMode, 1);
    EXPECT_EQ(drawn[1].mColor, Lumo::Color(255, 0, 0, 255));
    // It blinks off; a still picture stands for an indicator without frames.
    mPanel->SetCrazyIndicator(&indicator, false);
    EXPECT_TRUE(centre().empty());
    mAnims->ReleaseInstance(indicator.mFrameAnim);
    indicator = CSceneObj{};
    indicator.mSlot = first;
    mPanel->SetCrazyIndicator(&indicator, true);
    ASSERT_EQ(centre().size(), 1u);
    EXPECT_EQ(centre()[0].mSrcRect.mX, 0);
    // The next level starts without them: the bar shows the completion again.
    mPanel->StartLevel(CGamePanel::kBasic, false);
    EXPECT_TRUE(centre().empty());
    EXPECT_EQ(bars()[1].mSrcRect.mWidth, 40);
    // The endless game's layout, without the level's bars, shows it as well.
    mPanel->StartLevel(CGamePanel::kScore, false);
    mPanel->SetCrazyIndicator(&indicator, true);
    EXPECT_EQ(centre().size(), 1u);
}

} // namespace
