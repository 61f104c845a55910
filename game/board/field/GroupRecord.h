#pragma once

#include <cstdint>
#include <vector>

// One colour group: its id and the cell indices of its members.
struct GroupRecord {
    int32_t mId = 0;
    std::vector<int32_t> mMembers;

    int32_t Count() const { return int32_t(mMembers.size()); }
};
