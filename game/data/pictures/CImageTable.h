#pragma once

#include "game/data/pictures/CImageRecord.h"
#include "game/data/pictures/CImageSlot.h"
#include "game/data/pictures/CImageStrip.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TiXmlElement;

namespace Lumo {
class LumoAppBase;
}

// A sprite name resolved to its image, slot and source rectangle.
struct CImageRef {
    Lumo::MemoryImage* mImage = nullptr;
    int32_t mSlot = CImageRecord::kNone;
    Lumo::Rect mRect{};
};

// The catalogue of the game's pictures: image records cut into named slots.
// Record indices never change: a record that is taken out (a strip page)
// leaves an empty place behind.
class CImageTable {
public:
    static constexpr const char* kFileName = "res\\imgsplats.xml";
    // Limits on what the data may ask for: cels of one record and blank image pixels.
    static constexpr int32_t kMaxCels = 4096;
    static constexpr int64_t kMaxBlankPixels = 4096 * 4096;

    explicit CImageTable(Lumo::LumoAppBase* app);
    ~CImageTable();
    CImageTable(const CImageTable&) = delete;
    CImageTable& operator=(const CImageTable&) = delete;

    // Every "img" child of root, then every "imgproxy" child.
    void LoadFromXml(const TiXmlElement* root);

    bool FindByName(const std::string& name, int32_t* slot) const;
    // "name" or "name;x,y,w,h": the slot of the name with its rectangle, or the one given.
    bool ResolveImageRef(const std::string& text, CImageRef* ref) const;

    // Loads the record's image: a file once, a proxy's file into its target
    // each time, a blank record's prepared image.
    void FetchImage(CImageRecord* record);
    // FetchImage of the slot's record unless it counts as loaded.
    void FetchSlotImage(int32_t slot);
    // Makes a blank record's image, or takes a proxy's target image.
    void PrepareRecord(CImageRecord* record);

    // Run-time slots: a freed index is handed out again first.
    int32_t NewSlot(Lumo::MemoryImage* image, CImageRecord* record);
    void FreeSlot(int32_t slot);

    // A new record owning a blank width x height image (with a drawing
    // context when withGraphics), with its first slot; null for a size out of range.
    CImageRecord* AddBlankRecord(const std::string& name, int32_t width, int32_t height, bool withGraphics);

    // Frame strips. SetStripParams returns the number of free frames.
    int32_t SetStripParams(CImageStrip& strip, int32_t frameWidth, int32_t frameHeight, int32_t framesPerPage);
    void BuildStrip(CImageStrip& strip);
    bool GetStripFrame(CImageStrip& strip, int32_t width, int32_t height, int32_t* slot);
    void StripFrameForSlot(CImageStrip& strip, int32_t slot);
    // Takes the strip's pages out of the table with their slots and images.
    void FreeStrip(CImageStrip& strip);
    void ReleaseStrip(CImageStrip& strip);

    // Null for an index out of range (or a record taken out).
    CImageSlot* Slot(int32_t index);
    const CImageSlot* Slot(int32_t index) const;
    CImageRecord* Record(int32_t index);
    // The slot's rectangle, or the whole image for a first slot; empty without an image.
    Lumo::Rect SourceRect(int32_t slot) const;
    size_t RecordCount() const { return mRecords.size(); }
    size_t SlotCount() const { return mSlots.size(); }

    Lumo::LumoAppBase* App() const { return mApp; }

private:
    void LoadRecord(const TiXmlElement* element, CImageRecord* record);
    void AddCel(CImageRecord* record, const std::string& name, const Lumo::Rect& rect);
    CImageRecord* AppendRecord(std::unique_ptr<CImageRecord> record);
    void SetRecordImage(CImageRecord* record, Lumo::MemoryImage* image);

    Lumo::LumoAppBase* mApp;
    std::vector<std::unique_ptr<CImageRecord>> mRecords;
    std::vector<CImageSlot> mSlots;
    std::vector<int32_t> mFreeSlots;
    std::unordered_map<std::string, int32_t> mNames;
};
