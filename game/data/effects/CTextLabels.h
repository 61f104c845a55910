#pragma once

#include <cstdint>

class CAnimTrack;
class CControlTracks;
class CTrackBase;

namespace Lumo {
class Graphics;
}

// Eight animated text labels, addressed by handles 0 to 7 (-2 for none): a
// name that types itself in, or a number that counts up from 0 while the
// count sound loops. Each runs on one track of the window system's player.
class CTextLabels {
public:
    static constexpr int32_t kCount = 8;
    static constexpr int32_t kNone = -2;
    // The window system's entry kind of a label's track.
    static constexpr int32_t kTrackKind = 10;
    static constexpr int32_t kMaxText = 62;

    enum Kind : int32_t { kNumber = 0, kTyped = 1 };
    enum State : int32_t { kShown = 0, kAnimating = 1, kFree = 2 };

    struct Label {
        int32_t kind = kNumber;
        int32_t state = kFree;
        // A font slot of the configuration.
        int32_t font = 0;
        int32_t x = 0;
        int32_t y = 0;
        // At most kMaxText characters and the terminator; the last byte stays 0.
        char text[kMaxText + 2] = {};
        CAnimTrack* timer = nullptr;
        int32_t index = 0;
        // Typed: the characters shown; counted: where counting starts.
        int32_t current = 0;
        // Typed: the text's length; counted: the final value.
        int32_t target = 0;
    };

    static CTextLabels& Get();

    // The track pool and the window system's track table the labels run on.
    void Attach(CTrackBase* tracks, CControlTracks* control);

    // The first free label at (x, y), with the text when one is given; -2
    // when all are in use.
    int32_t Create(const char* text, int32_t x, int32_t y);
    // Counts up from 0 to target.
    void Start(int32_t handle, int32_t target);
    void StartTyping(int32_t handle);
    void Complete(int32_t handle);
    // The window system's handler of a finished label track; a is the entry's first value.
    void OnAnimFinished(int32_t a);
    void Draw(int32_t handle, Lumo::Graphics& g, int32_t alpha);
    // Completes the label and frees it with its track.
    void Finish(int32_t handle);

    const Label& GetLabel(int32_t handle) const { return mLabels[handle]; }

private:
    Label* Find(int32_t handle);
    // Restarts the label's timer at speed and hands it to the window system.
    void Run(Label& label, float speed);

    Label mLabels[kCount];
    CTrackBase* mTracks = nullptr;
    CControlTracks* mControl = nullptr;
};
