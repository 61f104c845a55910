// Plays the whole game from its shipped archive with one content file
// replaced: the first byte of an input chooses the file (among the archive's
// XML files, in their order), the rest is the file. An input of that one byte
// alone plays the shipped file, so the corpus is a byte per file. The game
// loads, the menu starts the endless game, a player clicks through a few
// hundred updates of its level under the fake clock, and the game quits; an
// input that never gets there ends on the fuzzer's -timeout.
//
// The mutator edits the file as XML most of the time: an attribute dropped, a
// number made extreme, an element repeated or removed.
//
// The harness changes the working folder: give the corpus as an absolute path.

#include "framework/StaticInit.h"
#include "framework/core/UserDataFolder.h"
#include "framework/resources/PakInterface.h"
#include "game/data/players/CUserProfiles.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/process/Clock.h"
#include "platform/process/Process.h"
#include "platform/sound/AudioModules.h"
#include "platform/storage/Files.h"
#include "platform/storage/Registry.h"
#include "platform/storage/RegistryStore.h"
#include "tests/app/GameMouse.h"
#include "tests/app/LevelPlayScript.h"
#include "tests/app/ScriptedGame.h"
#include "tests/support/ArchiveEntries.h"
#include "tests/support/TempFolder.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

constexpr int32_t kUpdatesInLevel = 300;
constexpr int32_t kMostUpdates = 4000;
constexpr int kDrawEvery = 100;

struct ExitCalled {};

// The shipped archive and the names of its XML files.
struct Shipped {
    Shipped() : entries(LumoTest::ReadArchiveEntries(ZENTROVA_RES_PAK))
    {
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::string& name = entries[i].mName;
            if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".xml") == 0)
                xml.push_back(i);
        }
        if (xml.empty())
            std::abort();
    }
    const LumoTest::ArchiveEntry& File(uint8_t selector) const { return entries[xml[selector % xml.size()]]; }

    std::vector<LumoTest::ArchiveEntry> entries;
    std::vector<size_t> xml;
};

const Shipped& ShippedArchive()
{
    static const Shipped shipped;
    return shipped;
}

// What every run stands on, made once: the modules the program loads by
// name, the fake clock and an exit that returns to the harness.
struct Process {
    Process()
    {
        Platform::RegisterDirectDrawModule();
        Platform::RegisterAudioModules();
        Platform::SetExitHook([](uint32_t) { throw ExitCalled{}; });
        ShippedArchive();
    }
    Platform::FakeClock clock{1'000'000};
    Platform::ScopedClock clockScope{&clock};
};

// The game drawing a frame now and then: drawing and showing frames costs most
// of a run, and more while the title waits for the loading thread.
class FuzzedGame : public AppTest::ScriptedGame {
public:
    bool DrawFrame() override
    {
        if (mUpdateCount % kDrawEvery != 0 || mUpdateCount == mLastDrawn) {
            mHasUpdatedSinceDraw = false;
            return true;
        }
        mLastDrawn = mUpdateCount;
        return CGameApp::DrawFrame();
    }

private:
    int mLastDrawn = -1;
};

// One run's scratch folder, desktop, settings and archive layer.
void Play(const std::string& name, const std::string& text)
{
    LumoTest::TempFolder folder;
    Platform::SetCurrentDirectoryA(folder.Path().c_str());
    setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
    Lumo::SetUserDataFolder(folder.Path() + "/");
    if (!LumoTest::WriteArchiveWith(ShippedArchive().entries, folder / "res.pak", name, text))
        std::abort();
    Platform::HeadlessSession session;
    Platform::RegistryStore store;
    Platform::ScopedRegistryStore storeScope(&store);
    Platform::DisplayDesktop::Reset();
    PakInterface pak;
    PakInterface* previousPak = Lumo::gPakInterface;
    Lumo::gPakInterface = &pak;
    try {
        FuzzedGame game;
        game.Profiles()->Add("Ada");
        game.Profiles()->SelectByName("Ada");
        game.LoadSettings();
        game.Initialize();
        AppTest::LevelPlayScript script(game, AppTest::GameMouse(session.Desktop(), game), kUpdatesInLevel,
                                        kMostUpdates);
        game.mScript = [&script](int update) { script(update); };
        game.Run();
    } catch (const ExitCalled&) {
    }
    Lumo::gPakInterface = previousPak;
    Platform::DisplayDesktop::Reset();
    Platform::SetCurrentDirectoryA("/");
    Lumo::SetUserDataFolder("");
}

// The input's file: the shipped one for a lone selector byte.
std::string FileOf(const uint8_t* data, size_t size)
{
    if (size == 1)
        return ShippedArchive().File(data[0]).mData;
    return std::string(reinterpret_cast<const char*>(data + 1), size - 1);
}

std::string ExtremeNumber(std::minstd_rand& random)
{
    static const char* const kExtremes[] = {"0",   "-1",   "2147483647", "-2147483648", "4294967296", "65536",
                                            "1e30", "-1e30", "nan",       "inf",         "0.00001",    "1000000"};
    return kExtremes[random() % std::size(kExtremes)];
}

// Changes one thing of the document's structure; false when it has nothing to change.
bool MutateStructure(TiXmlDocument& document, std::minstd_rand& random)
{
    std::vector<TiXmlElement*> elements;
    for (TiXmlNode* node = document.RootElement(); node;) {
        if (TiXmlElement* element = node->ToElement())
            elements.push_back(element);
        if (TiXmlNode* child = node->FirstChild()) {
            node = child;
            continue;
        }
        while (node && !node->NextSibling())
            node = node->Parent();
        node = node ? node->NextSibling() : nullptr;
    }
    if (elements.empty())
        return false;
    TiXmlElement* element = elements[random() % elements.size()];
    std::vector<TiXmlAttribute*> attributes;
    for (TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next())
        attributes.push_back(a);
    switch (random() % 4) {
    case 0:
        if (attributes.empty())
            return false;
        element->RemoveAttribute(attributes[random() % attributes.size()]->Name());
        return true;
    case 1:
        if (attributes.empty())
            return false;
        attributes[random() % attributes.size()]->SetValue(ExtremeNumber(random));
        return true;
    case 2: {
        if (!element->Parent() || element == document.RootElement())
            return false;
        const int copies = 1 + int(random() % 300);
        for (int i = 0; i < copies; ++i)
            element->Parent()->InsertAfterChild(element, *element);
        return true;
    }
    default:
        if (element == document.RootElement())
            return false;
        element->Parent()->RemoveChild(element);
        return true;
    }
}

} // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed)
{
    std::minstd_rand random(seed);
    if (size == 0 || random() % 4 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    if (random() % 16 == 0)
        data[0] = uint8_t(random());
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument document;
    document.Parse(FileOf(data, size).c_str());
    if (document.Error() || !MutateStructure(document, random))
        return LLVMFuzzerMutate(data, size, maxSize);
    TiXmlPrinter printer;
    document.Accept(&printer);
    const std::string text = printer.Str();
    if (text.size() + 1 > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data + 1, text.data(), text.size());
    return text.size() + 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Process process;
    if (size == 0)
        return 0;
    Play(ShippedArchive().File(data[0]).mName, FileOf(data, size));
    return 0;
}
