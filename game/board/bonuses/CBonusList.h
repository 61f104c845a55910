#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The bonus ids that may be generated now, picked at random with a short
// memory that keeps a long list from repeating itself.
class CBonusList {
public:
    // An empty list for about entries ids, each weighing unitWeight.
    void Setup(int32_t entries, int32_t unitWeight);
    void Add(int32_t id);
    // The last id takes the removed one's place.
    void Remove(int32_t id);
    // A random id, its place written to index; -1 for an empty list. With
    // more than four ids, a place among the last three picks becomes the last place.
    int32_t Pick(int32_t* index);
    bool Contains(int32_t id) const;

    int32_t Count() const { return int32_t(mIds.size()); }
    int32_t WeightSum() const { return mWeightSum; }
    const std::vector<int32_t>& Ids() const { return mIds; }

private:
    std::vector<int32_t> mIds;
    int32_t mUnitWeight = 0;
    int32_t mWeightSum = 0;
    std::array<int32_t, 3> mHistory{};
    int32_t mHistoryCount = 0;
};
