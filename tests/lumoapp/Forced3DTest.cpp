#include "tests/lumoapp/AppFixture.h"

#include "framework/core/UserDataFolder.h"
#include "framework/display/DDInterface.h"
#include "framework/display/TextureData.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/storage/Files.h"
#include "platform/windows/Dialogs.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace LumoTest {
namespace {

using namespace Platform;
using Lumo::Color;

// Fills, a translucent fill and a picture: one frame of each kind of draw.
class PictureWidget final : public Lumo::Widget {
public:
    Lumo::MemoryImage* mImage = nullptr;

    void Draw(Lumo::Graphics& graphics) override
    {
        graphics.SetColor(Color(200, 100, 50));
        graphics.FillRect(10, 10, 60, 40);
        graphics.DrawImage(mImage, 80, 30);
        graphics.SetColor(Color(0, 255, 0, 128));
        graphics.FillRect(20, 60, 100, 20);
    }
};

class Forced3DTest : public AppFixture {
protected:
    // Starts the application, with the 3D path forced when asked, showing
    // the picture widget.
    void Start(bool forced)
    {
        mWidget.reset();
        mImage.reset();
        mApp = std::make_unique<TestApp>();
        if (forced)
            mApp->ApplyCommandLineSwitch("-3d", "");
        mApp->LoadSettings();
        mApp->Initialize();
        mImage = std::make_unique<Lumo::MemoryImage>(static_cast<Lumo::ImageHost*>(mApp.get()));
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x)
                pixels.push_back(0xFF000080 | uint32_t(x * 8) << 16 | uint32_t(y * 10) << 8);
        mImage->SetBits(pixels.data(), 32, 24, true);
        mWidget = std::make_unique<PictureWidget>();
        mWidget->mImage = mImage.get();
        mWidget->Resize(0, 0, mApp->mWidth, mApp->mHeight);
        mApp->mWidgetManager->AddChild(mWidget.get());
        mWidget->MarkDirty();
        RunFor(100);
    }

    void Stop()
    {
        mApp->mWidgetManager->RemoveChild(mWidget.get());
        mWidget.reset();
        mImage.reset();
        mApp.reset();
    }

    // The frame as a screenshot shows it.
    std::unique_ptr<ImageLib::Image> Shot()
    {
        const std::string folder = NativePath(Lumo::GetUserDataFolder()) + "_screenshots";
        std::filesystem::remove_all(folder);
        mApp->WriteScreenshot();
        return std::unique_ptr<ImageLib::Image>(ImageLib::GetPNGImage(folder + "/image1.png"));
    }

    std::unique_ptr<Lumo::MemoryImage> mImage;
    std::unique_ptr<PictureWidget> mWidget;
};

TEST_F(Forced3DTest, OneFrameDrawnBothWaysLooksTheSame)
{
    Start(false);
    EXPECT_FALSE(mApp->Is3DAccelerated());
    const auto soft = Shot();
    Stop();
    Start(true);
    EXPECT_TRUE(mApp->Is3DAccelerated());
    const auto hard = Shot();
    ASSERT_NE(soft, nullptr);
    ASSERT_NE(hard, nullptr);
    ASSERT_EQ(soft->Width(), hard->Width());
    ASSERT_EQ(soft->Height(), hard->Height());
    // The picture goes to a 5-6-5 texture, whose steps are up to 8 wide.
    int beyond = 0;
    const size_t count = size_t(soft->Width()) * size_t(soft->Height());
    for (size_t i = 0; i < count; ++i)
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((soft->GetBits()[i] >> shift) & 0xFF) - int((hard->GetBits()[i] >> shift) & 0xFF)) > 8)
                ++beyond;
    EXPECT_EQ(beyond, 0);
    EXPECT_EQ(hard->GetBits()[20 * soft->Width() + 20] & 0xFFFFFF, 0xC86432u);
}

TEST_F(Forced3DTest, TexturesShowInTheFiguresAndGiveBackPurgedPixels)
{
    Start(true);
    ASSERT_NE(mImage->textureData, nullptr);
    mApp->BuildVideoStats();
    const std::string& stats = mSession.Desktop().MessageBoxes().back().text;
    EXPECT_NE(stats.find("3D-Mode is On (3D is Supported on this system)"), std::string::npos) << stats;
    // A 32 x 24 opaque picture: one 32 x 32 piece of 16-bit texels.
    EXPECT_NE(stats.find("Texture Memory: 2 KB\r\nA8R8G8B8: 0 - 0 KB\r\nA4R4G4B4: 0 - 0 KB\r\nR5G6B5: 1 - 2 KB\r\n"
                         "Palette8: 0 - 0 KB\r\n"),
              std::string::npos)
        << stats;

    // Purged, the picture lives only in its texture and comes back from it.
    const std::vector<uint32_t> before(mImage->GetPixelBits(), mImage->GetPixelBits() + 32 * 24);
    mImage->PurgeBits();
    ASSERT_EQ(mImage->bits, nullptr);
    const uint32_t* back = mImage->GetPixelBits();
    for (size_t i = 0; i < before.size(); ++i) {
        const uint32_t expected = before[i] & 0xFFF8FCF8;
        ASSERT_EQ(back[i], expected) << i;
    }

    // The dump names the texture's format and size, and writes the pixels of
    // a picture that only its texture holds.
    mImage->PurgeBits();
    ASSERT_EQ(mImage->bits, nullptr);
    mApp->DumpImages();
    const std::string folder = NativePath(Lumo::GetUserDataFolder()) + "_dump/";
    EXPECT_NE(ReadFile(folder + "imagelist.html").find("<TD>Texture<BR>R5G6B5<BR>2,048</TD>\n"), std::string::npos);
    bool written = false;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".png")
            continue;
        const std::unique_ptr<ImageLib::Image> file(ImageLib::GetPNGImage(entry.path().string()));
        if (file && file->Width() == 32 && file->Height() == 24)
            written = file->GetBits()[33] == (before[33] & 0xFFF8FCF8);
    }
    EXPECT_TRUE(written);
}

TEST_F(Forced3DTest, ADeviceThatCannotStartLeavesTheProgramIn2D)
{
    DisplayDesktop::FailCall("CreateDevice", 1, DDERR_NO3D);
    Start(true);
    EXPECT_FALSE(mApp->Is3DAccelerated());
    EXPECT_FALSE(mApp->Is3DTestPassed());
    const auto shot = Shot();
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->GetBits()[20 * shot->Width() + 20] & 0xFFFFFF, 0xC76331u);
}

TEST_F(Forced3DTest, SwitchingAfterATestWithAWarningAsksAtExit)
{
    Start(true);
    ASSERT_TRUE(mApp->Is3DTestPassed());
    EXPECT_FALSE(mApp->Is3DTestClean());
    mApp->ResetDisplay(false, true);
    mApp->ResetDisplay(true, true);
    ASSERT_TRUE(mApp->Is3DAccelerated());
    mSession.Desktop().ScriptMessageBoxAnswer(IDNO);
    const size_t boxes = mSession.Desktop().MessageBoxes().size();
    Stop();
    ASSERT_EQ(mSession.Desktop().MessageBoxes().size(), boxes + 1);
    EXPECT_EQ(mSession.Desktop().MessageBoxes().back().caption, "TestCompany Hardware Acceleration Confirmation");
    EXPECT_EQ(StoredInteger("Is3D"), -12345);
}

} // namespace
} // namespace LumoTest
