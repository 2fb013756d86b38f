// The OpenGL side of effects: a compiled effect (compiler/compiled_effect.hpp) loaded into the
// current GL context. CreateEffectFromFile gets its compiled effect from the checking child
// (effect_check.hpp); the tests and tobrin-fxc load ones they compiled themselves.
#pragma once
#include <string>
#include <vector>

#include "compiler/compiled_effect.hpp"
#include "render/gfx/gfx.hpp"

namespace gfx::gl {

// Compiles and links every program; on failure *effect is untouched and *error holds
// "FILE(LINE): error: MESSAGE" lines for every failing stage.
bool LoadCompiledEffect(const compiler::CompiledEffect& compiled, Effect** effect,
                        std::string* error);

// The techniques of an effect of this backend, in file order.
std::vector<std::string> TechniqueNames(Effect* effect);

}  // namespace gfx::gl
