#include "core/apply_operator.h"

#include <cmath>

#include "core/geometry/geom_basic.h"

void ApplyOperator(PendingOperator& op, double& accumulator, double operand) {
    switch (op) {
        case PendingOperator::Multiply:
            accumulator *= operand;
            break;
        case PendingOperator::Divide:
            accumulator = std::fabs(operand) < GeomEpsilon ? 0.0 : accumulator / operand;
            break;
        default:
            accumulator = operand;
            break;
    }
    op = PendingOperator::ValuePresent;
}
