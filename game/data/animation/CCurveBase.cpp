#include "game/data/animation/CCurveBase.h"

#include "framework/core/AppLog.h"
#include "game/data/FloatTable.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"

#include <algorithm>

namespace {

constexpr const char* kChannelTags[4] = {"x", "y", "z", "w"};

} // namespace

CCurveBase::CCurveBase()
{
    LoadXmlDocument(kFileName, mDocument);
    const TiXmlElement* root = mDocument.FirstChildElement("root");
    if (!root) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: %s has no root", kFileName);
        return;
    }
    for (const TiXmlElement* element = root->FirstChildElement(); element; element = element->NextSiblingElement())
        LoadCurve(element);
}

std::string CCurveBase::CurveName(const TiXmlElement* element)
{
    const char* name = element->Attribute("name");
    return name && name[0] ? name : element->Value();
}

int CCurveBase::LoadCurve(const TiXmlElement* element)
{
    const std::string name = CurveName(element);
    if (auto found = mNames.find(name); found != mNames.end())
        return found->second.mChannels;

    const TiXmlElement* channelElements[4] = {};
    int channels = 0;
    for (int c = 0; c < 4; ++c) {
        channelElements[c] = element->FirstChildElement(kChannelTags[c]);
        if (channelElements[c])
            channels = c + 1;
    }
    if (channels == 0)
        return 0;

    std::vector<float>& table = SharedFloatTable();
    table.clear();
    table.reserve(32);
    size_t starts[5] = {};
    for (int c = 0; c < channels; ++c) {
        starts[c] = table.size();
        const TiXmlElement* channel = channelElements[c];
        const char* file = channel ? XmlTextAttribute(channel, "file") : "";
        const char* src = channel ? XmlTextAttribute(channel, "src") : "";
        if (file[0]) {
            LoadFloatTable(file);
        } else if (src[0]) {
            ParseFloatVector(&table, src);
        } else {
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: curve %s has no channel %s",
                                                name.c_str(), kChannelTags[c]);
            return 0;
        }
    }
    starts[channels] = table.size();
    // A value no position, colour or frame can take would spoil every sample near it.
    for (const float value : table) {
        if (!XmlValueInRange(element, "src", value, -kMaxMagnitude, kMaxMagnitude))
            return 0;
    }
    size_t points = SIZE_MAX;
    for (int c = 0; c < channels; ++c)
        points = std::min(points, starts[c + 1] - starts[c]);
    if (points == 0)
        return 0;

    auto curve = std::make_unique<CCurve>();
    curve->mChannels = channels;
    curve->mIndex = int32_t(mTables[channels - 1].size());
    curve->mValues.resize(points * size_t(channels));
    for (size_t i = 0; i < points; ++i) {
        for (int c = 0; c < channels; ++c)
            curve->mValues[i * size_t(channels) + size_t(c)] = table[starts[c] + i];
    }
    mNames[name] = Entry{curve->mIndex, channels};
    mTables[channels - 1].push_back(std::move(curve));
    return channels;
}

const CCurve* CCurveBase::FindCurveOfChannels(const std::string& name, int channels) const
{
    auto found = mNames.find(name);
    if (found == mNames.end() || found->second.mChannels != channels)
        return nullptr;
    return mTables[channels - 1][size_t(found->second.mIndex)].get();
}

const CCurve* CCurveBase::FindCurve(const std::string& name) const { return FindCurveOfChannels(name, 2); }
