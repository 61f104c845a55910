#pragma once

// A point on the screen or in field units.
struct FieldPoint {
    float mX = 0.0f;
    float mY = 0.0f;
};
