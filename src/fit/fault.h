#pragma once
// Arithmetic faults of the calculations. The fits do not validate their data:
// a logarithm of 0, a division by zero or an overflow abandons the calculation
// with one of these exceptions, whose text is the one shown to the user. Every
// operation of the engine goes through divide() or checked() (or a kernel
// routine built on them), so no fault passes silently. The exception stays in
// the engine: calculate() turns it into a refusal, and what other layers
// evaluate they evaluate through functions that give no value instead
// (curveValue, surfaceValue).
#include "common/refusal.h"

#include <cfloat>
#include <cmath>
#include <stdexcept>

namespace calvero {

enum class FaultKind { DivisionByZero, InvalidOperation, Overflow };

class ArithmeticFault : public std::runtime_error {
public:
    explicit ArithmeticFault(FaultKind kind);
    FaultKind kind() const { return kind_; }

private:
    FaultKind kind_;
};

// The refusal a fault ends a calculation with.
Refusal faultRefusal(FaultKind kind);
[[noreturn]] void raiseFault(FaultKind kind);

// a / b with the faults of the hardware division: 0/0 is an invalid
// operation, x/0 a division by zero, a finite quotient too large an overflow.
double divide(double a, double b);

// Checks the result of an operation on finite operands: infinity is an
// overflow, NaN an invalid operation. Values below the normal range become 0.
// Inline: the engine checks every operation.
inline double checked(double value)
{
    if (std::isnan(value)) raiseFault(FaultKind::InvalidOperation);
    if (std::isinf(value)) raiseFault(FaultKind::Overflow);
    if (value != 0.0 && std::fabs(value) < DBL_MIN) return 0.0;
    return value;
}

// The value itself when it is finite; else the fault of the operation that
// made it (overflow for an infinity, invalid operation for NaN). For a
// value about to be written, whose text has no room for either.
double finiteValue(double value);

} // namespace calvero
