#include "platform/sound/AlsaMessages.h"

#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace Platform {

namespace {

using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err, const char* format, ...);
using SetErrorHandler = int (*)(AlsaErrorHandler handler);

// SDL's device watch may report from its own thread.
std::mutex gFirstMutex;
std::string gFirst;

void KeepFirstAlsaMessage(const char*, int, const char*, int err, const char* format, ...)
{
    std::lock_guard<std::mutex> lock(gFirstMutex);
    if (!gFirst.empty())
        return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    gFirst = text;
    if (err < 0)
        gFirst += std::string(": ") + std::strerror(-err);
}

} // namespace

void QuietAlsaMessages()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Kept loaded: the handler lives in the library's state.
        void* alsa = dlopen("libasound.so.2", RTLD_NOW);
        if (!alsa)
            return;
        auto set = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
        if (set)
            set(KeepFirstAlsaMessage);
    });
}

std::string TakeFirstAlsaMessage()
{
    std::lock_guard<std::mutex> lock(gFirstMutex);
    std::string first;
    first.swap(gFirst);
    return first;
}

} // namespace Platform
