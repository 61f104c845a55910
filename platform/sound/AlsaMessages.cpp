#include "platform/sound/AlsaMessages.h"

#include "platform/process/Log.h"

#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace Platform {

namespace {

using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err, const char* format, ...);
using SetErrorHandler = int (*)(AlsaErrorHandler handler);

void LogAlsaMessage(const char*, int, const char* function, int err, const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::string line = std::string("ALSA (") + (function ? function : "?") + "): " + text;
    if (err < 0)
        line += std::string(": ") + std::strerror(-err);
    LogLine(line);
}

} // namespace

void RouteAlsaMessagesToLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Kept loaded: the handler lives in the library's state.
        void* alsa = dlopen("libasound.so.2", RTLD_NOW);
        if (!alsa)
            return;
        auto set = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
        if (set)
            set(LogAlsaMessage);
    });
}

} // namespace Platform
