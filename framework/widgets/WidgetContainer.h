#pragma once

#include "framework/graphics/Rect.h"
#include "framework/widgets/FlagsMod.h"
#include "framework/widgets/PassFlags.h"
#include "framework/widgets/Point.h"

#include <cstdint>
#include <list>

namespace Lumo {

class Graphics;
class Widget;
class WidgetManager;

// A node of the widget tree: its children in z-order (back-most first), the
// recursive passes and dirty marking. A container never owns its children:
// their owner removes them before deleting them.
class WidgetContainer {
public:
    using ChildList = std::list<Widget*>;

    ChildList mChildren;
    WidgetManager* mManager = nullptr;
    WidgetContainer* mParent = nullptr;
    bool mVisitPosMoved = false;
    ChildList::iterator mVisitPos = mChildren.end();
    uint32_t mUpdateStamp = 0;
    uint32_t mUpdateCount = 0;
    bool mDirty = false;
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    bool mSeeThrough = false;
    bool mClipToBounds = true;
    FlagsMod mFlagsMod;
    int32_t mOverlayLevel = 0;
    // Among siblings a higher layer stays in front.
    int32_t mLayer = 0;

    WidgetContainer() = default;
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;
    virtual ~WidgetContainer();

    virtual Rect GetBounds();
    // Both bounds in their own parents' coordinates: meant for siblings.
    virtual bool OverlapsWith(WidgetContainer* other);
    virtual void AddChild(Widget* widget);
    virtual void RemoveChild(Widget* widget);
    virtual bool HasChild(Widget* widget);
    virtual void ForgetWidget(Widget* widget);
    virtual void RemoveAllChildren(bool deleteChildren, bool recursive);
    virtual void SetFocus(Widget* widget);
    // Whether a is met before b walking the tree back to front, parents first.
    virtual bool IsBelow(Widget* a, Widget* b);
    virtual void MarkAllDirty();
    virtual void BringToFront(Widget* widget);
    virtual void SendToBack(Widget* widget);
    virtual void PutBehind(Widget* widget, Widget* reference);
    virtual void PutInFront(Widget* widget, Widget* reference);
    virtual Point ToAbsolutePosition();
    virtual void MarkChildDirty(Widget* child);
    virtual void MarkDirty();
    virtual void MarkChildDirtyFull(Widget* child);
    virtual void MarkDirtyFull();
    virtual void AddedToManager(WidgetManager* manager);
    virtual void RemovedFromManager(WidgetManager* manager);
    virtual void Update();
    virtual void UpdateAll(PassFlags& flags);
    virtual void UpdateFraction(float fraction);
    virtual void UpdateFractionAll(PassFlags& flags, float fraction);
    virtual void Draw(Graphics& graphics);
    virtual void DrawAll(PassFlags& flags, Graphics& graphics);
    virtual void SysColorChangedAll();
    virtual void SysColorChanged();

private:
    enum class Start { Back, Front, Reference, AfterReference };

    ChildList::iterator Find(Widget* widget);
    // Erases the entry, stepping the visit position off it first.
    void EraseEntry(ChildList::iterator entry);
    void InsertByLayer(Widget* widget, ChildList::iterator start);
    void Reorder(Widget* widget, Start start, Widget* reference);
    bool FindBelow(Widget* a, Widget* b, bool* result);
    // Visits the children through the visit position, so that the visitor
    // may add, remove and re-order children.
    template <typename Visit> void VisitChildren(PassFlags& flags, Visit visit);
    static void DetachFromManager(Widget* widget);
};

} // namespace Lumo
