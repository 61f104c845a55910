#include "tests/game/data/SampleTables.h"

namespace GameTest {

std::string SampleTables::ContentFile(const std::string& name)
{
    return LumoTest::ReadFile(std::string(ZENTROVA_CONTENT_DIR) + "/res/" + name);
}

const TiXmlElement* SampleTables::Parse(const std::string& text)
{
    mDocuments.emplace_back();
    mDocuments.back().Parse(text.c_str());
    return mDocuments.back().FirstChildElement("root");
}

void SampleTables::LoadTables(const std::string& trackText)
{
    mImages.LoadFromXml(Parse(ContentFile("imgsplats.xml")));
    mTracks.LoadFromXml(Parse(trackText.empty() ? ContentFile("trackbase.xml") : trackText), mCurves);
    mAnims.LoadFromXml(Parse(ContentFile("animations.xml")));
    mSceneObjects.LoadFromXml(Parse(ContentFile("sceneobjects.xml")));
}

} // namespace GameTest
