#include "tests/lumoapp/AppFixture.h"

#include "framework/core/Profiler.h"
#include "framework/core/UserDataFolder.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/sound/PlaySound.h"
#include "platform/storage/Files.h"
#include "platform/windows/VirtualKeys.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace LumoTest {
namespace {

using namespace Platform;

void WriteText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
}

template <bool kResult>
class StubReparse final : public Lumo::AppDiagnostics {
public:
    bool ModValReparse() override { return kResult; }
};

class DebugAidsTest : public AppFixture {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartApp(), nullptr);
        Lumo::Profiler::Reset();
        mDataFolder = Platform::NativePath(Lumo::GetUserDataFolder());
    }
    void TearDown() override { Lumo::Profiler::Reset(); }

    // Holds exactly the given modifiers and offers the key.
    bool Press(int key, std::vector<int> modifiers = {})
    {
        for (const int modifier : {VK_SHIFT, VK_CONTROL, VK_MENU})
            mApp->mWidgetManager->mKeyDown[size_t(modifier)] = false;
        for (const int modifier : modifiers)
            mApp->mWidgetManager->mKeyDown[size_t(modifier)] = true;
        return mApp->DebugKeyDown(key);
    }
    std::vector<std::string> BoxCaptions()
    {
        std::vector<std::string> captions;
        for (const auto& box : mSession.Desktop().MessageBoxes())
            captions.push_back(box.caption);
        return captions;
    }
    Lumo::MemoryImage* NewImage(const std::string& name, int width, int height)
    {
        auto image = std::make_unique<Lumo::MemoryImage>(static_cast<Lumo::ImageHost*>(mApp.get()));
        image->mName = name;
        if (width > 0 && height > 0)
            image->SetSize(width, height);
        mImages.push_back(std::move(image));
        return mImages.back().get();
    }

    std::vector<std::unique_ptr<Lumo::MemoryImage>> mImages;
    // Where the aids write, ending in a separator.
    std::string mDataFolder;
};

