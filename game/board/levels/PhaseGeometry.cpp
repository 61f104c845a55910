#include "game/board/levels/PhaseGeometry.h"

int32_t DiagonalCount(int32_t width, int32_t height) { return width + height - 1; }

std::vector<int32_t> DiagonalCells(int32_t d, int32_t width, int32_t height)
{
    int32_t column = d < width ? width - 1 - d : 0;
    int32_t row = d < width ? height - 1 : height - 2 - d + width;
    std::vector<int32_t> cells;
    for (; column < width && row >= 0; ++column, --row)
        cells.push_back(row * width + column);
    return cells;
}

std::vector<int32_t> ExplosionSpiral(int32_t width, int32_t height)
{
    enum Direction { kRight, kUp, kLeft, kDown };
    const int32_t count = width * height;
    std::vector<int32_t> cells;
    if (count <= 0)
        return cells;
    cells.reserve(size_t(count));
    int32_t column = 0;
    int32_t row = height - 1;
    int32_t right = width;
    int32_t bottom = height;
    int32_t left = -1;
    int32_t top = -1;
    Direction direction = kRight;
    cells.push_back(row * width + column);
    while (int32_t(cells.size()) < count) {
        switch (direction) {
        case kRight:
            if (column + 1 < right)
                ++column;
            else {
                direction = kUp;
                --bottom;
                continue;
            }
            break;
        case kUp:
            if (row - 1 > top)
                --row;
            else {
                direction = kLeft;
                --right;
                continue;
            }
            break;
        case kLeft:
            if (column - 1 > left)
                --column;
            else {
                direction = kDown;
                ++top;
                continue;
            }
            break;
        case kDown:
            if (row + 1 < bottom)
                ++row;
            else {
                direction = kRight;
                ++left;
                continue;
            }
            break;
        }
        cells.push_back(row * width + column);
    }
    return cells;
}
