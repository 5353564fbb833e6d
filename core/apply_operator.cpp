#include "core/apply_operator.h"

#include <cmath>

void ApplyOperator(PendingOperator& op, double& accumulator, double operand) {
    constexpr double kEpsilon = 1.1920928955078125e-07;
    switch (op) {
        case PendingOperator::Multiply:
            accumulator *= operand;
            break;
        case PendingOperator::Divide:
            accumulator = std::fabs(operand) < kEpsilon ? 0.0 : accumulator / operand;
            break;
        default:
            accumulator = operand;
            break;
    }
    op = PendingOperator::ValuePresent;
}
