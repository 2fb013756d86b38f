// The effect compiler: an effect file of either language (docs/effect-format.md) to a compiled
// effect. Our GLSL format's stages are passed through with their parameters' block and #line
// directives; a D3D9 effect's HLSL goes through glslang and SPIRV-Cross (hlsl_compile.hpp). Errors
// are "FILE(LINE): error: MESSAGE" lines, every failing stage reported together. No GL: what only
// a driver can find (GLSL our format's authors wrote, the driver's own limits) is found when a
// backend loads the result.
#pragma once
#include <string>

#include "compiler/compiled_effect.hpp"
#include "formats/effect_parse.hpp"
#include "formats/fx_effect.hpp"

namespace compiler {

enum class CompileResult : uint8_t { Compiled, FileMissing, Failed };

// Reads fileName (includes beside it) and compiles it; messages name the file as NativeFileName
// spells it. The languages are told apart by the file's content.
CompileResult CompileEffectFile(const char* fileName, CompiledEffect* out, std::string* error);

// For callers that hold a parsed effect already (the tests describe effects without the reader).
bool CompileFxEffect(const std::string& label, const formats::FxEffect& effect, CompiledEffect* out,
                     std::string* error);
bool CompileGlslEffect(const std::string& label, const formats::EffectDescription& description,
                       CompiledEffect* out, std::string* error);

// Pays glslang's one-time set-up (tables of HLSL built-ins, 20-30 ms) ahead of the first compile.
void WarmCompiler();

// Both languages together: stages × (common + body) for ours, stages × the HLSL text for D3D9
// effects. A small file can name many stages, and each is compiled from its own copy of the text.
constexpr size_t kMaxGeneratedShaderBytes = 16u << 20;
std::string TooMuchShaderText(const std::string& label);

}  // namespace compiler
