#include "game/data/pictures/CImageTable.h"

#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>

namespace {

void Log(const char* format, const std::string& a, const std::string& b = "")
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, format, a.c_str(), b.c_str());
}

int32_t Saturate(int64_t value) { return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

} // namespace

CImageTable::CImageTable(Lumo::LumoAppBase* app) : mApp(app)
{
    mRecords.reserve(64);
    mFreeSlots.reserve(32);
}

CImageTable::~CImageTable() = default;

void CImageTable::LoadFromXml(const TiXmlElement* root)
{
    if (!root)
        return;
    for (const char* tag : {"img", "imgproxy"}) {
        for (const TiXmlElement* element = root->FirstChildElement(tag); element;
             element = element->NextSiblingElement(tag)) {
            auto record = std::make_unique<CImageRecord>();
            record->mTable = this;
            record->mRecordIndex = int32_t(mRecords.size());
            CImageRecord* added = AppendRecord(std::move(record));
            LoadRecord(element, added);
        }
    }
}

CImageRecord* CImageTable::AppendRecord(std::unique_ptr<CImageRecord> record)
{
    record->mRecordIndex = int32_t(mRecords.size());
    mRecords.push_back(std::move(record));
    return mRecords.back().get();
}

void CImageTable::AddCel(CImageRecord* record, const std::string& name, const Lumo::Rect& rect)
{
    mNames[name] = int32_t(mSlots.size());
    mSlots.push_back(CImageSlot{nullptr, rect, record});
    ++record->mSlotCount;
}

void CImageTable::LoadRecord(const TiXmlElement* element, CImageRecord* record)
{
    record->mFirstSlot = int32_t(mSlots.size());
    record->mSlotCount = 1;

    const char* target = XmlTextAttribute(element, "dst");
    if (target[0]) {
        record->mKind = CImageRecord::kProxy;
        if (!FindByName(target, &record->mTargetSlot)) {
            record->mTargetSlot = CImageRecord::kNone;
            Log("ERROR: image proxy %s - no target %s", XmlTextAttribute(element, "src"), target);
        }
    } else if (const char* name = element->Attribute("name")) {
        record->mKind = CImageRecord::kBlank;
        record->mName = name;
        record->mWidth = XmlIntAttribute(element, "width", 0);
        record->mHeight = XmlIntAttribute(element, "height", 0);
    }
    if (record->mKind != CImageRecord::kBlank)
        record->mName = XmlTextAttribute(element, "src");

    // Any leading part of "true" counts.
    const char* palletize = XmlTextAttribute(element, "palletize");
    record->mPalletize = palletize[0] && std::strncmp(palletize, "true", std::strlen(palletize)) == 0;
    record->mAlphaName = XmlTextAttribute(element, "alpha");

    const std::string& key = record->mName;
    mNames[key] = record->mFirstSlot;
    mSlots.push_back(CImageSlot{nullptr, Lumo::Rect{}, record});

    if (XmlTextAttribute(element, "start")[0]) {
        const int32_t start = XmlIntAttribute(element, "start", 0);
        const int32_t end = XmlIntAttribute(element, "end", 0);
        const int32_t w = XmlPixelAttribute(element, "w");
        const int32_t h = XmlPixelAttribute(element, "h");
        const int64_t dx = XmlPixelAttribute(element, "dx");
        const int64_t dy = XmlPixelAttribute(element, "dy");
        if (int64_t(end) - start >= kMaxCels) {
            Log("ERROR: image %s - too many cels", key);
            return;
        }
        int64_t x = 0, y = 0;
        for (int64_t i = start; i <= end; ++i) {
            AddCel(record, key + "|" + std::to_string(i), Lumo::Rect{Saturate(x), Saturate(y), w, h});
            x += dx;
            y += dy;
        }
        return;
    }
    for (const TiXmlElement* sprite = element->FirstChildElement("sprite"); sprite;
         sprite = sprite->NextSiblingElement("sprite")) {
        if (record->mSlotCount > kMaxCels) {
            Log("ERROR: image %s - too many cels", key);
            return;
        }
        AddCel(record, key + "|" + XmlTextAttribute(sprite, "name"),
               Lumo::Rect{XmlPixelAttribute(sprite, "x"), XmlPixelAttribute(sprite, "y"),
                          XmlPixelAttribute(sprite, "w"), XmlPixelAttribute(sprite, "h")});
    }
}

bool CImageTable::FindByName(const std::string& name, int32_t* slot) const
{
    auto found = mNames.find(name);
    if (found == mNames.end())
        return false;
    *slot = found->second;
    return true;
}

