// A D3D9 effect: every distinct (stage, entry, arguments) compiled once from the HLSL text, every
// distinct (vertex, pixel, alpha test) one program, all messages of all stages reported.
#include <algorithm>
#include <atomic>
#include <bit>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <tuple>
#include <utility>

#include "compiler/asm_shader.hpp"
#include "compiler/compile_effect.hpp"
#include "compiler/expression.hpp"
#include "compiler/fixed_function.hpp"
#include "compiler/hlsl_compile.hpp"
#include "compiler/hlsl_source.hpp"
#include "compiler/pass_states.hpp"

namespace compiler {
namespace {

using namespace formats;

bool NumericBase(FxBase base) {
  return base == FxBase::Bool || base == FxBase::Int || base == FxBase::Uint ||
         base == FxBase::Half || base == FxBase::Float || base == FxBase::Double;
}

int FindParameter(const CompiledEffect& effect, const std::string& name) {
  for (size_t i = 0; i < effect.parameters.size(); ++i)
    if (effect.parameters[i].name == name) return static_cast<int>(i);
  return -1;
}

// The parameters the program can set: numeric and texture globals that are not static, each name
// once. False with the message for a value the original platform would have used and we cannot.
bool AddParameters(const FxEffect& fx, CompiledEffect* effect, std::string* error) {
  for (const FxParameter& p : fx.parameters) {
    const bool texture = p.type.base == FxBase::Texture;
    // Struct-typed globals are not settable here, so they read 0; an author who gave one a value
    // would get a different picture than on the original platform.
    if (!p.isStatic && p.type.base == FxBase::Struct && !p.initText.empty()) {
      *error = FxLineLabel(fx.source, p.line, 0) + ": error: '" + p.name + "' is a global of " +
               "struct type '" + p.type.name + "' with an initial value, which is not supported" +
               " (give it no initial value, or make it static)\n";
      return false;
    }
    if (p.isStatic || (!texture && !NumericBase(p.type.base))) continue;
    if (FindParameter(*effect, p.name) >= 0) continue;
    // As in our format, a number beyond float's range is a fault of the file, not infinity
    // (the reader leaves such an initialiser as text).
    bool outOfRange = false;
    for (const float v : p.value) outOfRange = outOfRange || !std::isfinite(v);
    if (p.value.empty() && !p.initText.empty()) {
      const char* text = p.initText.c_str();
      char* end = nullptr;
      const double number = std::strtod(text, &end);
      while (end && (*end == 'f' || *end == 'F' || *end == ' ')) ++end;
      outOfRange = end != text && end && *end == '\0' && std::fabs(number) > FLT_MAX;
    }
    if (outOfRange) {
      *error = FxLineLabel(fx.source, p.line, 0) + ": error: the initial value of '" + p.name +
               "' is out of range\n";
      return false;
    }
    Parameter parameter;
    parameter.name = p.name;
    parameter.semantic = p.semantic;
    for (const FxAnnotation& a : p.annotations)
      parameter.annotations.push_back({a.type, a.name, a.value});
    if (texture) {
      parameter.kind = ParameterKind::Texture;
    } else {
      parameter.kind = p.type.rows > 1 ? ParameterKind::Matrix : ParameterKind::Numeric;
      parameter.rows = p.type.rows;
      parameter.columns = p.type.columns;
      parameter.elements = p.type.elements;
      parameter.value.assign(size_t{p.type.rows} * p.type.columns * std::max(p.type.elements, 1u),
                             0.0f);
      std::copy(p.value.begin(), p.value.begin() + std::min(p.value.size(), parameter.value.size()),
                parameter.value.begin());
    }
    effect->parameters.push_back(std::move(parameter));
  }
  return true;
}

Scalar ScalarOf(HlslScalar scalar) {
  return scalar == HlslScalar::Int    ? Scalar::Int
         : scalar == HlslScalar::Bool ? Scalar::Bool
                                      : Scalar::Float;
}

SamplerKind KindOf(HlslSamplerKind kind) {
  return kind == HlslSamplerKind::Cube    ? SamplerKind::Cube
         : kind == HlslSamplerKind::Tex3D ? SamplerKind::Tex3D
                                          : SamplerKind::Tex2D;
}

// The globals of one stage's block, each filled from the parameter of its name; a member of
// kSetFlagPrefix says whether the program has set it (RewriteAssignedGlobals).
Block BlockOf(const HlslStageCode& code, uint32_t binding, const CompiledEffect& effect) {
  Block block;
  block.name = code.blockName;
  block.binding = binding;
  block.size = code.blockSize;
  for (const HlslMember& m : code.members) {
    std::string name = m.name;
    const bool setFlag = name.rfind(kSetFlagPrefix, 0) == 0;
    if (setFlag) name = name.substr(std::strlen(kSetFlagPrefix));
    if (name.rfind(kAssignedGlobalPrefix, 0) == 0)
      name = name.substr(std::strlen(kAssignedGlobalPrefix));
    if (name.rfind(kFixedGlobalPrefix, 0) == 0) {
      for (uint32_t slot = 0; slot < kFixedSlotCount; ++slot)
        if (name.substr(std::strlen(kFixedGlobalPrefix)) == FixedSlotOf(slot).name)
          block.members.push_back({slot, Scalar::Float, m.rows, m.columns, m.elements, m.offset,
                                   m.arrayStride, m.rowStride, m.columnStride, false, true});
      continue;
    }
    const int parameter = FindParameter(effect, name);
    if (parameter < 0 || effect.parameters[parameter].kind == ParameterKind::Texture) continue;
    block.members.push_back({static_cast<uint32_t>(parameter), ScalarOf(m.scalar), m.rows,
                             m.columns, m.elements, m.offset, m.arrayStride, m.rowStride,
                             m.columnStride, setFlag});
  }
  return block;
}

// The kind of texture an assembly stage samples through a sampler: its declared type's.
HlslSamplerKind SamplerKindOf(const FxSampler& sampler) {
  std::string type;
  for (char c : sampler.type.name) type += static_cast<char>(std::tolower(c));
  if (type.find("cube") != std::string::npos) return HlslSamplerKind::Cube;
  if (type.find("3d") != std::string::npos) return HlslSamplerKind::Tex3D;
  return HlslSamplerKind::Tex2D;
}

// An assembly stage's constant registers, filled from the parameters the pass's shader-constant
// states name. A matrix takes one register per column as the effect stores it (so `m4x4 oPos, v0,
// c0` computes mul(v0, M) as HLSL does), one per row when it is row_major; an array's elements
// follow one another. A ...Constant1 to 4 state writes no more registers than it says.
Block AsmBlockOf(const HlslStageCode& code, uint32_t binding, const CompiledEffect& effect,
                 const FxEffect& fx, const std::vector<FxShaderConstant>& constants,
                 const char* array) {
  Block block;
  block.name = code.blockName;
  block.binding = binding;
  block.size = code.blockSize;
  const HlslMember* registers = nullptr;
  for (const HlslMember& m : code.members)
    if (m.name == array) registers = &m;
  if (!registers) return block;
  const uint32_t length = std::max(registers->elements, 1u);
  for (const FxShaderConstant& c : constants) {
    const int index = FindParameter(effect, c.parameter);
    if (c.parameter.empty() || index < 0 || c.reg >= length) continue;
    const Parameter& p = effect.parameters[index];
    if (p.kind == ParameterKind::Texture) continue;
    bool rowMajor = false;
    for (const FxParameter& from : fx.parameters)
      if (from.name == p.name) rowMajor = from.type.rowMajor;
    const bool columns = p.kind == ParameterKind::Matrix && !rowMajor;
    const uint32_t perElement = columns ? p.columns : p.rows;
    const uint32_t elements = std::max(p.elements, 1u);
    uint32_t room = length - c.reg;
    if (c.count) room = std::min(room, c.count);
    BlockMember member{static_cast<uint32_t>(index),
                       Scalar::Float,
                       p.rows,
                       p.columns,
                       p.elements,
                       registers->offset + c.reg * registers->arrayStride,
                       perElement * registers->arrayStride,
                       columns ? 4u : registers->arrayStride,
                       columns ? registers->arrayStride : 4u,
                       false};
    if (room < perElement * elements) {
      if (p.elements > 0) {
        member.elements = room / perElement;
        if (member.elements == 0) continue;
      } else if (columns) {
        member.columns = room;
      } else {
        member.rows = room;
      }
    }
    block.members.push_back(member);
  }
  return block;
}

// ps_1_1 to ps_1_4 are compiled as ps_2_0, which is what the original compiler's
// backwards-compatibility switch does with them; one line says so, at the first such pass.
// sRGB decoding needs textures of an sRGB format, which the program does not make; the texture is
// read as stored, its mid-tones brighter than the effect expects, and the build says so rather
// than refusing the effect.
void WarnAboutSrgbTexture(const FxSamplerState& state, const std::string& place,
                          const std::string& sampler, CompiledEffect* effect) {
  constexpr uint32_t kSampSrgbTexture = 11;
  if (state.state != kSampSrgbTexture || state.value == 0) return;
  effect->warnings.push_back(place + ": warning: sampler " + sampler +
                             " sets SRGBTexture; its texture is read as stored, without sRGB "
                             "decoding");
}

void WarnAboutPixelShaderModel1(const FxEffect& fx, CompiledEffect* effect) {
  for (const FxTechnique& technique : fx.techniques)
    for (const FxPass& pass : technique.passes) {
      const FxShaderBinding& ps = pass.pixelShader;
      if (!ps.present || !ps.assembly.empty() || ps.profile.rfind("ps_1_", 0) != 0) continue;
      effect->warnings.push_back(FxLineLabel(fx.source, ps.line, 0) + ": warning: " + ps.profile +
                                 " is compiled as ps_2_0, as the original compiler's "
                                 "backwards-compatibility mode compiles it");
      return;
    }
}

// The fixed-function configuration a pass runs with: the device's states as the passes of its
// technique leave them, from the platform's defaults at the technique's start (the program sets
// none of them itself).
struct FixedState {
  FixedVertexConfig vertex;
  FixedPixelConfig pixel = DefaultPixelConfig();
  uint32_t lightType[kFixedLights] = {3, 3, 3, 3, 3, 3, 3, 3};
  bool lightOn[kFixedLights] = {};
  int texture[kFixedStages] = {-1, -1, -1, -1, -1, -1, -1, -1};  // parameter index
  float bumpEnv[kAsmBumpStages][6] = {};  // what texbem and texbeml read, as in AsmRequest
};

void ColourOf(uint32_t argb, std::vector<float>* out) {
  *out = {((argb >> 16) & 255) / 255.0f, ((argb >> 8) & 255) / 255.0f, (argb & 255) / 255.0f,
          (argb >> 24) / 255.0f};
}

// Applies one pass's fixed-function states to *state and lists the values it sets on the device.
// False with the message for a configuration given by a parameter (it shapes the generated code).
bool ApplyFixedStates(const FxEffect& fx, const CompiledEffect& effect, const FxPass& pass,
                      FixedState* state, std::vector<FixedValue>* values, std::string* error) {
  for (const FxRenderState& rs : pass.renderStates) {
    switch (rs.state) {
      case kRsLighting: state->vertex.lighting = rs.value != 0; break;
      case kRsSpecularEnable:
        state->vertex.specular = rs.value != 0;
        state->pixel.specular = rs.value != 0;
        break;
      case kRsLocalViewer: state->vertex.localViewer = rs.value != 0; break;
      case kRsNormalizeNormals: state->vertex.normalizeNormals = rs.value != 0; break;
      case kRsAmbient:
      case kRsTextureFactor: {
        FixedValue v;
        v.slot = rs.state == kRsAmbient ? kFixedAmbient : kFixedTextureFactor;
        ColourOf(rs.value, &v.value);
        values->push_back(std::move(v));
        break;
      }
      default: break;
    }
  }
  for (const FxFixedState& st : pass.fixedStates) {
    const uint32_t n = st.index;
    FixedStageConfig& stage = state->pixel.stages[n < kFixedStages ? n : 0];
    const auto configured = [&](uint32_t* field) {
      if (!st.parameter.empty()) {
        *error += FxLineLabel(fx.source, st.line, 0) + ": error: this fixed-function state takes " +
                  "its value from parameter '" + st.parameter +
                  "'; only constants configure the fixed-function stages\n";
        return;
      }
      *field = st.number;
    };
    int slot = -1;
    switch (st.state) {
      case FxFixed::WorldTransform:
        if (n == 0) slot = kFixedWorld;  // the other matrices blend vertices, which we do not
        break;
      case FxFixed::ViewTransform: slot = kFixedView; break;
      case FxFixed::ProjectionTransform: slot = kFixedProjection; break;
      case FxFixed::TextureTransform: slot = kFixedTextureMatrix; break;
      case FxFixed::MaterialDiffuse: slot = kFixedMaterialDiffuse; break;
      case FxFixed::MaterialAmbient: slot = kFixedMaterialAmbient; break;
      case FxFixed::MaterialSpecular: slot = kFixedMaterialSpecular; break;
      case FxFixed::MaterialEmissive: slot = kFixedMaterialEmissive; break;
      case FxFixed::MaterialPower: slot = kFixedMaterialPower; break;
      case FxFixed::LightDiffuse: slot = kFixedLightDiffuse; break;
      case FxFixed::LightSpecular: slot = kFixedLightSpecular; break;
      case FxFixed::LightAmbient: slot = kFixedLightAmbient; break;
      case FxFixed::LightPosition: slot = kFixedLightPosition; break;
      case FxFixed::LightDirection: slot = kFixedLightDirection; break;
      case FxFixed::LightRange: slot = kFixedLightRange; break;
      case FxFixed::LightFalloff: slot = kFixedLightFalloff; break;
      case FxFixed::LightAttenuation0: slot = kFixedLightAttenuation0; break;
      case FxFixed::LightAttenuation1: slot = kFixedLightAttenuation1; break;
      case FxFixed::LightAttenuation2: slot = kFixedLightAttenuation2; break;
      case FxFixed::LightTheta: slot = kFixedLightTheta; break;
      case FxFixed::LightPhi: slot = kFixedLightPhi; break;
      case FxFixed::Constant: slot = kFixedStageConstant; break;
      case FxFixed::LightType: configured(&state->lightType[n]); break;
      case FxFixed::LightEnable: {
        uint32_t on = 0;
        configured(&on);
        state->lightOn[n] = on != 0;
        break;
      }
      case FxFixed::Texture:
        state->texture[n] = st.parameter.empty() ? -1 : FindParameter(effect, st.parameter);
        break;
      case FxFixed::ColorOp: configured(&stage.colorOp); break;
      case FxFixed::ColorArg0: configured(&stage.colorArg[0]); break;
      case FxFixed::ColorArg1: configured(&stage.colorArg[1]); break;
      case FxFixed::ColorArg2: configured(&stage.colorArg[2]); break;
      case FxFixed::AlphaOp: configured(&stage.alphaOp); break;
      case FxFixed::AlphaArg0: configured(&stage.alphaArg[0]); break;
      case FxFixed::AlphaArg1: configured(&stage.alphaArg[1]); break;
      case FxFixed::AlphaArg2: configured(&stage.alphaArg[2]); break;
      case FxFixed::ResultArg: configured(&stage.resultArg); break;
      case FxFixed::TexCoordIndex: configured(&state->vertex.texCoordIndex[n]); break;
      case FxFixed::TextureTransformFlags:
        configured(&state->vertex.transformFlags[n]);
        stage.transformFlags = state->vertex.transformFlags[n];
        break;
      case FxFixed::BumpEnvMat00:
      case FxFixed::BumpEnvMat01:
      case FxFixed::BumpEnvMat10:
      case FxFixed::BumpEnvMat11:
      case FxFixed::BumpEnvLScale:
      case FxFixed::BumpEnvLOffset: {
        // Read by assembly stages, which compile with them: a parameter gives its initial value.
        const int k = static_cast<int>(st.state) - static_cast<int>(FxFixed::BumpEnvMat00);
        float value = st.value.empty() ? 0.0f : st.value[0];
        for (const FxParameter& p : fx.parameters)
          if (!st.parameter.empty() && p.name == st.parameter)
            value = st.element < p.value.size() ? p.value[st.element] : 0.0f;
        if (n < kAsmBumpStages) state->bumpEnv[n][k] = value;
        break;
      }
      default: break;
    }
    if (slot < 0) continue;
    FixedValue v;
    v.slot = static_cast<uint32_t>(slot);
    v.element = FixedSlotOf(v.slot).elements ? n : 0;
    if (!st.parameter.empty()) {
      v.parameter = FindParameter(effect, st.parameter);
      v.parameterElement = st.element;
      if (v.parameter < 0) continue;  // a static: its value was read as a constant
    } else {
      v.value = st.value;
    }
    values->push_back(std::move(v));
  }
  for (uint32_t l = 0; l < kFixedLights; ++l)
    state->vertex.lightType[l] = state->lightOn[l] ? state->lightType[l] : 0;
  return true;
}

// Keys that tell configurations apart, for compiling each distinct one once.
std::string KeyOf(const FixedVertexConfig& c) {
  std::string key = std::to_string(c.lighting) + std::to_string(c.specular) +
                    std::to_string(c.localViewer) + std::to_string(c.normalizeNormals);
  for (uint32_t i = 0; i < kFixedLights; ++i) key += "," + std::to_string(c.lightType[i]);
  for (uint32_t i = 0; i < kFixedStages; ++i)
    key += "," + std::to_string(c.texCoordIndex[i]) + "/" + std::to_string(c.transformFlags[i]);
  return key;
}
std::string KeyOf(const FixedPixelConfig& c) {
  std::string key = std::to_string(c.specular);
  for (const FixedStageConfig& s : c.stages) {
    key += "," + std::to_string(s.colorOp) + "/" + std::to_string(s.alphaOp) + "/" +
           std::to_string(s.resultArg) + "/" + std::to_string(s.transformFlags) + "/" +
           std::to_string(s.unit);
    for (int a = 0; a < 3; ++a)
      key += "/" + std::to_string(s.colorArg[a]) + "/" + std::to_string(s.alphaArg[a]);
  }
  return key;
}

static_assert(static_cast<int>(FxOp::Select) == static_cast<int>(ExprOp::Select) &&
                  static_cast<int>(FxOp::Element) == static_cast<int>(ExprOp::ParameterElement),
              "FxOp and ExprOp list the same operations in the same order");

// The reader's expression with parameters by their index in the compiled effect. False with the
// name of a parameter the program cannot set (a struct, say), which no evaluation could read.
bool ExpressionOf(const std::vector<FxExprStep>& steps, const CompiledEffect& effect,
                  Expression* out, std::string* missing) {
  for (const FxExprStep& from : steps) {
    ExprStep step;
    step.op = static_cast<ExprOp>(from.op);
    step.value = from.value;
    if (from.op == FxOp::Parameter || from.op == FxOp::Element) {
      const int p = FindParameter(effect, from.parameter);
      if (p < 0 || effect.parameters[p].kind == ParameterKind::Texture) {
        *missing = from.parameter;
        return false;
      }
      step.index = static_cast<uint32_t>(p);
    } else if (from.op == FxOp::TableElement) {
      step.index = static_cast<uint32_t>(out->table.size());
      step.count = static_cast<uint32_t>(from.table.size());
      out->table.insert(out->table.end(), from.table.begin(), from.table.end());
    }
    out->steps.push_back(step);
  }
  return true;
}

// The parameters' values while the compiler tries indices: initial values, but for the scalars
// being varied.
struct TrialValues {
  const CompiledEffect* effect;
  const std::vector<uint32_t>* varied;
  const std::vector<float>* values;  // parallel to varied
};

float TrialValue(const void* context, uint32_t parameter, float index) {
  const TrialValues& trial = *static_cast<const TrialValues*>(context);
  const Parameter& p = trial.effect->parameters[parameter];
  const uint32_t element = IndexOf(index, std::max(p.elements, 1u));
  for (size_t k = 0; k < trial.varied->size(); ++k)
    if ((*trial.varied)[k] == parameter && element == 0) return (*trial.values)[k];
  const size_t at = size_t{element} * p.rows * p.columns;
  return at < p.value.size() ? p.value[at] : 0.0f;
}

// The (vertex, pixel) index pairs a pass's expressions reach, as flags in pass.programs' order.
// The scalars they read are tried at every whole number from -1 past the longest array involved
// and around every constant they compare with; arrays they look up keep their initial values.
// When that is too many trials, every pair counts as reached.
std::vector<bool> ReachedPairs(const CompiledEffect& effect, const Pass& pass) {
  std::vector<bool> reached(size_t{pass.vertexShaders} * pass.pixelShaders, false);
  std::vector<uint32_t> varied;
  std::vector<float> constants;
  uint32_t longest = std::max(pass.vertexShaders, pass.pixelShaders);
  for (const Expression* e : {&pass.vertexIndex, &pass.pixelIndex})
    for (const ExprStep& step : e->steps) {
      if (step.op == ExprOp::Parameter &&
          std::find(varied.begin(), varied.end(), step.index) == varied.end())
        varied.push_back(step.index);
      if (step.op == ExprOp::ParameterElement)
        longest = std::max(longest, effect.parameters[step.index].elements);
      if (step.op == ExprOp::TableElement) longest = std::max(longest, step.count);
      if (step.op == ExprOp::Constant) constants.push_back(step.value);
    }
  std::vector<float> candidates;
  for (uint32_t k = 0; k <= longest + 1; ++k) candidates.push_back(static_cast<float>(k) - 1.0f);
  for (const float c : constants)
    for (const float d : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) candidates.push_back(c + d);
  double trials = 1;
  for (size_t k = 0; k < varied.size(); ++k) trials *= static_cast<double>(candidates.size());
  if (trials > 65536) {
    reached.assign(reached.size(), true);
    return reached;
  }
  std::vector<size_t> odometer(varied.size(), 0);
  std::vector<float> values(varied.size(), 0.0f);
  const TrialValues trial{&effect, &varied, &values};
  for (;;) {
    for (size_t k = 0; k < varied.size(); ++k) values[k] = candidates[odometer[k]];
    const uint32_t v =
        IndexOf(EvaluateExpression(pass.vertexIndex, TrialValue, &trial), pass.vertexShaders);
    const uint32_t p =
        IndexOf(EvaluateExpression(pass.pixelIndex, TrialValue, &trial), pass.pixelShaders);
    reached[size_t{v} * pass.pixelShaders + p] = true;
    size_t k = 0;
    while (k < odometer.size() && ++odometer[k] == candidates.size()) odometer[k++] = 0;
    if (k == odometer.size()) break;
  }
  return reached;
}

}  // namespace

bool CompileFxEffect(const std::string& label, const FxEffect& fx, CompiledEffect* out,
                     std::string* error) {
  CompiledEffect effect;
  effect.language = SourceLanguage::Hlsl;
  effect.file = label;
  const FxPreprocessed& source = fx.source;
  if (!AddParameters(fx, &effect, error)) return false;
  WarnAboutPixelShaderModel1(fx, &effect);

  if (fx.samplers.size() > kMaxTextureUnits) {
    *error = FxLineLabel(source, fx.samplers[kMaxTextureUnits].line, 0) + ": error: more than " +
             std::to_string(kMaxTextureUnits) + " samplers\n";
    return false;
  }
  SamplerSet own;
  for (uint32_t s = 0; s < fx.samplers.size(); ++s) {
    const FxSampler& from = fx.samplers[s];
    Sampler sampler;
    sampler.name = from.name;
    for (const FxSamplerState& state : from.states) {
      sampler.states.push_back({state.state, state.value});
      WarnAboutSrgbTexture(state, FxLineLabel(source, from.line, 0), "'" + from.name + "'",
                           &effect);
    }
    const int texture = from.texture.empty() ? -1 : FindParameter(effect, from.texture);
    sampler.texture =
        texture >= 0 && effect.parameters[texture].kind == ParameterKind::Texture ? texture : -1;
    own.source.push_back(s);
    own.states.push_back(sampler.states);
    effect.samplers.push_back(std::move(sampler));
  }
  // Stage n of a pass reads the sampler bound to register sn, else the n-th sampler of the file.
  const auto unitOfStage = [&fx](uint32_t stage) {
    size_t unit = stage;
    for (size_t k = 0; k < fx.samplers.size(); ++k)
      if (fx.samplers[k].registerName == "s" + std::to_string(stage) ||
          fx.samplers[k].registerName == "S" + std::to_string(stage))
        unit = k;
    return unit;
  };

  // The fixed-function states of every pass, in the order of the techniques and their passes; a
  // texture a stage reads through Texture[n] gets a sampler of its own, one per (texture, stage).
  std::string messages;
  std::vector<FixedState> fixedOfPass;
  std::vector<std::vector<FixedValue>> fixedValuesOfPass;
  std::vector<std::pair<int, uint32_t>> stageTextures;
  const auto stageTextureUnit = [&](int parameter, uint32_t stage) {
    for (size_t i = 0; i < stageTextures.size(); ++i)
      if (stageTextures[i] == std::make_pair(parameter, stage))
        return static_cast<int>(fx.samplers.size() + i);
    stageTextures.push_back({parameter, stage});
    return static_cast<int>(fx.samplers.size() + stageTextures.size() - 1);
  };
  for (const FxTechnique& technique : fx.techniques) {
    FixedState state;
    for (const FxPass& pass : technique.passes) {
      std::vector<FixedValue> values;
      ApplyFixedStates(fx, effect, pass, &state, &values, &messages);
      for (uint32_t n = 0; n < kFixedStages; ++n) {
        FixedStageConfig& stage = state.pixel.stages[n];
        stage.unit = -1;
        if (state.texture[n] < 0) continue;
        if (!pass.pixelShader.present) {
          if (stage.colorOp == 1) break;
          stage.unit = stageTextureUnit(state.texture[n], n);
        } else if (unitOfStage(n) < fx.samplers.size()) {
          if (effect.samplers[unitOfStage(n)].texture < 0) stageTextureUnit(state.texture[n], n);
        } else if (!pass.pixelShader.assembly.empty()) {
          // An assembly stage with no sampler of the file for this stage reads it directly.
          stage.unit = stageTextureUnit(state.texture[n], n);
        }
      }
      fixedOfPass.push_back(state);
      fixedValuesOfPass.push_back(std::move(values));
    }
  }
  if (fx.samplers.size() + stageTextures.size() > kMaxTextureUnits) {
    *error = FxLineLabel(source, fx.techniques.empty() ? 0 : fx.techniques[0].line, 0) +
             ": error: the samplers and the textures the passes' stages read are more than " +
             std::to_string(kMaxTextureUnits) + "\n";
    return false;
  }
  for (const auto& [parameter, stage] : stageTextures) {
    Sampler sampler;
    sampler.name = "Texture[" + std::to_string(stage) + "] = " + effect.parameters[parameter].name;
    sampler.texture = effect.parameters[parameter].kind == ParameterKind::Texture ? parameter : -1;
    own.source.push_back(static_cast<uint32_t>(effect.samplers.size()));
    own.states.push_back({});
    effect.samplers.push_back(std::move(sampler));
  }
  effect.samplerSets.push_back(own);
  const auto samplerUnit = [&fx, &effect](const std::string& name) {
    for (size_t s = 0; s < fx.samplers.size(); ++s)
      if (fx.samplers[s].name == name) return static_cast<int>(s);
    for (size_t s = fx.samplers.size(); s < effect.samplers.size(); ++s)
      if (name == FixedSamplerName(static_cast<uint32_t>(s))) return static_cast<int>(s);
    return -1;
  };

  std::string prologue;  // statements every entry runs first
  const std::string hlsl = RewriteQualifierOrder(RewriteLoopScopes(RewriteConstructorAssignments(
      RewriteArrayCasts(RenameBuiltinSemantics(RewriteAssignedGlobals(fx, fx.hlsl, &prologue))))));
  if (hlsl.size() > kMaxGeneratedShaderBytes) {
    *error = TooMuchShaderText(label);
    return false;
  }

  // Stages, each compiled once: key "v|entry|arg|arg". The passes name them first; then they are
  // compiled side by side, a thread each up to the machine's cores, and their messages gathered in
  // the order the passes named them.
  struct CompiledStage {
    std::string key, context, text;
    StageOrigin origin = StageOrigin::Hlsl;
    HlslRequest request;
    int line = 0;
    HlslStageCode code;
    std::string log, why;
    bool ok = false;
    bool assembly = false;
    std::vector<FxShaderConstant> constants;  // an assembly stage's, from its pass
  };
  // An assembly stage reads sampler register n through the sampler of that unit, which the pass's
  // Sampler[n] = (name) rebinds in its sampler set; where no unit is left for it, through the
  // bound sampler itself.
  // Without a binding the stage is the fixed-function one of *generatedFor, the fixed-function
  // state of the pass whose stages are being named.
  const FixedState* generatedFor = nullptr;
  int generatedLine = 0;
  const auto asmSampler = [&fx, &unitOfStage, &generatedFor](const FxPass& pass, uint32_t reg,
                                                             std::string* name,
                                                             HlslSamplerKind* kind) {
    const size_t unit = unitOfStage(reg);
    const FxSampler* read = unit < fx.samplers.size() ? &fx.samplers[unit] : nullptr;
    const FxSampler* bound = nullptr;
    for (const FxPassSamplerBinding& binding : pass.samplerBindings)
      for (const FxSampler& s : fx.samplers)
        if (binding.sampler == reg && s.name == binding.name) bound = &s;
    if (!read) read = bound;
    // No sampler of the file: the stage's texture, Texture[n], through a sampler of its own.
    if (!read && generatedFor && reg < kFixedStages && generatedFor->pixel.stages[reg].unit >= 0) {
      *name = FixedSamplerName(static_cast<uint32_t>(generatedFor->pixel.stages[reg].unit));
      *kind = HlslSamplerKind::Tex2D;
      return true;
    }
    if (!read) return false;
    *name = read->name;
    *kind = SamplerKindOf(bound ? *bound : *read);
    return true;
  };
  std::vector<CompiledStage> stages;
  size_t generated = 0;
  bool tooMuch = false;
  const auto stageOf = [&](HlslStage kind, const FxShaderBinding* binding,
                           const std::string& context, const FxPass& pass) -> int {
    const bool assembly = binding && !binding->assembly.empty();
    std::string key = kind == HlslStage::Vertex ? "v" : "p";
    key += binding ? "|" + binding->entry : "|";
    if (binding)
      for (const std::string& argument : binding->arguments) key += "|" + argument;
    else
      key += "fixed|" +
             (kind == HlslStage::Vertex ? KeyOf(generatedFor->vertex) : KeyOf(generatedFor->pixel));
    // An assembly stage depends on the pass's constant states and sampler bindings too.
    std::vector<FxShaderConstant> constants;
    std::vector<AsmConstant> literals;
    if (assembly) {
      for (const FxShaderConstant& c : pass.shaderConstants) {
        if (c.pixel != (kind == HlslStage::Pixel)) continue;
        FxShaderConstant given = c;
        // A static parameter is no parameter of the program: its value is a literal.
        const FxParameter* from = nullptr;
        for (const FxParameter& p : fx.parameters)
          if (p.name == c.parameter) from = &p;
        if (from && FindParameter(effect, c.parameter) < 0) {
          given.parameter.clear();
          given.value = from->value;
          given.value.resize((given.value.size() + 3) / 4 * 4, 0.0f);
        }
        key += "|c" + std::to_string(given.reg) + "," + std::to_string(given.count) + "," +
               given.parameter;
        for (const float v : given.value) key += "," + std::to_string(v);
        const uint32_t registers = static_cast<uint32_t>(given.value.size() / 4);
        for (uint32_t r = 0; r < registers && (given.count == 0 || r < given.count); ++r) {
          AsmConstant literal;
          literal.reg = given.reg + r;
          std::copy(given.value.begin() + 4 * r, given.value.begin() + 4 * r + 4, literal.value);
          literals.push_back(literal);
        }
        constants.push_back(std::move(given));
      }
      for (const FxPassSamplerBinding& b : pass.samplerBindings)
        key += "|s" + std::to_string(b.sampler) + "," + b.name;
      for (const FixedStageConfig& st : generatedFor->pixel.stages)
        key += "|t" + std::to_string(st.unit);
      for (const auto& values : generatedFor->bumpEnv)
        for (const float v : values) key += "|" + std::to_string(std::bit_cast<uint32_t>(v));
      key += "|asm|" + binding->assembly;
    }
    for (size_t i = 0; i < stages.size(); ++i)
      if (stages[i].key == key) return static_cast<int>(i);
    CompiledStage stage;
    stage.key = key;
    stage.context = context;
    stage.line = binding ? binding->line : 0;
    stage.assembly = assembly;
    stage.constants = std::move(constants);
    std::string entry;
    if (assembly) {
      stage.origin = StageOrigin::Assembly;
      AsmRequest request;
      std::copy(&generatedFor->bumpEnv[0][0], &generatedFor->bumpEnv[0][0] + kAsmBumpStages * 6,
                &request.bumpEnv[0][0]);
      request.text = &binding->assembly;
      request.pixel = kind == HlslStage::Pixel;
      request.constants = std::move(literals);
      request.sampler = [&](uint32_t reg, std::string* name, HlslSamplerKind* samplerKind) {
        return asmSampler(pass, reg, name, samplerKind);
      };
      AsmShader shader;
      int line = 0;
      if (TranslateAsmShader(request, &shader, &line, &stage.why)) {
        stage.text = std::move(shader.hlsl);
        entry = kAsmEntry;
      } else {
        stage.line = binding->assemblyLine + line;
      }
    } else if (binding) {
      stage.text = hlsl;
      if (!EntryWithArguments(fx, *binding, static_cast<int>(stages.size()), prologue, &stage.text,
                              &entry, &stage.why))
        stage.text.clear();
    } else {
      stage.origin = StageOrigin::FixedFunction;
      const FixedState& fixed = *generatedFor;
      if (kind == HlslStage::Vertex)
        FixedVertexHlsl(fixed.vertex, &entry, &stage.text);
      else if (!FixedPixelHlsl(fixed.pixel, &entry, &stage.text, &stage.why))
        stage.text.clear();
      stage.line = generatedLine;
    }
    generated += stage.text.size();
    if (generated > kMaxGeneratedShaderBytes) {
      tooMuch = true;
      stage.text.clear();
    }
    stage.request.stage = kind;
    stage.request.entry = entry;
    stage.request.blockName = kind == HlslStage::Vertex ? "tobrin_vs_globals" : "tobrin_ps_globals";
    stage.request.samplerUnit = samplerUnit;
    stages.push_back(std::move(stage));
    return static_cast<int>(stages.size() - 1);
  };
  const auto compileStages = [&] {
    std::atomic<size_t> next{0};
    const auto work = [&] {
      for (size_t i = next++; i < stages.size(); i = next++) {
        CompiledStage& stage = stages[i];
        if (stage.text.empty()) continue;
        stage.request.source = &stage.text;
        stage.ok = CompileHlslStage(stage.request, &stage.code, &stage.log);
      }
    };
    const size_t threads =
        std::min<size_t>(stages.size(), std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (size_t t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& thread : pool) thread.join();
    for (const CompiledStage& stage : stages) {
      if (stage.ok) continue;
      if (!stage.why.empty()) {
        messages += FxLineLabel(source, stage.line, 0) + ": error: " + stage.why + "\n";
      } else if (stage.assembly) {
        // The text is ours, so its lines mean nothing to the author: the block's line it is.
        messages += FxLineLabel(source, stage.line, 0) + ": error: the " + stage.context +
                    " does not compile: " + stage.log.substr(0, stage.log.find('\n')) + "\n";
      } else if (!stage.text.empty() &&
                 AppendGlslangLog(stage.log, source, stage.line, stage.context, &messages) == 0) {
        messages += FxLineLabel(source, stage.line, 0) + ": error: " + stage.context +
                    " does not compile\n";
      }
    }
    if (tooMuch) messages += TooMuchShaderText(label);
  };

  struct PassPlan {
    int vertex, pixel;
    std::vector<int> vertexChoices, pixelChoices;  // the stages of a selected array, in its order
    uint32_t alphaFunc, alphaRef;
    bool flat;       // ShadeMode = Flat, set by this pass or an earlier one of its technique
    FogSetting fog;  // likewise
    const FxPass* pass;
    const FxTechnique* technique;
    Pass compiled;
    size_t index;  // into fixedOfPass
  };
  std::vector<PassPlan> plans;
  size_t passIndex = 0;
  for (const FxTechnique& technique : fx.techniques) {
    effect.techniques.push_back({technique.name, {}});
    bool flat = false;  // the device's Gouraud shading, until a pass sets another mode
    FogSetting fog;     // and its fog states
    for (const FxPass& pass : technique.passes) {
      const std::string where = "pass '" + pass.name + "' of technique '" + technique.name + "'";
      if (!ApplyFogStates(pass.renderStates, &fog))
        effect.warnings.push_back(FxLineLabel(source, pass.line, 0) + ": warning: " + where +
                                  ": a fog state reads parameters; it keeps the value of their "
                                  "initial values");
      for (const FxRenderState& rs : pass.renderStates) {
        if (rs.state != kRsShadeMode) continue;
        flat = rs.value == 1;
        if (!rs.expression.empty())
          effect.warnings.push_back(FxLineLabel(source, pass.line, 0) + ": warning: " + where +
                                    ": ShadeMode reads parameters; it keeps the value of their "
                                    "initial values");
      }
      PassPlan plan{-1, -1, {}, {}, 0, 0, flat, fog, &pass, &technique, {}, passIndex};
      const FixedState& fixed = fixedOfPass[passIndex];
      plan.compiled.fixed = std::move(fixedValuesOfPass[passIndex]);
      ++passIndex;
      plan.compiled.name = pass.name;
      plan.compiled.frontFace = FrontFace::Clockwise;
      std::string why;
      if (!FxPassStates(pass, &plan.compiled.states, &plan.alphaFunc, &plan.alphaRef, &why)) {
        messages += FxLineLabel(source, pass.line, 0) + ": error: " + where + ": " + why + "\n";
        continue;
      }
      // Model 3 pixel shaders fog themselves; the platform applies no fog after them.
      if (pass.pixelShader.present && pass.pixelShader.profile.rfind("ps_3_", 0) == 0)
        plan.fog.enable = false;
      if (plan.fog.enable && plan.fog.table == 0 && !pass.vertexShader.present) {
        messages += FxLineLabel(source, pass.line, 0) + ": error: " + where +
                    ": fog computed by the fixed-function vertex stage (FogEnable without a "
                    "FogTableMode, in a pass without a vertex shader) is not supported\n";
        continue;
      }
      // Values over parameters the program sets: the backend evaluates them when the pass
      // begins. The alpha test is part of the pixel stage's code, so it keeps its initial value.
      for (const FxRenderState& rs : pass.renderStates) {
        if (rs.expression.empty()) continue;
        const std::vector<RenderState>& states = plan.compiled.states;
        size_t at = states.size();
        for (size_t k = 0; k < states.size(); ++k)
          if (states[k].state == rs.state && states[k].value == rs.value) at = k;
        if (at == states.size()) continue;  // a state that changes nothing a shader pass draws
        if (rs.state == kRsAlphaTestEnable || rs.state == kRsAlphaFunc || rs.state == kRsAlphaRef) {
          effect.warnings.push_back(FxLineLabel(source, pass.line, 0) + ": warning: " + where +
                                    ": the alpha test's state " + std::to_string(rs.state) +
                                    " reads parameters; it keeps the value of their initial "
                                    "values");
          continue;
        }
        StateExpression value;
        value.state = static_cast<uint32_t>(at);
        std::string missing;
        if (ExpressionOf(rs.expression, effect, &value.value, &missing) &&
            CheckExpression(value.value, effect.parameters, &why))
          plan.compiled.stateValues.push_back(std::move(value));
      }
      // A stage the pass gives no shader is the fixed-function pipeline's.
      generatedFor = &fixed;
      generatedLine = pass.line;
      const FxShaderBinding* vs = pass.vertexShader.present ? &pass.vertexShader : nullptr;
      const FxShaderBinding* ps = pass.pixelShader.present ? &pass.pixelShader : nullptr;
      const auto contextOf = [](const FxShaderBinding& b, const char* stage) {
        return b.assembly.empty() ? std::string(stage) + " shader '" + b.entry + "'"
                                  : std::string(stage) + " shader assembly (" + b.profile + ")";
      };
      plan.vertex = stageOf(
          HlslStage::Vertex, vs,
          vs ? contextOf(*vs, "vertex") : "the fixed-function vertex stage of " + where, pass);
      plan.pixel = stageOf(
          HlslStage::Pixel, ps,
          ps ? contextOf(*ps, "pixel") : "the fixed-function pixel stage of " + where, pass);
      // Every shader of an array picked by an expression is compiled: the program may pick any.
      bool selectable = true;
      for (const bool pixel : {false, true}) {
        const FxShaderSelect& select = pixel ? pass.pixelSelect : pass.vertexSelect;
        Expression& index = pixel ? plan.compiled.pixelIndex : plan.compiled.vertexIndex;
        std::string missing;
        if (!select.shaders.empty() && !ExpressionOf(select.index, effect, &index, &missing)) {
          messages += FxLineLabel(source, pass.line, 0) + ": error: " + where + ": the index '" +
                      select.text + "' of '" + select.array + "' reads '" + missing +
                      "', which the program cannot set\n";
          selectable = false;
          continue;
        }
        std::string why;
        if (!CheckExpression(index, effect.parameters, &why)) {
          messages += FxLineLabel(source, pass.line, 0) + ": error: " + where + ": the index '" +
                      select.text + "' of '" + select.array + "' is too deep to evaluate\n";
          selectable = false;
          continue;
        }
        for (const FxShaderBinding& shader : select.shaders) {
          if (!shader.present) {
            messages += FxLineLabel(source, pass.line, 0) + ": error: " + where + ": '" +
                        select.array + "' holds NULL, which a pass that picks by an index " +
                        "cannot draw with\n";
            selectable = false;
            break;
          }
          (pixel ? plan.pixelChoices : plan.vertexChoices)
              .push_back(stageOf(
                  pixel ? HlslStage::Pixel : HlslStage::Vertex, &shader,
                  std::string(pixel ? "pixel" : "vertex") + " shader '" + shader.entry + "'",
                  pass));
        }
      }
      if (!selectable) continue;
      plans.push_back(std::move(plan));
    }
  }
  compileStages();
  if (!messages.empty()) {
    *error = messages;
    return false;
  }

  std::vector<bool> warned(effect.samplers.size(), false);
  std::vector<std::tuple<int, int, uint32_t, FogSetting>> linked;  // parallel to effect.programs
  for (PassPlan& plan : plans) {
    const std::string where =
        "pass '" + plan.pass->name + "' of technique '" + plan.technique->name + "'";
    const int line = plan.pass->line;

    // Samplers keep one kind across the effect; a pass may set its own states on them, or have a
    // stage read another sampler's states and texture.
    // Texture[n] gives stage n's texture: the fixed-function stage's own sampler reads it, and so
    // does a sampler of the file on that stage that names no texture.
    const FixedState& fixed = fixedOfPass[plan.index];
    const bool fixedPixel = !plan.pass->pixelShader.present;
    std::vector<std::pair<size_t, int>> textureSources;  // (unit, sampler)
    for (uint32_t n = 0; n < kFixedStages; ++n) {
      if (fixed.texture[n] < 0) continue;
      if (fixedPixel) continue;
      const size_t unit = unitOfStage(n);
      if (unit < fx.samplers.size() && effect.samplers[unit].texture < 0)
        textureSources.push_back({unit, stageTextureUnit(fixed.texture[n], n)});
    }
    if (!plan.pass->samplerStates.empty() || !plan.pass->samplerBindings.empty() ||
        !textureSources.empty()) {
      SamplerSet set = own;
      for (const auto& [unit, from] : textureSources)
        set.source[unit] = static_cast<uint32_t>(from);
      for (const FxPassSamplerBinding& binding : plan.pass->samplerBindings) {
        const int from = samplerUnit(binding.name);
        if (from < 0) {
          messages += FxLineLabel(source, line, 0) + ": error: " + where + ": Sampler[" +
                      std::to_string(binding.sampler) + "] names '" + binding.name +
                      "', which is no sampler of the effect\n";
          break;
        }
        const size_t unit = unitOfStage(binding.sampler);
        if (unit >= set.states.size()) continue;  // no stage of the file reads it
        set.states[unit] = own.states[from];
        set.source[unit] = static_cast<uint32_t>(from);
      }
      for (const FxPassSamplerState& state : plan.pass->samplerStates) {
        const int stageUnit =
            state.sampler < kFixedStages ? fixed.pixel.stages[state.sampler].unit : -1;
        const size_t unit =
            stageUnit >= 0 ? static_cast<size_t>(stageUnit) : unitOfStage(state.sampler);
        WarnAboutSrgbTexture(state.state, FxLineLabel(source, line, 0),
                             std::to_string(state.sampler) + " of " + where, &effect);
        if (unit < set.states.size())
          set.states[unit].push_back({state.state.state, state.state.value});
      }
      plan.compiled.samplerSet = static_cast<uint32_t>(effect.samplerSets.size());
      effect.samplerSets.push_back(std::move(set));
    }
    std::vector<int> used = {plan.vertex, plan.pixel};
    used.insert(used.end(), plan.vertexChoices.begin(), plan.vertexChoices.end());
    used.insert(used.end(), plan.pixelChoices.begin(), plan.pixelChoices.end());
    for (const int index : used)
      for (const HlslSampler& sampler : stages[index].code.samplers) {
        if (sampler.unit >= effect.samplers.size()) continue;
        const SamplerKind kind = KindOf(sampler.kind);
        // The program sets 2D textures only, so such a sampler has nothing to read.
        if (kind != SamplerKind::Tex2D && !warned[sampler.unit]) {
          warned[sampler.unit] = true;
          effect.warnings.push_back(
              FxLineLabel(source, fx.samplers[sampler.unit].line, 0) + ": warning: sampler '" +
              fx.samplers[sampler.unit].name + "' is a " +
              (kind == SamplerKind::Cube ? "cube" : "volume") +
              " sampler; the program sets only 2D textures, so it reads opaque black");
        }
        effect.samplers[sampler.unit].kind = kind;
      }

    // One program per distinct (vertex stage, pixel stage, alpha test, shade mode), linked on
    // first use.
    const auto programOf = [&](int vertex, int pixel) {
      const std::tuple<int, int, uint32_t, FogSetting> key{
          vertex, pixel, plan.alphaFunc << 8 | plan.alphaRef | (plan.flat ? 1u << 16 : 0u),
          plan.fog.enable ? plan.fog : FogSetting{}};
      const auto found = std::find(linked.begin(), linked.end(), key);
      if (found != linked.end()) return static_cast<uint32_t>(found - linked.begin());
      linked.push_back(key);
      const HlslStageCode& vs = stages[vertex].code;
      const HlslStageCode& ps = stages[pixel].code;
      Program program;
      const auto stage = [&](const HlslStageCode& code, const char* which) {
        Stage made;
        made.origin = stages[&code == &vs ? vertex : pixel].origin;
        made.glsl = code.glsl;
        made.file = label;
        made.line = line;
        made.place = FxLineLabel(source, line, 0);
        made.context = std::string("the ") + which + " shader of " + where;
        return made;
      };
      program.vertex = stage(vs, "vertex");
      program.fragment = stage(ps, "pixel");
      const std::string condition =
          AlphaTestCondition(plan.alphaFunc, plan.alphaRef, "tobrin_out_COLOR0.a");
      std::string& glsl = program.fragment.glsl;
      // Fog blends the colour after the pixel stage, before the alpha test (which reads the
      // alpha fog leaves alone). A vertex stage that writes no fog value leaves 0, all fog, as the
      // reference draws it.
      std::string fog;
      if (plan.fog.enable && glsl.find("tobrin_out_COLOR0") != std::string::npos) {
        const bool writesFog =
            program.vertex.glsl.find("out vec4 tobrin_v_FOG0;") != std::string::npos;
        fog = FogStatements(plan.fog, "tobrin_out_COLOR0", writesFog ? "tobrin_v_FOG0.x" : "0.0");
        if (writesFog && plan.fog.table == 0) {
          const size_t main = glsl.rfind("void main()\n{");
          if (main != std::string::npos) glsl.insert(main, "in vec4 tobrin_v_FOG0;\n");
        }
      }
      const size_t marker = glsl.find(kAlphaTestMarker);
      if (marker != std::string::npos)
        glsl.replace(marker, std::strlen(kAlphaTestMarker),
                     fog + (condition.empty() ? "" : "if (!(" + condition + ")) discard;"));
      if (plan.flat) {
        // The platform shades flat from each triangle's first vertex, and only the colour
        // registers; texture coordinates stay interpolated.
        FlattenColourVaryings(&program.vertex.glsl, "out");
        FlattenColourVaryings(&glsl, "in");
      }
      const CompiledStage& vsStage = stages[vertex];
      const CompiledStage& psStage = stages[pixel];
      if (!vs.blockName.empty())
        program.blocks.push_back(
            vsStage.assembly ? AsmBlockOf(vs, 0, effect, fx, vsStage.constants, kAsmVertexConstants)
                             : BlockOf(vs, 0, effect));
      if (!ps.blockName.empty())
        program.blocks.push_back(
            psStage.assembly ? AsmBlockOf(ps, 1, effect, fx, psStage.constants, kAsmPixelConstants)
                             : BlockOf(ps, 1, effect));
      for (const HlslStageCode* code : {&vs, &ps})
        for (const HlslSampler& sampler : code->samplers)
          program.samplers.push_back({GlslSamplerName(sampler.unit), sampler.unit});
      for (const HlslDefaultInput& input : vs.defaultInputs)
        program.defaultInputs.push_back({input.semantic, input.location});
      program.readsTargetHeight = ps.readsVpos;
      program.line = line;
      program.place = FxLineLabel(source, line, 0);
      program.context = where;
      effect.programs.push_back(std::move(program));
      return static_cast<uint32_t>(effect.programs.size() - 1);
    };
    plan.compiled.program = programOf(plan.vertex, plan.pixel);
    if (!plan.vertexChoices.empty() || !plan.pixelChoices.empty()) {
      // A table of every pair of indices; pairs no trial reached draw with the initial program.
      Pass& pass = plan.compiled;
      if (plan.vertexChoices.empty()) plan.vertexChoices.push_back(plan.vertex);
      if (plan.pixelChoices.empty()) plan.pixelChoices.push_back(plan.pixel);
      pass.vertexShaders = static_cast<uint32_t>(plan.vertexChoices.size());
      pass.pixelShaders = static_cast<uint32_t>(plan.pixelChoices.size());
      const std::vector<bool> reached = ReachedPairs(effect, pass);
      pass.programs.assign(reached.size(), pass.program);
      for (uint32_t v = 0; v < pass.vertexShaders; ++v)
        for (uint32_t p = 0; p < pass.pixelShaders; ++p)
          if (reached[size_t{v} * pass.pixelShaders + p])
            pass.programs[size_t{v} * pass.pixelShaders + p] =
                programOf(plan.vertexChoices[v], plan.pixelChoices[p]);
    }
    const size_t techniqueIndex = static_cast<size_t>(plan.technique - fx.techniques.data());
    effect.techniques[techniqueIndex].passes.push_back(std::move(plan.compiled));
  }
  if (!messages.empty()) {
    *error = messages;
    return false;
  }
  *out = std::move(effect);
  return true;
}

}  // namespace compiler
