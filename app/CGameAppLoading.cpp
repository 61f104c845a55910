#include "app/CGameApp.h"

#include "framework/core/AppLog.h"
#include "framework/core/RuntimeRandom.h"
#include "app/CGameLevelHost.h"
#include "game/board/play/CBall.h"
#include "game/board/levels/CCrazyLevel.h"
#include "game/board/levels/CCrazyTurns.h"
#include "game/board/bonuses/CGameBonuses.h"
#include "game/board/bonuses/CBonusBanner.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/board/levels/CPhaseSequencer.h"
#include "game/board/levels/LevelCommands.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/effects/CBackground.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/CGameConfig.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageRecord.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CObjBase.h"
#include "game/data/effects/CParticleSystem.h"
#include "game/data/pictures/CPieceBase.h"
#include "game/data/pictures/CSceneObjBase.h"
#include "game/data/effects/CTextLabels.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/JukeBox.h"
#include "game/data/XmlLoading.h"
#include "game/screens/menus/CBackgroundWidget.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/menus/CGameCommands.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGameGUIHost.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/windows/CSlotPanel.h"
#include "platform/process/Clock.h"

#include <tinyxml.h>

const TiXmlElement* CGameApp::ReadRoot(const char* file, TiXmlDocument& document)
{
    LoadXmlDocument(file, document);
    return document.FirstChildElement("root");
}

void CGameApp::RunLoadingThread()
{
    if (mLoadingState == kNeverLoaded && !mLoadedOnce) {
        RunFullLoad();
    } else if (mLoadingState == kReloading) {
        mLoadFailed = false;
        if (mLevelController)
            mLevelController->NextLevelInGraph();
    }
}

