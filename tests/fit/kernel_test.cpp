#include "fit/fault.h"
#include "fit/kernel.h"

#include "fault_expectations.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace calvero;
using calvero::testing::faultOf;

TEST(Log10, ExactPowersOfTen)
{
    EXPECT_DOUBLE_EQ(calvero::log10(1000.0), 3.0);
    EXPECT_DOUBLE_EQ(calvero::log10(0.01), -2.0);
    EXPECT_EQ(calvero::log10(1.0), 0.0);
}

TEST(Log10, FaultsCarryTheStandardTexts)
{
    EXPECT_EQ(faultOf([] { calvero::log10(0.0); }), FaultKind::DivisionByZero);
    EXPECT_EQ(faultOf([] { calvero::log10(-1.0); }), FaultKind::InvalidOperation);
    try {
        calvero::log10(0.0);
    } catch (const ArithmeticFault& fault) {
        EXPECT_STREQ(fault.what(), "Floating point division by zero");
    }
    try {
        calvero::log10(-1.0);
    } catch (const ArithmeticFault& fault) {
        EXPECT_STREQ(fault.what(), "Invalid floating point operation");
    }
}

// Both logarithms refuse the same arguments; the exponential and the rounding
// of an extended value refuse what a double cannot hold.
TEST(LogarithmsAndExponential, SharedFaults)
{
    const struct {
        const char* what;
        double (*operation)();
        FaultKind fault;
    } cases[] = {
        {"ln 0", [] { return naturalLog(0.0); }, FaultKind::DivisionByZero},
        {"ln -1", [] { return naturalLog(-1.0); }, FaultKind::InvalidOperation},
        {"ln NaN", [] { return naturalLog(std::nan("")); }, FaultKind::InvalidOperation},
        {"log10 NaN", [] { return calvero::log10(std::nan("")); }, FaultKind::InvalidOperation},
        {"e^710", [] { return exponential(710.0L); }, FaultKind::Overflow},
        {"1e309 as double", [] { return roundToDouble(1e309L); }, FaultKind::Overflow},
        {"NaN as double", [] { return roundToDouble(std::nanl("")); }, FaultKind::InvalidOperation},
    };
    for (const auto& c : cases) EXPECT_EQ(faultOf(c.operation), c.fault) << c.what;
    EXPECT_DOUBLE_EQ(naturalLog(std::exp(2.5)), 2.5);
    EXPECT_DOUBLE_EQ(exponential(1.0L), std::exp(1.0));
    EXPECT_EQ(exponential(-800.0L), 0.0);
    EXPECT_EQ(roundToDouble(-1e308L), -1e308);
}

TEST(Power, SpecialCasesAndPositiveBases)
{
    EXPECT_EQ(power(0.0, 0.0), 1.0);
    EXPECT_EQ(power(0.0, 3.0), 0.0);
    EXPECT_EQ(power(0.0, -2.0), 0.0);
    EXPECT_DOUBLE_EQ(power(4.0, 0.5), 2.0);
    EXPECT_DOUBLE_EQ(power(10.0, -2.0), 0.01);
    EXPECT_DOUBLE_EQ(power(2.0, 10.0), 1024.0);
}

TEST(Power, NegativeBaseWholeExponentIsExact)
{
    EXPECT_EQ(power(-2.0, 3.0), -8.0);
    EXPECT_EQ(power(-1.5, 2.0), 2.25);
    EXPECT_EQ(power(-2.0, -2.0), 0.25);
    EXPECT_EQ(faultOf([] { power(-2.0, 0.5); }), FaultKind::InvalidOperation);
}

TEST(Power, OverflowIsRaisedAndUnderflowGivesZero)
{
    EXPECT_EQ(faultOf([] { power(10.0, 400.0); }), FaultKind::Overflow);
    try {
        power(10.0, 400.0);
    } catch (const ArithmeticFault& fault) {
        EXPECT_STREQ(fault.what(), "Floating point overflow");
    }
    EXPECT_EQ(power(10.0, -400.0), 0.0);
}

TEST(IntPower, RepeatedMultiplication)
{
    EXPECT_EQ(intPower(-2.0, 3), -8.0);
    EXPECT_EQ(intPower(2.0, -2), 0.25);
    EXPECT_EQ(intPower(5.0, 0), 1.0);
    EXPECT_EQ(intPower(0.0, 0), 1.0);
    EXPECT_EQ(intPower(-1.5, 3), -3.375);
    EXPECT_EQ(faultOf([] { intPower(0.0, -1); }), FaultKind::DivisionByZero);
    EXPECT_EQ(faultOf([] { intPower(1e200, 2); }), FaultKind::Overflow);
}

TEST(SwapValues, ExchangesBitForBit)
{
    double a = -0.0, b = 7.25;
    swapValues(a, b);
    EXPECT_EQ(a, 7.25);
    EXPECT_TRUE(std::signbit(b));
    EXPECT_EQ(b, 0.0);
}

TEST(Divide, HardwareFaults)
{
    EXPECT_EQ(divide(1.0, 4.0), 0.25);
    EXPECT_EQ(faultOf([] { divide(1.0, 0.0); }), FaultKind::DivisionByZero);
    EXPECT_EQ(faultOf([] { divide(0.0, 0.0); }), FaultKind::InvalidOperation);
    EXPECT_EQ(faultOf([] { divide(1e300, 1e-300); }), FaultKind::Overflow);
}
