#pragma once

namespace Lumo {

// How buttons report to their owner; the id is the button's.
class ButtonListener {
public:
    virtual ~ButtonListener() = default;

    virtual void OnButtonPressedCount(int id, int clickCount)
    {
        (void)clickCount;
        OnButtonPressed(id);
    }
    virtual void OnButtonPressed(int id) { (void)id; }
    // Released while the mouse was over the button.
    virtual void OnButtonClicked(int id) { (void)id; }
    // Once per update while the button is held.
    virtual void OnButtonHeldTick(int id) { (void)id; }
    virtual void OnButtonHoverEnter(int id) { (void)id; }
    virtual void OnButtonHoverLeave(int id) { (void)id; }
    virtual void OnButtonHoverMove(int id, int x, int y)
    {
        (void)id;
        (void)x;
        (void)y;
    }
};

} // namespace Lumo
