#include "framework/graphics/fonts/ImageFont.h"

#include "framework/core/AppLog.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/images/AppImageServices.h"
#include "framework/graphics/fonts/FontData.h"
#include "framework/graphics/fonts/FontRenderRecord.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/ImageHost.h"
#include "framework/graphics/images/MemoryImage.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace Lumo {

namespace {

constexpr int kRenderRecordCount = 4096;
constexpr int kBucketCount = 256;

// Shared by every image font: one string is queued and drawn at a time.
struct RenderQueue {
    std::mutex lock;
    FontRenderRecord records[kRenderRecordCount];
    FontRenderRecord* first[kBucketCount];
    FontRenderRecord* last[kBucketCount];
};

RenderQueue& GetRenderQueue()
{
    static RenderQueue queue;
    return queue;
}

std::atomic<bool> gDroppedGlyphsLogged{false};

uint8_t MapChar(const FontData* data, char c) { return data->mCharMap[uint8_t(c)]; }

int32_t Tint(int32_t multiply, int32_t color, int32_t add) { return std::min(multiply * color / 255 + add, 255); }

} // namespace

ImageFont::ImageFont(AppImageServices* app, const std::string& descriptorFile) : mFontData(new FontData)
{
    mFontData->AddRef();
    mFontData->Load(app, descriptorFile);
    mPointSize = mFontData->mDefaultPointSize;
    PrepareLayers();
    mActiveListValid = true;
}

ImageFont::ImageFont(const ImageFont& other)
    : Font(other), mFontData(other.mFontData), mPointSize(other.mPointSize), mTagVector(other.mTagVector),
      mActiveListValid(other.mActiveListValid), mScale(other.mScale)
{
    mFontData->AddRef();
    if (mActiveListValid) {
        for (const ActiveFontLayer& active : other.mActiveLayerList)
            mActiveLayerList.emplace_back(active);
    }
}

ImageFont::~ImageFont()
{
    mActiveLayerList.clear();
    mFontData->Release();
}

Font* ImageFont::Duplicate() { return new ImageFont(*this); }

double ImageFont::LayerScale(const FontLayer& layer) const
{
    if (layer.mPointSize != 0)
        return mPointSize * mScale / layer.mPointSize;
    return mScale;
}

bool ImageFont::AcceptsLayer(const FontLayer& layer) const
{
    if (layer.mMinPointSize > mPointSize)
        return false;
    if (layer.mMaxPointSize != -1 && layer.mMaxPointSize < mPointSize)
        return false;
    auto hasTag = [this](const std::string& tag) {
        return std::find(mTagVector.begin(), mTagVector.end(), tag) != mTagVector.end();
    };
    return std::all_of(layer.mRequiredTags.begin(), layer.mRequiredTags.end(), hasTag) &&
           std::none_of(layer.mExcludedTags.begin(), layer.mExcludedTags.end(), hasTag);
}

void ImageFont::BuildScaledImage(ActiveFontLayer& active, const FontLayer& layer, double ratio)
{
    auto* image = new MemoryImage(mFontData->mApp != nullptr ? mFontData->mApp->GetImageHost()
                                                             : &ImageHost::Current());
    int32_t total = 0;
    int32_t height = 0;
    for (int c = 0; c < 256; ++c) {
        const Rect& source = layer.mCharData[c].mImageRect;
        const Rect scaled{total, 0, int32_t(source.mWidth * ratio), int32_t(source.mHeight * ratio)};
        active.mScaledCharImageRects[c] = scaled;
        total += std::max(scaled.mWidth, 0);
        height = std::max(height, scaled.mHeight);
    }
    image->SetSize(total, height);
    Image* layerImage = layer.mImage.GetImage();
    if (layerImage != nullptr) {
        Graphics graphics(image);
        for (int c = 0; c < 256; ++c) {
            const Rect& scaled = active.mScaledCharImageRects[c];
            if (scaled.mWidth > 0 && scaled.mHeight > 0)
                graphics.DrawImageStretched(layerImage, scaled, layer.mCharData[c].mImageRect);
        }
    }
    image->Palettize();
    active.mScaledImage = image;
    active.mOwnsImage = true;
}

