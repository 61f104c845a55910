#include "tests/display/DisplayFixture.h"
#include "tests/display/RecordingDevice.h"
#include "tests/support/TempFolder.h"

#include "framework/display/D3DInterface.h"
#include "framework/display/D3DTester.h"
#include "platform/storage/Files.h"

#include <chrono>
#include <filesystem>

using namespace Platform;
using Lumo::D3DTester;
using DisplayTest::RecordingDevice;

namespace {

const char* const kRecordKey = "SOFTWARE\\Tests\\Display\\Test3D";

class HardwareTest : public DisplayTest::DisplayFixture {
protected:
    HardwareTest()
    {
        void* made = nullptr;
        DirectDrawCreateEx(nullptr, &made, IID_IDirectDraw7, nullptr);
        mDirectDraw = static_cast<IDirectDraw7*>(made);
    }
    ~HardwareTest() override { mDirectDraw->Release(); }

    // Runs a fresh tester with the application's limits.
    std::unique_ptr<D3DTester> Run()
    {
        auto tester = std::make_unique<D3DTester>(&mApp);
        tester->SetVidMemoryLimits(uint32_t(mApp.mMinVidMemory), uint32_t(mApp.mRecVidMemory));
        tester->RunTest(mWindow, mDirectDraw);
        return tester;
    }

    std::string StoredText(const char* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRecordKey, &key) != ERROR_SUCCESS)
            return "<no key>";
        char text[256] = {};
        uint32_t size = sizeof(text);
        const bool read = RegQueryValueExA(key, name, nullptr, reinterpret_cast<uint8_t*>(text), &size) ==
                          ERROR_SUCCESS;
        RegCloseKey(key);
        return read ? std::string(text) : "<none>";
    }

    void ForgetRecord()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRecordKey, &key) != ERROR_SUCCESS)
            return;
        for (const char* name : {"Version", "MinVidMemory", "RecVidMemory", "DisplayGUID", "FailureReason", "Warning"})
            RegDeleteValueA(key, name);
        RegCloseKey(key);
    }

    // A driver file last written in the given year; the adapter names it.
    void DriverFrom(int year)
    {
        mFolder.Write("driver.drv", "x");
        const std::chrono::sys_seconds stamp{std::chrono::sys_days{std::chrono::year{year} / 6 / 1}};
        std::filesystem::last_write_time(mFolder / "driver.drv", std::chrono::file_clock::from_sys(stamp));
        DesktopFormat desktop = DisplayDesktop::Format();
        desktop.adapterDriver = mFolder / "driver.drv";
        DisplayDesktop::SetFormat(desktop);
    }

    // Stands for a device's drawing: each scene leaves the colour this
    // function gives for its number (0 to 4) and pixel.
    std::function<void(DirectDrawSurface*)> Scenes(std::function<uint32_t(int scene, int x, int y)> color)
    {
        return [this, color](DirectDrawSurface* target) {
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 100; ++x)
                    target->SetPixelAt(x, y, color(mScenes, x, y));
            ++mScenes;
        };
    }

    static uint32_t Correct(int scene, int x, int)
    {
        const uint32_t colors[4] = {0x7F007F, 0x808080, 0x808080, 0x7F007F};
        return scene < 4 ? colors[scene] : (x & 1) ? 0xFFFFFF : 0;
    }

    IDirectDraw7* mDirectDraw = nullptr;
    LumoTest::TempFolder mFolder;
    int mScenes = 0;
};

TEST_F(HardwareTest, TheLayersDeviceDrawsCorrectlyButIsNoKnownCard)
{
    auto first = Run();
    EXPECT_EQ(first->GetFailureReason(), "");
    EXPECT_EQ(first->GetWarning(), "Unsupported video card: Lumo Software Rasterizer");
    EXPECT_TRUE(first->IsFirstTest());
    EXPECT_EQ(StoredText("Warning"), "Unsupported video card: Lumo Software Rasterizer");
    EXPECT_EQ(StoredText("FailureReason"), "");

    // A recent driver makes the card supported and the run clean.
    ForgetRecord();
    DriverFrom(2004);
    auto clean = Run();
    EXPECT_EQ(clean->GetFailureReason(), "");
    EXPECT_EQ(clean->GetWarning(), "");

    // The next start reuses the record and draws nothing.
    DisplayTest::RecordingDeviceScope devices;
    auto again = Run();
    EXPECT_EQ(devices.Device(), nullptr);
    EXPECT_FALSE(again->IsFirstTest());
    EXPECT_EQ(again->GetWarning(), "");
}

