// The one rule that tells a quantity or a balance from zero.

#include "common/tolerance.h"

#include <gtest/gtest.h>

namespace {

TEST(Tolerance, AFigureUpToEpsilonCountsAsZero)
{
    const struct {
        const char* what;
        double value;
        double epsilon;
        bool zero;
    } cases[] = {
        {"exactly Epsilon", 0.00001, 0.00001, true},
        {"exactly minus Epsilon", -0.00001, 0.00001, true},
        {"7.00002 - 7.00001, a hair above it in binary", 7.00002 - 7.00001, 0.00001, true},
        {"0.00001 + 7 - 7, a hair below it", 0.00001 + 7 - 7, 0.00001, true},
        {"half of it", 0.000005, 0.00001, true},
        {"nothing", 0, 0.00001, true},
        {"a tenth above it", 0.000011, 0.00001, false},
        {"a hundredth above it", 0.0000101, 0.00001, false},
        {"a tenth above it, negative", -0.000011, 0.00001, false},
        {"a residue above it, summed", 7.000021 - 7.00001, 0.00001, false},
        {"a larger Epsilon", 0.001, 0.001, true},
        {"a larger Epsilon, above", 0.0011, 0.001, false},
        {"no tolerance: only zero", 1e-300, 0, false},
        {"no tolerance, zero", 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(common::isWithinTolerance(c.value, c.epsilon), c.zero);
        EXPECT_EQ(common::isAboveTolerance(c.value, c.epsilon), !c.zero && c.value > 0);
        EXPECT_EQ(common::isBelowTolerance(c.value, c.epsilon), !c.zero && c.value < 0);
        // A statement keeps a key where x < -:Eps OR x > :Eps, :Eps the limit.
        const double limit = common::toleranceLimit(c.epsilon);
        EXPECT_EQ(!(c.value < -limit || c.value > limit), c.zero);
    }
}

} // namespace
