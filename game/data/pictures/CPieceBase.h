#pragma once

#include "game/data/pictures/CPiece.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CImageTable;
class TiXmlElement;

namespace Lumo {
class Graphics;
class MemoryImage;
} // namespace Lumo

// The superbonus shapes with their three quarter turns, and a preview image
// that renders a shape with one of the piece sprites.
class CPieceBase {
public:
    explicit CPieceBase(CImageTable& images);
    ~CPieceBase();
    CPieceBase(const CPieceBase&) = delete;
    CPieceBase& operator=(const CPieceBase&) = delete;

    void LoadFromXml(const TiXmlElement* root);
    bool FindPiece(const std::string& name, int32_t* index) const;

    // Clears the preview image and draws the piece centred in it with the sprite.
    void DrawSprite(int32_t piece, int32_t sprite);
    // Makes the preview image anew when it is missing or too small.
    void EnsureImage();

    // The mask turned a quarter, packed to row 0.
    static uint16_t Turn(uint16_t mask);

    const std::vector<CPiece>& Pieces() const { return mPieces; }
    const std::vector<int32_t>& Sprites() const { return mSprites; }
    int32_t CellSize() const { return mCellSize; }
    int32_t PreviewWidth() const { return mPreviewWidth; }
    Lumo::MemoryImage* Image() const { return mImage.get(); }
    const CPiece& LastRendered() const { return mLastRendered; }

private:
    CPiece MakePiece(uint16_t mask) const;

    CImageTable& mImages;
    std::vector<int32_t> mSprites;
    std::vector<CPiece> mPieces;
    std::unordered_map<std::string, int32_t> mNames;
    int32_t mPreviewWidth = 0;
    int32_t mPreviewHeight = 0;
    int32_t mPreviewCenterX = 0;
    int32_t mPreviewCenterY = 0;
    int32_t mCellSize = 0;
    std::unique_ptr<Lumo::MemoryImage> mImage;
    std::unique_ptr<Lumo::Graphics> mGraphics;
    CPiece mLastRendered;
};
