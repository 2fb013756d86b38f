#include "render/gfx/gl/fixed_values_gl.hpp"

namespace gfx::gl {
namespace {

struct Record {
  float values[compiler::kFixedValueFloats];
  Record() { compiler::FixedDefaults(values); }
};

Record& TheRecord() {
  static Record record;
  return record;
}

}  // namespace

float* FixedValues() { return TheRecord().values; }

void ResetFixedValues() { compiler::FixedDefaults(TheRecord().values); }

}  // namespace gfx::gl
