#pragma once

#include "framework/graphics/images/SharedImage.h"

#include <atomic>
#include <map>
#include <string>
#include <utility>

namespace Lumo {

// The application's shared images, keyed by (name, variant). The table takes
// no lock of its own: its owner serialises FindOrInsert and the sweep (the
// display lock), while handles may be released from any thread.
class SharedImageTable {
public:
    SharedImageTable() = default;
    SharedImageTable(const SharedImageTable&) = delete;
    SharedImageTable& operator=(const SharedImageTable&) = delete;
    // Deletes every image; every handle must have been released by then.
    ~SharedImageTable();

    // The record under the key, inserted empty when there is none; isNew
    // (when given) tells whether it was inserted now. The key is used as
    // given: callers fold its case. Refer a handle to the record before the
    // lock is let go, or a sweep may take it.
    SharedImage* FindOrInsert(const std::string& name, const std::string& variant, bool* isNew);
    // Called when the last handle of a record lets go.
    void RequestSweep();
    bool IsSweepPending() const;
    // Deletes every record no handle refers to, with its image.
    void SweepUnreferenced();
    // Deletes every image, held or not; the records stay for the handles
    // still referring to them, with no image.
    void DeleteAllImages();

private:
    std::map<std::pair<std::string, std::string>, SharedImage> mImages;
    std::atomic<bool> mSweepPending{false};
};

} // namespace Lumo
