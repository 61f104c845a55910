#pragma once

#include "framework/graphics/Color.h"
#include "game/board/field/BlockDef.h"
#include "game/board/field/BlockShape.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/field/CellRecord.h"
#include "game/board/field/FieldPoint.h"
#include "game/board/field/FieldTables.h"
#include "game/board/field/LineEntry.h"
#include "game/board/field/QueueController.h"
#include "game/board/field/SpinRing.h"
#include "game/board/play/PopupRecord.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAnimTrack;
class CBlockReleaseHandler;
class CFieldBase;
class CFieldDrawLink;
class CTrackBase;
class TiXmlElement;
struct CAnimInstance;
struct CFieldBlock;

namespace Lumo {
class Graphics;
class MemoryImage;
} // namespace Lumo

// What the intro, the outro and the bonuses set on the field for its drawing.
struct FieldEffects {
    // The game-over shake: a two-channel direction scaled by a one-channel amplitude.
    CAnimTrack* mShakeTrack = nullptr;
    CAnimTrack* mShakeAmplitude = nullptr;
    uint8_t mBonusInAction = 0;
    int32_t mBonusAlpha = 255;
    // The border's offset and tint, and its objects under and over the cells.
    CAnimTrack* mBorderMotionTrack = nullptr;
    CAnimTrack* mBorderColourTrack = nullptr;
    int32_t mBorderBefore = -2;
    int32_t mBorderAfter = -2;
};

// The play field: w x h cells on an oblique grid drawn from the block
// sprite's shape, its cell grid, the record of what each cell draws and the
// pool of block objects.
class CGameField {
public:
    static constexpr int32_t kNone = -2;

    CGameField();
    ~CGameField();
    CGameField(const CGameField&) = delete;
    CGameField& operator=(const CGameField&) = delete;

    static constexpr int32_t kStencilScratchW = 80;
    static constexpr int32_t kStencilScratchH = 40;

    // Reads the "gamefield1" element. False, after a log line, for a field
    // that cannot be played: no "block" or "block_queues", no block
    // definition, a match size below 2, or fewer queue controllers than the
    // field has rings.
    bool LoadFromXml(const TiXmlElement* element, const FieldTables& tables);

    // Sizes the field, returns every block to the pool and lays the cells out.
    void Build(int32_t w, int32_t h);
    // A random field of the current size, a block in every cell.
    void ResetForLevel();
    // The field of a fixed shape, a block in every cell.
    // False, changing nothing, for an unknown shape, one with colours the
    // field lacks or one with more rings than the field has queue controllers.
    bool SetupFromLevel(const CFieldBase& shapes, int32_t shapeIndex);

    FieldPoint FieldToScreen(FieldPoint point) const;
    // Where the block sprite of the cell is drawn.
    void CellToScreen(int32_t column, int32_t row, int32_t* x, int32_t* y) const;
    // The cell's centre, relative to the origin.
    FieldPoint CellCenterToScreen(int32_t column, int32_t row) const;
    // The cell's centre on the screen, relative to the draw origin.
    FieldPoint CellCentre(int32_t column, int32_t row) const;
    // Distance and angle of the cell's corner from the field's centre, in field units.
    void CellPolar(int32_t column, int32_t row, float* distance, float* angle) const;
    // A point given relative to the draw origin, in field units along the field's axes.
    FieldPoint ScreenToField(float x, float y) const;
    // The cell under a point given relative to the draw origin.
    bool HitTest(float x, float y, int32_t* column, int32_t* row) const;

    CFieldBlock* AcquireBlock();
    void RemoveBlock(CFieldBlock* block);
    // Takes the block out of its cell record into the detached records.
    void DetachBlock(CFieldBlock* block);
    // Takes the block out of a detached record; the records go once every one is empty.
    CFieldBlock* TakeDetachedBlock(int32_t record);
    // A block without a bonus, away from the excluded cell; null after 32 misses.
    CFieldBlock* PickRandomBlock() const;
    void ClearBlockLinks();
    void SyncBlockColours();
    // Block display mode: 0 play, 1 randomize, 2 shadow ball, 3 shell.
    void ResetBlockStates(int32_t mode);
    // The falling track's speed varied by up to the variation percentage.
    float RandomFallSpeed() const;

