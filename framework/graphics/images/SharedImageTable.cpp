#include "framework/graphics/images/SharedImageTable.h"

#include "framework/graphics/images/Image.h"

namespace Lumo {

SharedImageTable::~SharedImageTable()
{
    for (auto& entry : mImages)
        delete entry.second.mImage;
}

SharedImage* SharedImageTable::FindOrInsert(const std::string& name, const std::string& variant, bool* isNew)
{
    auto [place, inserted] = mImages.try_emplace(std::make_pair(name, variant), this);
    if (isNew)
        *isNew = inserted;
    return &place->second;
}

void SharedImageTable::RequestSweep() { mSweepPending = true; }

bool SharedImageTable::IsSweepPending() const { return mSweepPending; }

void SharedImageTable::SweepUnreferenced()
{
    mSweepPending = false;
    for (auto entry = mImages.begin(); entry != mImages.end();) {
        if (entry->second.mRefCount == 0) {
            delete entry->second.mImage;
            entry = mImages.erase(entry);
        } else {
            ++entry;
        }
    }
}

void SharedImageTable::DeleteAllImages()
{
    for (auto& entry : mImages) {
        delete entry.second.mImage;
        entry.second.mImage = nullptr;
    }
}

} // namespace Lumo
