#pragma once

#include <future>
#include <string>

namespace Platform {

// Which GL the desktop offers, asked in a child process, so that a software
// GL's compiler and threads never stay in ours when frames do not use it.
class SdlGlProbe {
public:
    // Starts the child; call before SDL's video starts in this process, whose
    // connection to the display the child must not share.
    SdlGlProbe();
    // Ends a child that has not answered yet: whoever ends the program does
    // not wait on it.
    ~SdlGlProbe();
    SdlGlProbe(const SdlGlProbe&) = delete;
    SdlGlProbe& operator=(const SdlGlProbe&) = delete;

    // The GL's renderer name, empty when the desktop has none; waits for the
    // child, at most a few seconds.
    const std::string& RendererName();
    // Whether that GL draws in software (or there is none).
    bool Software();

private:
    int mStop;
    std::shared_future<std::string> mAnswer;
};

} // namespace Platform
