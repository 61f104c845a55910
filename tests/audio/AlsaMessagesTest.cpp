#include "platform/process/Log.h"
#include "platform/sound/AlsaMessages.h"
#include "platform/sound/AudioOutput.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace Platform;

using PcmOpen = int (*)(void** pcm, const char* name, int stream, int mode);

// What a run of the function wrote on stderr.
template <typename F> std::string StderrOf(F run)
{
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    const int saved = dup(2);
    dup2(fileno(capture), 2);
    run();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    std::rewind(capture);
    for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture))
        text += char(c);
    std::fclose(capture);
    return text;
}

// The lines logged while the function runs.
template <typename F> std::vector<std::string> LoggedBy(F run)
{
    std::vector<std::string> logged;
    LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    run();
    SetLogHook(previous);
    return logged;
}

// An unknown device makes ALSA complain, several lines, whether or not the
// machine has a sound card; none reaches stderr or the log, and the first is
// kept to tell why.
TEST(AlsaMessages, StayOffStderrAndTheLogAndTheFirstIsKept)
{
    void* alsa = dlopen("libasound.so.2", RTLD_NOW);
    if (!alsa)
        GTEST_SKIP() << "no ALSA library";
    auto open = reinterpret_cast<PcmOpen>(dlsym(alsa, "snd_pcm_open"));
    ASSERT_NE(open, nullptr);

    QuietAlsaMessages();
    TakeFirstAlsaMessage();
    std::string printed;
    const std::vector<std::string> logged = LoggedBy([&] {
        printed = StderrOf([&] {
            void* pcm = nullptr;
            EXPECT_LT(open(&pcm, "lumo_no_such_device", 0, 0), 0);
            EXPECT_LT(open(&pcm, "lumo_no_such_device", 0, 0), 0);
        });
    });
    dlclose(alsa);

    EXPECT_EQ(printed, "");
    EXPECT_EQ(logged, std::vector<std::string>{});
    const std::string first = TakeFirstAlsaMessage();
    EXPECT_NE(first.find("lumo_no_such_device"), std::string::npos) << first;
    EXPECT_EQ(TakeFirstAlsaMessage(), "");
}

// A start on the real backend whose device will not open says so once in the
// log, with the reason, and nothing on stderr.
TEST(AlsaMessages, AStartWithoutADeviceLogsOneLineWhy)
{
    setenv("LUMO_PLATFORM", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "lumo_no_such_device", 1);
    std::string printed;
    const std::vector<std::string> logged = LoggedBy([&] { printed = StderrOf([] { AudioOutput::Start(); }); });

    EXPECT_FALSE(AudioOutput::HasDevice());
    EXPECT_EQ(printed, "");
    ASSERT_EQ(logged.size(), 1u) << testing::PrintToString(logged);
    EXPECT_EQ(logged[0].rfind("No sound: ", 0), 0u) << logged[0];
    if (void* alsa = dlopen("libasound.so.2", RTLD_NOW)) {
        dlclose(alsa);
        EXPECT_NE(logged[0].find("; ALSA's first report: "), std::string::npos) << logged[0];
    }
}

} // namespace
