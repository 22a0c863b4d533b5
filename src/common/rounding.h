#pragma once
// The rounding of money figures: to the nearest whole number, halves to the
// even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), whatever rounding mode
// the floating-point unit is in.

#include <cmath>

namespace common {

inline double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double diff = value - below;
    if (diff < 0.5)
        return below;
    if (diff > 0.5)
        return below + 1;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

} // namespace common
