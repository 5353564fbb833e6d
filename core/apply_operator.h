// The arithmetic step shared by the expression languages of the module (the
// object definition expressions and the wall build-up thicknesses): a
// pending operator and an accumulator combine with the next operand.
#pragma once

enum class PendingOperator {
    None,  // the operand becomes the accumulator
    Multiply,
    Divide,
    ValuePresent,  // a value was taken; the next operand needs an operator first
};

// Combines and leaves op at ValuePresent. A divisor below the single-precision
// epsilon in magnitude gives 0.
void ApplyOperator(PendingOperator& op, double& accumulator, double operand);
