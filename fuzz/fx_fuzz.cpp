// Fuzz harness for the D3D9 effect reader (no GL): any bytes as "fuzz.fx" through the
// preprocessor, whose includes are served the same bytes a few times (so nesting, #pragma once
// and the include limits are reached), then the outer-layer parser. Errors must have the
// "FILE(LINE): error: " shape naming a file of the run; a success must be consistent enough for
// the backend to trust: counts within limits, HLSL text aligned with the preprocessed text,
// every pass with a pixel shader whose entry is a function, every sampler's texture a texture.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compiler/hlsl_source.hpp"
#include "formats/fx_effect.hpp"
#include "formats/fx_states.hpp"

using namespace formats;

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fx reader invariant broken: %s\n", what);
  std::abort();
}

// File labels may hold '(' themselves (a #line name, an include name), so the label is matched
// against the files of the run rather than cut at the first parenthesis.
void CheckError(const std::string& error, const std::vector<std::string>& files) {
  size_t open = std::string::npos;
  for (const std::string& f : files)
    if (error.size() > f.size() && error.compare(0, f.size(), f) == 0 && error[f.size()] == '(')
      open = f.size();
  if (open == std::string::npos && error.rfind("fuzz.fx(", 0) == 0) open = 7;
  Check(open != std::string::npos, "error names a file of the run");
  const size_t close = error.find("): error: ", open);
  Check(close != std::string::npos, "error has the FILE(LINE): error: shape");
  Check(std::atoi(error.c_str() + open + 1) >= 1, "error line is 1 or more");
  Check(error.size() > close + 10, "error has a message");
}

void CheckName(const std::string& name, const char* what) {
  Check(name.size() <= kMaxFxNameLength, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (IsFxEffect(bytes.data(), bytes.size())) Check(bytes.find('\0') == std::string::npos, "text");
  int served = 0;
  const FxIncludeReader reader = [&](const std::string& name, bool, const std::string&,
                                     std::string* out, std::string* label, std::string* why) {
    if (++served > 8) {
      *why = "file not found";
      return false;
    }
    *out = bytes;
    *label = name.size() > 40 ? std::string("long.fxh") : name;
    return true;
  };
  FxPreprocessed pre;
  std::string error;
  if (!PreprocessFx("fuzz.fx", bytes, reader, &pre, &error)) {
    CheckError(error, pre.files);
    return 0;
  }
  Check(pre.text.size() <= kMaxFxOutputBytes, "output size limit");
  size_t lines = 0;
  for (char c : pre.text) lines += c == '\n';
  Check(lines == pre.origins.size(), "one origin per line");
  for (const FxLineOrigin& o : pre.origins)
    Check(o.file < pre.files.size() && o.line >= 1, "origin names a file and a line");

  FxEffect fx;
  if (!ParseFx(pre, &fx, &error)) {
    CheckError(error, pre.files);
    return 0;
  }
  Check(fx.hlsl.size() == fx.source.text.size(), "HLSL as long as the text");
  for (size_t i = 0; i < fx.hlsl.size(); ++i)
    Check((fx.hlsl[i] == '\n') == (fx.source.text[i] == '\n'), "HLSL lines are the text's lines");
  Check(!fx.techniques.empty() && fx.techniques.size() <= kMaxFxTechniques, "technique count");
  Check(fx.parameters.size() <= kMaxFxParameters, "parameter count");
  Check(fx.samplers.size() <= kMaxFxSamplers, "sampler count");
  Check(fx.functions.size() <= kMaxFxFunctions, "function count");
  const int lastLine = static_cast<int>(pre.origins.size());
  for (const FxParameter& p : fx.parameters) {
    CheckName(p.name, "parameter name");
    Check(!p.name.empty() && p.line >= 0 && p.line < lastLine, "parameter line");
  }
  for (const FxSampler& s : fx.samplers) {
    CheckName(s.name, "sampler name");
    if (s.texture.empty()) continue;
    bool texture = false;
    for (const FxParameter& p : fx.parameters)
      texture = texture || (p.name == s.texture && p.type.base == FxBase::Texture);
    Check(texture, "a sampler's texture is a texture parameter");
  }
  for (const FxTechnique& t : fx.techniques) {
    CheckName(t.name, "technique name");
    Check(t.passes.size() <= kMaxFxPasses, "pass count");
    for (const FxPass& p : t.passes) {
      Check(p.pixelShader.present, "every pass has a pixel shader");
      for (const FxShaderBinding* b : {&p.vertexShader, &p.pixelShader}) {
        if (!b->present) continue;
        Check(b->profile.size() == 6 || b->profile.size() == 7, "a D3D9 profile");
        if (!b->assembly.empty()) {
          Check(b->entry.empty() && b->profile == FxAsmProfile(b->assembly), "an assembly block");
          continue;
        }
        bool function = false;
        for (const FxFunction& f : fx.functions) function = function || f.name == b->entry;
        Check(function, "a shader's entry is a function");
      }
      for (const FxRenderState& r : p.renderStates) {
        bool known = false;
        for (const char* name : {"ZEnable",          "FillMode",
                                 "ZWriteEnable",     "AlphaTestEnable",
                                 "SrcBlend",         "DestBlend",
                                 "CullMode",         "ZFunc",
                                 "AlphaRef",         "AlphaFunc",
                                 "AlphaBlendEnable", "StencilEnable",
                                 "StencilFail",      "StencilZFail",
                                 "StencilPass",      "StencilFunc",
                                 "StencilRef",       "StencilMask",
                                 "StencilWriteMask", "ColorWriteEnable",
                                 "BlendOp",          "TwoSidedStencilMode",
                                 "CCW_StencilFail",  "CCW_StencilZFail",
                                 "CCW_StencilPass",  "CCW_StencilFunc"})
          known = known || FindFxRenderState(name)->number == r.state;
        Check(known, "only the render states the backend runs are handed on");
      }
    }
  }
  // The compiler's text rewrites keep every line where it was, so its messages keep their places.
  std::string prologue;
  const std::string hlsl = compiler::RewriteQualifierOrder(
      compiler::RewriteLoopScopes(compiler::RewriteConstructorAssignments(
          compiler::RewriteArrayCasts(compiler::RenameBuiltinSemantics(
              compiler::RewriteAssignedGlobals(fx, fx.hlsl, &prologue))))));
  const auto newlines = [](const std::string& text) {
    size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
  };
  Check(newlines(hlsl) == newlines(fx.hlsl), "the rewrites keep the lines");
  return 0;
}
