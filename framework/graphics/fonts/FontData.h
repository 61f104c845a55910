#pragma once

#include "framework/graphics/descriptor/DescParser.h"
#include "framework/graphics/fonts/FontLayer.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace Lumo {

class AppImageServices;
class Color;

// A parsed font descriptor: named layers of glyphs, a character map and a
// default point size. Shared by an image font and its copies through a
// reference count.
class FontData : public DescParser {
public:
    FontData();
    ~FontData() override;

    // Shown in the application's fatal-error box with the file, the line
    // and the command; returns false.
    bool Error(const std::string& message) override;
    bool HandleCommand(ListDataElement* command) override;

    // False only when an earlier load succeeded; otherwise whether the
    // descriptor loaded is kept in mInitialized.
    bool Load(AppImageServices* app, const std::string& file);
    void AddRef();
    // Deletes the font data at the last release.
    void Release();

    bool mInitialized = false;
    int32_t mRefCount = 0;
    AppImageServices* mApp = nullptr;
    int32_t mDefaultPointSize = 0;
    // Entry c: the character drawn for character c.
    uint8_t mCharMap[256];
    std::list<FontLayer> mFontLayerList;
    // Upper-cased names.
    std::map<std::string, FontLayer*> mFontLayerMap;
    std::string mSourceFile;
    std::string mFontErrorHeader;

private:
    using Params = std::vector<DataElement*>;

    bool ParamName(DataElement* element, std::string& out);
    bool ParamLayer(DataElement* element, FontLayer*& out);
    bool ParamInt(DataElement* element, int& out);
    bool ParamString(DataElement* element, std::string& out);
    bool ParamStringList(DataElement* element, std::vector<std::string>& out);
    bool ParamIntList(DataElement* element, std::vector<int>& out);
    bool ParamColor(DataElement* element, Color& out);
    bool InvalidParameter();
    bool CmdDefine(const Params& params);
    bool CmdCreateHorzSpanRectList(const Params& params);
    bool CmdSetDefaultPointSize(const Params& params);
    bool CmdSetCharMap(const Params& params);
    bool CmdCreateLayer(const Params& params);
    bool CmdCreateLayerFrom(const Params& params);
    bool CmdLayerRequireTags(const Params& params);
    bool CmdLayerExcludeTags(const Params& params);
    bool CmdLayerPointRange(const Params& params);
    bool CmdLayerSetPointSize(const Params& params);
    bool CmdLayerSetHeight(const Params& params);
    bool CmdLayerSetImage(const Params& params);
    bool CmdLayerSetDrawMode(const Params& params);
    bool CmdLayerSetColorMult(const Params& params);
    bool CmdLayerSetColorAdd(const Params& params);
    bool CmdLayerSetAscent(const Params& params);
    bool CmdLayerSetAscentPadding(const Params& params);
    bool CmdLayerSetLineSpacingOffset(const Params& params);
    bool CmdLayerSetOffset(const Params& params);
    bool CmdLayerSetCharWidths(const Params& params);
    bool CmdLayerSetSpacing(const Params& params);
    bool CmdLayerSetImageMap(const Params& params);
    bool CmdLayerSetCharOffsets(const Params& params);
    bool CmdLayerSetKerningPairs(const Params& params);
    bool CmdLayerSetBaseOrder(const Params& params);
    bool CmdLayerSetCharOrders(const Params& params);

    bool LayerInt(const Params& params, int32_t FontLayer::*field);
    bool LayerTags(const Params& params, std::vector<std::string> FontLayer::*field);
    bool LayerColor(const Params& params, Color FontLayer::*field);
    // Per character of the string list, its number from the int list.
    bool LayerCharInts(const Params& params, int32_t FontLayerChar::*field);

    struct Command {
        const char* name;
        size_t count;
        bool (FontData::*handler)(const Params&);
    };
    static const Command kCommands[];
};

} // namespace Lumo
