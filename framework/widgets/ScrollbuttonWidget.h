#pragma once

#include "framework/widgets/ButtonWidget.h"

namespace Lumo {

// A framed button with a small triangular arrow, as at the ends of a scroll
// bar. The arrow lies along y unless horizontal is set or arrowKind is 3 or
// 4; it points up (left) for id 0 or arrowKind 1 (3), else down (right).
class ScrollbuttonWidget : public ButtonWidget {
public:
    bool mHorizontal = false;
    int32_t mArrowKind = 0;

    ScrollbuttonWidget(int id, ButtonListener* listener);
    ~ScrollbuttonWidget() override;

    void Draw(Graphics& graphics) override;
};

} // namespace Lumo
