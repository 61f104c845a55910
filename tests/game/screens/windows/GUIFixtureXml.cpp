#include "tests/game/screens/windows/GUIFixtureXml.h"

#include <vector>

namespace GUITest {

namespace {

struct WindowDef {
    const char* mName;
    int mButtons;
    int mWidth;
    const char* mExtra;
    int mButtonY = 200;
};

const char* const kRoot =
    R"(<root img="frame" himg="header" wheelpos="400,440" leftborder_width="24" leftshadow_width="8")"
    R"( middle_width="16" rightshadow_width="8" rightborder_width="24" hdr_y="52" bordershowspeed="0.25")"
    R"( windowrollspeed="0.05" windowfadespeed="0.25" maxzoom="1.6" ptscount_stayspeed="0.02")"
    R"( countspeed_max="0.5" countspeed_min="0.1" zoomspeed="0.25" zoomimgdim="320,64")"
    R"( stageselect_glyph_pos="170,250" stageselect_hint_offs="0,100" stageselect_hintfont="normal")"
    R"( stageselect_hintfadespeed="0.25" stageselect_glyph_step="94" stageselect_img1="stage1")"
    R"( stageselect_img2="stage2" stageselect_img3="stage3" stageselect_img4="stage4" stageselect_img5="stage5")"
    R"( stageselect_hl="stagehl" tmp_default_window="13")";

const std::vector<WindowDef> kWindows = {
    {"levelstart", 1, 420,
     R"(<labels><label font="big" p="-1,125" caption="Get ready"/></labels>
        <infolabels><label font="big" p="-1,190" format="Level {}"/><label groupid="0" groupcount="2"/>
        <label randomgroupid="0" randomgroupcount="1"/></infolabels>)"},
    {"score_start", 1, 420, ""},
    {"pause_score", 3, 360, ""},
    {"pause_basic", 3, 400, ""},
    {"levelend_classic_time", 1, 460,
     R"(<infolabels><label font="normal" p="60,300" format="Points {}"/>
        <label font="big" p="-1,440" format="Total {}"/></infolabels>)"},
    {"levelend_puzzle", 1, 460, ""},
    {"levelend_crazy", 1, 460, ""},
    {"gameover_continue", 2, 400, ""},
    {"gameover", 1, 400, ""},
    {"score_gameover", 1, 400, ""},
    {"happyend", 1, 460, ""},
    {"menu", 7, 360, R"(<infolabels><label font="normal" p="-1,140" format="Player: {}"/></infolabels>)"},
    {"options", 2, 420,
     R"(<checkboxes><cb body="cb" check="check" rect="320,156,28,28" p_body="320,156" p_check="322,158"/>
        <cb body="cb" check="check" rect="320,196,28,28" p_body="320,196" p_check="322,198"/></checkboxes>
        <sliders><slider slider="slider" nut="nut" pos="40,282" rect="40,278,240,24" l_rect="40,278,24,24"
         r_rect="256,278,24,24" p_rail="48,278" rail_length="184" dt="0.1"/>
        <slider slider="slider" nut="nut" pos="40,352" rect="40,348,240,24" l_rect="40,348,24,24"
         r_rect="256,348,24,24" p_rail="48,348" rail_length="184" dt="0.1"/></sliders>)"},
    {"createplayer1", 1, 400,
     R"(<editboxes><editbox font="normal" rect="40,240,320,32" pos="48,244,304,24" bgcolor="0,0,0,140"/></editboxes>)"},
    {"createplayer1_empty", 1, 360, ""},
    {"playerlist", 4, 460,
     R"(<listboxes><listbox xoffs="12" yoffs="26" linestep="28" maxlines="6" selection_xoffs="4"
         selection_width="332" selection_vertical_offset="-20" selection_height="26" font="normal"
         selectioncolor="255,200,60,110" rect="40,160,344,172" scrollbar_up="sb_up" scrollbar_down="sb_down"
         scrollbar_rail="sb_rail" scrollbar_thumb="sb_thumb" scrollbar_thumb1="sb_thumb1"
         scrollbar_thumb2="sb_thumb2" scrollbar_thumboffset="0" scrollbar_relative_rect="388,160,16,172"/></listboxes>)",
     350},
    {"createplayer2", 2, 400,
     R"(<editboxes><editbox font="big" rect="40,240,320,32" pos="48,244,304,24" bgcolor="0,0,0,140"/></editboxes>)"},
    {"createplayer2_identical", 1, 360, ""},
    {"deleteplayer", 2, 400, ""},
    {"gamecontinue", 3, 400, ""},
    {"gamerestart_score", 2, 400, ""},
    {"gamerestart_basic", 2, 400, ""},
    {"stageselect", 2, 520, R"(<infolabels><label font="normal" p="-1,390" format="Slot {}"/></infolabels>)"},
    {"score_gameover_hiscore", 1, 400, ""},
    {"gameover_hiscore", 1, 400, ""},
    {"hiscore_hit", 1, 600, ""},
    {"hiscore_show", 2, 600, ""},
    {"hiscore_reset_confirm", 2, 400, ""},
    {"menu_confirm", 2, 400, ""},
    {"quit_confirm", 2, 360, ""},
    {"levelmap", 1, 240, ""},
    {"credits", 1, 460, ""},
    {"start_last", 3, 420, ""},
    {"hiscore_show_gameover", 1, 600, ""},
    {"creditsbody", 0, 300, R"(<labels><label font="normal" p="-1,0" caption="Zentrova"/></labels>)"},
    {"award1", 0, 360, R"(<labels><label img="cup" p="-1,200"/></labels>)"},
};

} // namespace

std::string FixtureXml(const std::string& rootExtra)
{
    std::string xml = std::string(kRoot) + " " + rootExtra + ">\n<windows>\n";
    for (const WindowDef& window : kWindows) {
        xml += "<window name=\"" + std::string(window.mName) + "\" width=\"" + std::to_string(window.mWidth) +
               "\">" + window.mExtra + "<buttons>";
        for (int i = 0; i < window.mButtons; ++i) {
            const std::string y = std::to_string(window.mButtonY + 40 * i);
            xml += "<button caption=\"" + std::string(window.mName) + std::to_string(i) +
                   "\" font=\"normal\" hoverfont=\"big\" rect=\"40," + y + ",200,32\" p=\"56," + y + "\"/>";
        }
        xml += "</buttons></window>\n";
    }
    xml += R"(</windows>
<labelgroups>
  <labelgroup id="0"><label font="normal" p="-1,250" caption="Novice"/></labelgroup>
  <labelgroup id="1"><label font="normal" p="-1,250" caption="Expert"/></labelgroup>
  <labelgroup id="2"><label font="normal" p="-1,155" caption="Well done!"/></labelgroup>
  <labelgroup id="3"><label font="normal" p="-1,155" caption="Great work!"/></labelgroup>
</labelgroups>
<randomgroups><randomgroup id="0"><lgroup id="2"/><lgroup id="3"/></randomgroup></randomgroups>
<stagenames><string src="Meadow"/><string src="Dunes"/><string src="Reef"/><string src="Peaks"/><string src="Void"/></stagenames>
</root>)";
    return xml;
}

} // namespace GUITest
