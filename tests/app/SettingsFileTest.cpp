#include "platform/storage/Registry.h"
#include "platform/storage/RegistryStore.h"
#include "tests/app/ShippedGameTest.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace AppTest {
namespace {

using ShippedSettingsTest = ShippedGameTest;

// What stands where the settings file goes.
enum class InTheWay { kNothing, kFolder, kLinkToNull, kOtherUsersFile, kFolderNotWritable };

// Settings that cannot be saved hold for the run only: the player hears so
// once, at the first save (the start's), however often they are saved again,
// and what stands in the file's place stays as it was. Settings that are
// saved tell nothing.
TEST_F(ShippedSettingsTest, SettingsThatCannotBeSavedAreToldOnce)
{
    const struct {
        const char* name;
        InTheWay inTheWay;
    } cases[] = {
        {"saved", InTheWay::kNothing},
        {"a folder in the file's place", InTheWay::kFolder},
        {"a link to /dev/null", InTheWay::kLinkToNull},
        {"another user's file that may not be read", InTheWay::kOtherUsersFile},
        {"a settings folder that may not be written", InTheWay::kFolderNotWritable},
    };
    const std::string othersSettings = "[SOFTWARE\\DravikGames\\Zentrova]\n\"MusicVolume\"=dword:30\n";
    const bool root = ::geteuid() == 0;
    // Where anyone may link any file, a second name keeps another user's
    // settings and new ones are saved (the store's own tests show that).
    const bool linksGuarded = LumoTest::ReadFile("/proc/sys/fs/protected_hardlinks") == "1\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.inTheWay == InTheWay::kOtherUsersFile && !(root && linksGuarded))
            continue;
        // Outside the folder the test gives to the ordinary user, so that
        // another user's file stays another user's.
        LumoTest::TempFolder config;
        const std::string folder = config / "lumo";
        const std::string path = folder + "/registry.txt";
        std::filesystem::create_directories(folder);
        for (const std::string& own : {config.Path(), folder})
            ASSERT_TRUE(!root || ::lchown(own.c_str(), LumoTest::kOrdinaryId, LumoTest::kOrdinaryId) == 0);
        switch (c.inTheWay) {
        case InTheWay::kNothing:
            break;
        case InTheWay::kFolder:
            std::filesystem::create_directory(path);
            break;
        case InTheWay::kLinkToNull:
            std::filesystem::create_symlink("/dev/null", path);
            break;
        case InTheWay::kOtherUsersFile:
            std::ofstream(path) << othersSettings;
            std::filesystem::permissions(path, std::filesystem::perms(0600));
            break;
        case InTheWay::kFolderNotWritable:
            std::filesystem::permissions(folder, std::filesystem::perms(0555));
            break;
        }
        const bool told = c.inTheWay != InTheWay::kNothing;
        const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(mFolder.Path(), [&] {
            Platform::RegistryStore store(path);
            Platform::ScopedRegistryStore useStore(&store);
            ScriptedGame& game = Start(std::make_unique<ScriptedGame>());
            game.StartLoadingThread();
            game.WaitForLoadingThread();
            game.SaveSettings();
            mGame.reset();
            const auto& boxes = mSession.Desktop().MessageBoxes();
            ASSERT_EQ(boxes.size(), told ? 1u : 0u);
            if (told) {
                EXPECT_EQ(boxes[0].text, "Your settings could not be saved.");
                EXPECT_EQ(boxes[0].caption, "Zentrova - 1.0");
            }
        });
        std::filesystem::permissions(folder, std::filesystem::perms(0755));
        ASSERT_FALSE(end.timedOut);
        EXPECT_EQ(end.exitCode, 0);
        switch (c.inTheWay) {
        case InTheWay::kNothing:
            EXPECT_NE(LumoTest::ReadFile(path).find("\"InProgress\"=dword:0"), std::string::npos);
            break;
        case InTheWay::kFolder:
            EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::symlink_status(path)));
            break;
        case InTheWay::kLinkToNull:
            EXPECT_EQ(std::filesystem::read_symlink(path), "/dev/null");
            break;
        case InTheWay::kOtherUsersFile: {
            EXPECT_EQ(LumoTest::ReadFile(path), othersSettings);
            struct stat status = {};
            ASSERT_EQ(::stat(path.c_str(), &status), 0);
            EXPECT_EQ(status.st_uid, ::geteuid());
            break;
        }
        case InTheWay::kFolderNotWritable:
            EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(path)));
            break;
        }
    }
}

} // namespace
} // namespace AppTest
