#include "platform/process/Log.h"
#include "platform/sound/AlsaMessages.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
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

// An unknown device makes ALSA complain whether or not the machine has a
// sound card; the complaint must reach the log, not stderr.
TEST(AlsaMessages, GoToTheLogInsteadOfStderr)
{
    void* alsa = dlopen("libasound.so.2", RTLD_NOW);
    if (!alsa)
        GTEST_SKIP() << "no ALSA library";
    auto open = reinterpret_cast<PcmOpen>(dlsym(alsa, "snd_pcm_open"));
    ASSERT_NE(open, nullptr);

    RouteAlsaMessagesToLog();
    std::vector<std::string> logged;
    LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    void* pcm = nullptr;
    const std::string printed = StderrOf([&] { EXPECT_LT(open(&pcm, "lumo_no_such_device", 0, 0), 0); });
    SetLogHook(previous);
    dlclose(alsa);

    EXPECT_EQ(printed.find("ALSA lib"), std::string::npos) << printed;
    ASSERT_FALSE(logged.empty());
    EXPECT_NE(logged[0].find("ALSA"), std::string::npos) << logged[0];
    EXPECT_NE(logged[0].find("lumo_no_such_device"), std::string::npos) << logged[0];
}

} // namespace
