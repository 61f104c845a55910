#pragma once

#include <cstdint>

struct CSceneObj;

// What the HUD panel shows of a crazy level: the share of blocks in the crazy
// colour and the blinking indicator of that colour.
class CCrazyDisplay {
public:
    virtual ~CCrazyDisplay() = default;

    virtual void SetCrazyPercent(int32_t percent) = 0;
    // The indicator's animation pair, null for none; shown while it blinks on.
    virtual void SetCrazyIndicator(const CSceneObj* indicator, bool shown) = 0;
};
