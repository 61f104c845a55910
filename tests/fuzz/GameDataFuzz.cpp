// Feeds arbitrary bytes to the game's data loaders as a file of the mounted
// archive; the first byte chooses the loader, the rest is the file. What each
// loader builds is then used the way the game uses it.
// The harness changes the working folder: give the corpus as an absolute path.

#include "framework/app/LumoAppBase.h"
#include "framework/core/UserDataFolder.h"
#include "framework/resources/PakInterface.h"
#include "framework/resources/PakWriter.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurveBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CObjBase.h"
#include "game/data/pictures/CPieceBase.h"
#include "game/data/pictures/CSceneObjBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/XmlLoading.h"
#include "game/screens/windows/CGUICommandHandler.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGameGUIHost.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/storage/Files.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace {

// Tables the loaders under test look names up in.
constexpr const char* kImages = "<root><img src=\"res\\a.png\" start=\"1\" end=\"4\" w=\"8\" h=\"8\" dx=\"8\" dy=\"0\"/>"
                                "<img name=\"blank\" width=\"16\" height=\"16\"/></root>";
constexpr const char* kTracks = "<root><t speed=\"0.3\"><x src=\"0 1\"/><y src=\"0 1\"/></t>"
                                "<c speed=\"0.1\" dorestart=\"1\"><x src=\"1 0\"/></c></root>";
constexpr const char* kAnims = "<root><a><frames src=\"res\\a.png\" start=\"1\" end=\"4\" curve=\"k\"/>"
                               "<k speed=\"0.2\"><x src=\"0 3.5\"/></k></a></root>";

struct Harness {
    Harness()
    {
        folder = (std::filesystem::temp_directory_path() / ("zentrova-fuzz-" + std::to_string(std::random_device()())))
                     .string();
        std::filesystem::create_directories(folder);
        Platform::SetCurrentDirectoryA(folder.c_str());
        Lumo::SetUserDataFolder(folder + "/");
        app = std::make_unique<Lumo::LumoAppBase>();
    }
    std::string folder;
    Platform::HeadlessSession session;
    std::unique_ptr<Lumo::LumoAppBase> app;
};

void Use(CTrackBase& tracks)
{
    CAnimPlayer player;
    CAnimTrack* slots[8] = {};
    for (int32_t i = 0; tracks.Definition(i) && i < 8; ++i) {
        tracks.StartTrack(slots[i], i, true, &player);
        player.Attach(slots[i]);
    }
    for (int step = 0; step < 4; ++step) {
        player.Update(0.7f);
        for (CAnimTrack* track : player.mActive) {
            float out[4];
            SampleCurve4D(track->mCurve, out, track->mTime);
        }
    }
    for (CAnimTrack* track : slots) {
        if (track)
            tracks.FreeInstance(track);
    }
}

struct Tables {
    explicit Tables(Lumo::LumoAppBase* app) : images(app)
    {
        TiXmlDocument document;
        document.Parse(kImages);
        images.LoadFromXml(document.RootElement());
        document.Parse(kTracks);
        tracks.LoadFromXml(document.RootElement(), curves);
        TiXmlDocument animations;
        animations.Parse(kAnims);
        anims.LoadFromXml(animations.RootElement());
    }
    CImageTable images;
    CCurveBase curves;
    CTrackBase tracks;
    CAnimBase anims{images, tracks, curves};
};

// Hooks that do nothing: the window file alone is under test.
class QuietHandler : public CGUICommandHandler {
public:
    void OnGuiCommand(int32_t, int32_t) override {}
    void OnWindowShowing(int32_t) override {}
    void OnWindowShown(int32_t) override {}
    void OnWindowClosed(int32_t) override {}
    void OnWindowAction(int32_t) override {}
    void ApplyVolumeSlider(int32_t, float, bool) override {}
    void OnProfileSelected() override {}
    void OnProfileListChoice(int32_t, const std::string&) override {}
    void ShowScorePopup(int32_t) override {}
    void OnHudTrackFinished(CAnimTrack*, const CGUITrackEntry&) override {}
    void OnTextLabelTrackFinished(CAnimTrack*, const CGUITrackEntry&) override {}
};

