#pragma once

#include "framework/widgets/ScrollbarWidget.h"

#include <cstdint>

class CGUIHost;

// The scroll bar of a list box, drawn from game pictures: a rail below the
// up arrow and a thumb of a top piece, a repeated middle and a bottom piece.
// Its id is the list box's index; it owns its two arrow buttons.
class CGUIScrollbar : public Lumo::ScrollbarWidget {
public:
    struct Images {
        int32_t mUp = -2;
        int32_t mDown = -2;
        int32_t mRail = -2;
        int32_t mThumb = -2;
        int32_t mThumbTop = -2;
        int32_t mThumbBottom = -2;
    };

    CGUIScrollbar(int id, Lumo::ScrollListener* listener, CGUIHost* host, const Images& images, int32_t thumbOffset);
    ~CGUIScrollbar() override;

    void Resize(int x, int y, int width, int height) override;
    void Draw(Lumo::Graphics& graphics) override;
    void DrawThumbBox(Lumo::Graphics& graphics, int x, int y, int width, int height) override;
    int ThumbOffset() override;
    void SetThumbOffset(int offset) override;

    int32_t ArrowSize() const { return mArrowSize; }

private:
    CGUIHost* mHost;
    int32_t mArrowSize;
    Images mImages;
    int32_t mThumbHeight;
    int32_t mThumbX;
};