    // The frame's drawing, every position relative to (x, y).
    void Draw(Lumo::Graphics& g, int32_t x, int32_t y);
    void DrawCellRecord(Lumo::Graphics& g, const CellRecord& record, int32_t x, int32_t y, bool hoverAllowed);
    // The colour's block sprite at every cell of a rows x columns byte mask
    // that is not 0, on the field's oblique grid with its corner at (x, y).
    void DrawPieceMask(int32_t colour, int32_t rows, Lumo::Graphics& g, const uint8_t* mask, int32_t columns,
                       int32_t x, int32_t y) const;
    // A free record of the popup list takes it; its index is its handle.
    int32_t AddPopupRecord(const PopupRecord& record);
    void RemovePopupRecord(int32_t index);
    PopupRecord& Popup(int32_t index) { return mPopups[size_t(index)]; }
    int32_t PopupCount() const { return int32_t(mPopups.size()); }
    FieldEffects& Effects() { return mEffects; }
    void SetDrawLink(CFieldDrawLink* link) { mDrawLink = link; }
    const std::vector<BlockDef>& BlockDefs() const { return mBlockDefs; }
    float Speed() const { return mSpeed; }
    int32_t FallingTrack() const { return mFallingTrack; }
    int32_t FadingTrack() const { return mFadingTrack; }
    int32_t SpringTrack() const { return mSpringTrack; }
    int32_t SpinTrack() const { return mSpinTrack; }
    int32_t StartHoverAnim() const { return mStartHoverAnim; }
    int32_t OnHoverAnim() const { return mOnHoverAnim; }
    int32_t EndHoverAnim() const { return mEndHoverAnim; }
    float ColorChangerSpeed() const { return mColorChangerSpeed; }
    const Lumo::MemoryImage* StencilScratch() const { return mScratch.get(); }

    // Opens a line entry and makes it the current one.
    LineEntry* MakeBlockAt(int32_t column, int32_t row, int32_t dx, int32_t dy, int32_t count, CAnimTrack* track,
                           bool sliding);
    // Adds one entering block to the current sliding entry.
    void AttachPieceBlocks(CFieldBlock* block);
    // Ends every line entry.
    void CollectBlocks();
    // Moves the blocks of every line entry by its track's time.
    void StepLineEntries();
    // The update's step of what the field shows in motion: the line entries
    // and the light of the blocks under the shadow ball and the shell. Drawing
    // only reads what it leaves, so that play never depends on what is drawn.
    void StepShownBlocks();
    const std::vector<LineEntry>& LineEntries() const { return mLineEntries; }
    LineEntry& LineEntryAt(int32_t index) { return mLineEntries[size_t(index)]; }
    const std::vector<MovingBlock>& MovingBlocks() const { return mMovingBlocks; }
    std::vector<MovingBlock>& MovingBlocks() { return mMovingBlocks; }

    // Reads the queue_controller children of element with their tracks.
    // False, after a log line, when one of them names a track that does not exist.
    bool LoadQueueControllers(const TiXmlElement* element, CTrackBase& tracks);
    void BuildSpinRings();
    void SetupSpinPoints();
    // The rising stage of every ring.
    void UpdateSpinPoints();
    // The falling stage of a ring.
    void StepSpinPoint(SpinRing& ring);
    // Gives the blocks of a ring their drawing positions for the ring's stage.
    void PlaceSpinRing(const SpinRing& ring);
    // Rings needed by a field of w x h cells.
    static int32_t RingCount(int32_t w, int32_t h);
    // Whether every ring of a w x h field has a queue controller of its own:
    // rings that shared one would fight over its track.
    bool ControllersCover(int32_t w, int32_t h) const;
    std::vector<SpinRing>& SpinRings() { return mSpinRings; }
    const std::vector<SpinElement>& SpinElements() const { return mSpinElements; }
    const std::vector<QueueController>& QueueControllers() const { return mControllers; }