void ImageFont::PrepareLayers()
{
    if (!mFontData->mInitialized)
        return;
    mActiveLayerList.clear();
    mAscent = 0;
    mAscentPadding = 0;
    mHeight = 0;
    mLineSpacingOffset = 0;
    bool first = true;
    for (FontLayer& layer : mFontData->mFontLayerList) {
        if (!AcceptsLayer(layer))
            continue;
        ActiveFontLayer& active = mActiveLayerList.emplace_back(&layer);
        const bool unscaled = mScale == 1.0 && (layer.mPointSize == 0 || layer.mPointSize == mPointSize);
        const double ratio = unscaled ? 1.0 : LayerScale(layer);
        if (unscaled) {
            active.mScaledImage = layer.mImage.GetImage();
            for (int c = 0; c < 256; ++c)
                active.mScaledCharImageRects[c] = layer.mCharData[c].mImageRect;
        } else {
            BuildScaledImage(active, layer, ratio);
        }
        const int32_t layerHeight = layer.mHeight != 0 ? layer.mHeight : layer.mDefaultHeight;
        mAscent = std::max(mAscent, int32_t(layer.mAscent * ratio));
        mHeight = std::max(mHeight, int32_t(layerHeight * ratio));
        const int32_t padding = int32_t(layer.mAscentPadding * ratio);
        const int32_t spacing = int32_t(layer.mLineSpacingOffset * ratio);
        mAscentPadding = first ? padding : std::min(mAscentPadding, padding);
        mLineSpacingOffset = first ? spacing : std::max(mLineSpacingOffset, spacing);
        first = false;
    }
}

void ImageFont::Prepare()
{
    if (mActiveListValid)
        return;
    PrepareLayers();
    mActiveListValid = true;
}

int ImageFont::CharWidthKerned(char c, char previous)
{
    Prepare();
    const uint8_t mapped = MapChar(mFontData, c);
    const uint8_t mappedPrevious = previous != 0 ? MapChar(mFontData, previous) : 0;
    int width = 0;
    for (const ActiveFontLayer& active : mActiveLayerList) {
        const FontLayer& layer = *active.mBaseFontLayer;
        const double s = LayerScale(layer);
        int advance = int(layer.mCharData[mapped].mWidth * s);
        if (previous != 0)
            advance += int((layer.mCharData[mappedPrevious].mKerningOffsets[mapped] + layer.mSpacing) * s);
        width = std::max(width, advance);
    }
    return width;
}

int ImageFont::CharWidth(char c) { return CharWidthKerned(c, 0); }

int ImageFont::StringWidth(const std::string& text)
{
    int width = 0;
    char previous = 0;
    for (char c : text) {
        width += CharWidthKerned(c, previous);
        previous = c;
    }
    return width;
}

void ImageFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                           const Rect& clip)
{
    DrawStringCore(g, x, y, text, color, clip, nullptr, nullptr);
}

