#pragma once
// The tolerance of quantities, the parameter Epsilon: one rule for every
// place that tells a quantity or a balance from zero (a document line, the
// stock row the ledger keeps or deletes, the recalculation, the checks of
// the documents, the stock at a date and the reports built on the stock):
//
//   a figure counts as zero when |x| <= Epsilon; a line is refused, and a
//   stock row or a report key dropped, exactly then; it is kept only when
//   |x| > Epsilon.
//
// A balance is a floating-point sum, and the same lines summed in another
// order differ in their last bits (the ledger adds them one by one as they
// are posted, a statement's SUM in its own order; 7.00002 - 7.00001 is
// 1.0000000000065512e-05). So that every place reaches the same verdict on
// the same lines, a figure within a thousandth of Epsilon of Epsilon counts
// as Epsilon: the limit compared against is Epsilon × 1.001. One addition
// near a million errs by less than a hundredth of that margin (with the
// default Epsilon); a residue that is really above Epsilon (0.000011 with the
// default 0.00001) stays above it.
//
// Statements compare with the parameter :Eps bound to toleranceLimit():
// a key is kept where `x < -:Eps OR x > :Eps`, a figure is zero where
// `ABS(x) <= :Eps`.

#include <cmath>

namespace common {

// How far beside Epsilon a figure still counts as Epsilon, as a fraction of it.
inline constexpr double kToleranceSlack = 1e-3;

// The largest magnitude that counts as zero for a tolerance `epsilon`.
inline double toleranceLimit(double epsilon)
{
    return std::abs(epsilon) * (1 + kToleranceSlack);
}

// True when `value` counts as zero.
inline bool isWithinTolerance(double value, double epsilon)
{
    return std::abs(value) <= toleranceLimit(epsilon);
}

// True when `value` is below zero by more than the tolerance.
inline bool isBelowTolerance(double value, double epsilon)
{
    return value < -toleranceLimit(epsilon);
}

// True when `value` is above zero by more than the tolerance.
inline bool isAboveTolerance(double value, double epsilon)
{
    return value > toleranceLimit(epsilon);
}

} // namespace common
