#include "tests/game/board/levels/LevelFlowFixture.h"

#include "game/board/levels/LevelCommands.h"
#include "tests/game/board/field/FieldPicture.h"

#include <algorithm>
#include <tinyxml.h>

namespace BoardTest {

namespace {

std::string Checkpoints(int turns = 999)
{
    return "<checkpoints><checkpoint blocktypes='4' maxgroups='6' mingroups='1' maxgroupsize='6' turns='" +
           std::to_string(turns) +
           "' damage='400' simultaneous_bonuscount='0' bonus_energy='0' bonus_time='0.002'/>"
           "<checkpoint blocktypes='3' maxgroups='6' mingroups='1' maxgroupsize='6' turns='4' damage='100'"
           " simultaneous_bonuscount='0' bonus_energy='0' bonus_time='0.002'/></checkpoints>";
}

const std::string kMatch = "<match><match count='3' points='30'/><match count='6' points='90'/></match>";

} // namespace

void RecordingLevelHost::SetProcessorState(int32_t state)
{
    mProcessorState = state;
    mCalls.push_back("State " + std::to_string(state));
}
void RecordingLevelHost::SetHazards(bool on, int32_t flags)
{
    mCalls.push_back("Hazards " + std::to_string(on) + " " + std::to_string(flags));
}
void RecordingLevelHost::SetDrain(bool on, float) { mCalls.push_back("Drain " + std::to_string(on)); }
void RecordingLevelHost::StartPhase(int32_t sequence) { mCalls.push_back("Phase " + std::to_string(sequence)); }
void RecordingLevelHost::ProcessGroup(int32_t group) { mCalls.push_back("Group " + std::to_string(group)); }
void RecordingLevelHost::ShowPopup(int32_t kind, int32_t value)
{
    mCalls.push_back("Popup " + std::to_string(kind) + " " + std::to_string(value));
}
void RecordingLevelHost::SetArrows(bool stop, bool dim, bool hide, bool show, bool flash)
{
    mCalls.push_back(std::string("Arrows") + (stop ? " stop" : "") + (dim ? " dim" : "") + (hide ? " hide" : "") +
                     (show ? " show" : "") + (flash ? " flash" : ""));
}
void RecordingLevelHost::BallCell(int32_t* column, int32_t* row) const
{
    *column = mBallColumn;
    *row = mBallRow;
}
void RecordingLevelHost::ResetBall(bool placeOnCell, int32_t column, int32_t row)
{
    mCalls.push_back("Ball " + std::to_string(placeOnCell) + " " + std::to_string(column) + "," + std::to_string(row));
}
void RecordingLevelHost::SetBallSpeeds(float first, float second)
{
    mCalls.push_back("BallSpeeds " + std::to_string(first) + " " + std::to_string(second));
}
void RecordingLevelHost::SetBonusGeneration(bool present, float, float)
{
    mCalls.push_back("Bonuses " + std::to_string(present));
}
void RecordingLevelHost::SetBonusAmount(int32_t bonus, int32_t amount)
{
    if (amount != 0)
        mCalls.push_back("Bonus " + std::to_string(bonus) + "=" + std::to_string(amount));
}
void RecordingLevelHost::SetUpField(int32_t shape)
{
    mCalls.push_back("Field " + std::to_string(shape));
    if (mFillField)
        mFillField->ResetForLevel();
}
void RecordingLevelHost::ApplyOnload(int32_t gameBorder, int32_t background, int32_t ball)
{
    mCalls.push_back("Onload " + std::to_string(gameBorder) + " " + std::to_string(background) + " " +
                     std::to_string(ball));
}
void RecordingLevelHost::CrazyPhaseStep(int32_t cell) { mCalls.push_back("CrazyStep " + std::to_string(cell)); }
void RecordingLevelHost::PlaySample(int32_t sample) { mCalls.push_back("Sample " + std::to_string(sample)); }

bool RecordingLevelHost::Has(const std::string& call) const
{
    return std::find(mCalls.begin(), mCalls.end(), call) != mCalls.end();
}

void LoadLevels(CLevelController& levels, CLevelGraphs& graphs, const CFieldBase& shapes)
{
    RegisterLevelCommands();
    TiXmlDocument document;
    document.Parse(("<root><defaults do_switchside='0' generations_per_turn='1'/>"
                  "<combos match2='100' match3='250' match4='500' supercombo='1000' combospeed='0.02'/>"
                  "<level name='points' points_to_complete='60'><commands><cmd name='set_ballspeed' "
                  "params='0.5;0.25'/></commands>" +
                  Checkpoints(5) + kMatch +
                  "</level><level name='timed' points_to_complete='1000' start_points='20' "
                  "points_decrease_speed='0.05'>" +
                  Checkpoints() + kMatch +
                  "</level><level name='puzzle' points_to_complete='1' do_generation='1' do_scoring='1'>" +
                  Checkpoints() + kMatch + "</level><level name='crazy' do_generation='2' initial_energy='0'>" +
                  Checkpoints() + kMatch + "</level></root>")
                     .c_str());
    ASSERT_TRUE(levels.LoadFromXml(document.RootElement(), shapes));
    TiXmlDocument graphFile;
    graphFile.Parse("<root><graph><onload ball_idx='1'/><level name='points' bonus='70'/><level name='timed' bonus='5'/>"
                 "<level name='puzzle'/><level name='crazy'/></graph>"
                 "<graph easy='0,1' medium='1,2' hard='2,2'><level name='points'/><level name='points'/></graph>"
                 "<graph easy='0,1' medium='1,2' hard='2,2'><level name='points'/><level name='points'/>"
                 "<level name='puzzle'/><level name='points'/><level name='crazy'/></graph>"
                 "</root>");
    ASSERT_TRUE(graphs.LoadFromXml(graphFile.RootElement(), levels.Table()));
}

void PlayLevel(CLevelController& levels, const RecordingWindows& windows, int32_t graph, int32_t position,
               int32_t lives, int32_t result)
{
    CLevelController::Request request;
    request.mGraph = graph;
    request.mPosition = position;
    request.mLives = lives;
    request.mResult = result;
    levels.RequestLevel(request);
    if (levels.StageChanged()) {
        // A new map is loaded behind the stage window before its level starts.
        ASSERT_EQ(windows.mOpened.back(), 111);
        levels.NextLevelInGraph();
        levels.RestartAfterLoad();
        levels.RequestLevel(request);
    }
    ASSERT_EQ(levels.State(), CLevelController::kRequested);
    levels.HandleState();
    ASSERT_EQ(levels.State(), CLevelController::kIntro);
    levels.HandleState();
    ASSERT_EQ(windows.mOpened.back(), levels.GameMode() == 1 ? 0 : 8);
    levels.BeginPlay();
    ASSERT_EQ(levels.State(), CLevelController::kPlaying);
}

void LevelFlowFixture::SetUp()
{
    CGridParameters rules;
    rules.mBlockTypes = 4;
    rules.mMaxGroups = 6;
    rules.mMinGroups = 1;
    rules.mGenerationsPerTurn = 1;
    rules.mMaxGroupSize = 6;
    PrepareField(mField, rules);
    Field({"00011", "22211", "33314"});
    LoadLevels(mLevels, mGraphs, mShapes);
    mProfiles.Init(App());
    mProfiles.Add("ann");
    ASSERT_TRUE(mProfiles.SelectByName("ann"));
}

void LevelFlowFixture::Field(const std::vector<std::string>& rows) { SetCells(mField, rows); }

void LevelFlowFixture::Play(int32_t graph, int32_t position, int32_t lives, int32_t result)
{
    PlayLevel(mLevels, mWindows, graph, position, lives, result);
}

int32_t LevelFlowFixture::Land(int32_t column, int32_t row, bool jump)
{
    mHost.mBallColumn = column;
    mHost.mBallRow = row;
    int32_t taken = 0;
    mLevels.OnBallLanded(jump, false, &taken);
    return taken;
}

void LevelFlowFixture::FinishLevel()
{
    mLevels.CheckLevelEnd();
    const size_t windows = mWindows.mOpened.size();
    for (int i = 0; i < 3 && mWindows.mOpened.size() == windows; ++i)
        mLevels.HandleState();
}

} // namespace BoardTest
