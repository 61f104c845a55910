#pragma once

#include "game/board/field/CGameField.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CObjBase.h"
#include "tests/game/support/GameFixture.h"

#include <list>
#include <string>

namespace BoardTest {

// The sample content's data tables, its block strip (cel i a solid colour)
// and its two entry stencils, with the field read from a gamefields file.
class SampleField : public GameTest::GameFixture {
protected:
    SampleField();

    // The root of a data file of the sample content.
    const TiXmlElement* Root(const char* name);
    // Loads the field from a "root" document of text.
    bool LoadField(const std::string& xml);
    // The sample's gamefields.xml.
    std::string SampleText() const;

    static uint32_t CelColour(int32_t cel) { return 0xFF000000u | uint32_t(0x203040 * (cel + 1)); }

    std::list<TiXmlDocument> mDocuments;
    CImageTable mImages{&App()};
    CCurveBase mCurves;
    CTrackBase mTracks;
    CAnimBase mAnims{mImages, mTracks, mCurves};
    CObjBase mObjects{mImages};
    CGameField mField;
};

} // namespace BoardTest
