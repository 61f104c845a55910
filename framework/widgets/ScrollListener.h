#pragma once

namespace Lumo {

// Told by a scroll bar whenever its position changes.
class ScrollListener {
public:
    virtual ~ScrollListener() = default;

    virtual void ScrollPosition(int id, double position)
    {
        (void)id;
        (void)position;
    }
};

} // namespace Lumo
