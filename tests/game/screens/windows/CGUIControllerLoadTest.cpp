#include "game/data/XmlLoading.h"
#include "tests/game/screens/windows/GUIFixtureXml.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

#include <tinyxml.h>

#include <fstream>
#include <sstream>

namespace GUITest {
namespace {

using LoadTest = GUIFixture;

TEST_F(LoadTest, ButtonsTakeTheCommandIdsOfTheirWindowsFixedIndicesAndSlots)
{
    Load(FixtureXml());
    EXPECT_EQ(mGui->ButtonCount(), 62);
    const struct {
        int32_t window;
        int32_t first;
        int32_t end;
    } cases[] = {{0, 0, 1}, {13, 16, 23}, {14, 23, 25}, {17, 27, 31}, {24, 43, 45}, {29, 61, 62}, {45, 58, 61}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        EXPECT_EQ(mGui->Window(c.window)->mFirstButton, c.first);
        EXPECT_EQ(mGui->Window(c.window)->mEndButton, c.end);
    }
    EXPECT_EQ(mGui->Button(16)->mCaption, "menu0");
    EXPECT_EQ(mGui->Button(22)->mCaption, "menu6");

    const GUIWindow& options = *mGui->Window(14);
    EXPECT_EQ(options.mFirstCheckbox, 0);
    EXPECT_EQ(options.mEndCheckbox, 2);
    EXPECT_EQ(options.mFirstSlider, 0);
    EXPECT_EQ(options.mEndSlider, 2);
    EXPECT_EQ(mGui->Window(15)->mFirstEditBox, 0);
    EXPECT_EQ(mGui->Window(18)->mFirstEditBox, 1);
    EXPECT_EQ(mGui->Window(17)->mFirstListBox, 0);
    EXPECT_EQ(mGui->Window(17)->mEndListBox, 1);

    // Label groups come first in the label array; info labels fill their window's slots.
    EXPECT_EQ(mGui->LabelGroup(1), std::make_pair(1, 2));
    EXPECT_EQ(mGui->InfoLabelIndex(0), mGui->Window(0)->mFirstInfoLabel);
    EXPECT_EQ(mGui->Label(mGui->InfoLabelIndex(0))->mFormat, "Level {}");
    EXPECT_EQ(mGui->Label(mGui->InfoLabelIndex(6))->mFormat, "Points {}");
    EXPECT_EQ(mGui->Label(mGui->InfoLabelIndex(35))->mFormat, "Player: {}");
    EXPECT_EQ(mGui->Label(mGui->InfoLabelIndex(39))->mFormat, "Slot {}");
    EXPECT_EQ(mGui->InfoLabelIndex(5), -1);
    EXPECT_EQ(mGui->InfoLabelIndex(40), -1);
    EXPECT_EQ(mGui->mStageNames[4], "Void");
    EXPECT_EQ(mGui->DefaultWindow(), 13);
}

TEST_F(LoadTest, WindowsWithoutFixedIndicesTakeTheNextFreeOnes)
{
    // phase_start is read before phase_end; both take buttons from 62 on, and options' fixed
    // checkboxes 0 and 1 leave the running ones to start at 2.
    std::string xml = FixtureXml();
    xml.insert(xml.find("<window "), R"(<window name="phase_end" width="300"><buttons><button/><button/></buttons>
        <checkboxes><cb/></checkboxes></window>
        <window name="phase_start" width="300"><buttons><button/></buttons></window>)");
    Load(xml);
    EXPECT_EQ(mGui->ButtonCount(), 65);
    EXPECT_EQ(mGui->Window(11)->mFirstButton, 62);
    EXPECT_EQ(mGui->Window(10)->mFirstButton, 63);
    EXPECT_EQ(mGui->Window(10)->mEndButton, 65);
    EXPECT_EQ(mGui->Window(10)->mFirstCheckbox, 2);
    EXPECT_EQ(mGui->Window(10)->mEndCheckbox, 3);
    EXPECT_EQ(mGui->Window(14)->mEndCheckbox, 2);
}

TEST_F(LoadTest, GroupIdsDefaultAndBadOnesAreReportedAndNeutralised)
{
    Load(R"(<root><windows><window name="levelstart" width="300"><labels>
              <label groupid="1" groupcount="1"/><label groupid="1" groupcount="5"/><label groupid="-1"/>
              <label randomgroupid="0" randomgroupcount="1"/><label randomgroupid="1" randomgroupcount="1"/>
            </labels></window></windows>
            <labelgroups><labelgroup><label font="normal" caption="A"/></labelgroup>
                         <labelgroup><label font="normal" caption="B"/></labelgroup></labelgroups>
            <randomgroups><randomgroup id="0"><lgroup id="1"/><lgroup id="7"/><lgroup/></randomgroup></randomgroups>
            <combonames><string src="Double"/><string src="Triple"/></combonames></root>)");
    // Two groups without ids: 1, then 2, which is too large and becomes 0.
    EXPECT_TRUE(LogHas("ERROR CGUIController - bad labelgroup id"));
    EXPECT_EQ(mGui->LabelGroup(1), std::make_pair(0, 1));
    EXPECT_EQ(mGui->LabelGroup(0), std::make_pair(1, 2));
    EXPECT_TRUE(LogHas("ERROR CGUIController - bad randomgroup::labelgroup id"));
    EXPECT_TRUE(LogHas("ERROR CGUIController::LoadLabelFromXml - wrong group index"));
    EXPECT_TRUE(LogHas("ERROR CGUIController::LoadLabelFromXml - wrong randomgroup index"));

    const GUIWindow& window = *mGui->Window(0);
    const int32_t first = window.mFirstLabel;
    EXPECT_FALSE(mGui->Label(first)->mBroken);
    EXPECT_TRUE(mGui->Label(first + 1)->mBroken);
    EXPECT_TRUE(mGui->Label(first + 2)->mBroken);
    EXPECT_EQ(mGui->Label(first + 3)->mHalfWidthOrGroup, 1);
    EXPECT_TRUE(mGui->Label(first + 4)->mBroken);

    const std::array<std::string, 5> combos = {"Double", "Triple", "4x combo", "supercombo", "superbonus"};
    EXPECT_EQ(mGui->mComboNames, combos);

    // A broken label draws nothing, and giving it a value reads no table.
    mGui->SetLabelValue(first + 1, 3);
    mGui->OpenWindow(0, true);
    RecordingGraphics g;
    mGui->DrawWindow(g.mGraphics);
    // The group label and the random-group label both show group 1 ("A").
    ASSERT_EQ(mHost.mFonts[0]->mDraws.size(), 2u);
    EXPECT_EQ(mHost.mFonts[0]->mDraws[0].mText, "A");
}

TEST_F(LoadTest, GlyphButtonsBorrowMissingPictures)
{
    mHost.AddPicture("idle", 10, 10);
    mHost.AddPicture("hover", 10, 10);
    mHost.AddPicture("push", 10, 10);
    Load(R"(<root><windows><window name="levelstart" width="300"><buttons>
              <button glyph_idle="idle" glyph_push="push"/>
              <button glyph_idle="idle" glyph_hover="hover"/>
              <button glyph_idle="idle"/>
              <button caption="Go" font="big" hoverfont="normal" nohint="1x"/>
            </buttons></window></windows></root>)");
    int32_t idle = -2, hover = -2, push = -2;
    mHost.FindImage("idle", &idle);
    mHost.FindImage("hover", &hover);
    mHost.FindImage("push", &push);
    const struct {
        int32_t index, hover, push;
    } cases[] = {{0, push, push}, {1, hover, hover}, {2, idle, idle}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(mGui->Button(c.index)->mKind, GUIButton::kGlyph);
        EXPECT_EQ(mGui->Button(c.index)->mHover, c.hover);
        EXPECT_EQ(mGui->Button(c.index)->mPush, c.push);
    }
    EXPECT_EQ(mGui->Button(3)->mKind, GUIButton::kText);
    EXPECT_TRUE(mGui->Button(3)->mNoHint);
    EXPECT_EQ(mGui->Button(3)->mFont, 1);
}

TEST_F(LoadTest, AnEmptyFileLeavesEveryWindowEmptyAndFixedIndicesRefused)
{
    Load("<root/>");
    EXPECT_TRUE(LogHas("WARNING CGUIController - no window menu"));
    EXPECT_EQ(mGui->Window(13)->mWidth, 0);
    EXPECT_EQ(mGui->Window(46), nullptr);
    EXPECT_EQ(mGui->Slider(0), nullptr);
    EXPECT_EQ(mGui->InfoLabelIndex(0), -1);
    // Callers that address fixed controls and slots find nothing to touch.
    mGui->SetSliderPos(1, 0.5f);
    mGui->SetListCount(3);
    mGui->RemoveListLine(0);
    mGui->ClearEditText();
    EXPECT_EQ(mGui->GetEditText(0), "");
    mGui->SetInfoLabelText(3, "x");
    mGui->StartCountUp(9, 100, 100, 2, 1);
    EXPECT_TRUE(LogHas("ERROR CGUIController - no info label 9"));
    mGui->OpenWindow(99, false);
    EXPECT_TRUE(LogHas("ERROR CGUIController - no window id 99"));
    EXPECT_EQ(mGui->State(), CGUIController::kNone);
    // The loader needs a root: no document loads nothing.
    CGUIController empty(&App(), &mHost, &mSpy);
    empty.LoadFromXml(nullptr);
    EXPECT_TRUE(LogHas("ERROR CGUIController - no root element"));
}

TEST_F(LoadTest, FrameTilesAreBuiltOnlyFromUsableFrameSettings)
{
    Load(FixtureXml());
    int32_t tiles = 0;
    for (const std::string& name : mHost.mImageNames)
        tiles += name == "runtime" ? 1 : 0;
    EXPECT_EQ(tiles, 8);
    Lumo::Rect rect;
    const Lumo::MemoryImage* tile = mHost.SlotImage(int32_t(mHost.mImages.size()) - 1, &rect);
    // 64 / 16 = 4 middle pieces side by side, 75 rows, copied from the frame's middle.
    EXPECT_EQ(rect.mWidth, 64);
    EXPECT_EQ(rect.mHeight, 75);
    EXPECT_EQ(const_cast<Lumo::MemoryImage*>(tile)->GetPixelBits()[0], 0xFF102030u);

    for (const char* width : {"0", "65"}) {
        SCOPED_TRACE(width);
        std::string xml = FixtureXml();
        xml.replace(xml.find("middle_width=\"16\""), 17, std::string("middle_width=\"") + width + "\"");
        Load(xml);
        EXPECT_TRUE(LogHas("ERROR CGUIController - middle_width must be 1 to 64"));
    }
    mHost.mRuntimeLimit = 3;
    Load(FixtureXml());
    EXPECT_TRUE(LogHas("CGUIController: Error creating image"));
    mHost.mWheel.reset();
    mHost.mImageNames[0] = "gone";
    Load(FixtureXml());
    EXPECT_TRUE(LogHas("ERROR CGUIController - no window frame image"));
    // Without frame pictures or a wheel the windows still open and draw.
    mGui->OpenWindow(13, false);
    mGui->SetHighlight(true);
    RecordingGraphics g;
    for (int i = 0; i < 400; ++i) {
        Step();
        mGui->DrawWindow(g.mGraphics);
    }
    EXPECT_EQ(mGui->State(), CGUIController::kShown);
}

std::string ReadContentFile(const std::string& name)
{
    std::ifstream file(std::string(ZENTROVA_CONTENT_DIR) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST_F(LoadTest, TheSampleWindowFileFillsEveryFixedIndex)
{
    const std::string xml = ReadContentFile("res/gui.xml");
    ASSERT_FALSE(xml.empty());
    // Every name the file uses resolves, so that only the file's own shape is checked.
    for (const char* font : {"service", "hud_score", "combo", "bonusbanner", "header", "gold", "sky", "sky_sel",
                             "rating"}) {
        mHost.mFontNames[font] = int32_t(mHost.mFonts.size());
        mHost.mFonts.push_back(std::make_unique<GlyphFont>(10));
    }
    for (size_t at = xml.find("\"res\\"); at != std::string::npos; at = xml.find("\"res\\", at + 1)) {
        const std::string name = xml.substr(at + 1, xml.find('"', at + 1) - at - 1);
        int32_t slot = 0;
        if (!mHost.FindImage(name, &slot))
            mHost.AddPicture(name, 80, 600);
    }
    Load(xml);
    EXPECT_EQ(LogText().find("ERROR CGUIController"), std::string::npos) << LogText();
    EXPECT_EQ(mGui->ButtonCount(), 62);
    const int32_t buttonCounts[GUIWindowId::kCount] = {1, 2, 1, 3, 3, 1, 1, 1, 1, 1, 0, 0, 1, 7, 2, 1, 1, 4, 2, 1, 2, 3,
                                                      2, 2, 2, 1, 1, 2, 1, 1, 2, 2, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0,
                                                      0, 1, 0, 3};
    for (int32_t id = 0; id < GUIWindowId::kCount; ++id) {
        SCOPED_TRACE(GUIWindowName(id));
        const GUIWindow& window = *mGui->Window(id);
        EXPECT_GT(window.mWidth, 0);
        EXPECT_EQ(window.mEndButton - window.mFirstButton, buttonCounts[id]);
        if (buttonCounts[id] > 0) {
            EXPECT_EQ(window.mFirstButton, GUIWindowSpecOf(id).mFirstCommand);
        }
    }
    // Each slot holds a label of the window that names it.
    const struct {
        int32_t window, firstSlot, count;
    } slots[] = {{0, 0, 5},   {8, 5, 1},   {5, 6, 8},   {6, 14, 4},  {7, 18, 6},  {2, 24, 1},  {1, 25, 2},
                 {10, 27, 2}, {4, 29, 5},  {3, 34, 1},  {13, 35, 2}, {20, 37, 1}, {26, 38, 1}, {24, 39, 1}};
    for (const auto& s : slots) {
        for (int32_t i = 0; i < s.count; ++i)
            EXPECT_EQ(mGui->InfoLabelIndex(s.firstSlot + i), mGui->Window(s.window)->mFirstInfoLabel + i)
                << "slot " << s.firstSlot + i;
    }
    EXPECT_EQ(mGui->Window(14)->mEndCheckbox, 2);
    EXPECT_EQ(mGui->Window(14)->mEndSlider, 2);
    EXPECT_NE(mGui->ListBox(0), nullptr);
    EXPECT_NE(mGui->EditBox(1), nullptr);
    EXPECT_EQ(mGui->LabelGroupCount(), 44);
    EXPECT_EQ(mGui->mBonusNames[7], "TIME");
}

} // namespace
} // namespace GUITest
