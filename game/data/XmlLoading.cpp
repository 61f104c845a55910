#include "game/data/XmlLoading.h"

#include "framework/core/AppLog.h"
#include "framework/graphics/Color.h"
#include "framework/resources/SharedPak.h"
#include "game/data/NumberLists.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

// The deepest nesting of elements the parser would recurse into, counted the
// way it reads tags: comments, CDATA, declarations and unknown tags nest
// nothing, and a quoted attribute value may hold "<", ">" or "/>". Counting
// stops past limit.
int ElementDepth(std::string_view text, int limit)
{
    int depth = 0;
    int deepest = 0;
    // The position after the first end of text from position at, npos when none.
    auto after = [&text](size_t at, std::string_view end) {
        const size_t found = text.find(end, at);
        return found == std::string_view::npos ? found : found + end.size();
    };
    size_t i = text.find('<');
    while (i != std::string_view::npos && deepest <= limit) {
        const std::string_view tag = text.substr(i);
        const unsigned char next = tag.size() > 1 ? static_cast<unsigned char>(tag[1]) : 0;
        if (tag.starts_with("<!--")) {
            i = after(i + 4, "-->");
        } else if (tag.starts_with("<![CDATA[")) {
            i = after(i + 9, "]]>");
        } else if (next == '/') {
            depth = std::max(depth - 1, 0);
            i = after(i + 2, ">");
        } else if (next == '_' || next >= 127 || std::isalpha(next)) {
            size_t j = i + 1;
            for (char quote = 0; j < text.size() && (quote != 0 || text[j] != '>'); ++j) {
                if (quote == 0 && (text[j] == '"' || text[j] == '\''))
                    quote = text[j];
                else if (text[j] == quote)
                    quote = 0;
            }
            if (j >= text.size())
                break;
            if (text[j - 1] != '/')
                deepest = std::max(deepest, ++depth);
            i = j + 1;
        } else {
            i = after(i + 1, ">");
        }
        if (i != std::string_view::npos)
            i = text.find('<', i);
    }
    return deepest;
}

} // namespace

bool LoadXmlDocument(const std::string& path, TiXmlDocument& document)
{
    document.Clear();
    document.SetValue(path);
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

    if (ElementDepth(std::string_view(buffer.data(), size_t(size)), kMaxXmlDepth) > kMaxXmlDepth) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: %s nests elements deeper than %d",
                                            path.c_str(), kMaxXmlDepth);
        return false;
    }
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

template <typename T>
bool XmlValueInRange(const TiXmlElement* element, const char* name, T value, T low, T high)
{
    const TiXmlDocument* document = element->GetDocument();
    const char* file = document ? document->Value() : "";
    if constexpr (std::is_floating_point_v<T>) {
        if (std::isfinite(value) && value >= low && value <= high)
            return true;
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR %s: <%s> %s=%g is outside %g..%g",
                                            file, element->Value(), name, double(value), double(low), double(high));
    } else {
        if (value >= low && value <= high)
            return true;
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR %s: <%s> %s=%lld is outside %lld..%lld",
                                            file, element->Value(), name, static_cast<long long>(value),
                                            static_cast<long long>(low), static_cast<long long>(high));
    }
    return false;
}

template <typename T>
T XmlRangedAttribute(const TiXmlElement* element, const char* name, T fallback, T low, T high)
{
    if (!element->Attribute(name))
        return fallback;
    T value;
    if constexpr (std::is_floating_point_v<T>)
        value = XmlFloatAttribute(element, name, fallback);
    else
        value = XmlIntAttribute(element, name, fallback);
    return XmlValueInRange(element, name, value, low, high) ? value : fallback;
}

template bool XmlValueInRange<int32_t>(const TiXmlElement*, const char*, int32_t, int32_t, int32_t);
template bool XmlValueInRange<float>(const TiXmlElement*, const char*, float, float, float);
template int32_t XmlRangedAttribute<int32_t>(const TiXmlElement*, const char*, int32_t, int32_t, int32_t);
template float XmlRangedAttribute<float>(const TiXmlElement*, const char*, float, float, float);

int32_t XmlPixelAttribute(const TiXmlElement* element, const char* name)
{
    return XmlRangedAttribute(element, name, 0, -kMaxPixels, kMaxPixels);
}

bool XmlPixelsInRange(const TiXmlElement* element, const char* name, std::initializer_list<int> values)
{
    return std::all_of(values.begin(), values.end(),
                       [&](int value) { return XmlValueInRange(element, name, value, -kMaxPixels, kMaxPixels); });
}

bool XmlColorAttribute(const TiXmlElement* element, const char* name, Lumo::Color* color)
{
    Lumo::Color read;
    ParseColor(XmlTextAttribute(element, name), &read);
    for (const int32_t component : {read.mRed, read.mGreen, read.mBlue, read.mAlpha}) {
        if (!XmlValueInRange(element, name, component, 0, 255))
            return false;
    }
    *color = read;
    return true;
}

const char* XmlTextAttribute(const TiXmlElement* element, const char* name)
{
    const char* text = element->Attribute(name);
    return text ? text : "";
}
