#pragma once

// The board widget's switch for the field: while inactive, a landing runs no
// game effect and the field takes no clicks.
class CFieldActivity {
public:
    virtual ~CFieldActivity() = default;
    virtual void SetFieldActive(bool active) = 0;
};
