#include "tests/content/ContentFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace ContentTest {

namespace fs = std::filesystem;

std::string ContentFiles::Written(const std::string& name) { return std::string(LUMO_CONTENT_WRITTEN) + "/" + name; }

std::string ContentFiles::Made(const std::string& name) { return std::string(LUMO_CONTENT_MADE) + "/" + name; }

std::vector<std::string> ContentFiles::List(const std::string& root)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            names.push_back(fs::relative(entry.path(), root).generic_string());
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<TiXmlDocument> ContentFiles::Xml(const std::string& file)
{
    auto document = std::make_unique<TiXmlDocument>(Written("res/" + file));
    if (!document->LoadFile() || document->RootElement() == nullptr) {
        ADD_FAILURE() << file << ": " << document->ErrorDesc();
        return nullptr;
    }
    return document;
}

std::string ContentFiles::Attribute(const TiXmlElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? value : "";
}

std::vector<float> ContentFiles::Numbers(const std::string& list)
{
    std::vector<float> numbers;
    std::string token;
    for (char c : list + " ") {
        if (c == ',' || c == ';' || c == ' ' || c == '\t') {
            if (!token.empty())
                numbers.push_back(float(std::atof(token.c_str())));
            token.clear();
        } else {
            token += c;
        }
    }
    return numbers;
}

std::vector<const TiXmlElement*> ContentFiles::Elements(const TiXmlElement* root)
{
    std::vector<const TiXmlElement*> all{root};
    for (const TiXmlElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement()) {
        const auto below = Elements(child);
        all.insert(all.end(), below.begin(), below.end());
    }
    return all;
}

std::vector<std::string> ContentFiles::ChildTags(const TiXmlElement* root)
{
    std::vector<std::string> tags;
    for (const TiXmlElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement())
        tags.push_back(child->Value());
    return tags;
}

std::map<std::string, ImageSlot> ImageTable()
{
    std::map<std::string, ImageSlot> slots;
    const auto document = ContentFiles::Xml("imgsplats.xml");
    if (!document)
        return slots;
    for (const TiXmlElement* img = document->RootElement()->FirstChildElement("img"); img;
         img = img->NextSiblingElement("img")) {
        const std::string key = ContentFiles::Attribute(img, "src");
        std::string picture = key;
        std::replace(picture.begin(), picture.end(), '\\', '/');
        slots[key] = {picture, 0, 0, 0, 0, false};
        if (img->Attribute("start")) {
            const int start = std::atoi(img->Attribute("start"));
            const int end = std::atoi(img->Attribute("end"));
            const int w = std::atoi(img->Attribute("w")), h = std::atoi(img->Attribute("h"));
            const int dx = std::atoi(img->Attribute("dx")), dy = std::atoi(img->Attribute("dy"));
            for (int i = start, x = 0, y = 0; i <= end; ++i, x += dx, y += dy)
                slots[key + "|" + std::to_string(i)] = {picture, x, y, w, h, true};
        } else {
            for (const TiXmlElement* sprite = img->FirstChildElement("sprite"); sprite;
                 sprite = sprite->NextSiblingElement("sprite"))
                slots[key + "|" + ContentFiles::Attribute(sprite, "name")] = {
                    picture, std::atoi(sprite->Attribute("x")), std::atoi(sprite->Attribute("y")),
                    std::atoi(sprite->Attribute("w")), std::atoi(sprite->Attribute("h")), false};
        }
    }
    return slots;
}

} // namespace ContentTest
