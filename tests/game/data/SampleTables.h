#pragma once

#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CSceneObjBase.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

#include <list>
#include <string>

namespace GameTest {

// The sample content's data tables, loaded from the content folder; a test
// may change a file's text before the tables read it.
class SampleTables : public GameFixture {
protected:
    // The text of the content file "res\<name>".
    static std::string ContentFile(const std::string& name);
    // Loads images, curves, tracks, animations and scene objects; trackText
    // stands in for the track file when it is given.
    void LoadTables(const std::string& trackText = "");
    const TiXmlElement* Parse(const std::string& text);

    std::list<TiXmlDocument> mDocuments;
    CImageTable mImages{&App()};
    CCurveBase mCurves;
    CTrackBase mTracks;
    CAnimBase mAnims{mImages, mTracks, mCurves};
    CSceneObjBase mSceneObjects{mImages, mAnims, mTracks};
};

} // namespace GameTest
