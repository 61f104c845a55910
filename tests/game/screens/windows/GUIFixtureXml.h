#pragma once

#include <string>

namespace GUITest {

// A window file with every fixed window that has buttons, each with its
// number of buttons (62 in all), and a few windows of each kind filled in:
// labels and a label group on "levelstart", seven buttons on "menu",
// checkboxes and sliders on "options", an edit box on "createplayer1", a
// list box on "playerlist", the slot panel's info label on "stageselect",
// counting labels on "levelend_classic_time" and an image label on "award1".
// rootExtra is added to the root element's attributes.
std::string FixtureXml(const std::string& rootExtra = "");

} // namespace GUITest
