// Fuzz harness for the shader assembly translator (no GL, no HLSL compile): any bytes as the text
// of an asm block, bound as a vertex and as a pixel shader, with pass literals on a few registers.
// A refusal must name a line of the text and say why; a translation must stay within the limits:
// an entry, a constant array no longer than the register file, text bounded by the instructions.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "compiler/asm_shader.hpp"

using namespace compiler;

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "assembly translator invariant broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  int lines = 0;
  for (char c : text) lines += c == '\n';
  for (const bool pixel : {false, true}) {
    AsmRequest request;
    request.text = &text;
    request.pixel = pixel;
    request.constants = {{0, {1, 0, 0, 1}}, {255, {0, 1, 0, 1}}};
    request.bumpEnv[1][0] = 0.5f;
    request.bumpEnv[2][4] = std::numeric_limits<float>::infinity();  // read as 0
    request.sampler = [](uint32_t reg, std::string* name, HlslSamplerKind* kind) {
      if (reg % 3 == 2) return false;
      *name = "sampler" + std::to_string(reg);
      *kind = reg % 3 ? HlslSamplerKind::Cube : HlslSamplerKind::Tex2D;
      return true;
    };
    AsmShader shader;
    int line = -1;
    std::string message;
    if (!TranslateAsmShader(request, &shader, &line, &message)) {
      Check(line >= 0 && line <= lines, "a refusal names a line of the text");
      Check(!message.empty() && message.find('\n') == std::string::npos,
            "a refusal says why, on one line");
      continue;
    }
    Check(shader.profile.size() == 6 && (shader.profile[0] == 'p') == pixel, "the stage's profile");
    Check(shader.hlsl.find(std::string("void ") + kAsmEntry + "(") != std::string::npos,
          "the entry is written");
    Check(shader.constantRegisters <= 256, "constant registers within the register file");
    Check(shader.hlsl.size() <= 64 * 1024 + 512 * text.size(), "text bounded by the input");
  }
  return 0;
}
