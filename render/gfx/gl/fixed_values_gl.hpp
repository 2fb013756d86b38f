// The device's fixed-function values (compiler/fixed_function.hpp): the transforms the program
// sets and the ones passes set, the material, the lights, the texture factor. One record, as the
// GL context is one: the device writes its transforms here, effects their passes' values, and the
// generated fixed-function stages read it.
#pragma once
#include "compiler/fixed_function.hpp"

namespace gfx::gl {

float* FixedValues();
// Back to the original device's starting values; a new device starts from them.
void ResetFixedValues();

}  // namespace gfx::gl
