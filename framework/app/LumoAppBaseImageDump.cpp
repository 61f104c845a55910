#include "framework/app/LumoAppBase.h"

#include "framework/core/AppLog.h"
#include "framework/core/PathUtils.h"
#include "framework/core/StringUtils.h"
#include "framework/core/UserDataFolder.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/TextureData.h"
#include "framework/graphics/codecs/ImageLib.h"
#include "platform/storage/AtomicFile.h"
#include "platform/process/Clock.h"
#include "platform/storage/Files.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <mutex>

namespace Lumo {

using namespace Platform;

namespace {

constexpr int kThumbSize = 64;

enum Column { kBits, kPalette, kSurface, kTexture, kNativeAlpha, kRunLengthAlpha, kRunLengthAdditive, kColumns };

constexpr const char* kColumnLabels[kColumns] = {"mBits<BR>",       "Palletized<BR>", "DDSurface<BR>", "Texture<BR>",
                                                  "NativeAlpha<BR>", "RLAlpha<BR>",    "RLAdditive<BR>"};

// What one image keeps in memory, by form; -1 where it lacks the form.
struct ImageMemory {
    MemoryImage* image;
    std::array<int64_t, kColumns> amounts;
    int64_t total;
};

ImageMemory Measure(MemoryImage* image)
{
    const int64_t pixels = int64_t(image->mWidth) * image->mHeight;
    const auto* surfaceImage = dynamic_cast<const DDImage*>(image);
    ImageMemory memory{image, {}, 0};
    memory.amounts[kBits] = image->bits ? 4 * pixels : -1;
    memory.amounts[kPalette] = image->colorTable ? pixels + 1024 : -1;
    memory.amounts[kSurface] = surfaceImage && surfaceImage->mSurface ? 4 * pixels : -1;
    memory.amounts[kTexture] = image->textureData ? image->textureData->mTextureMemory : -1;
    memory.amounts[kNativeAlpha] = image->nativeAlphaData ? (image->colorTable ? 1024 : 4 * pixels) : -1;
    memory.amounts[kRunLengthAlpha] = image->runLengthAlphaData ? pixels : -1;
    memory.amounts[kRunLengthAdditive] = image->runLengthAdditiveData ? pixels : -1;
    for (const int64_t amount : memory.amounts)
        memory.total += std::max<int64_t>(amount, 0);
    return memory;
}

std::string Cell(const std::string& content) { return "<TD>" + content + "</TD>\n"; }

std::string MemoryCell(const ImageMemory& memory, Column column)
{
    const int64_t amount = memory.amounts[column];
    if (amount < 0)
        return Cell("&nbsp;");
    // The texture cell names its pixel format between label and amount.
    const std::string format =
        column == kTexture
            ? std::string(D3DInterface::TexturePixelTypeName(memory.image->textureData->mPixelType)) + "<BR>"
            : std::string();
    return Cell(kColumnLabels[column] + format + CommaSeparate(amount));
}

// The standard calendar-time text of now, newline included.
std::string LocalTimeText()
{
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    std::strftime(text, sizeof(text), "%a %b %e %H:%M:%S %Y\n", std::localtime(&now));
    return text;
}

// The full-size pixels and the nearest-sampled thumbnail of an image that
// has any; an image whose textures hold its only copy is read back from them.
void WriteImageFiles(const MemoryImage& image, D3DInterface* device, const std::string& folder, int number)
{
    MemoryImage copy(image);
    const bool onlyTextures = !image.bits && !image.colorTable && !image.nativeAlphaData && image.textureData;
    uint32_t* pixels = copy.GetPixelBits();
    if (!pixels)
        return;
    if (onlyTextures && device)
        device->CopyTexturesToBits(&image, pixels);
    const int width = copy.mWidth;
    const int height = copy.mHeight;
    ImageLib::Image thumb(kThumbSize, kThumbSize);
    for (int y = 0; y < kThumbSize; ++y) {
        const int sourceY = int((y + 0.5) * height) / kThumbSize;
        for (int x = 0; x < kThumbSize; ++x) {
            const int sourceX = int((x + 0.5) * width) / kThumbSize;
            thumb.GetBits()[y * kThumbSize + x] = pixels[size_t(sourceY) * size_t(width) + size_t(sourceX)];
        }
    }
    ImageLib::WriteJPEGImage(folder + FormatString("thumb%04d.jpg", number), &thumb);
    ImageLib::Image full(width, height);
    std::copy_n(pixels, size_t(width) * size_t(height), full.GetBits());
    ImageLib::WritePNGImage(folder + FormatString("img%04d.png", number), &full);
}

} // namespace

void LumoAppBase::DumpImages()
{
    const std::string folder = GetUserDataFolder() + "_dump\\";
    // A link in the dump's place goes itself; what it leads to is not the dump's.
    const std::string link = RemoveTrailingSlash(folder);
    if (IsSymbolicLink(link))
        DeleteFileA(link.c_str());
    DeleteFolderTree(folder);
    // A folder just removed can linger a moment; creating it again until it
    // reports that it exists outlasts that.
    while (CreateDirectoryA(folder.c_str()))
        Sleep(100);
    if (IsSymbolicLink(link)) {
        AppLog::GetInstance()->Printf(AppLog::kToFile, "Image dump not written: \"%s\" is a link",
                                      NativePath(link).c_str());
        return;
    }

    // Images leave the set on other threads; none may go while it is read.
    std::lock_guard<CriticalSectionHolder> hold(GetDisplayLock());
    std::vector<ImageMemory> images;
    std::array<int64_t, kColumns> columnTotals{};
    int64_t grandTotal = 0;
    for (MemoryImage* image : mImageServices->ImagesInSet()) {
        images.push_back(Measure(image));
        grandTotal += images.back().total;
        for (int column = 0; column < kColumns; ++column)
            columnTotals[column] += std::max<int64_t>(images.back().amounts[column], 0);
    }
    std::stable_sort(images.begin(), images.end(),
                     [](const ImageMemory& a, const ImageMemory& b) { return a.total > b.total; });

    std::string html = "<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>" + LocalTimeText() +
                       "</B></FONT><BR>\n" + "Total Image Allocation: " + CommaSeparate(grandTotal) + " bytes<BR>" +
                       "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>";
    for (size_t number = 0; number < images.size(); ++number) {
        const ImageMemory& memory = images[number];
        const MemoryImage& image = *memory.image;
        html += "<TR>\n";
        html += Cell(FormatString("<A HREF=img%04d.png><IMG SRC=thumb%04d.jpg WIDTH=%d HEIGHT=%d></A>", int(number),
                                  int(number), kThumbSize, kThumbSize));
        html += "<TD ALIGN=RIGHT>" +
                FormatString("%d x %d<BR>%s bytes", image.mWidth, image.mHeight, CommaSeparate(memory.total).c_str()) +
                "</TD>\n";
        for (const Column column : {kBits, kPalette, kSurface, kTexture})
            html += MemoryCell(memory, column);
        html += Cell(image.blitShortcut ? "Volatile" : "&nbsp;");
        html += Cell(image.alphaFlagsForced ? "Forced" : "&nbsp;");
        html += Cell(image.hasTranslucency ? "HasAlpha" : "&nbsp;");
        html += Cell(image.hasTransparency ? "HasTrans" : "&nbsp;");
        for (const Column column : {kNativeAlpha, kRunLengthAlpha, kRunLengthAdditive})
            html += MemoryCell(memory, column);
        html += Cell(image.mName.empty() ? "&nbsp;" : image.mName);
        html += "</TR>\n";
        WriteImageFiles(image, mDDInterface ? mDDInterface->mD3DInterface.get() : nullptr, folder, int(number));
    }
    html += Cell("Totals") + Cell(CommaSeparate(grandTotal));
    for (const Column column : {kBits, kPalette, kSurface, kTexture})
        html += Cell(CommaSeparate(columnTotals[column]));
    for (int flag = 0; flag < 4; ++flag)
        html += Cell("&nbsp;");
    for (const Column column : {kNativeAlpha, kRunLengthAlpha, kRunLengthAdditive})
        html += Cell(CommaSeparate(columnTotals[column]));
    html += Cell("&nbsp;") + "</TABLE></CENTER></BODY></HTML>";
    std::string error;
    if (!WriteFileAtomically(NativePath(folder + "imagelist.html"), html, &error, AtLink::kReplace))
        AppLog::GetInstance()->Printf(AppLog::kToFile, "Image dump not written: %s", error.c_str());
}

} // namespace Lumo
