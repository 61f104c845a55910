#include "framework/graphics/fonts/FontData.h"

#include "framework/core/AppLog.h"
#include "framework/core/PathUtils.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/images/AppImageServices.h"
#include "framework/graphics/images/MemoryImage.h"

#include <algorithm>
#include <memory>

namespace Lumo {

namespace {

int32_t CharIndex(const std::string& text) { return uint8_t(text[0]); }

} // namespace

const FontData::Command FontData::kCommands[] = {
    {"Define", 3, &FontData::CmdDefine},
    {"CreateHorzSpanRectList", 4, &FontData::CmdCreateHorzSpanRectList},
    {"SetDefaultPointSize", 2, &FontData::CmdSetDefaultPointSize},
    {"SetCharMap", 3, &FontData::CmdSetCharMap},
    {"CreateLayer", 2, &FontData::CmdCreateLayer},
    {"CreateLayerFrom", 3, &FontData::CmdCreateLayerFrom},
    {"LayerRequireTags", 3, &FontData::CmdLayerRequireTags},
    {"LayerExcludeTags", 3, &FontData::CmdLayerExcludeTags},
    {"LayerPointRange", 4, &FontData::CmdLayerPointRange},
    {"LayerSetPointSize", 3, &FontData::CmdLayerSetPointSize},
    {"LayerSetHeight", 3, &FontData::CmdLayerSetHeight},
    {"LayerSetImage", 3, &FontData::CmdLayerSetImage},
    {"LayerSetDrawMode", 3, &FontData::CmdLayerSetDrawMode},
    {"LayerSetColorMult", 3, &FontData::CmdLayerSetColorMult},
    {"LayerSetColorAdd", 3, &FontData::CmdLayerSetColorAdd},
    {"LayerSetAscent", 3, &FontData::CmdLayerSetAscent},
    {"LayerSetAscentPadding", 3, &FontData::CmdLayerSetAscentPadding},
    {"LayerSetLineSpacingOffset", 3, &FontData::CmdLayerSetLineSpacingOffset},
    {"LayerSetOffset", 3, &FontData::CmdLayerSetOffset},
    {"LayerSetCharWidths", 4, &FontData::CmdLayerSetCharWidths},
    {"LayerSetSpacing", 3, &FontData::CmdLayerSetSpacing},
    {"LayerSetImageMap", 4, &FontData::CmdLayerSetImageMap},
    {"LayerSetCharOffsets", 4, &FontData::CmdLayerSetCharOffsets},
    {"LayerSetKerningPairs", 4, &FontData::CmdLayerSetKerningPairs},
    {"LayerSetBaseOrder", 3, &FontData::CmdLayerSetBaseOrder},
    {"LayerSetCharOrders", 4, &FontData::CmdLayerSetCharOrders},
};

FontData::FontData()
{
    for (int i = 0; i < 256; ++i)
        mCharMap[i] = uint8_t(i);
}

FontData::~FontData() = default;

bool FontData::Load(AppImageServices* app, const std::string& file)
{
    if (mInitialized)
        return false;
    mApp = app;
    mCurrentCommand.clear();
    mFontErrorHeader = "Font Descriptor Error in " + file + "\r\n";
    mSourceFile = file;
    mInitialized = LoadDescriptor(file);
    // A font that draws nothing is refused where the reason can be read; the
    // errors of a command have said theirs already.
    const char* refusal = !mInitialized && mError.empty() ? "cannot be opened"
                          : mInitialized && mFontLayerList.empty() ? "defines no layer"
                                                                   : nullptr;
    if (refusal) {
        AppLog::GetInstance()->Printf(AppLog::kToFile, "[ERROR] ImageFont - %s %s, the font draws nothing",
                                      file.c_str(), refusal);
        mInitialized = false;
    }
    return true;
}

void FontData::AddRef() { ++mRefCount; }

void FontData::Release()
{
    if (--mRefCount <= 0)
        delete this;
}

bool FontData::Error(const std::string& message)
{
    DescParser::Error(message);
    if (mApp == nullptr)
        return false;
    std::string text = mFontErrorHeader + message;
    if (!mCurrentCommand.empty())
        text += " on Line " + FormatString("%d:\r\n\r\n", mCurrentLine) + mCurrentCommand;
    mApp->ShowFatalErrorA(text);
    return false;
}

bool FontData::HandleCommand(ListDataElement* command)
{
    const Params& params = command->mElementVector;
    const std::string word = MakeUpperCase(static_cast<SingleDataElement*>(params[0])->mValue);
    for (const Command& entry : kCommands) {
        if (word != MakeUpperCase(entry.name))
            continue;
        if (params.size() != entry.count)
            return Error("Invalid Number of Parameters");
        return (this->*entry.handler)(params);
    }
    return Error("Unknown Command");
}

bool FontData::InvalidParameter() { return Error("Invalid Paramater Type"); }

bool FontData::ParamName(DataElement* element, std::string& out)
{
    if (element->mIsList)
        return InvalidParameter();
    out = MakeUpperCase(static_cast<SingleDataElement*>(element)->mValue);
    return true;
}

bool FontData::ParamLayer(DataElement* element, FontLayer*& out)
{
    if (element->mIsList)
        return InvalidParameter();
    auto found = mFontLayerMap.find(MakeUpperCase(static_cast<SingleDataElement*>(element)->mValue));
    if (found == mFontLayerMap.end()) {
        Error("Undefined Layer");
        return InvalidParameter();
    }
    out = found->second;
    return true;
}

bool FontData::ParamInt(DataElement* element, int& out)
{
    int32_t value = 0;
    if (element->mIsList || !ParseInt(static_cast<SingleDataElement*>(element)->mValue, &value))
        return InvalidParameter();
    out = value;
    return true;
}

bool FontData::ParamString(DataElement* element, std::string& out)
{
    return DataToString(element, out) || InvalidParameter();
}

bool FontData::ParamStringList(DataElement* element, std::vector<std::string>& out)
{
    return DataToStringVector(element, out) || InvalidParameter();
}

bool FontData::ParamIntList(DataElement* element, std::vector<int>& out)
{
    return DataToIntVector(element, out) || InvalidParameter();
}

bool FontData::ParamColor(DataElement* element, Color& out)
{
    if (element->mIsList) {
        std::vector<double> values;
        if (!DataToDoubleVector(element, values) || values.size() != 4)
            return InvalidParameter();
        out = Color(int(values[0] * 255), int(values[1] * 255), int(values[2] * 255), int(values[3] * 255));
        return true;
    }
    int32_t packed = 0;
    if (!ParseInt(static_cast<SingleDataElement*>(element)->mValue, &packed))
        return InvalidParameter();
    out = Color(int(packed));
    return true;
}

bool FontData::CmdDefine(const Params& params)
{
    std::string name;
    if (!ParamName(params[1], name))
        return false;
    if (IsImmediate(static_cast<SingleDataElement*>(params[1])->mValue))
        return InvalidParameter();
    DataElement* value = nullptr;
    if (params[2]->mIsList) {
        auto list = std::make_unique<ListDataElement>();
        if (!Dereference(static_cast<ListDataElement*>(params[2]), list.get()))
            return false;
        value = list.release();
    } else if (DataElement* define = GetDefine(static_cast<SingleDataElement*>(params[2])->mValue)) {
        value = define->Duplicate();
    } else {
        value = params[2]->Duplicate();
    }
    auto existing = mDefineMap.find(name);
    if (existing != mDefineMap.end())
        delete existing->second;
    mDefineMap[name] = value;
    return true;
}

bool FontData::CmdCreateHorzSpanRectList(const Params& params)
{
    std::string name;
    std::vector<int> rect;
    std::vector<int> widths;
    if (!ParamName(params[1], name) || !ParamIntList(params[2], rect) || !ParamIntList(params[3], widths))
        return false;
    if (rect.size() != 4)
        return InvalidParameter();
    auto list = std::make_unique<ListDataElement>();
    int64_t x = rect[0];
    for (int width : widths) {
        auto* item = new ListDataElement;
        list->mElementVector.push_back(item);
        for (int64_t value : {x, int64_t(rect[1]), int64_t(width), int64_t(rect[3])})
            item->mElementVector.push_back(new SingleDataElement(FormatString("%d", int(int32_t(value)))));
        x += width;
    }
    auto existing = mDefineMap.find(name);
    if (existing != mDefineMap.end())
        delete existing->second;
    mDefineMap[name] = list.release();
    return true;
}

bool FontData::CmdSetDefaultPointSize(const Params& params)
{
    int value = 0;
    if (!ParamInt(params[1], value))
        return false;
    mDefaultPointSize = value;
    return true;
}

bool FontData::CmdSetCharMap(const Params& params)
{
    std::vector<std::string> from;
    std::vector<std::string> to;
    if (!ParamStringList(params[1], from) || !ParamStringList(params[2], to))
        return false;
    if (from.size() != to.size())
        return Error("List Size Mismatch");
    bool allValid = true;
    for (size_t i = 0; i < from.size(); ++i) {
        if (from[i].size() != 1 || to[i].size() != 1) {
            allValid = false;
            continue;
        }
        mCharMap[CharIndex(from[i])] = uint8_t(to[i][0]);
    }
    return allValid || InvalidParameter();
}

bool FontData::CmdCreateLayer(const Params& params)
{
    std::string name;
    if (!ParamName(params[1], name))
        return false;
    if (mFontLayerMap.count(name) != 0)
        return Error("Layer Already Exists");
    mFontLayerList.emplace_back(this);
    mFontLayerMap[name] = &mFontLayerList.back();
    return true;
}

bool FontData::CmdCreateLayerFrom(const Params& params)
{
    std::string name;
    FontLayer* source = nullptr;
    if (!ParamName(params[1], name) || !ParamLayer(params[2], source))
        return false;
    if (mFontLayerMap.count(name) != 0)
        return Error("Layer Already Exists");
    mFontLayerList.push_back(*source);
    mFontLayerMap[name] = &mFontLayerList.back();
    return true;
}

bool FontData::LayerTags(const Params& params, std::vector<std::string> FontLayer::*field)
{
    FontLayer* layer = nullptr;
    std::vector<std::string> tags;
    if (!ParamLayer(params[1], layer) || !ParamStringList(params[2], tags))
        return false;
    for (const std::string& tag : tags)
        (layer->*field).push_back(MakeUpperCase(tag));
    return true;
}

bool FontData::CmdLayerRequireTags(const Params& params) { return LayerTags(params, &FontLayer::mRequiredTags); }

bool FontData::CmdLayerExcludeTags(const Params& params) { return LayerTags(params, &FontLayer::mExcludedTags); }

bool FontData::CmdLayerPointRange(const Params& params)
{
    FontLayer* layer = nullptr;
    int minimum = 0;
    int maximum = 0;
    if (!ParamLayer(params[1], layer) || !ParamInt(params[2], minimum) || !ParamInt(params[3], maximum))
        return false;
    layer->mMinPointSize = minimum;
    layer->mMaxPointSize = maximum;
    return true;
}

bool FontData::LayerInt(const Params& params, int32_t FontLayer::*field)
{
    FontLayer* layer = nullptr;
    int value = 0;
    if (!ParamLayer(params[1], layer) || !ParamInt(params[2], value))
        return false;
    layer->*field = value;
    return true;
}

bool FontData::CmdLayerSetPointSize(const Params& params) { return LayerInt(params, &FontLayer::mPointSize); }

bool FontData::CmdLayerSetHeight(const Params& params) { return LayerInt(params, &FontLayer::mHeight); }

bool FontData::CmdLayerSetAscent(const Params& params) { return LayerInt(params, &FontLayer::mAscent); }

bool FontData::CmdLayerSetAscentPadding(const Params& params)
{
    return LayerInt(params, &FontLayer::mAscentPadding);
}

bool FontData::CmdLayerSetLineSpacingOffset(const Params& params)
{
    return LayerInt(params, &FontLayer::mLineSpacingOffset);
}

bool FontData::CmdLayerSetSpacing(const Params& params) { return LayerInt(params, &FontLayer::mSpacing); }

bool FontData::CmdLayerSetBaseOrder(const Params& params) { return LayerInt(params, &FontLayer::mBaseOrder); }

bool FontData::CmdLayerSetImage(const Params& params)
{
    FontLayer* layer = nullptr;
    std::string file;
    if (!ParamLayer(params[1], layer) || !ParamString(params[2], file))
        return false;
    const std::string path = ResolveRelativePath(file, PathDirectoryPart(mSourceFile));
    bool isNew = false;
    SharedImageRef image;
    if (mApp != nullptr)
        image = mApp->FindOrLoadSharedImage(path, "", &isNew);
    if (image.GetImage() == nullptr)
        return Error("Failed to Load Image");
    if (isNew) {
        if (auto* memoryImage = dynamic_cast<MemoryImage*>(image.GetImage()))
            memoryImage->Palettize();
    }
    layer->mImage = image;
    return true;
}

bool FontData::CmdLayerSetDrawMode(const Params& params)
{
    FontLayer* layer = nullptr;
    int mode = 0;
    if (!ParamLayer(params[1], layer) || !ParamInt(params[2], mode))
        return false;
    if (mode != 0 && mode != 1)
        return InvalidParameter();
    layer->mDrawMode = mode;
    return true;
}

bool FontData::LayerColor(const Params& params, Color FontLayer::*field)
{
    FontLayer* layer = nullptr;
    Color color;
    if (!ParamLayer(params[1], layer) || !ParamColor(params[2], color))
        return false;
    layer->*field = color;
    return true;
}

bool FontData::CmdLayerSetColorMult(const Params& params) { return LayerColor(params, &FontLayer::mColorMult); }

bool FontData::CmdLayerSetColorAdd(const Params& params) { return LayerColor(params, &FontLayer::mColorAdd); }

bool FontData::CmdLayerSetOffset(const Params& params)
{
    FontLayer* layer = nullptr;
    std::vector<int> offset;
    if (!ParamLayer(params[1], layer) || !ParamIntList(params[2], offset))
        return false;
    if (offset.size() != 2)
        return InvalidParameter();
    layer->mOffsetX = offset[0];
    layer->mOffsetY = offset[1];
    return true;
}

bool FontData::LayerCharInts(const Params& params, int32_t FontLayerChar::*field)
{
    FontLayer* layer = nullptr;
    std::vector<std::string> chars;
    std::vector<int> values;
    if (!ParamLayer(params[1], layer) || !ParamStringList(params[2], chars) || !ParamIntList(params[3], values))
        return false;
    if (chars.size() != values.size())
        return Error("List Size Mismatch");
    bool allValid = true;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i].size() != 1) {
            allValid = false;
            continue;
        }
        layer->mCharData[CharIndex(chars[i])].*field = values[i];
    }
    return allValid || InvalidParameter();
}

