#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CObjBase;
class TiXmlElement;

// The frames a level graph can put around the field: an object drawn under
// the cells and one drawn over them.
class CGameBorders {
public:
    struct Border {
        int32_t mBeforeCells = -2;
        int32_t mAfterCells = -2;
    };
    static constexpr const char* kFileName = "res\\gameborders.xml";

    // Every "gameborder" child of root whose two objects exist, indexed in
    // the order they load.
    void LoadFromXml(const TiXmlElement* root, const CObjBase& objects);

    // Null for an index that names no border.
    const Border* Get(int32_t index) const;
    size_t Count() const { return mBorders.size(); }

private:
    std::vector<Border> mBorders;
};
