#pragma once
// The rounding of money figures: to the nearest whole number, halves to the
// even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), whatever rounding mode
// the floating-point unit is in.
//
// A document line's value is rounded once, by roundMoney, to the decimals of
// lei ("Nr zecimale lei"); every total of a print, a dialog, a payment or a
// journal is the sum of those rounded values, so that it can be checked with
// a pencil against the lines printed above it.

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

// `value` rounded to `decimals` places (0..9), halves to the even neighbour.
// A product of a price and a quantity that is a half in decimal often lands a
// hair beside it in binary (1.005 × 100 = 100.49999999999999); a figure
// within 1e-7 of a unit of the last place from a half counts as that half, so
// the rounding is the one a person makes on paper.
inline double roundMoney(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    if (decimals < 0)
        decimals = 0;
    if (decimals > 9)
        decimals = 9;
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    const double below = std::floor(scaled);
    const double diff = scaled - below;
    constexpr double kTie = 1e-7;
    double whole;
    if (diff < 0.5 - kTie)
        whole = below;
    else if (diff > 0.5 + kTie)
        whole = below + 1;
    else
        whole = std::fmod(below, 2.0) == 0 ? below : below + 1;
    return whole / scale;
}

// The value of a document line: quantity × price, rounded once to the
// decimals of lei.
inline double lineValue(double quantity, double price, int decimals)
{
    return roundMoney(quantity * price, decimals);
}

} // namespace common
