#pragma once

#include "game/data/animation/CCurve.h"

#include <tinyxml.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// The named curves of one to four channels: those of the curve file and the
// inline curves of track and animation definitions. The first curve of a
// name wins.
class CCurveBase {
public:
    static constexpr const char* kFileName = "res\\curves.xml";

    // Loads every child of the curve file's "root" element.
    CCurveBase();
    CCurveBase(const CCurveBase&) = delete;
    CCurveBase& operator=(const CCurveBase&) = delete;

    // Reads the "x", "y", "z" and "w" children of element into a curve named
    // by CurveName and returns its channel count; 0 when the element gives no
    // usable curve. A name registered already returns its channel count.
    int LoadCurve(const TiXmlElement* element);
    // The element's "name" attribute when it is not empty, else its tag.
    static std::string CurveName(const TiXmlElement* element);

    // The 2-channel curve of the name; null for any other.
    const CCurve* FindCurve(const std::string& name) const;
    // The curve of the name when it has that many channels; null otherwise.
    const CCurve* FindCurveOfChannels(const std::string& name, int channels) const;
    // The number of curves of that many channels (1 to 4).
    size_t CurveCount(int channels) const { return mTables[channels - 1].size(); }

private:
    struct Entry {
        int32_t mIndex;
        int32_t mChannels;
    };

    // Tables by channel count, index channels - 1.
    std::vector<std::unique_ptr<CCurve>> mTables[4];
    std::unordered_map<std::string, Entry> mNames;
    TiXmlDocument mDocument;
};