// The adapter is named by Direct3D 8 when it answers, else by the display
// object, whose failure then fails the test.
TEST_F(HardwareTest, AdapterIdentityFromDirect3D8OrTheDisplayObject)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::string failure;
    };
    const Case cases[] = {
        {"Direct3D 8 answers", [] {}, ""},
        {"its query fails", [] { DisplayDesktop::FailCall("GetAdapterIdentifier", 1, DDERR_UNSUPPORTED); },
         "DXError - GetDeviceIdentifier: DDERR_NODIRECTDRAWHW"},
        {"no library", [] { UnregisterModule("d3d8.dll"); }, "DXError - GetDeviceIdentifier: DDERR_NODIRECTDRAWHW"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ForgetRecord();
        DisplayDesktop::Reset();
        RegisterDirectDrawModule();
        c.arrange();
        DisplayDesktop::FailCall("GetDeviceIdentifier", 1, DDERR_NODIRECTDRAWHW);
        auto tester = Run();
        EXPECT_EQ(tester->GetFailureReason(), c.failure);
        if (c.failure.empty()) {
            EXPECT_EQ(tester->GetWarning(), "Unsupported video card: Lumo Software Rasterizer");
        }
    }
    DisplayDesktop::Reset();
    RegisterDirectDrawModule();
}

TEST_F(HardwareTest, ReadBackDecidesBetweenFailureAndWarning)
{
    struct Case {
        const char* name;
        std::function<uint32_t(int, int, int)> color;
        std::string failure;
        std::string warning;
        int scenes;
    };
    const Case cases[] = {
        {"correct", Correct, "", "", 5},
        {"near but uneven",
         [](int scene, int x, int y) { return scene == 0 && x == 3 && y == 3 ? 0x8F007Fu : Correct(scene, x, y); },
         "", "Alpha blend test not uniform.", 5},
        {"one pixel off",
         [](int scene, int x, int y) { return scene == 0 && x == 3 && y == 3 ? 0x9F007Fu : Correct(scene, x, y); },
         "Alpha blend Not Supported", "", 1},
        {"additive off", [](int scene, int x, int y) { return scene == 1 ? 0x404040u : Correct(scene, x, y); },
         "Additive blend not supported.", "", 2},
        {"clip off", [](int scene, int x, int y) { return scene == 4 ? 0u : Correct(scene, x, y); }, "",
         "Clip problem detected.", 5},
    };
    DriverFrom(2004);
    for (const Case& each : cases) {
        ForgetRecord();
        mScenes = 0;
        DisplayTest::RecordingDeviceScope devices;
        devices.mOnEndScene = Scenes(each.color);
        auto tester = Run();
        EXPECT_EQ(tester->GetFailureReason(), each.failure) << each.name;
        EXPECT_EQ(tester->GetWarning(), each.warning) << each.name;
        EXPECT_EQ(mScenes, each.scenes) << each.name;
    }
}

TEST_F(HardwareTest, TextureFormatsAndDepthsThatCannotBeTested)
{
    DDPIXELFORMAT a4r4g4b4;
    Lumo::D3DInterface::FillTexturePixelFormat(&a4r4g4b4, Lumo::kPixelTypeA4R4G4B4);
    DriverFrom(2004);
    {
        DisplayTest::RecordingDeviceScope devices(DisplayTest::StandardCaps(), {a4r4g4b4});
        devices.mOnEndScene = Scenes(Correct);
        auto tester = Run();
        EXPECT_EQ(tester->GetFailureReason(), "");
        EXPECT_EQ(tester->GetWarning(), "A8R8G8B8 texture format not supported.");
        EXPECT_FALSE(D3DTester::gTextures32);
    }
    ForgetRecord();
    {
        DisplayTest::RecordingDeviceScope devices(DisplayTest::StandardCaps(), {});
        EXPECT_EQ(Run()->GetFailureReason(), "A4R4G4B4 and A8R8G8B8 texture formats not supported.");
    }

    struct Case {
        DesktopFormat desktop;
        const char* failure;
    };
    const Case cases[] = {
        {DisplayTest::DesktopOf(24, 0xFF0000, 0xFF00, 0xFF), "Can't test 24-bit mode."},
        {DisplayTest::DesktopOf(8, 0xE0, 0x1C, 0x03), "Invalid Color Depth"},
    };
    for (const Case& each : cases) {
        ForgetRecord();
        DisplayDesktop::SetFormat(each.desktop);
        EXPECT_EQ(Run()->GetFailureReason(), each.failure);
    }
}

