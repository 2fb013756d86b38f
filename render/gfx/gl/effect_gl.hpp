// The D3D9 effect builder behind CreateEffectFromFile, for callers that hold a parsed effect
// already (the GL tests describe effects without the file reader).
#pragma once
#include <string>

#include "formats/fx_effect.hpp"
#include "render/gfx/gfx.hpp"

namespace gfx::gl {

// Compiles and links every pass; on failure *effect is untouched and *error holds
// "FILE(LINE): error: MESSAGE" lines for every failing stage.
bool BuildFxEffect(const std::string& label, const formats::FxEffect& fx, Effect** effect,
                   std::string* error);

}  // namespace gfx::gl
