#include "platform/storage/FontFiles.h"

#include <fontconfig/fontconfig.h>

namespace Platform {

namespace {

// The program's face names and the installed face drawn in their place; the
// desktop's own choice for any other.
struct FaceSubstitute {
    const char* name;
    const char* substitute;
};
const FaceSubstitute kFaceSubstitutes[] = {
    {"Tahoma", "DejaVu Sans"},
    {"Arial", "DejaVu Sans"},
    {"Arial Unicode MS", "DejaVu Sans"},
    {"Courier New", "DejaVu Sans Mono"},
};

} // namespace

bool FindFontFile(const std::string& faceName, bool bold, std::string* path, int* index)
{
    std::string family = faceName;
    for (const FaceSubstitute& entry : kFaceSubstitutes) {
        if (faceName == entry.name)
            family = entry.substitute;
    }
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr)
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (bold)
        FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    bool found = false;
    if (match != nullptr) {
        FcChar8* file = nullptr;
        int faceIndex = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex);
            *path = reinterpret_cast<const char*>(file);
            *index = faceIndex;
            found = true;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return found;
}

} // namespace Platform
