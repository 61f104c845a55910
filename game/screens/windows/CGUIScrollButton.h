#pragma once

#include "framework/widgets/ScrollbuttonWidget.h"

#include <cstdint>

class CGUIHost;

// An arrow button of a list's scroll bar, drawn from a game picture.
class CGUIScrollButton : public Lumo::ScrollbuttonWidget {
public:
    CGUIScrollButton(int id, Lumo::ButtonListener* listener, CGUIHost* host, int32_t image);
    ~CGUIScrollButton() override;

    void Draw(Lumo::Graphics& graphics) override;

    int32_t mImage;

private:
    CGUIHost* mHost;
};