TEST_F(HardwareTest, FailedCallsNameTheirStepAndPlaybackTestsNothing)
{
    DisplayDesktop::FailCall("CreateDevice", 1, DDERR_NO3D);
    auto failed = Run();
    EXPECT_EQ(failed->GetFailureReason(), "DXError - CreateDevice: DDERR_NO3D");
    EXPECT_EQ(StoredText("FailureReason"), "DXError - CreateDevice: DDERR_NO3D");

    // A stored failure is tested again.
    DisplayTest::RecordingDeviceScope devices;
    Run();
    ASSERT_NE(devices.Device(), nullptr);

    ForgetRecord();
    RecordingDevice* previous = devices.Device();
    mApp.mPlayingBack = true;
    auto replayed = Run();
    EXPECT_EQ(devices.Device(), previous);
    EXPECT_EQ(StoredText("FailureReason"), "<none>");
}

TEST_F(HardwareTest, ARecordMatchesOnlyTheSameAdapterAndLimits)
{
    DriverFrom(2004);
    struct Case {
        const char* name;
        std::function<void(HKEY)> change;
        bool reruns;
    };
    const Case cases[] = {
        {"unchanged", [](HKEY) {}, false},
        {"another version",
         [](HKEY key) {
             const uint32_t three = 3;
             RegSetValueExA(key, "Version", REG_DWORD, reinterpret_cast<const uint8_t*>(&three), 4);
         },
         true},
        {"short identifier",
         [](HKEY key) { RegSetValueExA(key, "DisplayGUID", REG_BINARY, reinterpret_cast<const uint8_t*>("0123456789abcde"), 15); },
         true},
        {"another adapter",
         [](HKEY key) { RegSetValueExA(key, "DisplayGUID", REG_BINARY, reinterpret_cast<const uint8_t*>("0123456789abcdef"), 16); },
         true},
    };
    for (const Case& each : cases) {
        ForgetRecord();
        Run();
        HKEY key = nullptr;
        RegOpenKeyExA(HKEY_CURRENT_USER, kRecordKey, &key);
        each.change(key);
        RegCloseKey(key);
        DisplayTest::RecordingDeviceScope devices;
        devices.mOnEndScene = Scenes(Correct);
        Run();
        EXPECT_EQ(devices.Device() != nullptr, each.reruns) << each.name;
    }

    // Raising the recommended memory invalidates the record too.
    mApp.mRecVidMemory = 15;
    DisplayTest::RecordingDeviceScope devices;
    devices.mOnEndScene = Scenes(Correct);
    EXPECT_TRUE(Run()->IsFirstTest());
    EXPECT_NE(devices.Device(), nullptr);
}

TEST_F(HardwareTest, CardListsAndDriverAge)
{
    const std::string previous = GetCurrentDirectoryA();
    ASSERT_TRUE(SetCurrentDirectoryA(mFolder.Path().c_str()));
    D3DTester tester(&mApp);
    // Without lists: a neutral card with an unknown driver is unsupported.
    EXPECT_FALSE(tester.CheckCard("Some Graphics 3000"));
    EXPECT_TRUE(tester.CheckCard("Some Radeon 3000"));

    mFolder.Write("vhw.dat", "\n   \n  graphics 3000 \r\n");
    EXPECT_TRUE(tester.CheckCard("Some Graphics 3000"));
    EXPECT_FALSE(tester.CheckCard("Some Radeon 3000"));
    mFolder.Write("vhwb.dat", "GRAPHICS\n");
    EXPECT_FALSE(tester.CheckCard("Some Graphics 3000"));
    ASSERT_TRUE(SetCurrentDirectoryA(previous.c_str()));
}

} // namespace
