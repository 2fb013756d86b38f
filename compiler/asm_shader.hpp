// Direct3D 9 shader assembly (the body of an effect's `asm { ... }`) translated to one HLSL entry
// function, which the HLSL chain then compiles like any other stage: its inputs and outputs carry
// the registers' semantics, so an assembly stage links with an HLSL one. Constant registers are an
// array in the stage's globals (kAsmVertexConstants, kAsmPixelConstants) that the pass's
// shader-constant states fill; `def` values are written into the code.
// Limits: no subroutines, predicates, vertex texture fetch, bem, texm3x3spec/vspec or texdp3*;
// integer and boolean registers read only their def values.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compiler/hlsl_compile.hpp"

namespace compiler {

// A hostile block cannot make the translation or the generated code grow without bound.
constexpr size_t kMaxAsmTextBytes = 1u << 20;
constexpr size_t kMaxAsmInstructions = 4096;
constexpr int kMaxAsmNesting = 24;  // if, rep and loop blocks inside each other
constexpr int kMaxAsmLoopCount = 255;

constexpr const char* kAsmVertexConstants = "tobrin_vc";
constexpr const char* kAsmPixelConstants = "tobrin_pc";
constexpr const char* kAsmEntry = "tobrin_asm_main";
constexpr uint32_t kAsmBumpStages = 8;

// A register value a pass sets with a literal (VertexShaderConstant[4] = {1, 0, 0, 1}).
struct AsmConstant {
  uint32_t reg = 0;
  float value[4] = {0, 0, 0, 0};
};

struct AsmRequest {
  const std::string* text = nullptr;  // the text between the braces; its line 0 is the brace's
  bool pixel = false;                 // the stage the effect binds it to
  std::vector<AsmConstant> constants;
  // Per texture stage, the bump-environment values texbem and texbeml read: BumpEnvMat00, 01, 10,
  // 11, BumpEnvLScale, BumpEnvLOffset, as the pass leaves them.
  float bumpEnv[kAsmBumpStages][6] = {};
  // The effect's sampler that sampler register (or ps_1_x texture stage) `reg` reads, and its
  // kind; false when none does.
  std::function<bool(uint32_t reg, std::string* name, HlslSamplerKind* kind)> sampler;
};

struct AsmShader {
  std::string profile;             // "vs_1_1", "ps_2_x", ...
  std::string hlsl;                // complete HLSL text, entry kAsmEntry
  uint32_t constantRegisters = 0;  // length of the constant array it reads; 0 when none
};

// The version is read by formats::FxAsmProfile. On failure *line is the 0-based line of the text at
// fault and *message says what.
bool TranslateAsmShader(const AsmRequest& request, AsmShader* out, int* line, std::string* message);

}  // namespace compiler
