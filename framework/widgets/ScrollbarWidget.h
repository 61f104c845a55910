#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

namespace Lumo {

class ScrollbuttonWidget;
class ScrollListener;

// A track with a thumb between two arrow buttons. Lengths along the bar are
// pixels; position, maximum and page length are the caller's units. The owner
// creates the arrows (ids 0 and 1, the bar as listener), stores them in
// mUpButton and mDownButton and adds them as children; the bar deletes them.
class ScrollbarWidget : public Widget, public ButtonListener {
public:
    ScrollbuttonWidget* mUpButton = nullptr;
    ScrollbuttonWidget* mDownButton = nullptr;
    bool mHideWhenIdle = false;
    int32_t mId;
    double mPosition = 0.0;
    double mMaximum = 0.0;
    double mPageLength = 0.0;
    bool mHorizontal = false;
    bool mDragging = false;
    int32_t mDragStartOffset = 0;
    int32_t mPressX = 0;
    int32_t mPressY = 0;
    // 0 none, 1 paging towards the start, 2 towards the end.
    int32_t mPageRepeat = 0;
    int32_t mPageRepeatCount = 0;
    int32_t mArrowRepeatCount = 0;
    int32_t mLastX = 0;
    int32_t mLastY = 0;
    ScrollListener* mListener;

    ScrollbarWidget(int id, ScrollListener* listener);
    ~ScrollbarWidget() override;

    void Update() override;
    void Draw(Graphics& graphics) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    virtual void SetHideWhenIdle(bool hide);
    virtual void SetMaximum(double maximum);
    virtual void SetPageLength(double pageLength);
    virtual void SetPosition(double position);
    virtual void SetHorizontalLayout(bool horizontal);
    virtual void LayoutArrows(int x, int y, int width, int height);
    virtual bool IsAtEnd();
    virtual void ScrollToEnd();
    virtual void DrawThumbBox(Graphics& graphics, int x, int y, int width, int height);
    virtual int TrackLength();
    virtual int ThumbLength();
    virtual int ThumbOffset();
    virtual void ClampPosition();
    virtual void SetThumbOffset(int offset);
    // -1 before the thumb, 1 after it, 0 on it.
    virtual int HitTestTrack(int x, int y);

    void OnButtonPressed(int id) override;
    void OnButtonHeldTick(int id) override;

private:
    int ArrowLength();
    void NotifyPosition();
    void SetEnabledAndShown(bool canScroll);
};

} // namespace Lumo
