#include "numberlimits.h"

#include <cmath>

namespace common {

bool isAcceptableNumber(double value)
{
    return std::isfinite(value) && std::abs(value) < kLargestNumber;
}

} // namespace common
