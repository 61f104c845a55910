#pragma once

#include <cstdint>
#include <vector>

class CAnimBase;
class CImageTable;
class TiXmlElement;

namespace Lumo {
class Graphics;
}

// One light of a group: an image at a fixed screen position.
struct LightEntry {
    int32_t x = 0;
    int32_t y = 0;
    int32_t image = -2;
    uint8_t flag = 0;
};

// A few images of which one at a time fades in and out, at a speed drawn
// between the group's limits; entries [first, end) are its images.
struct LightGroup {
    float minSpeed = 0.0f;
    float maxSpeed = 0.0f;
    float level = 0.0f;
    float speed = 0.0f;
    int32_t first = 0;
    int32_t end = 0;
    // Relative to first.
    int32_t current = 0;
    // 0 fading in, 1 fading out.
    int32_t state = 0;
};

// A picture whose animation frames replace one another by cross-fading,
// each held for a while, in random order.
struct CrossFadeLight {
    bool isStatic = false;
    int32_t currentImage = -2;
    int32_t nextImage = -2;
    // 0 cross-fading, 1 holding.
    int32_t state = 1;
    float level = 0.0f;
    float crossFadeSpeed = 0.0f;
    float holdSpeed = 0.0f;
    int32_t anim = 0;
    // The frame the next image was taken from.
    int32_t nextFrame = 0;
};

// The level map's light groups and its cross-fading picture.
class CFadeGroup {
public:
    CFadeGroup(const CImageTable& images, const CAnimBase& anims) : mImages(images), mAnims(anims) {}

    void Reset();
    // The "group" children of element; images the table lacks are left out,
    // and a group left without images is dropped.
    void LoadFromXml(const TiXmlElement* element);
    void Update();
    void Draw(Lumo::Graphics& g) const;

    void InitLight(int32_t anim, CrossFadeLight& picture, float crossFadeSpeed, float holdSpeed) const;
    void PickFrame(CrossFadeLight& picture) const;
    void StepLight(CrossFadeLight& picture) const;
    void DrawLight(const CrossFadeLight& picture, int32_t x, int32_t y, Lumo::Graphics& g) const;

    const std::vector<LightGroup>& Groups() const { return mGroups; }
    const std::vector<LightEntry>& Entries() const { return mEntries; }

private:
    static void DrawSpeed(LightGroup& group);
    // The image of frame `frame` of the animation, -2 when it has none.
    int32_t FrameImage(int32_t anim, int32_t frame) const;
    int32_t FrameCount(int32_t anim) const;

    const CImageTable& mImages;
    const CAnimBase& mAnims;
    std::vector<LightGroup> mGroups;
    std::vector<LightEntry> mEntries;
};
