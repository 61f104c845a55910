#pragma once

#include "tools/pictures/Canvas.h"

// The game's one palette: deep night blues, slate panels, warm gold accents.
namespace Palette {

inline const Rgba kNight = FromBytes(12, 20, 38);
inline const Rgba kDusk = FromBytes(30, 52, 84);
inline const Rgba kSlate = FromBytes(38, 54, 80);
inline const Rgba kSlateLight = FromBytes(74, 98, 132);
inline const Rgba kSlateDark = FromBytes(20, 30, 48);
inline const Rgba kGold = FromBytes(255, 200, 74);
inline const Rgba kGoldDark = FromBytes(168, 112, 30);
inline const Rgba kTeal = FromBytes(80, 210, 196);
inline const Rgba kText = FromBytes(238, 243, 255);
inline const Rgba kInk = FromBytes(8, 12, 22);
inline const Rgba kWhite = FromBytes(255, 255, 255);

// The block colours, in the order of gamefields.xml: four playable, then the stone.
inline const Rgba kBlocks[5] = {FromBytes(220, 70, 60), FromBytes(70, 170, 80), FromBytes(70, 120, 230),
                                FromBytes(235, 190, 50), FromBytes(150, 150, 160)};

} // namespace Palette
