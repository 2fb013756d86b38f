// Expressions over parameters that a pass evaluates when it begins (compiled_effect.hpp,
// ExprOp): the shader index of VSArray[VSIndices[ShaderIndex]]. Evaluation allocates nothing and
// cannot fail on an expression CheckExpression has passed.
#pragma once
#include <string>
#include <vector>

#include "compiler/compiled_effect.hpp"

namespace compiler {

// The first component of element IndexOf(index, elements) of parameter `parameter` (index 0 for a
// parameter read whole).
using ParameterReader = float (*)(const void* context, uint32_t parameter, float index);

float EvaluateExpression(const Expression& expression, ParameterReader read, const void* context);

// An index into `count` items: rounded to the nearest whole number, then clamped, so an index the
// program sets out of range picks the first or the last item rather than nothing.
uint32_t IndexOf(float value, uint32_t count);

// A render state's value from an expression's: the nearest whole number, 0 for a negative value
// or NaN, which no state takes.
uint32_t StateValueOf(float value);

// False with the reason when the expression could misbehave: a step that pops more than the stack
// holds or pushes past kMaxExpressionStack, a parameter that is not numeric, a table range outside
// the table, or not exactly one value left.
bool CheckExpression(const Expression& expression, const std::vector<Parameter>& parameters,
                     std::string* why);

}  // namespace compiler
