#pragma once

#include "framework/graphics/fonts/ActiveFontLayer.h"
#include "framework/graphics/fonts/Font.h"

#include <list>
#include <string>
#include <vector>

namespace Lumo {

class AppImageServices;
class FontData;

// The bitmap font made from a font descriptor. Each character is drawn as
// one glyph from each active layer; the point size, a scale and a set of
// tags choose the active layers, and layers drawn at another point size are
// rescaled once into images of their own.
class ImageFont : public Font {
public:
    ImageFont(AppImageServices* app, const std::string& descriptorFile);
    // Shares the font data; rescaled images are duplicated.
    ImageFont(const ImageFont& other);
    ~ImageFont() override;

    int StringWidth(const std::string& text) override;
    int CharWidth(char c) override;
    int CharWidthKerned(char c, char previous) override;
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;
    virtual void PrepareLayers();
    // y is the baseline. Either output may be null; the context clips.
    virtual void DrawStringCore(Graphics* g, int x, int y, const std::string& text, const Color& color,
                                const Rect& clip, std::list<Rect>* glyphRects, int* width);
    virtual void SetPointSize(int pointSize);
    virtual int GetPointSize();
    virtual void SetScale(double scale);
    virtual int GetDefaultPointSize();
    // Tags compare without regard to case. False when already present.
    virtual bool AddTag(const std::string& tag);
    // False when absent.
    virtual bool RemoveTag(const std::string& tag);
    virtual bool HasTag(const std::string& tag);
    // The descriptor's define as text, or "".
    virtual std::string GetDefine(const std::string& name);
    virtual void Prepare();

    FontData* mFontData;
    int mPointSize = 0;
    // Upper-cased.
    std::vector<std::string> mTagVector;
    bool mActiveListValid = false;
    std::list<ActiveFontLayer> mActiveLayerList;
    double mScale = 1.0;

private:
    // The size factor of a layer drawn at its own point size.
    double LayerScale(const FontLayer& layer) const;
    bool AcceptsLayer(const FontLayer& layer) const;
    void BuildScaledImage(ActiveFontLayer& active, const FontLayer& layer, double ratio);
};

} // namespace Lumo