bool FontData::CmdLayerSetCharWidths(const Params& params) { return LayerCharInts(params, &FontLayerChar::mWidth); }

bool FontData::CmdLayerSetCharOrders(const Params& params) { return LayerCharInts(params, &FontLayerChar::mOrder); }

bool FontData::CmdLayerSetImageMap(const Params& params)
{
    FontLayer* layer = nullptr;
    std::vector<std::string> chars;
    ListDataElement rects;
    if (!ParamLayer(params[1], layer))
        return false;
    Image* image = layer->mImage.GetImage();
    if (image == nullptr)
        return Error("Layer image not set");
    if (!ParamStringList(params[2], chars))
        return false;
    if (!DataToList(params[3], &rects))
        return InvalidParameter();
    if (chars.size() != rects.mElementVector.size())
        return Error("List Size Mismatch");
    bool allValid = true;
    for (size_t i = 0; i < chars.size(); ++i) {
        std::vector<int> rect;
        if (!DataToIntVector(rects.mElementVector[i], rect) || rect.size() != 4)
            return InvalidParameter();
        // A negative size would read outside the image as surely as a
        // rectangle past its edge.
        if (rect[0] < 0 || rect[1] < 0 || rect[2] < 0 || rect[3] < 0 ||
            int64_t(rect[0]) + rect[2] > image->mWidth || int64_t(rect[1]) + rect[3] > image->mHeight)
            return Error("Image rectangle out of bounds");
        if (chars[i].size() != 1) {
            allValid = false;
            continue;
        }
        layer->mCharData[CharIndex(chars[i])].mImageRect = Rect{rect[0], rect[1], rect[2], rect[3]};
    }
    int32_t height = 0;
    for (const FontLayerChar& data : layer->mCharData)
        height = std::max(height, data.mImageRect.mHeight + data.mOffsetY);
    layer->mDefaultHeight = height;
    return allValid || InvalidParameter();
}

