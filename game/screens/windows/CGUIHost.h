#pragma once

#include "framework/graphics/Rect.h"

#include <cstdint>
#include <string>
#include <vector>

class CTrackBase;

namespace Lumo {
class Font;
class Graphics;
class Image;
class MemoryImage;
} // namespace Lumo

// Tuning of the window system that lives in the game configuration.
struct CGUITuning {
    // Credits scroll: position step per update, band bottom, band height, gap.
    float mCreditsSpeed = 0.0f;
    int32_t mCreditsPos = 0;
    int32_t mCreditsWidth = 0;
    int32_t mCreditsGap = 0;
    // Speeds of the highlight wheel's rotation and fade tracks.
    float mWheelSpeed = 0.0f;
    float mWheelFadeSpeed = 0.0f;
};

// What the window system takes from the game around it: fonts by slot,
// pictures by image-table slot, run-time tile pictures, the track pool, the
// loading wheel, the hiscore table and the configuration's tuning.
class CGUIHost {
public:
    virtual ~CGUIHost() = default;

    // The font slot of a font name; -1 when there is none.
    virtual int32_t FontIndexByName(const std::string& name) = 0;
    // Null for a slot without a font.
    virtual Lumo::Font* FontByIndex(int32_t index) = 0;

    // Writes the image-table slot of a picture name; false (slot untouched) when unknown.
    virtual bool FindImage(const std::string& name, int32_t* slot) = 0;
    // The slot's image and source rectangle; null for a slot without an image.
    virtual Lumo::MemoryImage* SlotImage(int32_t slot, Lumo::Rect* rect) = 0;
    // Loads the picture of the slot when it is not loaded yet.
    virtual void FetchSlotImage(int32_t slot) = 0;
    // Drops the pixels cached for the slot's picture.
    virtual void ReleaseSlotImage(int32_t slot) = 0;

    // A run-time picture of width x height (a rectangle of the image atlas);
    // false when there is no room.
    virtual bool NewRuntimeImage(int32_t width, int32_t height, int32_t* slot) = 0;
    virtual void FreeRuntimeImage(int32_t slot) = 0;

    virtual CTrackBase& Tracks() = 0;
    // Null while the picture is missing.
    virtual Lumo::Image* LoadingWheel() = 0;
    virtual void DrawHiscores(Lumo::Graphics& graphics, int32_t alpha, const std::vector<std::string>& rankNames) = 0;
    virtual CGUITuning Tuning() = 0;
};
