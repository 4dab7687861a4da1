// The order of the note map's output columns per game mode.  In the Guitar
// Hero view column 6 (the orange cymbal) moves between columns 3 and 4, so
// the columns read 1, 2, 3, 6, 4, 5 left to right; the Rock Band view puts
// the design order back.  Works on the columns' left edges only, so a second
// switch to the same view moves nothing.
#pragma once

#include <array>
#include <utility>

namespace zembrik {

inline void ArrangeColumns(std::array<int, 8> &left, int mode)
{
    int &c4 = left[3], &c5 = left[4], &c6 = left[5];
    if (mode == 1) {
        if (c6 > c5) {
            std::swap(c6, c5);
            std::swap(c6, c4);
        }
    } else if (c6 < c5) {
        std::swap(c6, c4);
        std::swap(c6, c5);
    }
}

} // namespace zembrik
