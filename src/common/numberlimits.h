#pragma once
// The largest magnitude a number typed or computed anywhere in the program may
// have. Quantities, prices and amounts stay printable below it: the amount in
// words names sums up to 99 999 999 999 999,99 lei.

namespace common {

inline constexpr double kLargestNumber = 1e14; // refused at and above this magnitude

// True for a finite number whose magnitude is below kLargestNumber.
bool isAcceptableNumber(double value);

} // namespace common
