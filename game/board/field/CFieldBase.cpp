#include "game/board/field/CFieldBase.h"

#include "framework/core/AppLog.h"
#include "game/board/field/CCellGrid.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"

#include <algorithm>
#include <tinyxml.h>

namespace {

// A side of a field in cells: 0, refused and logged, when outside the grid.
int32_t Side(const TiXmlElement* field, const char* name)
{
    return XmlRangedAttribute(field, name, 0, 1, CCellGrid::kMaxCells);
}

const char* ShapeError(int32_t w, int32_t h, const std::vector<int32_t>& colours)
{
    if (w <= 0 || h <= 0 || int64_t(w) * h > CCellGrid::kMaxCells)
        return "a size without cells or beyond the grid";
    if (int64_t(colours.size()) != int64_t(w) * h)
        return "a colour count other than w x h";
    if (std::any_of(colours.begin(), colours.end(),
                    [](int32_t c) { return c < 0 || c >= CCellGrid::kMaxColours; }))
        return "a colour outside 0 to 15";
    return nullptr;
}

} // namespace

bool CFieldBase::LoadFromXml(const TiXmlElement* root)
{
    int64_t cells = 0;
    size_t count = 0;
    for (const TiXmlElement* e = root ? root->FirstChildElement("field") : nullptr; e;
         e = e->NextSiblingElement("field")) {
        ++count;
        // Each field at most a grid's worth: extreme sides would overflow the sum.
        cells += std::clamp<int64_t>(int64_t(XmlIntAttribute(e, "w", 0)) * XmlIntAttribute(e, "h", 0), 0,
                                     CCellGrid::kMaxCells);
    }
    mColours.clear();
    mColours.reserve(size_t(cells));
    mShapes.clear();
    mShapes.reserve(count);

    std::vector<int32_t> colours;
    for (const TiXmlElement* e = root ? root->FirstChildElement("field") : nullptr; e;
         e = e->NextSiblingElement("field")) {
        colours.clear();
        const char* text = e->GetText();
        ParseIntList(text ? text : "", &colours);
        const int32_t w = Side(e, "w");
        const int32_t h = Side(e, "h");
        const char* name = XmlTextAttribute(e, "name");
        if (const char* error = ShapeError(w, h, colours)) {
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR field '%s' left out: %s", name, error);
            continue;
        }
        mShapes.push_back({w, h, w * h, int32_t(mColours.size())});
        mColours.insert(mColours.end(), colours.begin(), colours.end());
        mNames[name] = int32_t(mShapes.size()) - 1;
    }
    return true;
}

bool CFieldBase::FindShape(const std::string& name, int32_t* index) const
{
    const auto it = mNames.find(name);
    if (it == mNames.end())
        return false;
    *index = it->second;
    return true;
}

const FieldShape* CFieldBase::Shape(int32_t index) const
{
    return index >= 0 && size_t(index) < mShapes.size() ? &mShapes[size_t(index)] : nullptr;
}
