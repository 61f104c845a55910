#include "platform/backends/sdl/SdlGlProbe.h"

#include "platform/process/Process.h"

#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr int kAnswerTimeoutMs = 10000;

// Runs in the child: answers through the pipe and ends without running
// anything of the parent's (no exit handlers, no flushed buffers).
[[noreturn]] void AnswerAndExit(int pipe, uint32_t parent)
{
    // A driver that hangs would otherwise keep the child after the program.
    EndWithParent(parent);
    std::string name;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
        // The child ends with its context, which it need not free.
        if (probe && SDL_GL_CreateContext(probe)) {
            using GetString = const unsigned char* (*)(unsigned int);
            constexpr unsigned int kRendererName = 0x1F01;
            const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
            if (const unsigned char* text = getString ? getString(kRendererName) : nullptr)
                name = reinterpret_cast<const char*>(text);
        }
    }
    size_t written = 0;
    while (written < name.size()) {
        const ssize_t count = ::write(pipe, name.data() + written, name.size() - written);
        if (count <= 0)
            break;
        written += size_t(count);
    }
    ::_exit(0);
}

// Until the child answers, the time is up, or the stop is readable.
std::string AwaitAnswer(pid_t child, int pipe, int stop)
{
    std::string name;
    pollfd waits[2] = {{pipe, POLLIN, 0}, {stop, POLLIN, 0}};
    char buffer[256];
    while (::poll(waits, 2, kAnswerTimeoutMs) > 0 && waits[1].revents == 0) {
        const ssize_t count = ::read(pipe, buffer, sizeof buffer);
        if (count <= 0)
            break;
        name.append(buffer, size_t(count));
    }
    ::close(pipe);
    // A child that has not answered in time hangs in its driver: it is no GL to use.
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return name;
}

} // namespace

SdlGlProbe::SdlGlProbe() : mStop(::eventfd(0, EFD_CLOEXEC))
{
    mAnswer = std::async(std::launch::deferred, [] { return std::string(); }).share();
    int ends[2];
    // A child would share a display connection that is open already.
    if (SDL_WasInit(SDL_INIT_VIDEO) || ::pipe2(ends, O_CLOEXEC) != 0)
        return;
    const uint32_t parent = GetCurrentProcessId();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        AnswerAndExit(ends[1], parent);
    }
    ::close(ends[1]);
    if (child < 0)
        ::close(ends[0]);
    else
        mAnswer = std::async(std::launch::async, AwaitAnswer, child, ends[0], mStop).share();
}

SdlGlProbe::~SdlGlProbe()
{
    if (mStop < 0)
        return;
    const uint64_t stop = 1;
    [[maybe_unused]] const ssize_t told = ::write(mStop, &stop, sizeof stop);
    mAnswer.wait();
    ::close(mStop);
}

const std::string& SdlGlProbe::RendererName() { return mAnswer.get(); }

bool SdlGlProbe::Software()
{
    const std::string& name = RendererName();
    bool software = name.empty();
    for (const char* mark : {"llvmpipe", "softpipe", "Software", "swrast"})
        software = software || name.find(mark) != std::string::npos;
    return software;
}

} // namespace Platform
