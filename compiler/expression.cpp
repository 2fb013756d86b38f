// The evaluator of pass expressions: a fixed stack on the C++ stack, one step at a time.
#include "compiler/expression.hpp"

#include <algorithm>
#include <cmath>

namespace compiler {
namespace {

// How many values a step pops and pushes.
int Pops(ExprOp op) {
  switch (op) {
    case ExprOp::Constant:
    case ExprOp::Parameter: return 0;
    case ExprOp::ParameterElement:
    case ExprOp::TableElement:
    case ExprOp::Negate:
    case ExprOp::Not: return 1;
    case ExprOp::Select: return 3;
    default: return 2;
  }
}

}  // namespace

uint32_t IndexOf(float value, uint32_t count) {
  if (count == 0 || !(value > 0)) return 0;  // NaN reads as 0
  const float rounded = std::floor(value + 0.5f);
  return rounded >= static_cast<float>(count) ? count - 1 : static_cast<uint32_t>(rounded);
}

uint32_t StateValueOf(float value) {
  if (!(value > 0)) return 0;
  const float rounded = std::floor(value + 0.5f);
  return rounded >= 4294967040.0f ? 4294967040u : static_cast<uint32_t>(rounded);
}

float EvaluateExpression(const Expression& expression, ParameterReader read, const void* context) {
  float stack[kMaxExpressionStack] = {};
  uint32_t top = 0;  // values on the stack
  for (const ExprStep& step : expression.steps) {
    float* a = stack + top - Pops(step.op);
    switch (step.op) {
      case ExprOp::Constant: *a = step.value; break;
      case ExprOp::Parameter: *a = read(context, step.index, 0); break;
      case ExprOp::ParameterElement: *a = read(context, step.index, *a); break;
      case ExprOp::TableElement: *a = expression.table[step.index + IndexOf(*a, step.count)]; break;
      case ExprOp::Negate: *a = -*a; break;
      case ExprOp::Not: *a = *a == 0 ? 1.0f : 0.0f; break;
      case ExprOp::Add: *a += a[1]; break;
      case ExprOp::Subtract: *a -= a[1]; break;
      case ExprOp::Multiply: *a *= a[1]; break;
      case ExprOp::Divide: *a /= a[1]; break;
      case ExprOp::Less: *a = *a < a[1]; break;
      case ExprOp::LessEqual: *a = *a <= a[1]; break;
      case ExprOp::Greater: *a = *a > a[1]; break;
      case ExprOp::GreaterEqual: *a = *a >= a[1]; break;
      case ExprOp::Equal: *a = *a == a[1]; break;
      case ExprOp::NotEqual: *a = *a != a[1]; break;
      case ExprOp::And: *a = *a != 0 && a[1] != 0; break;
      case ExprOp::Or: *a = *a != 0 || a[1] != 0; break;
      case ExprOp::Select: *a = *a != 0 ? a[1] : a[2]; break;
    }
    top = static_cast<uint32_t>(a - stack) + 1;
  }
  return top ? stack[0] : 0.0f;
}

bool CheckExpression(const Expression& expression, const std::vector<Parameter>& parameters,
                     std::string* why) {
  int top = 0;
  for (const ExprStep& step : expression.steps) {
    if (step.op > ExprOp::Select) return *why = "an expression step is unknown", false;
    if (top < Pops(step.op)) return *why = "an expression step pops an empty stack", false;
    top += 1 - Pops(step.op);
    if (top > static_cast<int>(kMaxExpressionStack))
      return *why = "an expression needs more than its stack", false;
    if (step.op == ExprOp::Parameter || step.op == ExprOp::ParameterElement) {
      if (step.index >= parameters.size() || parameters[step.index].kind == ParameterKind::Texture)
        return *why = "an expression reads no numeric parameter", false;
    }
    if (step.op == ExprOp::TableElement &&
        (step.count == 0 || step.index > expression.table.size() ||
         step.count > expression.table.size() - step.index))
      return *why = "an expression reads outside its table", false;
  }
  if (!expression.steps.empty() && top != 1)
    return *why = "an expression leaves other than one value", false;
  return true;
}

}  // namespace compiler