TEST_F(DebugAidsTest, KeysThatAreConsumedAndKeysThatPassOn)
{
    struct Case {
        int key;
        std::vector<int> modifiers;
        bool consumed;
    };
    const Case cases[] = {
        {'R', {VK_MENU}, false},  {'R', {}, false},          {VK_F3, {}, false},        {VK_F3, {VK_SHIFT}, false},
        {VK_F8, {}, true},        {VK_F10, {}, true},        {VK_F10, {VK_SHIFT}, true}, {VK_F10, {VK_CONTROL}, true},
        {VK_F11, {}, true},       {VK_F11, {VK_SHIFT}, true}, {VK_F2, {}, false},       {VK_F2, {}, false},
        {'A', {VK_SHIFT}, false}, {VK_F12, {}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Press(c.key, c.modifiers), c.consumed) << c.key << " with " << c.modifiers.size() << " modifiers";
}

TEST_F(DebugAidsTest, OverlayKeysCycleTheKindAndToggleTheOverlay)
{
    std::vector<std::pair<int, bool>> states;
    for (int press = 0; press < 3; ++press) {
        Press(VK_F3, {VK_SHIFT});
        states.emplace_back(mApp->mOverlayKind, mApp->mShowOverlay);
    }
    Press(VK_F3);
    states.emplace_back(mApp->mOverlayKind, mApp->mShowOverlay);
    Press(VK_F3);
    states.emplace_back(mApp->mOverlayKind, mApp->mShowOverlay);
    EXPECT_EQ(states, (std::vector<std::pair<int, bool>>{{1, true}, {0, true}, {1, true}, {1, false}, {1, true}}));
}

TEST_F(DebugAidsTest, SpeedAndSingleStepKeysWithCtrlBeforeShift)
{
    Press(VK_F10, {VK_CONTROL});
    EXPECT_EQ(mApp->mRateMultiplier, 0.25);
    Press(VK_F10, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(mApp->mRateMultiplier, 1.0);
    EXPECT_EQ(mApp->mSingleStep, 0);
    mApp->mRateMultiplier = 1.5;
    Press(VK_F10, {VK_CONTROL});
    EXPECT_EQ(mApp->mRateMultiplier, 0.25);

    Press(VK_F10);
    EXPECT_EQ(mApp->mSingleStep, 1);
    mApp->mTimingDebt = 50.0;
    Press(VK_F10, {VK_SHIFT});
    EXPECT_EQ(mApp->mSingleStep, 0);
    EXPECT_EQ(mApp->mTimingDebt, 0.0);
}

// A successful re-read is heard; a failed one has shown a box instead.
TEST_F(DebugAidsTest, AReparseSoundsWhenItWorkedAndReleasesEveryKeyWhenItFailed)
{
    PlaySoundA(nullptr, nullptr, 0);
    mApp->mWidgetManager->mKeyDown['X'] = true;
    mApp->SetDiagnostics(std::make_unique<StubReparse<true>>());
    Press('R', {VK_MENU});
    EXPECT_TRUE(mApp->mWidgetManager->mKeyDown['X']);
    EXPECT_TRUE(Sounding());
    PlaySoundA(nullptr, nullptr, 0);

    mApp->SetDiagnostics(std::make_unique<StubReparse<false>>());
    Press('R');
    EXPECT_TRUE(mApp->mWidgetManager->mKeyDown['X']); // R alone re-reads nothing
    Press('R', {VK_MENU});
    EXPECT_FALSE(mApp->mWidgetManager->mKeyDown['X']);
    EXPECT_FALSE(mApp->mWidgetManager->mKeyDown[VK_MENU]);
    EXPECT_FALSE(Sounding());
}

TEST_F(DebugAidsTest, BoxesOfTheProfilerTheVideoStatsAndTheModeSwitch)
{
    Press(VK_F2);
    EXPECT_TRUE(Lumo::Profiler::IsActive());
    Press(VK_F2);
    EXPECT_FALSE(Lumo::Profiler::IsActive());
    Press(VK_F8);
    // Shift+F8 switches the display's 3D mode; switching it off always works.
    mApp->mDDInterface->mIs3D = true;
    Press(VK_F8, {VK_SHIFT});
    EXPECT_FALSE(mApp->mDDInterface->mIs3D);
    ASSERT_EQ(BoxCaptions(), (std::vector<std::string>{"Perf Results", "Video Stats", "Mode Switch"}));

    const auto& boxes = mSession.Desktop().MessageBoxes();
    EXPECT_EQ(boxes[0].text.rfind("Total Time: ", 0), 0u);
    const std::string& stats = boxes[1].text;
    EXPECT_EQ(stats.rfind("3D-Mode is ", 0), 0u) << stats;
    EXPECT_NE(stats.find(" on this system)\r\n\r\nNum Images: " +
                         std::to_string(mApp->GetImageServices().ImagesInSet().size()) + "\r\nNum Sounds: 0\r\n"),
              std::string::npos)
        << stats;
    EXPECT_NE(stats.find("KB\r\nTexture Memory: 0 KB\r\nA8R8G8B8: 0 - 0 KB\r\nA4R4G4B4: 0 - 0 KB\r\n"
                         "R5G6B5: 0 - 0 KB\r\nPalette8: 0 - 0 KB\r\n"),
              std::string::npos)
        << stats;
    EXPECT_EQ(boxes[2].text, "3D-Mode: OFF");
}

// New screenshots take the number after the largest one present; names need
// only begin with "image" and a number.
TEST_F(DebugAidsTest, ScreenshotsTakeTheNextNumber)
{
    struct Case {
        std::vector<std::string> present;
        std::string written;
    };
    const Case cases[] = {
        {{}, "image1.png"},
        {{"image1.png", "image7.png", "notes.png"}, "image8.png"},
        {{"image3old.png", "image2.png"}, "image4.png"},
        {{"image5.png", "image2147483647.png"}, "image6.png"},
    };
    const std::string folder = mDataFolder + "_screenshots";
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder);
        for (const std::string& name : c.present)
            WriteText(folder + "/" + name, "x");
        mApp->WriteScreenshot();
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names.size(), c.present.size() + 1) << c.written;
        const std::unique_ptr<ImageLib::Image> shot(ImageLib::GetPNGImage(folder + "/" + c.written));
        ASSERT_NE(shot, nullptr) << c.written;
        EXPECT_EQ(shot->Width(), mApp->mWidth);
        EXPECT_EQ(shot->Height(), mApp->mHeight);
    }
}

