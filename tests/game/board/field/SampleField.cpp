#include "tests/game/board/field/SampleField.h"

#include "game/data/XmlLoading.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace BoardTest {

SampleField::SampleField()
{
    std::filesystem::copy(std::string(ZENTROVA_CONTENT_DIR) + "/res", mFolder / "res",
                          std::filesystem::copy_options::recursive);
    std::vector<uint32_t> strip(size_t(5 * 64 * 40));
    for (size_t i = 0; i < strip.size(); ++i)
        strip[i] = CelColour(int32_t(i % (5 * 64)) / 64);
    App().AddImage("res\\blocks.png", 5 * 64, 40, strip);
    // White where the field's entry edges leave a block visible.
    std::vector<uint32_t> up(size_t(256 * 128)), down(size_t(256 * 128));
    for (int32_t y = 0; y < 128; ++y)
        for (int32_t x = 0; x < 256; ++x) {
            up[size_t(y * 256 + x)] = 2 * y < 192 - std::abs(x - 128) ? 0xFFFFFFFFu : 0u;
            down[size_t(y * 256 + x)] = 2 * y > 64 + std::abs(x - 128) ? 0xFFFFFFFFu : 0u;
        }
    App().AddImage("res\\stencil01.png", 256, 128, up);
    App().AddImage("res\\stencil23.png", 256, 128, down);
    mImages.LoadFromXml(Root("imgsplats.xml"));
    mTracks.LoadFromXml(Root("trackbase.xml"), mCurves);
    mAnims.LoadFromXml(Root("animations.xml"));
    mObjects.LoadFromXml(Root("objects.xml"));
    for (const char* name : {"res\\blocks.png|1", "res\\stencil01.png|1", "res\\stencil23.png|1"}) {
        int32_t slot = -1;
        if (mImages.FindByName(name, &slot))
            mImages.FetchSlotImage(slot);
    }
}

const TiXmlElement* SampleField::Root(const char* name)
{
    mDocuments.emplace_back();
    LoadXmlDocument(std::string("res\\") + name, mDocuments.back());
    return mDocuments.back().FirstChildElement("root");
}

std::string SampleField::SampleText() const
{
    std::ifstream in(std::string(ZENTROVA_CONTENT_DIR) + "/res/gamefields.xml");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool SampleField::LoadField(const std::string& xml)
{
    mDocuments.emplace_back();
    mDocuments.back().Parse(xml.c_str());
    const TiXmlElement* root = mDocuments.back().FirstChildElement("root");
    FieldTables tables;
    tables.mImages = &mImages;
    tables.mAnims = &mAnims;
    tables.mTracks = &mTracks;
    tables.mCurves = &mCurves;
    tables.mObjects = &mObjects;
    return mField.LoadFromXml(root ? root->FirstChildElement("gamefield1") : nullptr, tables);
}

} // namespace BoardTest
