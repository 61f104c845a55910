#include "tests/content/ContentFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace ContentTest {
namespace {

using F = ContentFiles;

// The windows the code opens by number, with the first command id and the
// first info-label slot each owns (-1: running ids, or no slot).
struct FixedWindow {
    const char* name;
    int firstCommand;
    int firstSlot;
};

const FixedWindow kWindows[] = {
    {"levelstart", 0, 0},
    {"score_start", 1, 5},
    {"pause_score", 2, 34},
    {"pause_basic", 5, 29},
    {"levelend_classic_time", 8, 6},
    {"levelend_puzzle", 9, 14},
    {"levelend_crazy", 10, 18},
    {"gameover_continue", 11, 25},
    {"gameover", 13, 24},
    {"score_gameover", 14, -1},
    // happyend's slots would be phase_end's 27 and 28, and it is read later.
    {"happyend", 15, -1},
    {"menu", 16, 35},
    {"options", 23, -1},
    {"createplayer1", 25, -1},
    {"createplayer1_empty", 26, -1},
    {"playerlist", 27, -1},
    {"createplayer2", 31, -1},
    {"createplayer2_identical", 33, -1},
    {"deleteplayer", 34, 37},
    {"gamecontinue", 36, -1},
    {"gamerestart_score", 39, -1},
    {"gamerestart_basic", 41, -1},
    {"stageselect", 43, 39},
    {"score_gameover_hiscore", 45, -1},
    {"gameover_hiscore", 46, 38},
    {"hiscore_hit", 47, -1},
    {"hiscore_show", 48, -1},
    {"hiscore_reset_confirm", 50, -1},
    {"menu_confirm", 52, -1},
    {"quit_confirm", 54, -1},
    {"levelmap", 56, -1},
    {"credits", 57, -1},
    {"start_last", 58, -1},
    {"hiscore_show_gameover", 61, -1},
    {"phase_start", -1, -1},
    {"phase_end", -1, 27},
    {"prize", -1, -1},
    {"creditsbody", -1, -1},
    {"award1", -1, -1}, {"award2", -1, -1}, {"award3", -1, -1}, {"award4", -1, -1},
    {"award5", -1, -1}, {"award6", -1, -1}, {"award7", -1, -1}, {"award8", -1, -1},
};
constexpr int kCommands = 62;
constexpr int kSlots = 40;

int Count(const TiXmlElement* window, const char* list, const char* item)
{
    const TiXmlElement* parent = window->FirstChildElement(list);
    int count = 0;
    for (const TiXmlElement* e = parent ? parent->FirstChildElement(item) : nullptr; e; e = e->NextSiblingElement(item))
        ++count;
    return count;
}

// The next fixed number after mine, in the table's order of numbers.
int NextAfter(int mine, bool commands)
{
    int next = commands ? kCommands : kSlots;
    for (const FixedWindow& w : kWindows) {
        const int other = commands ? w.firstCommand : w.firstSlot;
        if (other > mine)
            next = std::min(next, other);
    }
    return next;
}

// Command ids are button indices and info-label slots are numbered the same
// way, so each window must hold exactly the count up to the next window's
// first number: one too few or too many shifts every later window.
TEST(ContentWindows, EachWindowHoldsItsFixedButtonsSlotsAndControls)
{
    const auto document = F::Xml("gui.xml");
    ASSERT_TRUE(document);
    const TiXmlElement* windows = document->RootElement()->FirstChildElement("windows");
    ASSERT_TRUE(windows);
    std::set<std::string> seen;
    int buttons = 0, slots = 0;
    for (const FixedWindow& fixed : kWindows) {
        SCOPED_TRACE(fixed.name);
        const TiXmlElement* window = windows->FirstChildElement("window");
        while (window && F::Attribute(window, "name") != fixed.name)
            window = window->NextSiblingElement("window");
        ASSERT_TRUE(window);
        seen.insert(fixed.name);
        EXPECT_GT(std::atoi(F::Attribute(window, "width").c_str()), 0);
        const int buttonCount = Count(window, "buttons", "button");
        EXPECT_EQ(buttonCount, fixed.firstCommand < 0 ? 0 : NextAfter(fixed.firstCommand, true) - fixed.firstCommand);
        const int slotCount = Count(window, "infolabels", "label");
        EXPECT_EQ(slotCount, fixed.firstSlot < 0 ? 0 : NextAfter(fixed.firstSlot, false) - fixed.firstSlot);
        buttons += buttonCount;
        slots += slotCount;
        // The controls the code addresses by fixed index live only where it expects them.
        const std::string name = fixed.name;
        EXPECT_EQ(Count(window, "checkboxes", "cb"), name == "options" ? 2 : 0);
        EXPECT_EQ(Count(window, "sliders", "slider"), name == "options" ? 2 : 0);
        EXPECT_EQ(Count(window, "editboxes", "editbox"), name == "createplayer1" || name == "createplayer2" ? 1 : 0);
        EXPECT_EQ(Count(window, "listboxes", "listbox"), name == "playerlist" ? 1 : 0);
        // A value written into an info label needs a "{}" to go into.
        const TiXmlElement* info = window->FirstChildElement("infolabels");
        for (const TiXmlElement* l = info ? info->FirstChildElement("label") : nullptr; l; l = l->NextSiblingElement("label"))
            if (!l->Attribute("groupid")) {
                EXPECT_NE(F::Attribute(l, "format").find("{}"), std::string::npos);
            }
    }
    EXPECT_EQ(seen.size(), 46u);
    EXPECT_EQ(buttons, kCommands);
    EXPECT_EQ(slots, kSlots);
}

TEST(ContentWindows, GroupsFontsAndNameListsAreInRange)
{
    const auto document = F::Xml("gui.xml");
    ASSERT_TRUE(document);
    const TiXmlElement* root = document->RootElement();
    int groups = 0;
    for (const TiXmlElement* g = root->FirstChildElement("labelgroups")->FirstChildElement("labelgroup"); g;
         g = g->NextSiblingElement("labelgroup"), ++groups)
        EXPECT_EQ(F::Attribute(g, "id"), std::to_string(groups)) << "label-group ids are explicit and in order";
    int randomGroups = 0;
    for (const TiXmlElement* g = root->FirstChildElement("randomgroups")->FirstChildElement("randomgroup"); g;
         g = g->NextSiblingElement("randomgroup"), ++randomGroups) {
        EXPECT_EQ(F::Attribute(g, "id"), std::to_string(randomGroups));
        for (const TiXmlElement* l = g->FirstChildElement("lgroup"); l; l = l->NextSiblingElement("lgroup"))
            EXPECT_LT(std::atoi(l->Attribute("id")), groups);
    }
    const std::set<std::string> fonts = {"combo", "hud_score", "service", "bonusbanner", "header", "big",
                                         "gold", "sky", "sky_sel", "normal", "rating"};
    for (const TiXmlElement* e : F::Elements(root)) {
        for (const char* attribute : {"font", "hoverfont", "stageselect_hintfont"})
            if (e->Attribute(attribute)) {
                EXPECT_TRUE(fonts.count(e->Attribute(attribute))) << e->Attribute(attribute);
            }
        if (e->Attribute("groupid")) {
            const int id = std::atoi(e->Attribute("groupid")), count = std::atoi(e->Attribute("groupcount"));
            EXPECT_TRUE(id >= 0 && id + count <= groups) << id << "+" << count;
        }
        if (e->Attribute("randomgroupid")) {
            const int id = std::atoi(e->Attribute("randomgroupid")), count = std::atoi(e->Attribute("randomgroupcount"));
            EXPECT_TRUE(id >= 0 && id + count <= randomGroups) << id << "+" << count;
        }
        for (const char* attribute : {"caption", "format", "src"})
            EXPECT_EQ(F::Attribute(e, attribute).find('^'), std::string::npos) << "a colour code in " << e->Value();
    }
    const std::pair<const char*, size_t> lists[] = {{"bonusnames", 8}, {"ranknames", 10}, {"stagenames", 5}, {"combonames", 5}};
    for (const auto& [list, size] : lists) {
        const auto names = F::ChildTags(root->FirstChildElement(list));
        EXPECT_EQ(names.size(), size) << list;
    }
    for (const TiXmlElement* s = root->FirstChildElement("bonusnames")->FirstChildElement("string"); s;
         s = s->NextSiblingElement("string"))
        EXPECT_LE(F::Attribute(s, "src").size(), 16u) << "the banner strip has 16 cells";
    const int middle = std::atoi(F::Attribute(root, "middle_width").c_str());
    EXPECT_TRUE(middle >= 1 && middle <= 64);
}

} // namespace
} // namespace ContentTest
