#pragma once

namespace Platform {

// Where the mixer's samples go. In the sdl backend an output device pulls
// them; in headless, or when no device opens, nothing is heard and the clock
// drives the mixer.
class AudioOutput {
public:
    // Chooses and opens the output once; later calls do nothing.
    static void Start();
    // Whether a device is playing the mix.
    static bool HasDevice();
};

} // namespace Platform