// A link left where the next screenshot's temporary once went leads elsewhere.
TEST_F(DebugAidsTest, AScreenshotNeverWritesThroughALink)
{
    const std::string folder = mDataFolder + "_screenshots";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    WriteText(mDataFolder + "letter.txt", "keep me");
    std::filesystem::create_symlink(mDataFolder + "letter.txt", folder + "/image1.png.tmp");
    mApp->WriteScreenshot();
    EXPECT_EQ(ReadFile(mDataFolder + "letter.txt"), "keep me");
    const std::unique_ptr<ImageLib::Image> shot(ImageLib::GetPNGImage(folder + "/image1.png"));
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->Width(), mApp->mWidth);
}

// The row of a named image: its number, its size and total cell, and its cells.
struct DumpRow {
    int number = -1;
    std::string sizeCell;
    std::vector<std::string> cells;
};

std::vector<std::string> Cells(const std::string& html)
{
    std::vector<std::string> cells;
    const std::regex cell("<TD[^>]*>(.*?)</TD>\n");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), cell); it != std::sregex_iterator(); ++it)
        cells.push_back((*it)[1]);
    return cells;
}

DumpRow FindRow(const std::string& html, const std::string& name)
{
    DumpRow row;
    size_t start = 0;
    for (int number = 0; (start = html.find("<TR>\n", start)) != std::string::npos; ++number) {
        const size_t end = html.find("</TR>\n", start);
        const std::vector<std::string> cells = Cells(html.substr(start, end - start));
        if (cells.size() == 14 && cells.back() == name)
            return DumpRow{number, cells[1], cells};
        start = end;
    }
    return row;
}

