#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CAnimTrack;
class CGUIController;

namespace Lumo {
class Graphics;
}

// The stage select window's strip of up to five stage glyphs: a highlight on
// the selected one, dimmed glyphs for stages not reached, and a fading hint
// over the glyph under the pointer.
class CSlotPanel {
public:
    static constexpr int32_t kSlots = 5;
    static constexpr int32_t kTrackKind = 11;
    static constexpr int32_t kInfoSlot = 39;
    static constexpr int32_t kDimAlpha = 102;
    static constexpr uint32_t kMinHitAlpha = 11;

    explicit CSlotPanel(CGUIController* controller);
    ~CSlotPanel();
    CSlotPanel(const CSlotPanel&) = delete;
    CSlotPanel& operator=(const CSlotPanel&) = delete;

    // The window is being shown with count usable slots (at most five).
    void SetUp(int32_t count);
    void Release();
    void Draw(Lumo::Graphics& graphics, int32_t alpha);
    // Pointer movement in screen coordinates.
    void HitTest(int32_t x, int32_t y);
    bool SlotHit(int32_t slot, int32_t x, int32_t y) const;

    int32_t HoveredSlot() const { return mHovered; }
    int32_t FadingSlot() const { return mFading; }
    bool FadingOut() const { return mFadingOut; }
    int32_t Count() const { return mCount; }
    CAnimTrack* HintTrack() const { return mHintTrack; }

    std::function<std::string(int32_t slot)> mHintSource;
    int32_t mSelected = 0;

private:
    void HoverStart(int32_t slot);
    void HoverEnd(int32_t slot);
    void RunHint(float time);

    CGUIController* mController;
    CAnimTrack* mHintTrack = nullptr;
    int32_t mCount = 0;
    int32_t mHovered = -1;
    int32_t mFading = -1;
    bool mFadingOut = false;
};
