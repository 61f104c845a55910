#include "platform/backends/BackendChoice.h"
#include "platform/process/Process.h"
#include "platform/windows/WindowSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace Platform;

namespace {

// Sets or clears a variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : mName(name)
    {
        if (const char* old = std::getenv(name))
            mOld = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { mOld ? setenv(mName, mOld->c_str(), 1) : unsetenv(mName); }

private:
    const char* mName;
    std::optional<std::string> mOld;
};

struct ExitCalled {
    uint32_t code;
};

TEST(BackendChoice, HeadlessOnlyWhenAskedFor)
{
    const struct {
        const char* platform;
        const char* display;
        const char* wayland;
        BackendKind kind;
    } cases[] = {
        {"headless", ":0", nullptr, BackendKind::Headless},
        {"sdl", nullptr, nullptr, BackendKind::Sdl},
        {nullptr, ":0", nullptr, BackendKind::Sdl},
        {nullptr, nullptr, "wayland-0", BackendKind::Sdl},
        {"", "", "", BackendKind::None},
        {"nonsense", nullptr, nullptr, BackendKind::None},
    };
    for (const auto& c : cases) {
        ScopedVariable platform("LUMO_PLATFORM", c.platform);
        ScopedVariable display("DISPLAY", c.display);
        ScopedVariable wayland("WAYLAND_DISPLAY", c.wayland);
        EXPECT_EQ(ChosenBackend(), c.kind) << (c.platform ? c.platform : "(unset)");
    }
}

TEST(BackendChoice, WithoutADisplayTheProgramSaysSoAndFails)
{
    ScopedVariable platform("LUMO_PLATFORM", nullptr);
    ScopedVariable display("DISPLAY", nullptr);
    ScopedVariable wayland("WAYLAND_DISPLAY", nullptr);
    std::unique_ptr<WindowSystem> previous = WindowSystem::Replace(nullptr);
    ExitHook previousExit = SetExitHook([](uint32_t code) { throw ExitCalled{code}; });
    testing::internal::CaptureStderr();
    try {
        WindowSystem::Current();
        ADD_FAILURE() << "a window system was made";
    } catch (const ExitCalled& exit) {
        EXPECT_EQ(exit.code, 1u);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    SetExitHook(previousExit);
    WindowSystem::Replace(std::move(previous));
    EXPECT_NE(said.find("No display"), std::string::npos) << said;
    EXPECT_NE(said.find("LUMO_PLATFORM=headless"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said; // one line
}

} // namespace