TEST_F(DebugAidsTest, ImageDumpCountsEachFormAndSkipsTheFilesOfEmptyImages)
{
    Lumo::MemoryImage* alpha = NewImage("alpha", 10, 10);
    alpha->GetPixelBits();
    alpha->runLengthAlphaData = std::make_unique<uint8_t[]>(100);
    alpha->SetBlitShortcut(true);
    Lumo::MemoryImage* palette = NewImage("palette", 10, 10);
    palette->colorTable = std::make_unique<uint32_t[]>(256);
    palette->nativeAlphaData = std::make_unique<uint32_t[]>(256);
    palette->SetAlphaFlags(true, false);
    Lumo::MemoryImage* quad = NewImage("quad", 2, 2);
    const uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    quad->SetBits(colours, 2, 2, false);
    NewImage("empty", 0, 0);
    WriteText(mDataFolder + "_dump/stale.txt", "old");

    mApp->DumpImages();

    const std::string html = ReadFile(mDataFolder + "_dump/imagelist.html");
    ASSERT_EQ(html.rfind("<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(mDataFolder + "_dump/stale.txt"));

    const DumpRow alphaRow = FindRow(html, "alpha");
    EXPECT_EQ(alphaRow.sizeCell, "10 x 10<BR>500 bytes");
    EXPECT_EQ(alphaRow.cells[2], "mBits<BR>400");
    EXPECT_EQ(alphaRow.cells[6], "Volatile");
    EXPECT_EQ(alphaRow.cells[11], "RLAlpha<BR>100");
    const DumpRow paletteRow = FindRow(html, "palette");
    EXPECT_EQ(paletteRow.sizeCell, "10 x 10<BR>2,148 bytes");
    EXPECT_EQ(paletteRow.cells[3], "Palletized<BR>1,124");
    EXPECT_EQ(paletteRow.cells[7], "Forced");
    EXPECT_EQ(paletteRow.cells[9], "HasTrans");
    EXPECT_EQ(paletteRow.cells[10], "NativeAlpha<BR>1,024");
    EXPECT_LT(paletteRow.number, alphaRow.number);

    // The empty image is listed, without files of its own.
    const DumpRow emptyRow = FindRow(html, "empty");
    ASSERT_GE(emptyRow.number, 0);
    EXPECT_EQ(emptyRow.sizeCell, "0 x 0<BR>0 bytes");
    for (const char* pattern : {"_dump/img%04d.png", "_dump/thumb%04d.jpg"}) {
        char emptyName[32];
        std::snprintf(emptyName, sizeof(emptyName), pattern, emptyRow.number);
        EXPECT_FALSE(std::filesystem::exists(mDataFolder + emptyName)) << emptyName;
    }

    // Rows run from the largest total down, and the totals add up.
    const std::regex total("<TD ALIGN=RIGHT>\\d+ x \\d+<BR>([\\d,]+) bytes</TD>");
    std::vector<long long> totals;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), total); it != std::sregex_iterator(); ++it) {
        std::string digits = (*it)[1];
        std::erase(digits, ',');
        totals.push_back(std::atoll(digits.c_str()));
    }
    EXPECT_TRUE(std::is_sorted(totals.rbegin(), totals.rend()));
    long long sum = 0;
    for (const long long value : totals)
        sum += value;
    const std::vector<std::string> totalsRow = Cells(html.substr(html.rfind("</TR>\n")));
    ASSERT_EQ(totalsRow.size(), 14u);
    EXPECT_EQ(totalsRow[0], "Totals");
    std::string grand = totalsRow[1];
    std::erase(grand, ',');
    EXPECT_EQ(std::atoll(grand.c_str()), sum);
    EXPECT_NE(html.find("Total Image Allocation: " + totalsRow[1] + " bytes<BR><TABLE"), std::string::npos);
    const std::string end = "<TD>&nbsp;</TD>\n</TABLE></CENTER></BODY></HTML>";
    EXPECT_EQ(html.substr(html.size() - end.size()), end);

    // The 2 x 2 image: a full copy and a thumbnail of four 32 x 32 blocks.
    const int quadNumber = FindRow(html, "quad").number;
    char name[32];
    std::snprintf(name, sizeof(name), "_dump/img%04d.png", quadNumber);
    const std::unique_ptr<ImageLib::Image> full(ImageLib::GetPNGImage(mDataFolder + name));
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(std::vector<uint32_t>(full->GetBits(), full->GetBits() + 4), std::vector<uint32_t>(colours, colours + 4));
    std::snprintf(name, sizeof(name), "_dump/thumb%04d.jpg", quadNumber);
    const std::unique_ptr<ImageLib::Image> thumb(ImageLib::GetJPEGImage(mDataFolder + name));
    ASSERT_NE(thumb, nullptr);
    ASSERT_EQ(thumb->Width(), 64);
    for (int block = 0; block < 4; ++block) {
        const uint32_t pixel = thumb->GetBits()[(block / 2 * 32 + 16) * 64 + block % 2 * 32 + 16];
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int(pixel >> shift & 255), int(colours[block] >> shift & 255), 24) << block;
    }
}

// A link in the dump's place goes itself: the folder it leads to keeps its
// documents and gains no dump files, and the dump lands in a folder of its own.
TEST_F(DebugAidsTest, TheImageDumpRemovesALinkInItsPlaceAndNeverDeletesThroughIt)
{
    NewImage("picture", 4, 4)->GetPixelBits();
    const std::string documents = mDataFolder + "documents";
    for (const char* name : {"a.txt", "b.txt", "c/d.txt"})
        WriteText(documents + "/" + name, name);
    std::filesystem::create_directory_symlink(documents, mDataFolder + "_dump");

    mApp->DumpImages();

    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(documents))
        if (entry.is_regular_file())
            kept.push_back(std::filesystem::relative(entry.path(), documents).string());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{"a.txt", "b.txt", "c/d.txt"}));
    EXPECT_EQ(ReadFile(documents + "/c/d.txt"), "c/d.txt");
    EXPECT_FALSE(std::filesystem::is_symlink(mDataFolder + "_dump"));
    EXPECT_NE(FindRow(ReadFile(mDataFolder + "_dump/imagelist.html"), "picture").number, -1);
}

} // namespace
} // namespace LumoTest
