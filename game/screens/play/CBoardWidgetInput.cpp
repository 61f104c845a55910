#include "game/screens/play/CBoardWidget.h"

#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/animation/CCurve.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/play/CPauseHandler.h"
#include "game/screens/windows/CGUIController.h"

namespace {

constexpr int kLeftButton = 0;

} // namespace

void CBoardWidget::MouseMove(int x, int y)
{
    mServices.mPanel->OnPointerMove(x, y);
    mServices.mGui->OnPointerMove(x, y);
    mPointerX = x;
    mPointerY = y;
    if (GamePaused() || mInputLock)
        return;
    const CGameField& field = *mServices.mField;
    const float fx = float(x - mDrawOriginX);
    const float fy = float(y - mDrawOriginY);
    mCellHit = field.HitTest(fx, fy, &mHoverColumn, &mHoverRow);
    const FieldPoint local = field.ScreenToField(fx, fy);
    mFieldPointX = TruncateToInt(local.mX);
    mFieldPointY = TruncateToInt(local.mY);
    if (!mCellHit)
        return;
    CFieldBlock* block = mServices.mField->Record(mHoverRow * field.Width() + mHoverColumn).mBlock;
    if (block != nullptr)
        mServices.mProcessor->StartCellHover(*block);
}

void CBoardWidget::MouseDown(int x, int y, int button, int clickCount)
{
    if (button != kLeftButton)
        return;
    mServices.mGui->OnPointerDown(x, y, clickCount > 1);
    if (GamePaused())
        return;
    if (!mInputLock)
        mServices.mPanel->OnPointerButton(x, y, true);
    // An inactive field takes no clicks: a bonus is at work on it.
    if (!mFieldActive || !mCellHit || (mHoverColumn == mTargetColumn && mHoverRow == mTargetRow))
        return;
    bool catchUp = false;
    if (!CanSendBall(&catchUp)) {
        mClickPending = true;
        mPendingColumn = mHoverColumn;
        mPendingRow = mHoverRow;
    } else if (!mServices.mBall->Has(CBall::kFlying)) {
        SendBall(mHoverColumn, mHoverRow, catchUp);
    }
}

void CBoardWidget::MouseUp(int x, int y, int button, int)
{
    if (button != kLeftButton)
        return;
    if (!mInputLock && !GamePaused())
        mServices.mPanel->OnPointerButton(x, y, false);
    // The window system runs the command of a released button.
    mServices.mGui->OnPointerUp(x, y);
}

void CBoardWidget::MouseWheel(int delta) { mServices.mGui->ScrollList(delta); }

void CBoardWidget::KeyDown(int key)
{
    if (key == kEscapeKey)
        mServices.mPause->OnEscapeKey();
}
