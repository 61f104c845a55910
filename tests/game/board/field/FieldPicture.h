#pragma once

#include "game/board/field/CGameField.h"

#include <string>
#include <vector>

class CCurveBase;
class CTrackBase;

namespace BoardTest {

// The block shape of the sample content (64 x 40 sprite).
BlockShape SampleShape();

// A field of the picture's size whose cells read: '.' empty, '0'-'9' and
// 'a'-'f' an occupied cell of that colour. The grid is labelled afterwards.
void SetCells(CGameField& field, const std::vector<std::string>& rows);

// The cells as SetCells reads them.
std::vector<std::string> Picture(const CCellGrid& grid);

// A field ready for the rules: the sample shape, colour count 5 (4 the
// reserved colour), match size 3 and the given parameters.
void PrepareField(CGameField& field, const CGridParameters& parameters);

// Reads the field's queue controllers from the "queue_controller" children of
// the element text gives, with the rise and fall tracks "q_up" and "q_down".
bool LoadSampleControllers(CGameField& field, CTrackBase& tracks, CCurveBase& curves, const std::string& text);

// Checks the grid against a labelling of its own: every group is exactly one
// 4-connected region of one colour, the counters agree, and ids that label
// no region hold no members.
void ExpectGroupsAreRegions(const CCellGrid& grid, int32_t reserved, const std::string& context);

} // namespace BoardTest
