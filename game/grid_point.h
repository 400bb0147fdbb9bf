// A pair of integers: a pixel position or a cell, as the caller means it.
#pragma once

#include <cstdint>

// A pixel position or a cell coordinate, depending on the caller.
struct GridPoint {
    int32_t x = 0;
    int32_t y = 0;

    GridPoint() = default;
    GridPoint(int32_t px, int32_t py) : x(px), y(py) {}

    bool operator==(const GridPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const GridPoint& o) const { return !(*this == o); }
};