void ImageFont::DrawStringCore(Graphics* g, int x, int y, const std::string& text, const Color& color,
                               const Rect&, std::list<Rect>* glyphRects, int* width)
{
    RenderQueue& queue = GetRenderQueue();
    std::lock_guard<std::mutex> lock(queue.lock);
    std::fill(std::begin(queue.first), std::end(queue.first), nullptr);
    std::fill(std::begin(queue.last), std::end(queue.last), nullptr);
    if (glyphRects != nullptr)
        glyphRects->clear();
    if (!mFontData->mInitialized) {
        if (width != nullptr)
            *width = 0;
        return;
    }
    Prepare();
    const bool oldTint = g->GetTintImages();
    g->SetTintImages(true);

    int pen = x;
    int used = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = MapChar(mFontData, text[i]);
        const uint8_t next = i + 1 < text.size() ? MapChar(mFontData, text[i + 1]) : 0;
        int advanceEnd = pen;
        for (ActiveFontLayer& active : mActiveLayerList) {
            const FontLayer& layer = *active.mBaseFontLayer;
            const FontLayerChar& data = layer.mCharData[c];
            const double s = mScale * (layer.mPointSize != 0 ? double(mPointSize) / layer.mPointSize : 1.0);
            const int kern = next != 0 ? data.mKerningOffsets[next] + layer.mSpacing : 0;
            int gx, gy, w, k;
            if (s == 1.0) {
                gx = pen + data.mOffsetX + layer.mOffsetX;
                gy = y + data.mOffsetY + layer.mOffsetY - layer.mAscent;
                w = data.mWidth;
                k = kern;
            } else {
                gx = pen + int((data.mOffsetX + layer.mOffsetX) * s);
                gy = y - int((layer.mAscent - data.mOffsetY - layer.mOffsetY) * s);
                w = int(data.mWidth * s);
                k = int(kern * s);
            }
            if (used == kRenderRecordCount) {
                // Glyphs past the queue's end are dropped with their advance.
                if (!gDroppedGlyphsLogged.exchange(true))
                    AppLog::GetInstance()->Printf(AppLog::kToFile,
                                                  "[ERROR] ImageFont - string too long, glyphs dropped");
                break;
            }
            FontRenderRecord& record = queue.records[used++];
            record.mImage = active.mScaledImage;
            record.mX = gx;
            record.mY = gy;
            record.mSrcRect = active.mScaledCharImageRects[c];
            record.mDrawMode = layer.mDrawMode;
            record.mColorRed = Tint(layer.mColorMult.mRed, color.mRed, layer.mColorAdd.mRed);
            record.mColorGreen = Tint(layer.mColorMult.mGreen, color.mGreen, layer.mColorAdd.mGreen);
            record.mColorBlue = Tint(layer.mColorMult.mBlue, color.mBlue, layer.mColorAdd.mBlue);
            record.mColorAlpha = Tint(layer.mColorMult.mAlpha, color.mAlpha, layer.mColorAdd.mAlpha);
            record.mNext = nullptr;
            const int bucket = std::clamp(data.mOrder + layer.mBaseOrder + 128, 0, kBucketCount - 1);
            if (queue.last[bucket] != nullptr)
                queue.last[bucket]->mNext = &record;
            else
                queue.first[bucket] = &record;
            queue.last[bucket] = &record;
            if (glyphRects != nullptr)
                glyphRects->push_back(Rect{gx, gy, record.mSrcRect.mWidth, record.mSrcRect.mHeight});
            advanceEnd = std::max(advanceEnd, pen + w + k);
        }
        pen = advanceEnd;
    }
    if (width != nullptr)
        *width = pen - x;

    const Color oldColor = g->GetColor();
    for (FontRenderRecord* record : queue.first) {
        for (; record != nullptr; record = record->mNext) {
            const int oldMode = g->GetDrawMode();
            if (record->mDrawMode != -1)
                g->SetDrawMode(record->mDrawMode);
            g->SetColor(Color(record->mColorRed, record->mColorGreen, record->mColorBlue, record->mColorAlpha));
            if (record->mImage != nullptr)
                g->DrawImageSrcRect(record->mImage, record->mX, record->mY, record->mSrcRect);
            g->SetDrawMode(oldMode);
        }
    }
    g->SetColor(oldColor);
    g->SetTintImages(oldTint);
}

void ImageFont::SetPointSize(int pointSize)
{
    mPointSize = pointSize;
    mActiveListValid = false;
}

int ImageFont::GetPointSize() { return mPointSize; }

void ImageFont::SetScale(double scale)
{
    mScale = scale;
    mActiveListValid = false;
}

int ImageFont::GetDefaultPointSize() { return mFontData->mDefaultPointSize; }

bool ImageFont::AddTag(const std::string& tag)
{
    const std::string upper = MakeUpperCase(tag);
    if (std::find(mTagVector.begin(), mTagVector.end(), upper) != mTagVector.end())
        return false;
    mTagVector.push_back(upper);
    mActiveListValid = false;
    return true;
}

bool ImageFont::RemoveTag(const std::string& tag)
{
    auto found = std::find(mTagVector.begin(), mTagVector.end(), MakeUpperCase(tag));
    if (found == mTagVector.end())
        return false;
    mTagVector.erase(found);
    mActiveListValid = false;
    return true;
}

// Tags are kept upper-cased, so the query is folded the same way.
bool ImageFont::HasTag(const std::string& tag)
{
    return std::find(mTagVector.begin(), mTagVector.end(), MakeUpperCase(tag)) != mTagVector.end();
}

std::string ImageFont::GetDefine(const std::string& name)
{
    DataElement* define = mFontData->GetDefine(name);
    return define != nullptr ? mFontData->DataElementToString(define) : std::string();
}

} // namespace Lumo
