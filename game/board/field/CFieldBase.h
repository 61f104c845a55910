#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class TiXmlElement;

// A fixed field content: its size and where its colours start in the colour list.
struct FieldShape {
    int32_t mW = 0;
    int32_t mH = 0;
    int32_t mCount = 0;
    int32_t mStart = 0;
};

// The named field contents a level can start from instead of a random fill.
class CFieldBase {
public:
    static constexpr const char* kFileName = "res\\fields.xml";

    // Every "field" child of root. A shape whose text does not hold exactly
    // w x h colours of 0 to 15 is logged and left out.
    bool LoadFromXml(const TiXmlElement* root);

    bool FindShape(const std::string& name, int32_t* index) const;
    // Null for an index that names no shape.
    const FieldShape* Shape(int32_t index) const;
    // Colour i (row-major) of the shape.
    int32_t Colour(const FieldShape& shape, int32_t i) const { return mColours[size_t(shape.mStart + i)]; }
    size_t ShapeCount() const { return mShapes.size(); }
    const std::vector<int32_t>& Colours() const { return mColours; }

private:
    std::unordered_map<std::string, int32_t> mNames;
    std::vector<FieldShape> mShapes;
    std::vector<int32_t> mColours;
};
