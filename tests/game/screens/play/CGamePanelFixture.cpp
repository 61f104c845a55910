#include "tests/game/screens/play/CGamePanelFixture.h"

#include "game/screens/windows/CGUIController.h"
#include "tests/game/screens/windows/GUIFixtureXml.h"
#include "tests/support/TempFolder.h"

#include <tinyxml.h>

namespace PanelTest {

void PanelHandler::OnHudTrackFinished(CAnimTrack* track, const CGUITrackEntry& entry)
{
    SpyHandler::OnHudTrackFinished(track, entry);
    if (mPanel != nullptr)
        mPanel->OnTrackAction(entry.mKind, track);
}

PanelFixture::PanelFixture()
{
    TiXmlDocument window;
    window.Parse(GUITest::FixtureXml().c_str());
    mGui = std::make_unique<CGUIController>(&App(), &mHost, &mHandler);
    mGui->LoadFromXml(window.RootElement());
    mGui->CreateImages();

    App().AddImage("res\\hud_body.png", 800, 64, 0xFF203040);
    App().AddImage("res\\hud_body_endless.png", 800, 64, 0xFF203040);
    App().AddImage("res\\hud_parts.png", 800, 64);
    App().AddImage("res\\undo.png", 168, 24);
    WriteFile("res\\curves.xml", SampleFile("curves.xml"));
    mCurves = std::make_unique<CCurveBase>();
    TiXmlDocument images;
    images.Parse(SampleFile("imgsplats.xml").c_str());
    mImages.LoadFromXml(images.RootElement());
    TiXmlDocument tracks;
    tracks.Parse(SampleFile("trackbase.xml").c_str());
    mHost.mTracks.LoadFromXml(tracks.RootElement(), *mCurves);
    mAnims = std::make_unique<CAnimBase>(mImages, mHost.mTracks, *mCurves);
}

PanelFixture::~PanelFixture()
{
    mHandler.mPanel = nullptr;
    mPanel.reset();
}

std::string PanelFixture::SampleFile(const std::string& name)
{
    return LumoTest::ReadFile(std::string(ZENTROVA_CONTENT_DIR) + "/res/" + name);
}

void PanelFixture::MakePanel(const std::string& xml, CTrackBase* tracks)
{
    mHandler.mPanel = nullptr;
    mPanel.reset();
    CGamePanelServices services;
    services.mTracks = tracks != nullptr ? tracks : &mHost.mTracks;
    services.mImages = &mImages;
    services.mAnims = mAnims.get();
    services.mGui = mGui.get();
    services.mProcessor = mProcessor;
    services.mPieces = mPieces;
    services.mFlow = &mFlow;
    services.mPause = &mFlow;
    mPanel = std::make_unique<CGamePanel>(services);
    mHandler.mPanel = mPanel.get();
    TiXmlDocument document;
    document.Parse(xml.c_str());
    const TiXmlElement* root = document.RootElement();
    mPanel->LoadFromXml(root != nullptr ? root->FirstChildElement("gamepanel") : nullptr);
    mPanel->Reset();
}

Lumo::Image* PanelFixture::Picture(const std::string& name)
{
    int32_t slot = -2;
    mImages.FindByName(name, &slot);
    const CImageSlot* found = mImages.Slot(slot);
    return found != nullptr ? found->mImage : nullptr;
}

} // namespace PanelTest
