#include "framework/widgets/WidgetContainer.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetFlag.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <vector>

namespace Lumo {

WidgetContainer::~WidgetContainer() = default;

Rect WidgetContainer::GetBounds()
{
    return Rect{mX, mY, mWidth, mHeight};
}

bool WidgetContainer::OverlapsWith(WidgetContainer* other)
{
    return mX < other->mX + other->mWidth && mY < other->mY + other->mHeight && other->mX < mX + mWidth &&
           other->mY < mY + mHeight;
}

WidgetContainer::ChildList::iterator WidgetContainer::Find(Widget* widget)
{
    return std::find(mChildren.begin(), mChildren.end(), widget);
}

void WidgetContainer::EraseEntry(ChildList::iterator entry)
{
    if (entry == mVisitPos) {
        ++mVisitPos;
        mVisitPosMoved = true;
    }
    mChildren.erase(entry);
}

void WidgetContainer::InsertByLayer(Widget* widget, ChildList::iterator start)
{
    const int32_t layer = widget->mLayer;
    auto it = start;
    while (it != mChildren.end() && (*it)->mLayer < layer)
        ++it;
    if (it != mChildren.end() && (it == mChildren.begin() || (*it)->mLayer == layer)) {
        mChildren.insert(it, widget);
        return;
    }
    while (it != mChildren.begin()) {
        --it;
        if ((*it)->mLayer <= layer) {
            mChildren.insert(std::next(it), widget);
            return;
        }
    }
    mChildren.push_front(widget);
}

void WidgetContainer::AddChild(Widget* widget)
{
    if (HasChild(widget))
        return;
    InsertByLayer(widget, mChildren.end());
    widget->mManager = mManager;
    widget->mParent = this;
    if (mManager != nullptr) {
        widget->AddedToManager(mManager);
        widget->MarkDirtyFull();
        mManager->RecheckMouse();
    }
    MarkDirty();
}

void WidgetContainer::DetachFromManager(Widget* widget)
{
    WidgetManager* manager = widget->mManager;
    if (manager == nullptr)
        return;
    const std::vector<Widget*> children(widget->mChildren.begin(), widget->mChildren.end());
    for (Widget* child : children)
        DetachFromManager(child);
    manager->ForgetWidget(widget);
    manager->ForgetInModalHistory(widget);
    widget->RemovedFromManager(manager);
    widget->MarkChildDirtyFull(widget);
    widget->mManager = nullptr;
}

void WidgetContainer::RemoveChild(Widget* widget)
{
    auto entry = Find(widget);
    if (entry == mChildren.end())
        return;
    DetachFromManager(widget);
    widget->mParent = nullptr;
    // The detach callbacks may have re-ordered the list: look again.
    entry = Find(widget);
    if (entry != mChildren.end())
        EraseEntry(entry);
}

bool WidgetContainer::HasChild(Widget* widget)
{
    return Find(widget) != mChildren.end();
}

void WidgetContainer::ForgetWidget(Widget*) {}

void WidgetContainer::RemoveAllChildren(bool deleteChildren, bool recursive)
{
    while (!mChildren.empty()) {
        Widget* child = mChildren.front();
        RemoveChild(child);
        if (recursive)
            child->RemoveAllChildren(deleteChildren, recursive);
        if (deleteChildren)
            delete child;
    }
}

void WidgetContainer::SetFocus(Widget*) {}

bool WidgetContainer::FindBelow(Widget* a, Widget* b, bool* result)
{
    for (Widget* child : mChildren) {
        if (child == a) {
            *result = true;
            return true;
        }
        if (child == b) {
            *result = false;
            return true;
        }
        if (child->FindBelow(a, b, result))
            return true;
    }
    return false;
}

bool WidgetContainer::IsBelow(Widget* a, Widget* b)
{
    bool result = false;
    FindBelow(a, b, &result);
    return result;
}

void WidgetContainer::MarkAllDirty()
{
    MarkDirty();
    for (Widget* child : mChildren) {
        child->mDirty = true;
        child->MarkAllDirty();
    }
}

void WidgetContainer::Reorder(Widget* widget, Start start, Widget* reference)
{
    auto entry = Find(widget);
    if (entry == mChildren.end())
        return;
    EraseEntry(entry);
    auto from = mChildren.end();
    if (start == Start::Back) {
        from = mChildren.begin();
    } else if (start == Start::Reference || start == Start::AfterReference) {
        from = Find(reference);
        if (start == Start::AfterReference && from != mChildren.end())
            ++from;
    }
    InsertByLayer(widget, from);
    widget->StackOrderChanged();
}

void WidgetContainer::BringToFront(Widget* widget)
{
    Reorder(widget, Start::Front, nullptr);
}

void WidgetContainer::SendToBack(Widget* widget)
{
    Reorder(widget, Start::Back, nullptr);
}

void WidgetContainer::PutBehind(Widget* widget, Widget* reference)
{
    Reorder(widget, Start::Reference, reference);
}

void WidgetContainer::PutInFront(Widget* widget, Widget* reference)
{
    Reorder(widget, Start::AfterReference, reference);
}

Point WidgetContainer::ToAbsolutePosition()
{
    if (mParent == nullptr)
        return Point{mX, mY};
    const Point parent = mParent->ToAbsolutePosition();
    return Point{mX + parent.mX, mY + parent.mY};
}

void WidgetContainer::MarkChildDirty(Widget* child)
{
    if (child->mDirty)
        return;
    MarkDirty();
    child->mDirty = true;
    if (mParent != nullptr)
        return;
    if (child->mSeeThrough) {
        MarkChildDirtyFull(child);
        return;
    }
    auto it = Find(child);
    if (it == mChildren.end())
        return;
    for (++it; it != mChildren.end(); ++it) {
        Widget* front = *it;
        if (front->mVisible && front->OverlapsWith(child))
            MarkChildDirty(front);
    }
}

void WidgetContainer::MarkDirty()
{
    if (mParent != nullptr)
        mParent->MarkChildDirty(static_cast<Widget*>(this));
    else
        mDirty = true;
}

void WidgetContainer::MarkChildDirtyFull(Widget* child)
{
    MarkDirtyFull();
    child->mDirty = true;
    if (mParent != nullptr)
        return;
    const auto entry = Find(child);
    if (entry == mChildren.end())
        return;
    const Rect area = child->GetBounds().Intersect(Rect{0, 0, mWidth, mHeight});
    for (auto it = entry; it != mChildren.begin();) {
        Widget* behind = *--it;
        if (!behind->mVisible)
            continue;
        if (!behind->mSeeThrough && !behind->mTranslucent && behind->ContainsPoint(area.mX, area.mY) &&
            behind->ContainsPoint(area.mX + area.mWidth - 1, area.mY + area.mHeight - 1)) {
            behind->MarkDirty();
            break;
        }
        if (behind->OverlapsWith(child))
            MarkChildDirty(behind);
    }
    for (auto it = entry; it != mChildren.end(); ++it) {
        Widget* front = *it;
        if (front->mVisible && front->OverlapsWith(child))
            MarkChildDirty(front);
    }
}

void WidgetContainer::MarkDirtyFull()
{
    if (mParent != nullptr)
        mParent->MarkChildDirtyFull(static_cast<Widget*>(this));
    else
        mDirty = true;
}

void WidgetContainer::AddedToManager(WidgetManager* manager)
{
    for (Widget* child : mChildren) {
        child->mManager = manager;
        child->AddedToManager(manager);
        MarkDirty();
    }
}

void WidgetContainer::RemovedFromManager(WidgetManager* manager)
{
    for (Widget* child : mChildren) {
        manager->ForgetWidget(child);
        child->RemovedFromManager(manager);
        child->mManager = nullptr;
    }
    if (manager->mPopupWidget == this)
        manager->mPopupWidget = nullptr;
}

void WidgetContainer::Update()
{
    ++mUpdateCount;
}

template <typename Visit> void WidgetContainer::VisitChildren(PassFlags& flags, Visit visit)
{
    mVisitPos = mChildren.begin();
    while (mVisitPos != mChildren.end()) {
        mVisitPosMoved = false;
        Widget* child = *mVisitPos;
        if (child == mManager->mModalWidget)
            flags.mPastModal = true;
        visit(child);
        if (!mVisitPosMoved)
            ++mVisitPos;
    }
    mVisitPosMoved = true;
}

void WidgetContainer::UpdateAll(PassFlags& flags)
{
    const PassFlags saved = flags;
    flags.mFrontFlags = mFlagsMod.Apply(flags.mFrontFlags);
    flags.mBehindFlags = mFlagsMod.Apply(flags.mBehindFlags);
    if ((flags.Effective() & WidgetFlag::DirtyEachUpdate) != 0)
        MarkDirty();
    if (mManager != nullptr) {
        if ((flags.Effective() & WidgetFlag::Update) != 0 && mUpdateStamp != mManager->mUpdateCount) {
            mUpdateStamp = mManager->mUpdateCount;
            Update();
        }
        VisitChildren(flags, [&flags](Widget* child) { child->UpdateAll(flags); });
    }
    flags.mFrontFlags = saved.mFrontFlags;
    flags.mBehindFlags = saved.mBehindFlags;
}

void WidgetContainer::UpdateFraction(float) {}

void WidgetContainer::UpdateFractionAll(PassFlags& flags, float fraction)
{
    const PassFlags saved = flags;
    flags.mFrontFlags = mFlagsMod.Apply(flags.mFrontFlags);
    flags.mBehindFlags = mFlagsMod.Apply(flags.mBehindFlags);
    if ((flags.Effective() & WidgetFlag::Update) != 0)
        UpdateFraction(fraction);
    if (mManager != nullptr)
        VisitChildren(flags, [&flags, fraction](Widget* child) { child->UpdateFractionAll(flags, fraction); });
    flags.mFrontFlags = saved.mFrontFlags;
    flags.mBehindFlags = saved.mBehindFlags;
}

void WidgetContainer::Draw(Graphics&) {}

void WidgetContainer::DrawAll(PassFlags& flags, Graphics& graphics)
{
    if (mManager != nullptr && mManager->mLowestPendingLevel < mOverlayLevel)
        mManager->DrawPendingOverlays(mOverlayLevel);
    const PassFlags saved = flags;
    flags.mFrontFlags = mFlagsMod.Apply(flags.mFrontFlags);
    flags.mBehindFlags = mFlagsMod.Apply(flags.mBehindFlags);
    const uint32_t effective = flags.Effective();
    if (mClipToBounds && (effective & WidgetFlag::Clip) != 0)
        graphics.NarrowClipRect(0, 0, mWidth, mHeight);
    if (mChildren.empty()) {
        if ((effective & WidgetFlag::Draw) != 0)
            Draw(graphics);
    } else {
        if ((effective & WidgetFlag::Draw) != 0) {
            graphics.PushState();
            Draw(graphics);
            graphics.PopState();
        }
        const Widget* modal = mManager != nullptr ? mManager->mModalWidget : nullptr;
        for (Widget* child : mChildren) {
            if (!child->mVisible)
                continue;
            if (child == modal)
                flags.mPastModal = true;
            Graphics copy(graphics);
            copy.Translate(child->mX, child->mY);
            child->DrawAll(flags, copy);
            child->mDirty = false;
        }
    }
    flags.mFrontFlags = saved.mFrontFlags;
    flags.mBehindFlags = saved.mBehindFlags;
}

void WidgetContainer::SysColorChangedAll()
{
    SysColorChanged();
    for (Widget* child : mChildren)
        child->SysColorChangedAll();
}

void WidgetContainer::SysColorChanged() {}

} // namespace Lumo
