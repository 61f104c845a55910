#include "tests/lumoapp/AppFixture.h"

#include "framework/audio/SoundManager.h"
#include "framework/core/UserDataFolder.h"
#include "framework/diagnostics/LeakReport.h"
#include "framework/resources/PakWriter.h"
#include "platform/storage/Files.h"
#include "tests/support/PlantedTemporaries.h"
#include "tests/support/UnprivilegedChild.h"

#include <filesystem>
#include <functional>
#include <string>

namespace LumoTest {
namespace {

using WriterTemporariesTest = AppFixture;

// A write cut off (a kill during a screenshot, say) leaves its temporary
// where the writer writes; the writer's next write there, in a later run,
// clears it, and leaves alone what a write going on now has there.
TEST_F(WriterTemporariesTest, EachWriterClearsTheStaleTemporariesWhereItWrites)
{
    enum class Under { kWorkingFolder, kDataFolder };
    const struct {
        const char* name;
        Under under;
        const char* folder;
        const char* file;
        std::function<void(TestApp&, const std::string& folder)> write;
    } cases[] = {
        {"screenshot", Under::kDataFolder, "_screenshots", "image1.png",
         [](TestApp& app, const std::string&) { app.WriteScreenshot(); }},
        {"error log", Under::kWorkingFolder, "", "ScrError.txt",
         [](TestApp& app, const std::string&) { app.AppendErrorLog("trouble"); }},
        {"leak report", Under::kWorkingFolder, "", "mem_leaks.txt",
         [](TestApp&, const std::string&) {
             Lumo::LeakReportInit();
             Lumo::WriteLeakReport();
             Lumo::LeakReportShutdown();
         }},
        {"sound cache", Under::kDataFolder, "cached/sfx", "tone.wav",
         [](TestApp& app, const std::string&) { EXPECT_TRUE(app.mSoundManager->LoadSound(1, "sfx\\tone")); }},
        {"demo", Under::kWorkingFolder, "demos", "out.dmo",
         [](TestApp& app, const std::string& folder) {
             app.mRecording = true;
             app.mDemoFileName = folder + "/out.dmo";
             app.DemoFinish();
             app.mRecording = false;
         }},
        {"archive", Under::kWorkingFolder, "packed", "main.pak",
         [](TestApp&, const std::string& folder) {
             PakWriter writer;
             writer.Add("a.txt", "archived");
             std::string error;
             EXPECT_TRUE(writer.WriteFile(folder + "/main.pak", &error)) << error;
         }},
    };
    // Copied while root may read it: the ordinary user may not enter where
    // the source tree is kept.
    std::filesystem::create_directories(mFolder / "sfx");
    std::filesystem::copy_file(FixturePath("audio/tone.ogg"), mFolder / "sfx/tone.ogg");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A run of its own: each folder is cleared once a run.
        const ChildEnd end = RunAsOrdinaryUser(mFolder.Path(), [&] {
            ASSERT_NE(StartApp(), nullptr);
            std::string folder = c.under == Under::kWorkingFolder ? mFolder.Path()
                                                                  : Platform::NativePath(Lumo::GetUserDataFolder());
            folder += (folder.back() == '/' ? "" : "/") + std::string(c.folder);
            if (folder.back() == '/')
                folder.pop_back();
            PlantedTemporaries planted(folder, c.file);
            c.write(*mApp, folder);
            EXPECT_TRUE(std::filesystem::is_regular_file(folder + "/" + c.file));
            planted.ExpectSwept();
            mApp.reset();
        });
        ASSERT_FALSE(end.timedOut);
        EXPECT_EQ(end.exitCode, 0);
    }
}

} // namespace
} // namespace LumoTest