bool CImageTable::ResolveImageRef(const std::string& text, CImageRef* ref) const
{
    const size_t semicolon = text.find(';');
    int32_t slot = 0;
    if (!FindByName(text.substr(0, semicolon), &slot))
        return false;
    const CImageSlot& found = mSlots[size_t(slot)];
    ref->mImage = found.mRecord ? found.mRecord->mImage : nullptr;
    ref->mSlot = slot;
    ref->mRect = found.mRect;
    if (semicolon != std::string::npos)
        ParseRect(text.c_str() + semicolon + 1, &ref->mRect);
    return true;
}

void CImageTable::SetRecordImage(CImageRecord* record, Lumo::MemoryImage* image)
{
    record->mImage = image;
    const int32_t end = std::min<int32_t>(record->mFirstSlot + record->mSlotCount, int32_t(mSlots.size()));
    for (int32_t i = record->mFirstSlot; i < end; ++i) {
        if (mSlots[size_t(i)].mRecord == record)
            mSlots[size_t(i)].mImage = image;
    }
}

void CImageTable::FetchImage(CImageRecord* record)
{
    if (!record || !record->mTable)
        return;
    switch (record->mKind) {
    case CImageRecord::kFile:
        if (!record->mImage && !record->IsLoaded()) {
            Lumo::MemoryImage* image =
                record->mAlphaName.empty() ? mApp->CreateImageFromFileAlt(record->mName, true)
                                           : mApp->CreateImageFromFile(record->mName, record->mAlphaName, true);
            if (!image)
                Log("ERROR: fetch %s %s", record->mName, record->mAlphaName);
            else if (record->mPalletize)
                image->Palettize();
            record->mOwnedImage.reset(image);
            SetRecordImage(record, image);
            record->mContent = record->mRecordIndex;
        }
        break;
    case CImageRecord::kProxy: {
        CImageSlot* target = Slot(record->mTargetSlot);
        if (!target || !target->mImage || !target->mRecord)
            break;
        mApp->GetImageServices().SubloadImage(target->mImage, record->mName);
        target->mRecord->mContent = record->mRecordIndex;
        SetRecordImage(record, target->mImage);
        break;
    }
    case CImageRecord::kBlank:
        if (!record->mImage)
            PrepareRecord(record);
        SetRecordImage(record, record->mImage);
        break;
    default:
        break;
    }
}

void CImageTable::FetchSlotImage(int32_t slot)
{
    const CImageSlot* found = Slot(slot);
    if (found && found->mRecord && !found->mRecord->IsLoaded())
        FetchImage(found->mRecord);
}

void CImageTable::PrepareRecord(CImageRecord* record)
{
    if (record->mKind == CImageRecord::kBlank) {
        if (record->mWidth < 0 || record->mHeight < 0 ||
            int64_t(record->mWidth) * record->mHeight > kMaxBlankPixels) {
            Log("ERROR: image %s - bad size", record->mName);
            return;
        }
        auto image = std::make_unique<Lumo::MemoryImage>(mApp);
        image->SetSize(record->mWidth, record->mHeight);
        record->mOwnedImage = std::move(image);
        SetRecordImage(record, record->mOwnedImage.get());
    } else if (record->mKind == CImageRecord::kProxy) {
        const CImageSlot* target = Slot(record->mTargetSlot);
        SetRecordImage(record, target ? target->mImage : nullptr);
    }
}

CImageRecord* CImageTable::AddBlankRecord(const std::string& name, int32_t width, int32_t height,
                                          bool withGraphics)
{
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxBlankPixels)
        return nullptr;
    auto record = std::make_unique<CImageRecord>();
    record->mKind = CImageRecord::kBlank;
    record->mName = name;
    record->mWidth = width;
    record->mHeight = height;
    record->mTable = this;
    record->mFirstSlot = int32_t(mSlots.size());
    CImageRecord* added = AppendRecord(std::move(record));
    mSlots.push_back(CImageSlot{nullptr, Lumo::Rect{}, added});
    PrepareRecord(added);
    if (withGraphics)
        added->mGraphics = std::make_unique<Lumo::Graphics>(added->mImage);
    return added;
}

int32_t CImageTable::NewSlot(Lumo::MemoryImage* image, CImageRecord* record)
{
    int32_t index;
    if (!mFreeSlots.empty()) {
        index = mFreeSlots.back();
        mFreeSlots.pop_back();
    } else {
        index = int32_t(mSlots.size());
        mSlots.emplace_back();
    }
    mSlots[size_t(index)] = CImageSlot{image, Lumo::Rect{}, record};
    return index;
}