    void SetBlockShape(const BlockShape& shape) { mShape = shape; }
    const BlockShape& Shape() const { return mShape; }
    void SetCentre(int32_t x, int32_t y);
    void SetReleaseHandler(CBlockReleaseHandler* handler) { mReleaseHandler = handler; }
    void SetReservedColour(int32_t colour) { mReservedColour = colour; }
    int32_t ReservedColour() const { return mReservedColour; }
    void SetReservedSprite(int32_t sprite) { mReservedSprite = sprite; }
    int32_t ReservedSprite() const { return mReservedSprite; }

    // The shift direction's entry stencil.
    void SetStencilImages(int32_t upLeft, int32_t downRight);
    void SetStencilOffset(int32_t direction, int32_t x, int32_t y);
    void SetStencilDirection(int32_t direction);
    int32_t CurrentStencil() const { return mStencil; }
    int32_t StencilOffsetX() const { return mStencilX; }
    int32_t StencilOffsetY() const { return mStencilY; }

    // The cell of the ball's last landing.
    void SetExcludedCell(int32_t column, int32_t row);
    int32_t ExcludedColumn() const { return mExcludedColumn; }
    int32_t ExcludedRow() const { return mExcludedRow; }

    void SetStatusLine(const std::string& text) { mStatus = text; }
    const std::string& StatusLine() const { return mStatus; }

    CCellGrid& Grid() { return mGrid; }
    const CCellGrid& Grid() const { return mGrid; }
    int32_t Width() const { return mW; }
    int32_t Height() const { return mH; }
    int32_t CellCount() const { return mCellCount; }
    CellRecord& Record(int32_t cell) { return mRecords[size_t(cell)]; }
    const CellRecord& Record(int32_t cell) const { return mRecords[size_t(cell)]; }
    const std::vector<CellRecord>& DetachedBlocks() const { return mDetached; }
    int32_t ActiveBlocks() const { return mActiveBlocks; }
    int32_t BlockDisplayMode() const { return mBlockDisplayMode; }

    FieldPoint Origin() const { return mOrigin; }
    int32_t OriginX() const { return mOriginX; }
    int32_t OriginY() const { return mOriginY; }
    float StepX() const { return mStepX; }
    float StepY() const { return mStepY; }
    float CellEdgeX() const { return mLx; }
    float CellEdgeY() const { return mLy; }
    FieldPoint AxisX() const { return {mMatrix[0], mMatrix[1]}; }
    FieldPoint AxisY() const { return {mMatrix[2], mMatrix[3]}; }
    FieldPoint CentreInFieldUnits() const { return {mCx, mCy}; }

