#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CImageTable;
class TiXmlElement;

// Composite sprite objects: a named object is a run of image-table slots,
// each drawn at an offset from the object's hot spot.
class CObjBase {
public:
    struct Range {
        int32_t mFirst;
        int32_t mEnd;
    };
    struct Sprite {
        int32_t mSlot;
        int32_t mX;
        int32_t mY;
    };

    explicit CObjBase(CImageTable& images);

    // Every child of root is an object named by its tag; a later object of a
    // name takes the name over.
    bool LoadFromXml(const TiXmlElement* root);
    bool FindObject(const std::string& name, int32_t* id) const;
    // Loads the images of the object's sprites that are not loaded yet.
    void FetchObjectImages(int32_t id);

    const std::vector<Range>& Ranges() const { return mRanges; }
    const std::vector<Sprite>& Sprites() const { return mSprites; }

private:
    CImageTable& mImages;
    std::unordered_map<std::string, int32_t> mNames;
    std::vector<Range> mRanges;
    std::vector<Sprite> mSprites;
};
