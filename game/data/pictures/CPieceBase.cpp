#include "game/data/pictures/CPieceBase.h"

#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/ImageDrawing.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>

namespace {

void Log(const char* text) { Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", text); }

bool Cell(uint16_t mask, int row, int column) { return (mask >> (row * 4 + column)) & 1; }

int HighestColumn(uint16_t mask)
{
    for (int column = 3; column >= 0; --column) {
        if (mask & (0x1111 << column))
            return column;
    }
    return -1;
}

int HighestRow(uint16_t mask)
{
    for (int row = 3; row >= 0; --row) {
        if (mask & (0xF << (row * 4)))
            return row;
    }
    return -1;
}

} // namespace

CPieceBase::CPieceBase(CImageTable& images) : mImages(images) {}

CPieceBase::~CPieceBase() = default;

uint16_t CPieceBase::Turn(uint16_t mask)
{
    const int highest = HighestColumn(mask);
    uint16_t turned = 0;
    for (int row = 0; row < 4 && highest - row >= 0; ++row) {
        for (int j = 0; j < 4; ++j) {
            if (Cell(mask, j, highest - row))
                turned |= uint16_t(1 << (row * 4 + j));
        }
    }
    return turned;
}

CPiece CPieceBase::MakePiece(uint16_t mask) const
{
    CPiece piece;
    piece.mMask = mask;
    piece.mCellCount = __builtin_popcount(mask);
    piece.mRotations[0] = Turn(mask);
    piece.mRotations[1] = Turn(piece.mRotations[0]);
    piece.mRotations[2] = Turn(piece.mRotations[1]);
    const int32_t pitch = mCellSize + 1;
    piece.mWidth = (HighestColumn(mask) + 1) * pitch;
    piece.mHeight = (HighestRow(mask) + 1) * pitch;
    piece.mCenterX = piece.mWidth / 2;
    piece.mCenterY = piece.mHeight / 2;
    return piece;
}

void CPieceBase::LoadFromXml(const TiXmlElement* root)
{
    if (!root)
        return;
    const TiXmlElement* spriteList = root->FirstChildElement("piece_sprites");
    for (const TiXmlElement* sprite = spriteList ? spriteList->FirstChildElement("sprite") : nullptr; sprite;
         sprite = sprite->NextSiblingElement("sprite")) {
        const char* src = XmlTextAttribute(sprite, "src");
        int32_t slot = 0;
        if (src[0] && mImages.FindByName(src, &slot))
            mSprites.push_back(slot);
        else
            Log("ERROR CPieceBase - bad sprite data");
    }
    // Kept small enough that the preview's side stays an int.
    mCellSize = mSprites.empty() ? 0 : std::clamp(mImages.Slot(mSprites.back())->mRect.mWidth, 0, 1 << 20);
    mPreviewWidth = mPreviewHeight = mCellSize * 4 + 4;
    mPreviewCenterX = mPreviewWidth / 2;
    mPreviewCenterY = mPreviewHeight / 2;

    for (const TiXmlElement* element = root->FirstChildElement("piece"); element;
         element = element->NextSiblingElement("piece")) {
        const char* name = XmlTextAttribute(element, "name");
        if (!name[0]) {
            Log("ERROR CPieceBase - wrong piece name");
            continue;
        }
        const TiXmlNode* child = element->FirstChild();
        const TiXmlText* text = child ? child->ToText() : nullptr;
        if (!text) {
            Log("ERROR CPieceBase - no piece definition");
            continue;
        }
        const char* rows = text->Value();
        const size_t length = std::strlen(rows);
        uint16_t mask = 0;
        size_t position = 0;
        for (int row = 0; row < 4 && position < length; ++row) {
            std::vector<int32_t> numbers;
            size_t used = ParseIntList(rows + position, &numbers);
            // A carriage return and line feed end one row together.
            if (used > 0 && rows[position + used - 1] == '\r' && rows[position + used] == '\n')
                ++used;
            for (size_t column = 0; column < std::min<size_t>(numbers.size(), 4); ++column) {
                if (numbers[column] == 1)
                    mask |= uint16_t(1 << (row * 4 + int(column)));
            }
            position += used;
        }
        mNames[name] = int32_t(mPieces.size());
        mPieces.push_back(MakePiece(mask));
    }
}

bool CPieceBase::FindPiece(const std::string& name, int32_t* index) const
{
    auto found = mNames.find(name);
    if (found == mNames.end())
        return false;
    *index = found->second;
    return true;
}

void CPieceBase::EnsureImage()
{
    if (mImage && mImage->GetWidth() >= mPreviewWidth && mImage->GetHeight() >= mPreviewHeight)
        return;
    mGraphics.reset();
    mImage.reset();
    if (int64_t(mPreviewWidth) * mPreviewHeight > CImageTable::kMaxBlankPixels) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR CPieceBase - preview of %d too large",
                                            mPreviewWidth);
        return;
    }
    mImage = std::make_unique<Lumo::MemoryImage>(mImages.App());
    mImage->SetSize(mPreviewWidth, mPreviewHeight);
    mGraphics = std::make_unique<Lumo::Graphics>(mImage.get());
}

void CPieceBase::DrawSprite(int32_t piece, int32_t sprite)
{
    if (piece < 0 || size_t(piece) >= mPieces.size() || sprite < 0 || size_t(sprite) >= mSprites.size())
        return;
    EnsureImage();
    if (!mImage)
        return;
    uint32_t* bits = mImage->GetPixelBits();
    std::fill(bits, bits + size_t(mImage->GetWidth()) * size_t(mImage->GetHeight()), 0u);
    mImage->MarkBitsChanged();

    const CPiece& shape = mPieces[size_t(piece)];
    const int32_t pitch = mCellSize + 1;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (Cell(shape.mMask, row, column))
                DrawImageCel(mSprites[size_t(sprite)], mImages, *mGraphics,
                             column * pitch + (mPreviewCenterX - shape.mCenterX),
                             row * pitch + (mPreviewCenterY - shape.mCenterY));
        }
    }
    mLastRendered = shape;
}