bool FontData::CmdLayerSetCharOffsets(const Params& params)
{
    FontLayer* layer = nullptr;
    std::vector<std::string> chars;
    ListDataElement offsets;
    if (!ParamLayer(params[1], layer) || !ParamStringList(params[2], chars))
        return false;
    if (!DataToList(params[3], &offsets))
        return InvalidParameter();
    if (chars.size() != offsets.mElementVector.size())
        return Error("List Size Mismatch");
    bool allValid = true;
    for (size_t i = 0; i < chars.size(); ++i) {
        std::vector<int> offset;
        if (!DataToIntVector(offsets.mElementVector[i], offset) || offset.size() != 2)
            return InvalidParameter();
        if (chars[i].size() != 1) {
            allValid = false;
            continue;
        }
        FontLayerChar& data = layer->mCharData[CharIndex(chars[i])];
        data.mOffsetX = offset[0];
        data.mOffsetY = offset[1];
    }
    return allValid || InvalidParameter();
}

bool FontData::CmdLayerSetKerningPairs(const Params& params)
{
    FontLayer* layer = nullptr;
    std::vector<std::string> pairs;
    std::vector<int> values;
    if (!ParamLayer(params[1], layer) || !ParamStringList(params[2], pairs) || !ParamIntList(params[3], values))
        return false;
    if (pairs.size() != values.size())
        return Error("List Size Mismatch");
    bool allValid = true;
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].size() != 2) {
            allValid = false;
            continue;
        }
        layer->mCharData[CharIndex(pairs[i])].mKerningOffsets[uint8_t(pairs[i][1])] = int8_t(uint8_t(values[i]));
    }
    return allValid || InvalidParameter();
}

} // namespace Lumo
