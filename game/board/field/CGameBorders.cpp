#include "game/board/field/CGameBorders.h"

#include "framework/core/AppLog.h"
#include "game/data/XmlLoading.h"
#include "game/data/pictures/CObjBase.h"

#include <tinyxml.h>

void CGameBorders::LoadFromXml(const TiXmlElement* root, const CObjBase& objects)
{
    mBorders.clear();
    mBorders.reserve(5);
    int32_t count = 0;
    for (const TiXmlElement* e = root ? root->FirstChildElement("gameborder") : nullptr; e;
         e = e->NextSiblingElement("gameborder"), ++count) {
        Border border;
        if (objects.FindObject(XmlTextAttribute(e, "beforecells"), &border.mBeforeCells) &&
            objects.FindObject(XmlTextAttribute(e, "aftercells"), &border.mAfterCells))
            mBorders.push_back(border);
        else
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "error loading border id=%d", count);
    }
}

const CGameBorders::Border* CGameBorders::Get(int32_t index) const
{
    return index >= 0 && size_t(index) < mBorders.size() ? &mBorders[size_t(index)] : nullptr;
}
