#include "game/board/field/CFieldBase.h"
#include "game/board/levels/CLevelTable.h"
#include "game/board/levels/LevelCommands.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CPieceBase.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

namespace {

constexpr const char* kCheckpoint =
    "<checkpoints><checkpoint blocktypes='4' maxgroups='6' mingroups='2' maxgroupsize='6' turns='5' damage='40'"
    " simultaneous_bonuscount='1' bonus_energy='100' bonus_time='0.5'/>"
    "<checkpoint blocktypes='3' maxgroups='4' mingroups='1' maxgroupsize='5' turns='9' damage='60'"
    " simultaneous_bonuscount='0' bonus_energy='0' bonus_time='0.25'/></checkpoints>";
constexpr const char* kMatch = "<match><match count='3' points='30'/><match count='5' points='100'/></match>";

std::string Bonuses(int count)
{
    std::string xml = "<bonuses generation_speed_min='0.01' generation_speed_max='0.02'>";
    for (int i = 0; i < count; ++i)
        xml += "<b amount='" + std::to_string(i + 1) + "'/>";
    return xml + "</bonuses>";
}

class CLevelTableTest : public GameTest::GameFixture {
protected:
    void SetUp() override
    {
        RegisterLevelCommands();
        TiXmlDocument shapes;
        shapes.Parse("<root><field name='stripes' w='1' h='1'>1</field></root>");
        mShapes.LoadFromXml(shapes.RootElement());
        TiXmlDocument pieces;
        pieces.Parse("<root><piece name='bar3'>1,1,1,0</piece></root>");
        mPieces.LoadFromXml(pieces.RootElement());
    }

    bool Load(const std::string& levels)
    {
        TiXmlDocument document;
        document.Parse(("<root><defaults do_switchside='2' do_checkpiececolor='1'/>"
                        "<combos match2='100' match3='250' match4='500' supercombo='1000' combospeed='0.02'/>" +
                        levels + "</root>")
                           .c_str());
        return mTable.LoadFromXml(document.RootElement(), mPieces, mShapes);
    }

    CImageTable mImages{&App()};
    CPieceBase mPieces{mImages};
    CFieldBase mShapes;
    CLevelTable mTable;
};

} // namespace

TEST_F(CLevelTableTest, DropsLevelsWithABadBonusCountOrNoMatchList)
{
    ASSERT_TRUE(Load("<level name='seven'>" + std::string(kCheckpoint) + Bonuses(7) + kMatch + "</level>" +
                     "<level name='good' points_to_complete='800' initial_energy='' do_switchside='5'"
                     " ball_position='2,3' points_decrease_speed='0.05'>"
                     "<commands><cmd name='set_ballspeed' params='0.025;0.012'/><cmd name='nothing' params='1'/>"
                     "</commands><superbonus_pieces><piece src='bar3' points='500'/><piece src='zig' points='1'/>"
                     "</superbonus_pieces>" +
                     kCheckpoint + Bonuses(8) + kMatch +
                     "<fieldcontent><content src='stripes'/><content src='none'/></fieldcontent></level>"
                     "<level name='nomatch'>" +
                     kCheckpoint + "</level>"));
    EXPECT_TRUE(LogHas("ERROR LevelController::LoadFromXml - bad bonus count"));
    EXPECT_TRUE(LogHas("ERROR LevelController::LoadFromXml - no match-list"));
    EXPECT_TRUE(LogHas("ERROR CLevelController - bad piece"));
    ASSERT_EQ(mTable.Levels().size(), 1u);
    int32_t index = -1;
    EXPECT_FALSE(mTable.FindLevel("seven", &index));
    EXPECT_FALSE(mTable.FindLevel("nomatch", &index));
    ASSERT_TRUE(mTable.FindLevel("good", &index));
    EXPECT_EQ(index, 0);

    const LevelRecord& level = mTable.Level(0);
    EXPECT_EQ(level.mInitialEnergy, 0);
    EXPECT_EQ(level.mPointsToComplete, 800);
    EXPECT_FLOAT_EQ(level.mPointsDecreaseSpeed, 0.05f);
    EXPECT_EQ(level.mSwitchSide, 5);
    EXPECT_EQ(level.mMajorColourPercent, 50);
    EXPECT_EQ(level.mBallColumn, 2);
    EXPECT_EQ(level.mBallRow, 3);
    // The dropped levels leave nothing behind: the good level's lists start the pool.
    EXPECT_EQ(level.mFirstPiece, 0);
    EXPECT_EQ(level.mPieceCount, 1);
    EXPECT_EQ(mTable.PiecePoints(level, 0), 500);
    EXPECT_EQ(level.mFirstCheckpoint, 2);
    EXPECT_EQ(level.FirstBonusAmount(), 2 + 18);
    EXPECT_EQ(level.FirstMatch(), 2 + 18 + 8);
    for (int32_t bonus = 0; bonus < 8; ++bonus)
        EXPECT_EQ(mTable.BonusAmount(level, bonus), bonus + 1);
    EXPECT_EQ(level.mMatchCount, 2);
    EXPECT_EQ(mTable.MatchCount(level, 1), 5);
    EXPECT_EQ(mTable.MatchPoints(level, 1), 100);
    EXPECT_EQ(level.mContentCount, 1);
    EXPECT_EQ(mTable.ContentShape(level, 0), 0);
    const Checkpoint second = mTable.CheckpointOf(level, 1);
    EXPECT_EQ(second.mBlockTypes, 3);
    EXPECT_EQ(second.mTurns, 9);
    EXPECT_FLOAT_EQ(second.mBonusTime, 0.25f);
    EXPECT_FLOAT_EQ(level.mGenerationSpeedMax, 0.02f);
    EXPECT_EQ(level.mCommandCount, 1);
    EXPECT_EQ(mTable.CommandWords().size(), 3u);
    EXPECT_TRUE(mTable.Defaults().mCheckPieceColour);
    EXPECT_EQ(mTable.Combos().mSupercombo, 1000);
}

TEST_F(CLevelTableTest, DefaultsOfAMissingAttributeAndRepeatedNames)
{
    ASSERT_TRUE(Load("<level name='a'>" + std::string(kCheckpoint) + kMatch + "</level>" + "<level name='a'>" +
                     kCheckpoint + kMatch + "</level>"));
    const LevelRecord& level = mTable.Level(0);
    EXPECT_EQ(level.mInitialEnergy, -1);
    EXPECT_EQ(level.mSwitchSide, 2);
    EXPECT_EQ(level.mHasBonuses, 0);
    EXPECT_EQ(level.FirstMatch(), level.FirstBonusAmount());
    int32_t index = -1;
    ASSERT_TRUE(mTable.FindLevel("a", &index));
    EXPECT_EQ(index, 1);
}

TEST_F(CLevelTableTest, ALevelWithoutCheckpointsOrATableWithoutLevelsIsRefused)
{
    EXPECT_FALSE(Load(std::string("<level name='bare'>") + kMatch + "</level>"));
    EXPECT_TRUE(LogHas("ERROR LevelController::LoadFromXml - no checkpoints"));
    EXPECT_TRUE(LogHas("ERROR LevelController::LoadFromXml - no levels"));
    EXPECT_TRUE(mTable.Levels().empty());
}