void CGameApp::RunFullLoad()
{
    Lumo::SRand(Platform::GetTickCount());
    mHiscores = std::make_unique<CHiscoreTable>();
    mHiscores->Load();

    JukeBox& jukebox = JukeBox::Get();
    jukebox.SetPlayers(mMusicInterface.get(), mSoundManager.get());
    {
        TiXmlDocument document;
        jukebox.LoadFromXml(ReadRoot("res\\jukebox.xml", document));
    }
    jukebox.RequestMedia(0);
    jukebox.CheckLoaded();

    mImages = std::make_unique<CImageTable>(this);
    {
        TiXmlDocument document;
        mImages->LoadFromXml(ReadRoot(CImageTable::kFileName, document));
    }
    mCurves = std::make_unique<CCurveBase>();
    mTracks = std::make_unique<CTrackBase>();
    {
        TiXmlDocument document;
        // A track that cannot run would hold what waits for it: the load fails.
        if (!mTracks->LoadFromXml(ReadRoot("res\\trackbase.xml", document), *mCurves))
            mLoadFailed = true;
    }
    mAnims = std::make_unique<CAnimBase>(*mImages, *mTracks, *mCurves);
    {
        TiXmlDocument document;
        mAnims->LoadFromXml(ReadRoot("res\\animations.xml", document));
    }
    {
        TiXmlDocument document;
        if (!LoadGameConfig(ReadRoot("res\\globals.xml", document), *mTracks, *mAnims, *mImages))
            mLoadFailed = true;
    }
    RegisterLevelCommands();
    mAtlas = std::make_unique<CImageAtlas>();
    mAtlas->Setup(*mImages);
    mObjects = std::make_unique<CObjBase>(*mImages);
    {
        TiXmlDocument document;
        mObjects->LoadFromXml(ReadRoot("res\\objects.xml", document));
    }
    {
        TiXmlDocument document;
        mBorders.LoadFromXml(ReadRoot(CGameBorders::kFileName, document), *mObjects);
    }
    // Every picture file is read here, off the main thread. Content whose
    // pictures cannot be read would show nothing: the load fails.
    int32_t unread = 0;
    for (size_t i = 0; i < mImages->RecordCount(); ++i) {
        CImageRecord* record = mImages->Record(int32_t(i));
        if (!record)
            continue;
        mImages->PrepareRecord(record);
        if (record->mKind != CImageRecord::kFile)
            continue;
        mImages->FetchImage(record);
        unread += record->mImage ? 0 : 1;
    }
    if (unread > 0) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR %d picture files could not be read",
                                            unread);
        mLoadFailed = true;
    }
    mSceneObjects = std::make_unique<CSceneObjBase>(*mImages, *mAnims, *mTracks);
    {
        TiXmlDocument document;
        mSceneObjects->LoadFromXml(ReadRoot("res\\sceneobjects.xml", document));
    }
    mPieces = std::make_unique<CPieceBase>(*mImages);
    {
        TiXmlDocument document;
        mPieces->LoadFromXml(ReadRoot("res\\pieces.xml", document));
    }
    {
        TiXmlDocument document;
        mFieldShapes.LoadFromXml(ReadRoot(CFieldBase::kFileName, document));
    }
    mGuiHost = std::make_unique<CGameGUIHost>(*mImages, *mAtlas, *mTracks, *mHiscores,
                                              [this] { return mLoadingWheel.get(); });
    CGameCommandServices commands;
    commands.mApp = this;
    commands.mFlow = this;
    commands.mProfiles = mProfiles.get();
    commands.mHiscores = mHiscores.get();
    mCommands = std::make_unique<CGameCommands>(commands);
    mGui = std::make_unique<CGUIController>(this, mGuiHost.get(), mCommands.get());
    {
        TiXmlDocument document;
        mGui->LoadFromXml(ReadRoot("res\\gui.xml", document));
    }
    // The processor reaches the field and the ball, which load later.
    mField = std::make_unique<CGameField>();
    mBall = std::make_unique<CBall>(*mField, *mImages, *mAnims, *mSceneObjects);
    ProcessorLinks links;
    links.mApp = this;
    links.mField = mField.get();
    links.mBall = mBall.get();
    links.mTracks = mTracks.get();
    links.mImages = mImages.get();
    links.mAnims = mAnims.get();
    mProcessor = std::make_unique<CGameProcessor>(links);
    mBackground = std::make_unique<CBackground>(*mImages, *mAnims, *mTracks, *mSceneObjects);
    mBackground->LoadFromXml();
    mBonusBase = std::make_unique<CBonusBase>();
    {
        TiXmlDocument document;
        mBonusBase->LoadFromXml(ReadRoot("res\\bonusbase.xml", document), *mTracks, *mAnims, *mImages);
    }
    mCellRuns = std::make_unique<CCellRuns>();
    mCellRuns->Init();

    {
        TiXmlDocument document;
        const TiXmlElement* root = ReadRoot("res\\gamefields.xml", document);
        FieldTables tables;
        tables.mImages = mImages.get();
        tables.mAnims = mAnims.get();
        tables.mTracks = mTracks.get();
        tables.mCurves = mCurves.get();
        tables.mObjects = mObjects.get();
        // Without its blocks and queues no level could start: the load fails.
        if (!mField->LoadFromXml(root ? root->FirstChildElement("gamefield1") : nullptr, tables))
            mLoadFailed = true;
    }
    {
        TiXmlDocument document;
        mBall->LoadFromXml(ReadRoot("res\\balls.xml", document));
    }
    // The level controller takes the field's reserved colour: it comes after the field.
    CreateLevelParts();
    mLevelMap = std::make_unique<CLevelMap>(LevelMapServices());
    {
        TiXmlDocument document;
        LoadXmlDocument("res\\levelmap.xml", document);
        mLevelMap->LoadFromXml(document.FirstChildElement("levelmap"));
    }
    mLevelMap->Resize(0, 0, mWidth, mHeight);
    mBanner = std::make_unique<CBonusBanner>(*mProcessor, *mField, *mImages, *mTracks);

    if (!mLoadFailed)
        mLoadFailed = !LoadHudControls(CGameConfig::ImageFontMaker(*this), *mTracks, *mAnims, *mImages);
    CParticleSystem::Get().Attach(mAnims.get(), mImages.get());
    CParticleSystem::Get().Reserve(1024, 32);
    CTextLabels::Get().Attach(mTracks.get(), mGui.get());
    mPieces->EnsureImage();
    mPanel->Reset();
    mGui->CreateImages();
    mProcessor->Init();
    InitSequences();
    mSlotPanel = std::make_unique<CSlotPanel>(mGui.get());
    mGui->mSlotPanel = mSlotPanel.get();
    mBackgroundWidget = std::make_unique<CBackgroundWidget>(mGui.get(), mProfiles.get());
    CreateBoard();
    CGameCommandServices& services = mCommands->Services();
    services.mGui = mGui.get();
    services.mLevels = mLevelController.get();
    services.mGraphs = mLevelGraphs.get();
    services.mSlotPanel = mSlotPanel.get();
    services.mBackground = mBackgroundWidget.get();
    services.mBoard = mBoard.get();
    services.mPanel = mPanel.get();

    mLoadedOk = !mLoadFailed;
    mLoadedOnce = true;
    if (mLoadFailed)
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "[ERROR] Loading failed");
}

CLevelMapServices CGameApp::LevelMapServices()
{
    CLevelMapServices services;
    services.mApp = this;
    services.mImages = mImages.get();
    services.mAnims = mAnims.get();
    services.mTracks = mTracks.get();
    services.mCurves = mCurves.get();
    services.mAtlas = mAtlas.get();
    services.mGui = mGui.get();
    services.mBackground = mBackground.get();
    return services;
}