void CImageTable::FreeSlot(int32_t slot)
{
    CImageSlot* found = Slot(slot);
    if (!found || std::find(mFreeSlots.begin(), mFreeSlots.end(), slot) != mFreeSlots.end())
        return;
    found->mImage = nullptr;
    found->mRecord = nullptr;
    mFreeSlots.push_back(slot);
}

CImageSlot* CImageTable::Slot(int32_t index)
{
    return index >= 0 && size_t(index) < mSlots.size() ? &mSlots[size_t(index)] : nullptr;
}

const CImageSlot* CImageTable::Slot(int32_t index) const
{
    return index >= 0 && size_t(index) < mSlots.size() ? &mSlots[size_t(index)] : nullptr;
}

CImageRecord* CImageTable::Record(int32_t index)
{
    return index >= 0 && size_t(index) < mRecords.size() ? mRecords[size_t(index)].get() : nullptr;
}

Lumo::Rect CImageTable::SourceRect(int32_t slot) const
{
    const CImageSlot* found = Slot(slot);
    if (!found || !found->mImage)
        return Lumo::Rect{};
    if (found->mRect.mWidth == 0 && found->mRect.mHeight == 0)
        return Lumo::Rect{0, 0, found->mImage->GetWidth(), found->mImage->GetHeight()};
    return found->mRect;
}

int32_t CImageTable::SetStripParams(CImageStrip& strip, int32_t frameWidth, int32_t frameHeight,
                                    int32_t framesPerPage)
{
    if (frameWidth != strip.mFrameWidth || frameHeight != strip.mFrameHeight ||
        framesPerPage != strip.mFramesPerPage)
        FreeStrip(strip);
    strip.mFrameWidth = frameWidth;
    strip.mFrameHeight = frameHeight;
    strip.mFramesPerPage = framesPerPage;
    strip.mSetUp = true;
    if (strip.mFree.empty())
        BuildStrip(strip);
    return int32_t(strip.mFree.size());
}

void CImageTable::BuildStrip(CImageStrip& strip)
{
    const int64_t width = int64_t(strip.mFramesPerPage) * strip.mFrameWidth;
    if (strip.mFramesPerPage <= 0 || strip.mFrameWidth <= 0 || width > INT32_MAX)
        return;
    CImageRecord* page = AddBlankRecord("strip", int32_t(width), strip.mFrameHeight, true);
    if (!page) {
        Log("ERROR: strip page %s too large", std::to_string(width));
        return;
    }
    strip.mPages.push_back(page->mRecordIndex);
    for (int32_t i = 0; i < strip.mFramesPerPage; ++i) {
        const int32_t slot = NewSlot(page->mImage, page);
        mSlots[size_t(slot)].mRect = Lumo::Rect{i * strip.mFrameWidth, 0, strip.mFrameWidth, strip.mFrameHeight};
        strip.mFree.push_back(CImageStrip::Frame{page->mRecordIndex, i, slot});
    }
}

bool CImageTable::GetStripFrame(CImageStrip& strip, int32_t width, int32_t height, int32_t* slot)
{
    if (!strip.mSetUp)
        return false;
    if (strip.mFree.empty())
        BuildStrip(strip);
    if (strip.mFree.empty())
        return false;
    *slot = strip.mFree.back().mSlot;
    strip.mFree.pop_back();
    if (int64_t(width) + height >= 1) {
        Lumo::Rect& rect = mSlots[size_t(*slot)].mRect;
        rect.mWidth = std::min(strip.mFrameWidth, width);
        rect.mHeight = std::min(strip.mFrameHeight, height);
    }
    return true;
}

void CImageTable::StripFrameForSlot(CImageStrip& strip, int32_t slot)
{
    const CImageSlot* found = Slot(slot);
    if (!found || !found->mRecord || strip.mFrameWidth <= 0)
        return;
    strip.mFree.push_back(CImageStrip::Frame{found->mRecord->mRecordIndex, found->mRect.mX / strip.mFrameWidth, slot});
}

void CImageTable::FreeStrip(CImageStrip& strip)
{
    for (int32_t pageIndex : strip.mPages) {
        CImageRecord* page = Record(pageIndex);
        if (!page)
            continue;
        for (size_t i = 0; i < mSlots.size(); ++i) {
            if (mSlots[i].mRecord == page)
                FreeSlot(int32_t(i));
        }
        mRecords[size_t(pageIndex)].reset();
    }
    strip.mPages.clear();
    // Frames of freed pages must not be handed out again.
    strip.mFree.clear();
}

void CImageTable::ReleaseStrip(CImageStrip& strip)
{
    FreeStrip(strip);
    strip.mSetUp = false;
}