    // The image slot the block shows its colour with now.
    int32_t ColourSprite(const CFieldBlock& block) const;

private:
    int32_t FrameOf(const CAnimInstance* anim) const;
    int32_t OwnSprite(const CFieldBlock& block) const;
    int32_t DefinitionSprite(int32_t colour) const;
    void DrawSlot(Lumo::Graphics& g, int32_t slot, int32_t x, int32_t y) const;
    void DrawSlotTinted(Lumo::Graphics& g, int32_t slot, int32_t x, int32_t y, const Lumo::Color& colour,
                        int32_t drawMode) const;
    // The colour sprite with the own sprite over it at the block's light level.
    void DrawLitBlock(Lumo::Graphics& g, const CFieldBlock& block, int32_t x, int32_t y) const;
    void DrawBorder(Lumo::Graphics& g, int32_t object, int32_t x, int32_t y, bool moved) const;
    void DrawPlain(Lumo::Graphics& g, int32_t x, int32_t y, bool borderMoved);
    void DrawRandomize(Lumo::Graphics& g, int32_t x, int32_t y);
    void DrawShell(Lumo::Graphics& g, int32_t x, int32_t y);
    // The light of the blocks under the shadow ball and the shell.
    void LightShadowBlocks();
    void LightShellBlocks();
    void DrawDetachedBlocks(Lumo::Graphics& g, int32_t x, int32_t y);
    void DrawBlockHover(Lumo::Graphics& g, const CFieldBlock& block, int32_t x, int32_t y) const;
    void DrawBlockBonus(Lumo::Graphics& g, const CFieldBlock& block, int32_t x, int32_t y) const;
    void DrawFieldBonuses(Lumo::Graphics& g, int32_t x, int32_t y) const;
    void DrawPopupList(Lumo::Graphics& g, int32_t x, int32_t y);
    void DrawMovingImage(Lumo::Graphics& g, const PopupRecord& record, int32_t x, int32_t y) const;
    void DrawBeam(Lumo::Graphics& g, PopupRecord& record, int32_t x, int32_t y) const;

    FieldTables mTables;
    int32_t mW = 0;
    int32_t mH = 0;
    int32_t mCellCount = 0;
    CCellGrid mGrid;
    int32_t mOfsX = 0;
    int32_t mOfsY = 0;
    int32_t mFallingTrack = kNone;
    int32_t mFadingTrack = kNone;
    int32_t mSpringTrack = kNone;
    int32_t mSpinTrack = kNone;
    int32_t mStartHoverAnim = kNone;
    int32_t mOnHoverAnim = kNone;
    int32_t mEndHoverAnim = kNone;

    int32_t mReservedSprite = kNone;
    int32_t mReservedColour = 0;
    std::vector<BlockDef> mBlockDefs;
    std::vector<LineEntry> mLineEntries;
    std::vector<MovingBlock> mMovingBlocks;
    std::vector<CellRecord> mRecords;
    float mColorChangerSpeed = 0.0f;
    std::vector<QueueController> mControllers;
    std::vector<SpinRing> mSpinRings;
    std::vector<SpinElement> mSpinElements;
    // The size the rings were built for.
    int32_t mRingW = 0;
    int32_t mRingH = 0;

    BlockShape mShape;
    FieldPoint mOrigin;
    int32_t mOriginX = 0;
    int32_t mOriginY = 0;
    float mLx = 0.0f;
    float mLy = 0.0f;
    std::array<FieldPoint, 2> mCorners{};
    // Column-major: the x axis's direction, then the y axis's.
    std::array<float, 4> mMatrix{};
    std::array<float, 4> mInverse{};
    float mInvStepX = 0.0f;
    float mInvStepY = 0.0f;
    float mStepX = 0.0f;
    float mStepY = 0.0f;
    float mCx = 0.0f;
    float mCy = 0.0f;

    std::vector<std::unique_ptr<CFieldBlock>> mPool;
    int32_t mActiveBlocks = 0;
    std::vector<CellRecord> mDetached;
    CBlockReleaseHandler* mReleaseHandler = nullptr;
    float mSpeed = 1.0f;

    std::array<int32_t, 2> mStencilImages{kNone, kNone};
    int32_t mStencil = kNone;
    std::unique_ptr<Lumo::MemoryImage> mScratch;
    std::unique_ptr<Lumo::Graphics> mScratchGraphics;
    std::array<int32_t, 8> mStencilOffsets{};
    int32_t mStencilX = 0;
    int32_t mStencilY = 0;
    int32_t mBlockDisplayMode = 0;
    int32_t mHoverX = 0;
    int32_t mHoverY = 0;
    int32_t mFallSpeedVariation = 0;
    int32_t mExcludedColumn = -1;
    int32_t mExcludedRow = -1;
    std::string mStatus = "empty";
    FieldEffects mEffects;
    CFieldDrawLink* mDrawLink = nullptr;
    std::vector<PopupRecord> mPopups;
};
