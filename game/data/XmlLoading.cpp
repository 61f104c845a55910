#include "game/data/XmlLoading.h"

#include "framework/core/AppLog.h"
#include "framework/resources/SharedPak.h"
#include "game/data/NumberLists.h"

#include <vector>

bool LoadXmlDocument(const std::string& path, TiXmlDocument& document)
{
    document.Clear();
    PakFileHandle* file = Lumo::PakOpen(path.c_str(), "rb");
    if (!file) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: can't open %s", path.c_str());
        return false;
    }
    Lumo::PakSeek(file, 0, 2);
    const long size = Lumo::PakTell(file);
    Lumo::PakSeek(file, 0, 0);
    std::vector<char> buffer(size_t(size > 0 ? size : 0) + 1, '\0');
    const bool read = size > 0 && Lumo::PakRead(buffer.data(), int(size), 1, file) == 1;
    Lumo::PakClose(file);
    if (!read)
        return false;

    // Piece rows are separated by line breaks inside element text.
    TiXmlBase::SetCondenseWhiteSpace(false);
    document.Parse(buffer.data(), nullptr, TIXML_DEFAULT_ENCODING);
    if (document.Error()) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: %s line %d: %s", path.c_str(),
                                            document.ErrorRow(), document.ErrorDesc());
        document.Clear();
        return false;
    }
    return true;
}

int XmlCountChildElements(const TiXmlElement* element, const char* name)
{
    if (!element)
        return 0;
    int count = 0;
    for (const TiXmlElement* child = element->FirstChildElement(name); child;
         child = child->NextSiblingElement(name))
        ++count;
    return count;
}

const TiXmlElement* XmlFindWindowByName(const TiXmlElement* parent, const std::string& name)
{
    if (!parent)
        return nullptr;
    for (const TiXmlElement* window = parent->FirstChildElement("window"); window;
         window = window->NextSiblingElement("window")) {
        const char* windowName = window->Attribute("name");
        if (windowName && name == windowName)
            return window;
    }
    return nullptr;
}

int32_t XmlIntAttribute(const TiXmlElement* element, const char* name, int32_t fallback)
{
    const char* text = element->Attribute(name);
    return text ? TextToInt(text) : fallback;
}

float XmlFloatAttribute(const TiXmlElement* element, const char* name, float fallback)
{
    const char* text = element->Attribute(name);
    return text ? TextToFloat(text) : fallback;
}

const char* XmlTextAttribute(const TiXmlElement* element, const char* name)
{
    const char* text = element->Attribute(name);
    return text ? text : "";
}
