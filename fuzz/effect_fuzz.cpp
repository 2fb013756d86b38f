// Fuzz harness for the effect file's outer syntax (no GL): any bytes as "Za_rad_2.fx". A parse
// either fails with an error in the documented "FILE(LINE): error: " shape, or yields a description
// whose every cross-reference and count is within bounds, so the GL side can trust it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/effect_parse.hpp"

using namespace formats;

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "effect parser invariant broken: %s\n", what);
  std::abort();
}

void CheckName(const std::string& name, const char* what) {
  Check(!name.empty() && name.size() <= kMaxEffectNameLength, what);
}

void CheckLine(int line, int lines, const char* what) { Check(line >= 1 && line <= lines, what); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  int lines = 1;
  for (size_t i = 0; i < size; ++i) lines += text[i] == '\n';

  EffectDescription effect;
  std::string error;
  if (!ParseEffect("fuzz.fx", text, size, &effect, &error)) {
    Check(error.rfind("fuzz.fx(", 0) == 0, "error starts with the file name and a line");
    const size_t close = error.find("): error: ");
    Check(close != std::string::npos, "error has the \"): error: \" separator");
    const int line = std::atoi(error.c_str() + 8);
    CheckLine(line, lines, "error line within the file");
    Check(error.size() > close + 10, "error has a message");
    return 0;
  }

  Check(size <= kMaxEffectFileBytes, "size limit");
  Check(effect.parameters.size() <= kMaxEffectParameters, "parameter count");
  Check(effect.samplers.size() <= kMaxEffectSamplers, "sampler count");
  Check(effect.shaders.size() <= kMaxEffectShaders, "shader count");
  Check(!effect.techniques.empty() && effect.techniques.size() <= kMaxEffectTechniques,
        "technique count");
  for (const EffectParameter& p : effect.parameters) {
    CheckName(p.name, "parameter name");
    CheckLine(p.line, lines, "parameter line");
    Check(p.type <= ParamType::Texture, "parameter type");
  }
  for (const EffectSampler& s : effect.samplers) {
    CheckName(s.name, "sampler name");
    CheckLine(s.line, lines, "sampler line");
    Check(s.texture < effect.parameters.size(), "sampler texture index");
    Check(effect.parameters[s.texture].type == ParamType::Texture, "sampler samples a texture");
    Check(effect.parameters[s.texture].name == s.textureName, "sampler texture name");
  }
  if (effect.hasCommon) CheckLine(effect.commonLine, lines, "common line");
  for (const EffectShader& sh : effect.shaders) {
    CheckName(sh.name, "shader name");
    CheckLine(sh.line, lines, "shader line");
    CheckLine(sh.bodyLine, lines, "shader body line");
    Check(sh.body.size() <= size, "shader body within the file");
  }
  for (const EffectTechnique& t : effect.techniques) {
    CheckName(t.name, "technique name");
    CheckLine(t.line, lines, "technique line");
    Check(t.passes.size() <= kMaxEffectPasses, "pass count");
    for (const EffectPass& pass : t.passes) {
      CheckName(pass.name, "pass name");
      CheckLine(pass.line, lines, "pass line");
      Check(pass.vertexShader < effect.shaders.size(), "vertex shader index");
      Check(pass.fragmentShader < effect.shaders.size(), "fragment shader index");
      Check(effect.shaders[pass.vertexShader].stage == ShaderStage::Vertex, "vertex stage");
      Check(effect.shaders[pass.fragmentShader].stage == ShaderStage::Fragment, "fragment stage");
      Check(effect.shaders[pass.vertexShader].name == pass.vertexShaderName, "vertex name");
      Check(effect.shaders[pass.fragmentShader].name == pass.fragmentShaderName, "fragment name");
      Check(pass.stateMask < 128, "state mask");
      Check(pass.cull <= CullMode::CCW && pass.fill <= FillMode::Point, "pass state values");
      Check(pass.srcBlend <= Blend::InvDestColor && pass.destBlend <= Blend::InvDestColor,
            "blend values");
    }
  }
  return 0;
}
