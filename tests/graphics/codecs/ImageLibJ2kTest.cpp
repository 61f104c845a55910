#include "framework/graphics/codecs/ImageLib.h"
#include "platform/codecs/J2kCodecApi.h"
#include "platform/codecs/J2kCodecModule.h"
#include "platform/process/Modules.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace ImageLibTests {
namespace {

int32_t OldVersion() { return 0x110000; }

// Each test loads the codec module it registers and unloads it again.
class ImageLibJ2kTest : public ::testing::Test {
protected:
    ~ImageLibJ2kTest() override
    {
        ImageLib::UnloadJ2KCodec();
        Platform::RegisterJ2kCodecModule();
    }

    static Platform::EntryTable RealEntries()
    {
        Platform::RegisterJ2kCodecModule();
        Platform::HMODULE module = Platform::LoadLibraryA("j2k-codec.dll");
        Platform::EntryTable table;
        for (const char* name : {"_J2K_getVersion@0", "_J2K_OpenCustom@8", "_J2K_OpenFile@4", "_J2K_Close@4",
                                 "_J2K_GetInfo@16", "_J2K_GetResolutionDimensions@16", "_J2K_Decode@20",
                                 "_J2K_getLastError@0", "_J2K_getErrorStr@4"})
            table[name] = Platform::GetProcAddress(module, name);
        Platform::FreeLibrary(module);
        return table;
    }

    const std::string file = LumoTest::FixturePath("images/gradient.j2k");
};

TEST_F(ImageLibJ2kTest, DecodesThroughTheCodecModule)
{
    EXPECT_EQ(nullptr, ImageLib::GetImage(file, false));
    Platform::RegisterJ2kCodecModule();
    ImageLib::LoadJ2KCodec();
    std::unique_ptr<ImageLib::Image> image(ImageLib::GetImage(file, false));
    ASSERT_TRUE(image);
    ASSERT_EQ(4, image->Width());
    ASSERT_EQ(3, image->Height());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(0xFF000000u | uint32_t(x * 60) << 16 | uint32_t(y * 100) << 8 | uint32_t(7 + x + y),
                      image->GetBits()[y * 4 + x]);

    LumoTest::TempFolder folder;
    folder.Write("junk.jp2", "definitely not a codestream");
    EXPECT_EQ(nullptr, ImageLib::GetImage(folder / "junk.jp2", false));
    const std::string whole = LumoTest::ReadFile(file);
    folder.Write("cut.j2k", whole.substr(0, whole.size() / 2));
    std::unique_ptr<ImageLib::Image> cut(ImageLib::GetImage(folder / "cut.j2k", false));
    if (cut) {
        EXPECT_EQ(4, cut->Width());
    }
}

TEST_F(ImageLibJ2kTest, AMissingEntryOrAnOldCodecUnloadsIt)
{
    Platform::EntryTable missing = RealEntries();
    missing.erase("_J2K_Decode@20");
    Platform::EntryTable old = RealEntries();
    old["_J2K_getVersion@0"] = reinterpret_cast<Platform::FARPROC>(&OldVersion);
    Platform::EntryTable noErrorText = RealEntries();
    noErrorText.erase("_J2K_getErrorStr@4");

    for (const auto* table : {&missing, &old}) {
        Platform::RegisterModule("j2k-codec.dll", *table);
        ImageLib::LoadJ2KCodec();
        EXPECT_EQ(nullptr, ImageLib::GetJPEG2000Image(file));
        // Unloaded: even the real module is not asked again until reloaded.
        Platform::RegisterJ2kCodecModule();
        EXPECT_EQ(nullptr, ImageLib::GetJPEG2000Image(file));
    }
    Platform::RegisterModule("j2k-codec.dll", noErrorText);
    ImageLib::LoadJ2KCodec();
    std::unique_ptr<ImageLib::Image> image(ImageLib::GetJPEG2000Image(file));
    EXPECT_TRUE(image);
}

} // namespace
} // namespace ImageLibTests
