#include "fit/fault.h"

#include <cfloat>
#include <cmath>

namespace calvero {

Refusal faultRefusal(FaultKind kind)
{
    switch (kind) {
    case FaultKind::DivisionByZero: return refusalOf(RefusalCode::DivisionByZero);
    case FaultKind::InvalidOperation: return refusalOf(RefusalCode::InvalidOperation);
    case FaultKind::Overflow: return refusalOf(RefusalCode::Overflow);
    }
    return refusalOf(RefusalCode::InvalidOperation);
}

ArithmeticFault::ArithmeticFault(FaultKind kind) : std::runtime_error(refusalText(faultRefusal(kind))), kind_(kind) {}

void raiseFault(FaultKind kind) { throw ArithmeticFault(kind); }

double divide(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) raiseFault(FaultKind::InvalidOperation);
    if (b == 0.0) raiseFault(a == 0.0 ? FaultKind::InvalidOperation : FaultKind::DivisionByZero);
    if (std::isinf(a) && std::isinf(b)) raiseFault(FaultKind::InvalidOperation);
    return checked(a / b);
}

double finiteValue(double value)
{
    if (std::isnan(value)) raiseFault(FaultKind::InvalidOperation);
    if (std::isinf(value)) raiseFault(FaultKind::Overflow);
    return value;
}



} // namespace calvero
