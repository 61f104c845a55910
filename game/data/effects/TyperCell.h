#pragma once

#include <cstdint>

// One dot the typer has typed.
struct TyperCell {
    int32_t x = 0;
    int32_t y = 0;
    // The cursor's flash value when the dot was typed.
    int32_t flash = 0;
    int32_t colour = 0;
};
