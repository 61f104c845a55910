#include "tests/game/screens/menus/GameCommandsFixture.h"

#include "tests/game/screens/windows/GUIFixtureXml.h"

#include <tinyxml.h>

namespace CommandsTest {

namespace {

// The window file with the given info labels in place of the window's own,
// the window added when the file lacks it.
std::string WithInfoLabels(std::string xml, const std::string& window, const std::vector<std::string>& formats)
{
    std::string labels = "<infolabels>";
    for (const std::string& format : formats)
        labels += "<label font=\"normal\" p=\"-1,200\" format=\"" + format + "\"/>";
    labels += "</infolabels>";
    const size_t start = xml.find("<window name=\"" + window + "\"");
    if (start == std::string::npos) {
        xml.insert(xml.find("</windows>"), "<window name=\"" + window + "\" width=\"420\">" + labels + "</window>\n");
        return xml;
    }
    const size_t end = xml.find("</window>", start);
    const size_t old = xml.find("<infolabels>", start);
    if (old != std::string::npos && old < end)
        xml.erase(old, xml.find("</infolabels>", old) + std::string("</infolabels>").size() - old);
    xml.insert(xml.find('>', start) + 1, labels);
    return xml;
}

std::string CommandsXml()
{
    std::string xml = GUITest::FixtureXml();
    const std::vector<std::pair<std::string, std::vector<std::string>>> windows = {
        {"levelstart", {"Level {}", "Stage {}", "Desc {}", "Kind {}", "Type {}"}},
        {"score_start", {"Score {}"}},
        {"levelend_classic_time",
         {"Level {}", "Stage {}", "Result {}", "Points {}", "Combos {}", "Supercombos {}", "Bonus {}", "Total {}"}},
        {"levelend_puzzle", {"Level {}", "Stage {}", "Result {}", "Bonus {}"}},
        {"levelend_crazy", {"Level {}", "Stage {}", "Result {}", "Points {}", "Bonus {}", "Total {}"}},
        {"gameover", {"Score {}"}},
        {"gameover_continue", {"Score {}", "Attempt {}"}},
        {"phase_end", {"Map {} done", "Next: map {}"}},
        {"phase_start", {}},
        {"pause_basic", {"Level {}", "Player: {}", "{}", "Result {}", "Stage {}"}},
        {"pause_score", {"Player: {}"}},
        {"menu", {"Player: {}", "Stage {}"}},
        {"deleteplayer", {"Delete {}?"}},
        {"gameover_hiscore", {"Score {}"}},
    };
    for (const auto& [window, formats] : windows)
        xml = WithInfoLabels(xml, window, formats);
    return xml;
}

} // namespace

void RecordingFlow::ShowBackgroundWidget()
{
    mCalls.push_back("menu");
}

void RecordingFlow::ShowLevelMap(int32_t map, int32_t from, int32_t to)
{
    mCalls.push_back("map " + std::to_string(map) + " " + std::to_string(from) + " " + std::to_string(to));
}

std::string RecordingFlow::Calls() const
{
    std::string text;
    for (const std::string& call : mCalls)
        text += (text.empty() ? "" : ", ") + call;
    return text;
}

void CommandsFixture::SetUp()
{
    LevelFlowFixture::SetUp();
    TiXmlDocument graphs;
    std::string map = "<graph><onload ball_idx='1'/><level name='points' bonus='70'/><level name='timed' bonus='5'/>"
                      "<level name='puzzle' bonus='40'/><level name='crazy' bonus='8'/>";
    for (int i = 4; i < 12; ++i)
        map += "<level name='points' mode_desc_id='1' bonus='" + std::to_string(i) + "'/>";
    graphs.Parse(("<root>" + map +
                  "</graph><graph easy='0,1' medium='1,2' hard='2,2'><level name='points'/><level name='points'/>"
                  "</graph></root>")
                     .c_str());
    ASSERT_TRUE(mGraphs.LoadFromXml(graphs.RootElement(), mLevels.Table()));

    CGameCommandServices services;
    services.mApp = &App();
    services.mFlow = &mFlow;
    services.mLevels = &mLevels;
    services.mGraphs = &mGraphs;
    services.mProfiles = &mProfiles;
    services.mHiscores = &mHiscores;
    mCommands = std::make_unique<CGameCommands>(services);
    mGui = std::make_unique<CGUIController>(&App(), &mGuiHost, mCommands.get());
    TiXmlDocument document;
    document.Parse(CommandsXml().c_str());
    mGui->LoadFromXml(document.RootElement());
    mGui->CreateImages();
    mSlots = std::make_unique<CSlotPanel>(mGui.get());
    mGui->mSlotPanel = mSlots.get();
    CBoardServices board;
    board.mApp = &App();
    board.mGui = mGui.get();
    board.mProcessor = &mProcessor;
    board.mLevel = &mLevels;
    board.mTracks = &mGuiHost.mTracks;
    board.mFlow = &mFlow;
    board.mPause = mCommands.get();
    mBoard = std::make_unique<CBoardWidget>(board);
    CGamePanelServices panel;
    panel.mTracks = &mGuiHost.mTracks;
    panel.mImages = &mImages;
    panel.mGui = mGui.get();
    panel.mFlow = &mFlow;
    panel.mPause = mCommands.get();
    mPanel = std::make_unique<CGamePanel>(panel);
    CGameCommandServices& linked = mCommands->Services();
    linked.mGui = mGui.get();
    linked.mSlotPanel = mSlots.get();
    linked.mBoard = mBoard.get();
    linked.mPanel = mPanel.get();
    linked.mBackground = &mBackdrop;
}

void CommandsFixture::PlayAt(int32_t graph, int32_t position)
{
    CLevelController::Request request;
    request.mGraph = graph;
    request.mPosition = position;
    request.mLives = 2;
    mLevels.SetLevelMapWanted(false);
    mLevels.RequestLevel(request);
    for (int i = 0; i < 4 && mLevels.State() != CLevelController::kIntro; ++i) {
        if (mLevels.StageChanged()) {
            mLevels.NextLevelInGraph();
            mLevels.RestartAfterLoad();
        } else {
            mLevels.HandleState();
        }
    }
    ASSERT_EQ(mLevels.State(), CLevelController::kIntro);
    mLevels.HandleState();
    mLevels.BeginPlay();
    ASSERT_EQ(mLevels.State(), CLevelController::kPlaying);
}

void CommandsFixture::Click(int32_t command)
{
    const GUIButton* button = mGui->Button(command);
    const GUIWindow* window = mGui->Window(mGui->CurrentWindow());
    ASSERT_NE(button, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(command >= window->mFirstButton && command < window->mEndButton)
        << "command " << command << " is not on window " << mGui->CurrentWindow();
    const int32_t x = 400 - window->mWidth / 2 + button->mRect.mX + 2;
    const int32_t y = button->mRect.mY + 2;
    mGui->OnPointerMove(x, y);
    mGui->OnPointerDown(x, y, false);
    mGui->OnPointerUp(x, y);
}

void CommandsFixture::Settle()
{
    for (int i = 0; i < 2000; ++i) {
        const int32_t state = mGui->State();
        // Opening the window shown again leaves it named as the next one.
        const bool nextShown = mGui->NextWindow() < 0 || mGui->NextWindow() == mGui->CurrentWindow();
        if (state == CGUIController::kNone || (state == CGUIController::kShown && nextShown))
            return;
        mGui->UpdateTracks(1.0f);
    }
    FAIL() << "the windows never settled";
}

void CommandsFixture::Step(int count)
{
    for (int i = 0; i < count; ++i)
        mGui->UpdateTracks(1.0f);
}

int32_t CommandsFixture::Shown() const
{
    return mGui->State() == CGUIController::kNone ? -1 : mGui->CurrentWindow();
}

std::string CommandsFixture::Slot(int32_t slot)
{
    const GUILabel* label = mGui->Label(mGui->InfoLabelIndex(slot));
    return label != nullptr ? label->mText : "<no label>";
}

void CommandsFixture::SaveA(const std::vector<int32_t>& values)
{
    int32_t record[CUserProfile::kProgressACount] = {};
    std::copy(values.begin(), values.end(), record);
    mProfiles.SetRecordA(record);
}

void CommandsFixture::SaveB(const std::vector<int32_t>& values)
{
    int32_t record[CUserProfile::kProgressBCount] = {};
    std::copy(values.begin(), values.end(), record);
    mProfiles.SetRecordB(record);
}

} // namespace CommandsTest
