#include "framework/graphics/images/AppImageServices.h"
#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/images/MemoryImage.h"
#include "tests/graphics/FakeAppHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace FontTests {
namespace {

class AppImageServicesTest : public ::testing::Test {
protected:
    AppImageServicesTest() : services(host) {}

    void WritePng(const std::string& name, int width, int height, uint32_t pixel)
    {
        ImageLib::Image image(width, height);
        std::fill_n(image.GetBits(), width * height, pixel);
        ASSERT_TRUE(ImageLib::WritePNGImage(folder / name, &image));
    }

    LumoTest::TempFolder folder;
    FakeAppHost host;
    Lumo::AppImageServices services;
};

TEST_F(AppImageServicesTest, SharedImagesByNameInAnyCase)
{
    WritePng("pic.png", 2, 2, 0xFF00FF00);
    bool isNew = false;
    Lumo::SharedImageRef first = services.FindOrLoadSharedImage(folder / "pic", "", &isNew);
    EXPECT_TRUE(isNew);
    ASSERT_NE(nullptr, first.GetImage());
    EXPECT_EQ(1, host.displayImagesMade);
    Lumo::SharedImageRef second = services.FindOrLoadSharedImage(folder / "PIC", "", &isNew);
    EXPECT_FALSE(isNew);
    EXPECT_EQ(first.GetImage(), second.GetImage());
    EXPECT_EQ(1, host.displayImagesMade);

    Lumo::SharedImageRef blank = services.FindOrLoadSharedImage("!" + (folder / "pic"), "", &isNew);
    EXPECT_TRUE(isNew);
    auto* empty = dynamic_cast<Lumo::MemoryImage*>(blank.GetImage());
    ASSERT_TRUE(empty);
    EXPECT_EQ(0, empty->mWidth);
    Lumo::SharedImageRef missing = services.FindOrLoadSharedImage(folder / "none", "x", &isNew);
    EXPECT_EQ(nullptr, missing.GetImage());
}

TEST_F(AppImageServicesTest, ASecondCallerWaitsForTheFirstLoad)
{
    WritePng("big.png", 512, 512, 0xFF123456);
    Lumo::SharedImageRef refs[4];
    std::vector<std::thread> threads;
    for (auto& ref : refs)
        threads.emplace_back([&] { ref = services.FindOrLoadSharedImage(folder / "big", "", nullptr); });
    for (auto& thread : threads)
        thread.join();
    for (auto& ref : refs) {
        ASSERT_NE(nullptr, ref.GetImage());
        EXPECT_EQ(refs[0].GetImage(), ref.GetImage());
    }
    EXPECT_EQ(1, host.displayImagesMade);
}

TEST_F(AppImageServicesTest, ImagesFromFilesCopiesAndSubloads)
{
    WritePng("colour.png", 2, 1, 0xFF808080);
    WritePng("_colour.png", 2, 1, 0xFF000040);
    WritePng("patch.png", 1, 1, 0x80FF0000);
    std::unique_ptr<Lumo::MemoryImage> image(services.CreateImageFromFileAlt(folder / "colour", true));
    ASSERT_TRUE(image);
    EXPECT_EQ(folder / "colour", image->mName);
    EXPECT_EQ(0x40808080u, image->GetPixelBits()[0]);
    EXPECT_EQ(nullptr, services.CreateImageFromFile(folder / "absent", "", true));

    image->mNumCols = 2;
    std::unique_ptr<Lumo::MemoryImage> copy(services.DuplicateImage(image.get()));
    EXPECT_EQ(2, copy->mWidth);
    EXPECT_EQ(2, copy->mNumCols);

    ASSERT_TRUE(image->Palettize());
    services.SubloadImage(image.get(), folder / "patch.png");
    EXPECT_FALSE(image->colorTable);
    EXPECT_EQ(0x80FF0000u, image->GetPixelBits()[0]);
    EXPECT_EQ(0x40808080u, image->GetPixelBits()[1]);
    EXPECT_TRUE(image->hasTranslucency);
}

TEST_F(AppImageServicesTest, ImageSetRemovalDropsTextures)
{
    Lumo::MemoryImage image(&host.imageHost);
    services.AddImageToSet(&image);
    EXPECT_TRUE(services.IsInImageSet(&image));
    services.RemoveImageFromSet(&image);
    EXPECT_FALSE(services.IsInImageSet(&image));
    EXPECT_EQ(std::vector<Lumo::MemoryImage*>{&image}, host.texturesRemoved);
}

} // namespace
} // namespace FontTests