// Loads a window file and opens, draws and clicks every window.
void UseWindows(const TiXmlElement* root, Tables& tables, Lumo::LumoAppBase* app)
{
    CImageAtlas atlas;
    atlas.Setup(tables.images);
    CHiscoreTable hiscores;
    CGameGUIHost host(tables.images, atlas, tables.tracks, hiscores, [] { return nullptr; });
    QuietHandler handler;
    CGUIController gui(app, &host, &handler);
    gui.LoadFromXml(root);
    gui.CreateImages();
    Lumo::MemoryImage screen;
    screen.SetSize(800, 600);
    Lumo::Graphics graphics(&screen);
    for (int32_t id = 0; id < GUIWindowId::kCount; ++id) {
        gui.OpenWindow(id, id % 2 == 0);
        for (int step = 0; step < 3; ++step) {
            gui.UpdateTracks(10.0f);
            gui.DrawWindow(graphics);
        }
        gui.OnPointerMove(400, 300);
        gui.OnPointerDown(400, 300, true);
        gui.OnPointerUp(400, 300);
        gui.ScrollList(-120);
        gui.StartCountUp(id % CGUIController::kInfoSlots, 100, 10, 0, 3);
        gui.SetLabelValue(id, id);
    }
    gui.SkipCountUps();
    gui.CloseWindow(false);
    gui.UpdateTracks(10.0f);
}

void Run(uint8_t loader, Lumo::LumoAppBase* app)
{
    if (loader == 0) {
        CCurveBase curves;
        return;
    }
    TiXmlDocument document;
    LoadXmlDocument("res\\data.xml", document);
    const TiXmlElement* root = document.FirstChildElement("root");
    Tables tables(app);
    switch (loader) {
    case 1: {
        CTrackBase tracks;
        tracks.LoadFromXml(root, tables.curves);
        Use(tracks);
        break;
    }
    case 2:
        tables.anims.LoadFromXml(root);
        for (int32_t id = 0; size_t(id) < tables.anims.AnimCount() && id < 16; ++id) {
            CAnimInstance* instance = tables.anims.CreateInstance(id, &tables.anims.mPlayer);
            instance->mTrack->mTime = 0.5f;
            tables.anims.GetFrameImage(*instance);
            tables.anims.ResetInstance(0, instance);
            tables.anims.ReleaseInstance(instance);
        }
        break;
    case 3: {
        CImageTable images(app);
        images.LoadFromXml(root);
        for (int32_t i = 0; size_t(i) < images.RecordCount() && i < 16; ++i) {
            CImageRecord* record = images.Record(i);
            if (record->mKind == CImageRecord::kBlank)
                images.FetchImage(record);
            else
                images.PrepareRecord(record);
        }
        CImageRef ref;
        images.ResolveImageRef("res\\a.png|1;1,2,3", &ref);
        break;
    }
    case 4: {
        CObjBase objects(tables.images);
        objects.LoadFromXml(root);
        break;
    }
    case 5: {
        CSceneObjBase objects(tables.images, tables.anims, tables.tracks);
        objects.LoadFromXml(root);
        CSceneObj instance;
        CAnimPlayer colors;
        for (int32_t i = 0; size_t(i) < objects.Definitions().size() && i < 16; ++i)
            objects.Spawn(i, instance, &tables.anims.mPlayer, &colors);
        objects.SetFrameAnim(false, 0, instance, nullptr);
        objects.SetMoveTrack(false, nullptr, instance, 0);
        objects.SetColorTrack(false, nullptr, instance, 0);
        break;
    }
    case 7:
        UseWindows(root, tables, app);
        break;
    default: {
        CPieceBase pieces(tables.images);
        pieces.LoadFromXml(root);
        for (int32_t piece = 0; size_t(piece) < pieces.Pieces().size() && piece < 8; ++piece)
            pieces.DrawSprite(piece, 0);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Harness harness;
    if (size < 1)
        return 0;
    const uint8_t loader = data[0] % 8;
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    PakWriter writer;
    writer.Add(loader == 0 ? "res\\curves.xml" : "res\\data.xml", file);
    std::string error;
    const std::string archive = harness.folder + "/fuzz.pak";
    if (!writer.WriteFile(archive, &error))
        return 0;
    PakInterface pak;
    pak.MountArchive(archive);
    Run(loader, harness.app.get());
    return 0;
}
