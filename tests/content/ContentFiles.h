#pragma once

#include <tinyxml.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ContentTest {

// The sample content as built: the written files below content/res and the
// generated ones below the build's made folder, both rooted where the
// archive's names start ("res/gui.xml").
class ContentFiles {
public:
    static std::string Written(const std::string& name);
    static std::string Made(const std::string& name);
    // Every file of a root, as names relative to it with "/" separators.
    static std::vector<std::string> List(const std::string& root);
    // "res/<file>" of the written root, parsed; null (with a test failure) when it does not parse.
    static std::unique_ptr<TiXmlDocument> Xml(const std::string& file);
    static std::string Attribute(const TiXmlElement* element, const char* name);
    static std::vector<float> Numbers(const std::string& list);
    // Every element below root (itself included), in document order.
    static std::vector<const TiXmlElement*> Elements(const TiXmlElement* root);
    // The tags of root's children, in order.
    static std::vector<std::string> ChildTags(const TiXmlElement* root);
};

// The image table the game builds from imgsplats.xml: every slot name
// ("res\blocks.png|3", "res\hud_parts.png|energy") with its rectangle.
struct ImageSlot {
    std::string picture; // the made file, "res/blocks.png"
    int x, y, w, h;
    bool cel; // one of an evenly cut strip, not a named sprite
};

std::map<std::string, ImageSlot> ImageTable();

} // namespace ContentTest