void CGameApp::CreateLevelParts()
{
    LevelHostLinks host;
    host.mApp = this;
    host.mProcessor = mProcessor.get();
    host.mBall = mBall.get();
    host.mField = mField.get();
    host.mShapes = &mFieldShapes;
    host.mBorders = &mBorders;
    host.mObjects = mObjects.get();
    host.mBackground = mBackground.get();
    host.mBonusBase = mBonusBase.get();
    host.mCellRuns = mCellRuns.get();
    mLevelHost = std::make_unique<CGameLevelHost>(host);
    mLevelGraphs = std::make_unique<CLevelGraphs>();
    mLevelController = std::make_unique<CLevelController>(CLevelController::Parts{
        mField->Grid(), *mPieces, *mLevelGraphs, *mProfiles, *mHiscores, *mLevelHost, *mCommands,
        mField->ReservedColour()});
    // Without a level or a graph to play no game could start: the load fails.
    {
        TiXmlDocument document;
        if (!mLevelController->LoadFromXml(ReadRoot("res\\levels.xml", document), mFieldShapes))
            mLoadFailed = true;
    }
    {
        TiXmlDocument document;
        if (!mLevelGraphs->LoadFromXml(ReadRoot("res\\levelgraphs.xml", document), mLevelController->Table()))
            mLoadFailed = true;
    }
    CGamePanelServices panel;
    panel.mTracks = mTracks.get();
    panel.mImages = mImages.get();
    panel.mAnims = mAnims.get();
    panel.mPieces = mPieces.get();
    panel.mGui = mGui.get();
    panel.mProcessor = mProcessor.get();
    panel.mFlow = this;
    panel.mPause = mCommands.get();
    mPanel = std::make_unique<CGamePanel>(panel);
    {
        TiXmlDocument document;
        const TiXmlElement* root = ReadRoot("res\\gamepanel.xml", document);
        if (!mPanel->LoadFromXml(root ? root->FirstChildElement("gamepanel") : nullptr))
            mLoadFailed = true;
    }
    mLevelHost->Links().mPanel = mPanel.get();
    ProcessorLinks& links = mProcessor->Links();
    links.mLevel = mLevelController.get();
}

// The banner and the level's sequences take their tracks and register their
// process kinds once the processor has its own.
void CGameApp::InitSequences()
{
    mBanner->Reset();
    LevelHostLinks& host = mLevelHost->Links();
    PhaseLinks phases;
    phases.mApp = this;
    phases.mProcessor = mProcessor.get();
    phases.mField = mField.get();
    phases.mBall = mBall.get();
    phases.mTracks = mTracks.get();
    phases.mAnims = mAnims.get();
    phases.mImages = mImages.get();
    phases.mLevel = mLevelController.get();
    phases.mHost = mLevelHost.get();
    mPhases = std::make_unique<CPhaseSequencer>(phases);
    mPhases->CreateTracks();
    host.mPhases = mPhases.get();

    mCrazyTurns = std::make_unique<CCrazyTurns>(mField->Grid(), *mLevelController, *mLevelHost);
    CrazyLinks crazy;
    crazy.mProcessor = mProcessor.get();
    crazy.mField = mField.get();
    crazy.mBall = mBall.get();
    crazy.mTracks = mTracks.get();
    crazy.mAnims = mAnims.get();
    crazy.mSceneObjects = mSceneObjects.get();
    crazy.mTurns = mCrazyTurns.get();
    crazy.mDisplay = mLevelHost.get();
    mCrazy = std::make_unique<CCrazyLevel>(crazy);
    mCrazy->Init();
    host.mCrazy = mCrazy.get();
}

// The bonuses need the board as their field's switch, and the board fires them.
void CGameApp::CreateBoard()
{
    CBoardServices board;
    board.mApp = this;
    board.mGui = mGui.get();
    board.mProcessor = mProcessor.get();
    board.mLevel = mLevelController.get();
    board.mField = mField.get();
    board.mBall = mBall.get();
    board.mBackground = mBackground.get();
    board.mAnims = mAnims.get();
    board.mTracks = mTracks.get();
    board.mCurves = mCurves.get();
    board.mParticles = &CParticleSystem::Get();
    board.mPanel = mPanel.get();
    board.mFlow = this;
    board.mPause = mCommands.get();
    mBoard = std::make_unique<CBoardWidget>(board);
    mBoard->Resize(0, 0, mWidth, mHeight);

    GameBonusParts parts;
    parts.mEffects = {this,          mProcessor.get(), mField.get(),  mBall.get(),
                      mBonusBase.get(), mTracks.get(), mAnims.get(), mImages.get(),
                      mAtlas.get(),  nullptr,          mBoard.get(), mLevelController.get()};
    parts.mBanner = mBanner.get();
    parts.mEnergy = mLevelController.get();
    mBonuses = std::make_unique<CGameBonuses>(parts);
    mBonuses->Init();
    mBonuses->FieldBonuses().SetBonusNames({mGui->mBonusNames.begin(), mGui->mBonusNames.end()});
    mBoard->SetFieldBonuses(&mBonuses->FieldBonuses());

    LevelHostLinks& host = mLevelHost->Links();
    host.mBonuses = &mBonuses->FieldBonuses();
    host.mShell = &mBonuses->Shell();
    host.mSuperBonus = &mBonuses->SuperBonus();
    host.mBoard = mBoard.get();
}
