#pragma once
// The kind of arithmetic fault an operation raises, for tests.
#include "fit/fault.h"

#include <gtest/gtest.h>

namespace calvero::testing {

inline FaultKind faultOf(auto&& operation)
{
    try {
        operation();
    } catch (const ArithmeticFault& fault) {
        return fault.kind();
    }
    ADD_FAILURE() << "no arithmetic fault raised";
    return FaultKind::Overflow;
}

} // namespace calvero::testing
