// HLSL shader model 2/3 stages to GLSL 3.30: glslang's HLSL front end (DX9-compatible mode) to
// SPIR-V, SPIRV-Cross to GLSL, then the wiring the chain leaves open: inputs, varyings and outputs
// by semantic, the globals' block described member by member. Limits: no tessellation or geometry
// stages; varyings are float vectors of up to four components.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "compiler/compiled_effect.hpp"

namespace compiler {

enum class HlslStage : uint8_t { Vertex, Pixel };
enum class HlslScalar : uint8_t { Float, Int, Bool };
enum class HlslSamplerKind : uint8_t { Tex2D, Cube, Tex3D };

// Where the effect puts one global of a stage's uniform block. Element (i, j) of the global as
// HLSL sees it (row i, column j; a vector is one row) of array element k lies at
// offset + k * arrayStride + i * rowStride + j * columnStride.
struct HlslMember {
  std::string name;  // the global's HLSL name
  HlslScalar scalar = HlslScalar::Float;
  uint32_t rows = 1, columns = 1;
  uint32_t elements = 0;  // 0 when not an array
  uint32_t offset = 0, arrayStride = 0, rowStride = 0, columnStride = 0;
};

struct HlslSampler {
  std::string name;  // HLSL name; the GLSL uniform is GlslSamplerName(unit)
  uint32_t unit = 0;
  HlslSamplerKind kind = HlslSamplerKind::Tex2D;
};

// A vertex input other than position, normal and texture coordinates, which the mesh lacks.
struct HlslDefaultInput {
  std::string semantic;
  uint32_t location = 0;
};

struct HlslStageCode {
  std::string glsl;
  std::string blockName;  // the uniform block holding the globals; empty when there is none
  uint32_t blockSize = 0;
  std::vector<HlslMember> members;
  std::vector<HlslSampler> samplers;
  std::vector<HlslDefaultInput> defaultInputs;  // vertex stages only
  bool readsVpos = false;                       // needs the uniform kTargetHeightUniform
};

struct HlslRequest {
  HlslStage stage = HlslStage::Vertex;
  const std::string* source = nullptr;  // complete HLSL text, entry included
  std::string entry;
  std::string
      blockName;  // the name the stage's uniform block gets; distinct per stage of a program
  // Texture unit of a sampler by its HLSL name, or -1 when the effect does not declare it.
  std::function<int(const std::string&)> samplerUnit;
};

constexpr const char* kAlphaTestMarker = "/*alpha test*/";

std::string GlslSamplerName(uint32_t unit);

// Compiles one stage. On failure returns false and leaves glslang's or SPIRV-Cross's messages in
// *log, one per line, glslang's as "ERROR: 0:LINE: text" with LINE 1-based in *request.source.
// A fragment stage's main ends with kAlphaTestMarker, where the effect may put its alpha test on
// the output `tobrin_out_COLOR0`.
bool CompileHlslStage(const HlslRequest& request, HlslStageCode* out, std::string* log);

// Pays glslang's one-time set-up with a compile of the pass-through stage.
void WarmHlslCompiler();

// Semantics written as the original compiler reads them: upper case, index 0 when none is given.
std::string NormalSemantic(const std::string& semantic);

// A float as an HLSL or GLSL literal that reads back to the same value ("0.5", "2.0", "1e+30").
inline std::string FloatLiteral(float f) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(f));
  std::string s = text;
  if (s.find_first_of(".en") == std::string::npos) s += ".0";
  return s;
}

// Declares the colour varyings (COLOR0, COLOR1...) of a stage's GLSL flat: `direction` is "out"
// for a vertex stage, "in" for a pixel stage. The two stages of a program must agree.
void FlattenColourVaryings(std::string* glsl, const char* direction);

}  // namespace compiler
