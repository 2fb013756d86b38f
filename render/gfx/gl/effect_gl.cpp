// Effects on OpenGL 3.3 core: builds the stages of our GLSL effect format or of a D3D9 effect file
// (HLSL, compiled by hlsl_compile), links every pass up front and applies passes with their render
// states, samplers and parameter values. Limits: one texture unit per sampler (unit = sampler
// index), the program's textures are 2D (cube and volume samplers read white); needs the device's
// GL context current whenever it is called, destroyed included.
#include "render/gfx/gl/effect_gl.hpp"

#include <epoxy/gl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "formats/effect_parse.hpp"
#include "formats/file_names.hpp"
#include "formats/fx_effect.hpp"
#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/buffer_gl.hpp"
#include "render/gfx/gl/effect_check.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/gl/gl_state.hpp"
#include "render/gfx/gl/hlsl_compile.hpp"
#include "render/gfx/gl/hlsl_handover.hpp"
#include "render/gfx/gl/hlsl_source.hpp"
#include "render/gfx/gl/hlsl_states.hpp"

namespace gfx::gl {
namespace {

using namespace formats;

HRESULT FailWith(HRESULT result, const std::string& text, Buffer** errors) {
  if (errors) *errors = CreateTextBuffer(text);
  return result;
}

// Driver messages name lines of the generated source, which the #line directives make lines of
// the effect file; only the prefix differs between drivers. Mesa: "0:12(5): error: ...",
// NVIDIA: "0(12) : error C0000: ...", others: "ERROR: 0:12: ...". Lines in none of these shapes
// are pinned to fallbackLine with context, so no message goes out without a file and a line.
// Returns the number of message lines the log held.
int AppendDriverLog(const std::string& label, const char* log, int fallbackLine,
                    const std::string& context, std::string* out) {
  int lines = 0;
  const char* p = log;
  while (*p) {
    const char* end = std::strchr(p, '\n');
    if (!end) end = p + std::strlen(p);
    std::string text(p, end);
    p = *end ? end + 1 : end;
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (text.empty()) continue;
    ++lines;
    unsigned source = 0, line = 0, column = 0;
    int used = 0;
    std::string rest;
    if (std::sscanf(text.c_str(), "%u:%u(%u): %n", &source, &line, &column, &used) == 3 && used) {
      rest = text.substr(used);
    } else if (std::sscanf(text.c_str(), "%u(%u) : %n", &source, &line, &used) == 2 && used) {
      rest = text.substr(used);
    } else if (std::sscanf(text.c_str(), "ERROR: %u:%u: %n", &source, &line, &used) == 2 && used) {
      rest = "error: " + text.substr(used);
    } else if (std::sscanf(text.c_str(), "WARNING: %u:%u: %n", &source, &line, &used) == 2 &&
               used) {
      rest = "warning: " + text.substr(used);
    } else {
      line = static_cast<unsigned>(fallbackLine);
      const bool tagged = text.rfind("error:", 0) == 0 || text.rfind("warning:", 0) == 0;
      rest = (tagged ? "" : "error: ") + text + " (" + context + ")";
    }
    // The common block is compiled into every stage, so its errors would repeat: keep one each.
    const std::string message = label + "(" + std::to_string(line) + "): " + rest + "\n";
    if (out->find(message) == std::string::npos) *out += message;
  }
  return lines;
}

const char* GlslType(ParamType type) {
  switch (type) {
    case ParamType::Float: return "float";
    case ParamType::Float2: return "vec2";
    case ParamType::Float3: return "vec3";
    case ParamType::Float4: return "vec4";
    case ParamType::Float4x4: return "mat4";
    case ParamType::Texture: break;
  }
  return nullptr;
}

// Each declaration carries the line it was declared on, so a clash with the shader code (say, a
// GLSL keyword used as a parameter name) is reported at the declaration.
std::string StageSource(const EffectDescription& description, const EffectShader& shader) {
  std::string source = "#version 330 core\n";
  for (const EffectParameter& parameter : description.parameters) {
    if (parameter.type == ParamType::Texture) continue;
    source += "#line " + std::to_string(parameter.line) + "\nuniform " + GlslType(parameter.type) +
              " " + parameter.name + ";\n";
  }
  for (const EffectSampler& sampler : description.samplers)
    source +=
        "#line " + std::to_string(sampler.line) + "\nuniform sampler2D " + sampler.name + ";\n";
  if (shader.stage == ShaderStage::Vertex)
    source += "#line " + std::to_string(shader.line) +
              "\nlayout(location = 0) in vec3 inPosition;\n"
              "layout(location = 1) in vec3 inNormal;\n"
              "layout(location = 2) in vec2 inTexCoord;\n";
  if (description.hasCommon)
    source += "#line " + std::to_string(description.commonLine) + "\n" + description.common + "\n";
  source += "#line " + std::to_string(shader.bodyLine) + "\n" + shader.body + "\n";
  return source;
}

// Both formats together: stages × (common + body) for ours, stages × the HLSL text for D3D9
// effects. A small file can name many stages, and each is compiled from its own copy of the text.
constexpr size_t kMaxGeneratedShaderBytes = 16u << 20;

std::string TooMuchShaderText(const std::string& label) {
  return label + ": error: the effect's generated shader text would exceed " +
         std::to_string(kMaxGeneratedShaderBytes) + " bytes\n";
}

enum class Kind : uint8_t { Numeric, Matrix, Texture };

struct Parameter {
  std::string name;
  ParamType type;  // our format's type; D3D9 effects use `kind` and the shape alone
  Kind kind;
  uint32_t rows, columns;  // the shape of one element: float3 is 1x3, float4x3 4x3
  uint32_t floats;         // all elements together
  uint32_t first;          // index of the first value in GlEffect::values_
  uint32_t version;        // bumped on every change; programs remember the version they last got
  bool set;                // the program has set it (a computed initial value no longer applies)
  GlTexture* texture;      // one reference held; textures only
};

// One global of one stage's uniform block, filled from a parameter.
struct BlockCopy {
  uint32_t parameter;
  HlslMember member;
  bool setFlag;  // the member holds whether the parameter has been set, not its value
};

struct Block {
  GLuint buffer = 0;
  GLuint binding = 0;
  std::vector<uint8_t> bytes;
  std::vector<BlockCopy> copies;
};

struct Program {
  GLuint name = 0;
  std::vector<GLint> locations;  // our format: per parameter, -1 where the program does not use it
  std::vector<uint32_t> seen;    // per parameter, the version last uploaded to this program
  std::vector<Block> blocks;     // D3D9 effects: the globals of each stage
  GLint targetHeight = -1;       // D3D9 effects reading VPOS
  std::vector<HlslDefaultInput> defaultInputs;
};

struct Pass {
  uint32_t program;
  GlPassStates states;
  uint32_t samplerSet;  // index into GlEffect::samplerSets_
};

struct Technique {
  std::string name;
  std::vector<Pass> passes;
};

struct NameEntry {
  const char* name;
  uint32_t index;
};

GLenum SamplerTarget(HlslSamplerKind kind) {
  switch (kind) {
    case HlslSamplerKind::Tex2D: return GL_TEXTURE_2D;
    case HlslSamplerKind::Cube: return GL_TEXTURE_CUBE_MAP;
    case HlslSamplerKind::Tex3D: return GL_TEXTURE_3D;
  }
  return GL_TEXTURE_2D;
}

// A GL shader from generated or effect text; the log is empty when it compiled.
GLuint CompileGl(GLenum stage, const std::string& source, std::string* log) {
  const GLuint name = glCreateShader(stage);
  const char* text = source.c_str();
  const GLint length = static_cast<GLint>(source.size());
  glShaderSource(name, 1, &text, &length);
  glCompileShader(name);
  GLint ok = GL_FALSE, logLength = 0;
  glGetShaderiv(name, GL_COMPILE_STATUS, &ok);
  log->clear();
  if (ok) return name;
  glGetShaderiv(name, GL_INFO_LOG_LENGTH, &logLength);
  std::string text2(static_cast<size_t>(std::max(logLength, 1)), '\0');
  glGetShaderInfoLog(name, logLength, nullptr, text2.data());
  *log = text2.c_str();
  if (log->empty()) *log = "does not compile";
  return name;
}

std::string ProgramLog(GLuint program) {
  GLint logLength = 0;
  glGetProgramiv(program, GL_INFO_LOG_LENGTH, &logLength);
  std::string log(static_cast<size_t>(std::max(logLength, 1)), '\0');
  glGetProgramInfoLog(program, logLength, nullptr, log.data());
  return log.c_str();
}

bool NumericBase(FxBase base) {
  return base == FxBase::Bool || base == FxBase::Int || base == FxBase::Uint ||
         base == FxBase::Half || base == FxBase::Float || base == FxBase::Double;
}

class GlEffect final : public RefCounted<Effect> {
 public:
  ~GlEffect() override;
  // Compile and link everything; on failure return false with the text in *error.
  bool Build(const std::string& label, const EffectDescription& description, std::string* error);
  bool BuildFx(const std::string& label, const FxEffect& effect, std::string* error);

  HRESULT GetParameterDesc(const char* name, ParameterDesc* desc) override;
  HRESULT SetTechnique(const char* name) override;
  HRESULT SetTexture(const char* name, Texture* texture) override;
  HRESULT SetFloat(const char* name, float value) override;
  HRESULT SetFloatArray(const char* name, const float* values, uint32_t count) override;
  HRESULT SetMatrix(const char* name, const Matrix* matrix) override;
  HRESULT Begin(uint32_t* passes, uint32_t flags) override;
  HRESULT BeginPass(uint32_t pass) override;
  HRESULT CommitChanges() override;
  HRESULT EndPass() override;
  HRESULT End() override;
  const std::vector<Technique>& Techniques() const { return techniques_; }

 private:
  static int Find(const std::vector<NameEntry>& table, const char* name);
  void AddParameter(const std::string& name, ParamType type, Kind kind, uint32_t rows,
                    uint32_t columns, uint32_t elements, const float* value, size_t valueCount);
  void FinishParameters();
  void FinishTechniques();
  GLuint WhiteTexture(GLenum target);
  HRESULT SetFloats(const char* name, const float* values, uint32_t count, bool matrix);
  void Upload(Program& program);
  void UploadBlocks(Program& program);
  void BindTextures(const Pass& pass);
  void ApplyStates(const GlPassStates& states);
  void RestoreState();

  std::vector<Parameter> parameters_;
  std::vector<float> values_;
  std::vector<NameEntry> parameterNames_;  // sorted by strcmp
  std::vector<int> samplerParameter_;      // per sampler, the texture parameter it reads, or -1
  std::vector<GLenum> samplerTargets_;     // per sampler
  std::vector<std::vector<GLuint>> samplerSets_;  // [0]: the effect's; then passes' own states
  // Per sampler set, the sampler whose texture each unit reads (a pass's Sampler[n] = (s) changes
  // it); empty when every unit reads its own.
  std::vector<std::vector<uint32_t>> samplerSources_;
  std::vector<GLuint> boundTextures_;  // per sampler, what BindTextures last bound
  std::vector<uint8_t> changed_;       // per parameter, scratch for UploadBlocks
  std::vector<Program> programs_;
  std::vector<Technique> techniques_;
  std::vector<NameEntry> techniqueNames_;  // sorted by strcmp
  GLuint white_[3] = {};                   // 2D, cube, 3D
  bool fx_ = false;                        // a D3D9 effect
  uint32_t current_ = 0;                   // technique SetTechnique chose
  int begun_ = -1;                         // technique between Begin and End, -1 outside
  int pass_ = -1;                          // pass between BeginPass and EndPass, -1 outside
  bool saved_ = false;
  bool blendColourSet_ = false;  // a pass set the blend colour, which End puts back to GL's default
  GlState state_{};              // the shadow as Begin found it
};

GlEffect::~GlEffect() {
  for (Parameter& parameter : parameters_)
    if (parameter.texture) parameter.texture->Release();
  for (Program& program : programs_) {
    glDeleteProgram(program.name);
    for (Block& block : program.blocks) glDeleteBuffers(1, &block.buffer);
  }
  for (std::vector<GLuint>& set : samplerSets_)
    if (!set.empty()) glDeleteSamplers(static_cast<GLsizei>(set.size()), set.data());
  for (GLuint white : white_)
    if (white) glDeleteTextures(1, &white);
}

void GlEffect::AddParameter(const std::string& name, ParamType type, Kind kind, uint32_t rows,
                            uint32_t columns, uint32_t elements, const float* value,
                            size_t valueCount) {
  const uint32_t floats = kind == Kind::Texture ? 0 : rows * columns * std::max(elements, 1u);
  Parameter parameter{
      name, type,  kind,   rows, columns, floats, static_cast<uint32_t>(values_.size()),
      1,    false, nullptr};
  values_.resize(values_.size() + floats, 0.0f);
  std::copy(value, value + std::min<size_t>(valueCount, floats), values_.begin() + parameter.first);
  parameters_.push_back(std::move(parameter));
}

void GlEffect::FinishParameters() {
  // Names are final now: the tables point into the strings and are never reallocated again.
  for (uint32_t i = 0; i < parameters_.size(); ++i)
    parameterNames_.push_back({parameters_[i].name.c_str(), i});
  std::sort(parameterNames_.begin(), parameterNames_.end(),
            [](const NameEntry& a, const NameEntry& b) { return std::strcmp(a.name, b.name) < 0; });
  changed_.assign(parameters_.size(), 0);
}

void GlEffect::FinishTechniques() {
  for (uint32_t i = 0; i < techniques_.size(); ++i)
    techniqueNames_.push_back({techniques_[i].name.c_str(), i});
  std::sort(techniqueNames_.begin(), techniqueNames_.end(),
            [](const NameEntry& a, const NameEntry& b) { return std::strcmp(a.name, b.name) < 0; });
}

// Read by samplers whose texture parameter is null, so untextured objects are lit but not dark;
// cube and volume samplers always read it, since the program's textures are 2D.
GLuint GlEffect::WhiteTexture(GLenum target) {
  const int slot = target == GL_TEXTURE_2D ? 0 : target == GL_TEXTURE_CUBE_MAP ? 1 : 2;
  if (white_[slot]) return white_[slot];
  const uint8_t white[4] = {255, 255, 255, 255};
  glGenTextures(1, &white_[slot]);
  glBindTexture(target, white_[slot]);
  if (target == GL_TEXTURE_2D) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  } else if (target == GL_TEXTURE_CUBE_MAP) {
    for (GLenum face = 0; face < 6; ++face)
      glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA8, 1, 1, 0, GL_RGBA,
                   GL_UNSIGNED_BYTE, white);
  } else {
    glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, 1, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  }
  glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, 0);  // complete under mipmap filters too
  // As the shadow says; the backend binds nothing else to the cube and volume targets.
  glBindTexture(target, target == GL_TEXTURE_2D ? State().textures[State().activeUnit] : 0);
  return white_[slot];
}

bool GlEffect::Build(const std::string& label, const EffectDescription& description,
                     std::string* error) {
  for (const EffectParameter& source : description.parameters) {
    const bool texture = source.type == ParamType::Texture;
    const bool matrix = source.type == ParamType::Float4x4;
    AddParameter(source.name, source.type,
                 texture  ? Kind::Texture
                 : matrix ? Kind::Matrix
                          : Kind::Numeric,
                 matrix ? 4 : 1, matrix ? 4 : FloatCount(source.type), 0, source.value, 16);
  }
  FinishParameters();
  WhiteTexture(GL_TEXTURE_2D);

  samplerSets_.emplace_back();
  for (const EffectSampler& sampler : description.samplers) {
    GLuint object = 0;
    glGenSamplers(1, &object);
    ConfigureSampler(object, SamplerStatesOfEffect(sampler));
    samplerSets_[0].push_back(object);
    samplerParameter_.push_back(static_cast<int>(sampler.texture));
    samplerTargets_.push_back(GL_TEXTURE_2D);
  }

  // Each stage is its own copy of the uniforms, the common block and its body.
  std::vector<bool> used(description.shaders.size(), false);
  for (const EffectTechnique& technique : description.techniques)
    for (const EffectPass& pass : technique.passes)
      used[pass.vertexShader] = used[pass.fragmentShader] = true;
  size_t generated = 0;
  for (size_t i = 0; i < description.shaders.size(); ++i) {
    if (!used[i]) continue;
    generated += 256 + description.common.size() + description.shaders[i].body.size();
    for (const EffectParameter& parameter : description.parameters)
      generated += 32 + parameter.name.size();
    for (const EffectSampler& sampler : description.samplers) generated += 32 + sampler.name.size();
  }
  if (generated > kMaxGeneratedShaderBytes) {
    *error = TooMuchShaderText(label);
    return false;
  }

  // Compile only the stages some pass uses, each once, and report every broken one together.
  std::vector<GLuint> shaders(description.shaders.size(), 0);
  std::string messages, log;
  const auto compile = [&](uint32_t index) {
    if (shaders[index]) return;
    const EffectShader& shader = description.shaders[index];
    shaders[index] =
        CompileGl(shader.stage == ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER,
                  StageSource(description, shader), &log);
    if (log.empty()) return;
    const std::string context = "shader '" + shader.name + "'";
    if (AppendDriverLog(label, log.c_str(), shader.line, context, &messages) == 0)
      messages += label + "(" + std::to_string(shader.line) + "): error: " + context +
                  " does not compile\n";
  };
  for (const EffectTechnique& technique : description.techniques)
    for (const EffectPass& pass : technique.passes) {
      compile(pass.vertexShader);
      compile(pass.fragmentShader);
    }

  if (messages.empty()) {
    std::vector<std::pair<uint32_t, uint32_t>> linked;  // stage pairs, parallel to programs_
    for (const EffectTechnique& source : description.techniques) {
      Technique technique{source.name, {}};
      for (const EffectPass& pass : source.passes) {
        const std::pair<uint32_t, uint32_t> stages{pass.vertexShader, pass.fragmentShader};
        const auto found = std::find(linked.begin(), linked.end(), stages);
        const uint32_t index = static_cast<uint32_t>(found - linked.begin());
        technique.passes.push_back({index, StatesOfEffectPass(pass), 0});
        if (found != linked.end()) continue;
        linked.push_back(stages);
        Program program;
        program.name = glCreateProgram();
        glAttachShader(program.name, shaders[pass.vertexShader]);
        glAttachShader(program.name, shaders[pass.fragmentShader]);
        glLinkProgram(program.name);
        glDetachShader(program.name, shaders[pass.vertexShader]);
        glDetachShader(program.name, shaders[pass.fragmentShader]);
        GLint ok = GL_FALSE;
        glGetProgramiv(program.name, GL_LINK_STATUS, &ok);
        if (!ok) {
          const std::string context =
              "linking pass '" + pass.name + "' of technique '" + source.name + "'";
          if (AppendDriverLog(label, ProgramLog(program.name).c_str(), pass.line, context,
                              &messages) == 0)
            messages +=
                label + "(" + std::to_string(pass.line) + "): error: " + context + " failed\n";
        } else {
          glUseProgram(program.name);
          for (uint32_t s = 0; s < description.samplers.size(); ++s) {
            const GLint location =
                glGetUniformLocation(program.name, description.samplers[s].name.c_str());
            if (location >= 0) glUniform1i(location, static_cast<GLint>(s));
          }
          for (const Parameter& parameter : parameters_)
            program.locations.push_back(
                parameter.kind == Kind::Texture
                    ? -1
                    : glGetUniformLocation(program.name, parameter.name.c_str()));
          program.seen.assign(parameters_.size(), 0);
        }
        programs_.push_back(std::move(program));
      }
      techniques_.push_back(std::move(technique));
    }
    glUseProgram(State().program);  // as the shadow says
  }
  for (GLuint shader : shaders)
    if (shader) glDeleteShader(shader);
  if (!messages.empty()) {
    *error = messages;
    return false;
  }
  FinishTechniques();
  return true;
}

// A D3D9 effect: every distinct (stage, entry, arguments) compiled once from the HLSL text, every
// pass linked from its two stages (and its alpha test), all messages of all stages reported.
bool GlEffect::BuildFx(const std::string& label, const FxEffect& effect, std::string* error) {
  fx_ = true;
  const FxPreprocessed& source = effect.source;
  for (const FxParameter& p : effect.parameters) {
    const bool texture = p.type.base == FxBase::Texture;
    // Struct-typed globals are not settable here, so they read 0; an author who gave one a value
    // would get a different picture than on the original platform.
    if (!p.isStatic && p.type.base == FxBase::Struct && !p.initText.empty()) {
      *error = FxLineLabel(effect.source, p.line, 0) + ": error: '" + p.name + "' is a global of " +
               "struct type '" + p.type.name + "' with an initial value, which is not supported" +
               " (give it no initial value, or make it static)\n";
      return false;
    }
    if (p.isStatic || (!texture && !NumericBase(p.type.base))) continue;
    bool duplicate = false;
    for (const Parameter& existing : parameters_) duplicate |= existing.name == p.name;
    if (duplicate) continue;
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
      *error = FxLineLabel(effect.source, p.line, 0) + ": error: the initial value of '" + p.name +
               "' is out of range\n";
      return false;
    }
    const bool matrix = p.type.rows > 1;
    AddParameter(p.name, matrix ? ParamType::Float4x4 : ParamType::Float,
                 texture  ? Kind::Texture
                 : matrix ? Kind::Matrix
                          : Kind::Numeric,
                 p.type.rows, p.type.columns, p.type.elements, p.value.data(), p.value.size());
  }
  FinishParameters();

  if (effect.samplers.size() > kMaxEffectSamplers) {
    *error = FxLineLabel(source, effect.samplers[kMaxEffectSamplers].line, 0) +
             ": error: more than " + std::to_string(kMaxEffectSamplers) + " samplers\n";
    return false;
  }
  samplerSets_.emplace_back();
  std::vector<GlSamplerStates> samplerStates;
  for (const FxSampler& sampler : effect.samplers) {
    GlSamplerStates states;
    for (const FxSamplerState& state : sampler.states) ApplyFxSamplerState(state, &states);
    samplerStates.push_back(states);
    GLuint object = 0;
    glGenSamplers(1, &object);
    ConfigureSampler(object, states);
    samplerSets_[0].push_back(object);
    const int texture =
        sampler.texture.empty() ? -1 : Find(parameterNames_, sampler.texture.c_str());
    samplerParameter_.push_back(texture >= 0 && parameters_[texture].kind == Kind::Texture ? texture
                                                                                           : -1);
    samplerTargets_.push_back(GL_TEXTURE_2D);
  }
  const auto samplerUnit = [&effect](const std::string& name) {
    for (size_t s = 0; s < effect.samplers.size(); ++s)
      if (effect.samplers[s].name == name) return static_cast<int>(s);
    return -1;
  };

  std::string prologue;  // statements every entry runs first
  const std::string hlsl = RewriteConstructorAssignments(RewriteArrayCasts(
      RenameBuiltinSemantics(RewriteAssignedGlobals(effect, effect.hlsl, &prologue))));
  if (hlsl.size() > kMaxGeneratedShaderBytes) {
    *error = TooMuchShaderText(label);
    return false;
  }

  // Stages, each compiled once: key "v|entry|arg|arg".
  struct Stage {
    std::string key;
    HlslStageCode code;
    bool ok = false;
  };
  std::vector<Stage> stages;
  std::string messages;
  size_t generated = 0;
  const auto stageOf = [&](HlslStage kind, const FxShaderBinding* binding,
                           const std::string& context) -> int {
    std::string key = kind == HlslStage::Vertex ? "v" : "p";
    key += binding ? "|" + binding->entry : "|";
    if (binding)
      for (const std::string& argument : binding->arguments) key += "|" + argument;
    for (size_t i = 0; i < stages.size(); ++i)
      if (stages[i].key == key) return stages[i].ok ? static_cast<int>(i) : -1;
    Stage stage;
    stage.key = key;
    std::string text, entry, why, log;
    if (binding) {
      text = hlsl;
      if (!EntryWithArguments(effect, *binding, static_cast<int>(stages.size()), prologue, &text,
                              &entry, &why)) {
        messages += FxLineLabel(source, binding->line, 0) + ": error: " + why + "\n";
        stages.push_back(std::move(stage));
        return -1;
      }
    } else {
      text = kPassThroughVertexShader;
      entry = kPassThroughEntry;
    }
    generated += text.size();
    if (generated > kMaxGeneratedShaderBytes) {
      if (messages.find(TooMuchShaderText(label)) == std::string::npos)
        messages += TooMuchShaderText(label);
      stages.push_back(std::move(stage));
      return -1;
    }
    HlslRequest request;
    request.stage = kind;
    request.source = &text;
    request.entry = entry;
    request.blockName = kind == HlslStage::Vertex ? "tobrin_vs_globals" : "tobrin_ps_globals";
    request.samplerUnit = samplerUnit;
    stage.ok = CompileHlslStage(request, &stage.code, &log);
    if (!stage.ok) {
      const int line = binding ? binding->line : 0;
      if (AppendGlslangLog(log, source, line, context, &messages) == 0)
        messages += FxLineLabel(source, line, 0) + ": error: " + context + " does not compile\n";
    }
    stages.push_back(std::move(stage));
    return stages.back().ok ? static_cast<int>(stages.size() - 1) : -1;
  };

  struct PassPlan {
    int vertex, pixel;
    GlPassStates states;
    const FxPass* pass;
    const FxTechnique* technique;
    size_t techniqueIndex;
  };
  std::vector<PassPlan> plans;
  for (const FxTechnique& technique : effect.techniques) {
    techniques_.push_back({technique.name, {}});
    for (const FxPass& pass : technique.passes) {
      const std::string where = "pass '" + pass.name + "' of technique '" + technique.name + "'";
      PassPlan plan{-1, -1, {}, &pass, &technique, techniques_.size() - 1};
      std::string why;
      if (!StatesOfFxPass(pass, &plan.states, &why)) {
        messages += FxLineLabel(source, pass.line, 0) + ": error: " + where + ": " + why + "\n";
        continue;
      }
      if (!pass.pixelShader.present) {
        // The fixed-function pixel stage (texture stages, fog) is not emulated.
        messages += FxLineLabel(source, pass.line, 0) + ": error: " + where +
                    " has no pixel shader; fixed-function pixel processing is not supported\n";
        continue;
      }
      const FxShaderBinding* vs = pass.vertexShader.present ? &pass.vertexShader : nullptr;
      plan.vertex =
          stageOf(HlslStage::Vertex, vs,
                  vs ? "vertex shader '" + vs->entry + "'" : "pass-through vertex shader");
      plan.pixel = stageOf(HlslStage::Pixel, &pass.pixelShader,
                           "pixel shader '" + pass.pixelShader.entry + "'");
      plans.push_back(plan);
    }
  }

  // GL shaders by (stage, alpha test), programs by (vertex, pixel, alpha test).
  struct GlStage {
    int stage;
    uint32_t alpha;
    GLuint name;
  };
  std::vector<GlStage> glStages;
  std::vector<std::tuple<int, int, uint32_t>> linked;  // parallel to programs_
  const auto glStageOf = [&](int index, uint32_t func, uint32_t ref, const std::string& context,
                             int line) -> GLuint {
    const uint32_t alpha = func << 8 | ref;
    for (const GlStage& made : glStages)
      if (made.stage == index && made.alpha == alpha) return made.name;
    const HlslStageCode& code = stages[index].code;
    const bool vertex = stages[index].key[0] == 'v';
    std::string glsl = code.glsl;
    if (!vertex) {
      const std::string condition = AlphaTestCondition(func, ref, "tobrin_out_COLOR0.a");
      const size_t marker = glsl.find(kAlphaTestMarker);
      if (marker != std::string::npos)
        glsl.replace(marker, std::strlen(kAlphaTestMarker),
                     condition.empty() ? "" : "if (!(" + condition + ")) discard;");
    }
    std::string log;
    const GLuint name = CompileGl(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, glsl, &log);
    if (!log.empty()) {
      // The driver's first error, not a warning before it.
      size_t at = log.find("error");
      at = at == std::string::npos                    ? 0
           : log.rfind('\n', at) == std::string::npos ? 0
                                                      : log.rfind('\n', at) + 1;
      messages += FxLineLabel(source, line, 0) + ": error: the GLSL made from " + context +
                  " does not compile: " + log.substr(at, log.find('\n', at) - at) + "\n";
    }
    glStages.push_back({index, alpha, name});
    return name;
  };
  for (const PassPlan& plan : plans) {
    if (plan.vertex < 0 || plan.pixel < 0 || !messages.empty()) continue;
    const std::string where =
        "pass '" + plan.pass->name + "' of technique '" + plan.technique->name + "'";

    // Samplers keep one kind across the effect; a pass may set its own states on them, or have a
    // stage read another sampler's states and texture.
    uint32_t samplerSet = 0;
    if (!plan.pass->samplerStates.empty() || !plan.pass->samplerBindings.empty()) {
      // Stage n is the sampler bound to register sn, else the n-th sampler of the file.
      const auto unitOfStage = [&](uint32_t stage) {
        size_t unit = stage;
        for (size_t k = 0; k < effect.samplers.size(); ++k)
          if (effect.samplers[k].registerName == "s" + std::to_string(stage) ||
              effect.samplers[k].registerName == "S" + std::to_string(stage))
            unit = k;
        return unit;
      };
      std::vector<GlSamplerStates> states = samplerStates;
      std::vector<uint32_t> sources;
      for (const FxPassSamplerBinding& binding : plan.pass->samplerBindings) {
        size_t from = 0;
        while (from < effect.samplers.size() && effect.samplers[from].name != binding.name) ++from;
        if (from == effect.samplers.size()) {
          messages += FxLineLabel(source, plan.pass->line, 0) + ": error: " + where + ": Sampler[" +
                      std::to_string(binding.sampler) + "] names '" + binding.name +
                      "', which is no sampler of the effect\n";
          break;
        }
        const size_t unit = unitOfStage(binding.sampler);
        if (unit >= states.size()) continue;  // no stage of the file reads it
        if (sources.empty())
          for (uint32_t k = 0; k < states.size(); ++k) sources.push_back(k);
        states[unit] = samplerStates[from];
        sources[unit] = static_cast<uint32_t>(from);
      }
      for (const FxPassSamplerState& set : plan.pass->samplerStates) {
        const size_t unit = unitOfStage(set.sampler);
        if (unit < states.size()) ApplyFxSamplerState(set.state, &states[unit]);
      }
      samplerSets_.emplace_back();
      samplerSources_.resize(samplerSets_.size());
      samplerSources_.back() = std::move(sources);
      for (const GlSamplerStates& s : states) {
        GLuint object = 0;
        glGenSamplers(1, &object);
        ConfigureSampler(object, s);
        samplerSets_.back().push_back(object);
      }
      samplerSet = static_cast<uint32_t>(samplerSets_.size() - 1);
    }
    for (const int index : {plan.vertex, plan.pixel})
      for (const HlslSampler& sampler : stages[index].code.samplers) {
        const GLenum target = SamplerTarget(sampler.kind);
        // The program sets 2D textures only, so such a sampler has nothing to read: say so once,
        // here and not again in the checking child, since the picture will not be the author's.
        if (target != GL_TEXTURE_2D && samplerTargets_[sampler.unit] != target &&
            !InsideEffectCheck() && sampler.unit < effect.samplers.size())
          std::fprintf(stderr,
                       "%s: warning: sampler '%s' is a %s sampler; the program sets only 2D "
                       "textures, so it reads opaque white\n",
                       FxLineLabel(source, effect.samplers[sampler.unit].line, 0).c_str(),
                       effect.samplers[sampler.unit].name.c_str(),
                       target == GL_TEXTURE_CUBE_MAP ? "cube" : "volume");
        samplerTargets_[sampler.unit] = target;
      }

    const std::tuple<int, int, uint32_t> key{plan.vertex, plan.pixel,
                                             plan.states.alphaFunc << 8 | plan.states.alphaRef};
    const auto found = std::find(linked.begin(), linked.end(), key);
    techniques_[plan.techniqueIndex].passes.push_back(
        {static_cast<uint32_t>(found - linked.begin()), plan.states, samplerSet});
    if (found != linked.end()) continue;
    const int line = plan.pass->line;
    const GLuint vs = glStageOf(plan.vertex, 0, 0, "the vertex shader of " + where, line);
    const GLuint ps = glStageOf(plan.pixel, plan.states.alphaFunc, plan.states.alphaRef,
                                "the pixel shader of " + where, line);
    linked.push_back(key);
    Program program;
    program.name = glCreateProgram();
    programs_.push_back(program);
    if (!messages.empty()) continue;
    Program& made = programs_.back();
    glAttachShader(made.name, vs);
    glAttachShader(made.name, ps);
    glLinkProgram(made.name);
    glDetachShader(made.name, vs);
    glDetachShader(made.name, ps);
    GLint ok = GL_FALSE;
    glGetProgramiv(made.name, GL_LINK_STATUS, &ok);
    if (!ok) {
      const std::string log = ProgramLog(made.name);
      messages += FxLineLabel(source, line, 0) + ": error: linking " + where +
                  " failed: " + log.substr(0, log.find('\n')) + "\n";
      continue;
    }
    glUseProgram(made.name);
    made.seen.assign(parameters_.size(), 0);
    for (const int index : {plan.vertex, plan.pixel}) {
      const HlslStageCode& code = stages[index].code;
      for (const HlslSampler& sampler : code.samplers) {
        const GLint location =
            glGetUniformLocation(made.name, GlslSamplerName(sampler.unit).c_str());
        if (location >= 0) glUniform1i(location, static_cast<GLint>(sampler.unit));
      }
      if (index == plan.vertex) made.defaultInputs = code.defaultInputs;
      if (code.blockName.empty()) continue;
      const GLuint blockIndex = glGetUniformBlockIndex(made.name, code.blockName.c_str());
      if (blockIndex == GL_INVALID_INDEX) continue;  // the driver found no use for it
      Block block;
      block.binding = index == plan.vertex ? 0 : 1;
      glUniformBlockBinding(made.name, blockIndex, block.binding);
      GLint size = 0;
      glGetActiveUniformBlockiv(made.name, blockIndex, GL_UNIFORM_BLOCK_DATA_SIZE, &size);
      block.bytes.assign(std::max<size_t>(code.blockSize, static_cast<size_t>(size)), 0);
      for (const HlslMember& member : code.members) {
        std::string name = member.name;
        const bool setFlag = name.rfind(kSetFlagPrefix, 0) == 0;
        if (setFlag) name = name.substr(std::strlen(kSetFlagPrefix));
        if (name.rfind(kAssignedGlobalPrefix, 0) == 0)
          name = name.substr(std::strlen(kAssignedGlobalPrefix));
        const int parameter = Find(parameterNames_, name.c_str());
        if (parameter < 0 || parameters_[parameter].kind == Kind::Texture) continue;
        block.copies.push_back({static_cast<uint32_t>(parameter), member, setFlag});
      }
      glGenBuffers(1, &block.buffer);
      glBindBuffer(GL_UNIFORM_BUFFER, block.buffer);
      glBufferData(GL_UNIFORM_BUFFER, static_cast<GLsizeiptr>(block.bytes.size()),
                   block.bytes.data(), GL_DYNAMIC_DRAW);
      made.blocks.push_back(std::move(block));
    }
    if (stages[plan.pixel].code.readsVpos)
      made.targetHeight = glGetUniformLocation(made.name, kTargetHeightUniform);
  }
  glBindBuffer(GL_UNIFORM_BUFFER, 0);
  glUseProgram(State().program);  // as the shadow says
  for (const GlStage& made : glStages) glDeleteShader(made.name);
  for (const GLenum target : samplerTargets_) WhiteTexture(target);  // all made before any is bound
  for (size_t unit = 0; unit < samplerTargets_.size(); ++unit) {
    const GLenum target = samplerTargets_[unit];
    const GLuint white = WhiteTexture(target);
    if (target == GL_TEXTURE_2D) continue;
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glBindTexture(target, white);
    glActiveTexture(GL_TEXTURE0 + State().activeUnit);  // as the shadow says
  }
  if (!messages.empty()) {
    *error = messages;
    return false;
  }
  FinishTechniques();
  return true;
}

int GlEffect::Find(const std::vector<NameEntry>& table, const char* name) {
  if (!name) return -1;
  size_t low = 0, high = table.size();
  while (low < high) {
    const size_t middle = (low + high) / 2;
    const int order = std::strcmp(table[middle].name, name);
    if (order == 0) return static_cast<int>(table[middle].index);
    if (order < 0)
      low = middle + 1;
    else
      high = middle;
  }
  return -1;
}

// From the shape both formats record. Every numeric value is held as floats, so ints and bools of
// a D3D9 effect read as floats here too.
HRESULT GlEffect::GetParameterDesc(const char* name, ParameterDesc* desc) {
  if (!desc) return E_INVALIDARG;
  const int index = Find(parameterNames_, name);
  if (index < 0) return E_NOTFOUND;
  const Parameter& p = parameters_[index];
  if (p.kind == Kind::Texture) {
    *desc = {p.name.c_str(), PC_OBJECT, PT_TEXTURE, 0, 0, 0};
    return S_OK;
  }
  const uint32_t perElement = p.rows * p.columns;
  const uint32_t elements = perElement && p.floats > perElement ? p.floats / perElement : 0;
  const ParameterClass shape = p.kind == Kind::Matrix ? PC_MATRIX_ROWS
                               : perElement == 1      ? PC_SCALAR
                                                      : PC_VECTOR;
  *desc = {p.name.c_str(), shape, PT_FLOAT, p.rows, p.columns, elements};
  return S_OK;
}

HRESULT GlEffect::SetTechnique(const char* name) {
  const int index = Find(techniqueNames_, name);
  if (index < 0) return E_NOTFOUND;
  current_ = static_cast<uint32_t>(index);
  return S_OK;
}

HRESULT GlEffect::SetTexture(const char* name, Texture* texture) {
  const int index = Find(parameterNames_, name);
  if (index < 0) return E_NOTFOUND;
  Parameter& parameter = parameters_[index];
  if (parameter.kind != Kind::Texture) return E_INVALIDARG;
  // Every texture of this backend is a GlTexture; the effect keeps it alive while it holds it.
  GlTexture* glTexture = static_cast<GlTexture*>(texture);
  if (glTexture) glTexture->AddRef();
  if (parameter.texture) parameter.texture->Release();
  parameter.texture = glTexture;
  return S_OK;
}

HRESULT GlEffect::SetFloats(const char* name, const float* values, uint32_t count, bool matrix) {
  const int index = Find(parameterNames_, name);
  if (index < 0) return E_NOTFOUND;
  Parameter& parameter = parameters_[index];
  if (parameter.kind == Kind::Texture || (matrix && parameter.kind != Kind::Matrix))
    return E_INVALIDARG;
  if (count == 0) return S_OK;
  if (!values) return E_INVALIDARG;
  float* value = values_.data() + parameter.first;
  if (!parameter.set) {
    parameter.set = true;
    ++parameter.version;  // a computed initial value gives way to this one
  }
  // A matrix smaller than 4x4 takes its rows and columns of the 4x4 the program passes.
  if (matrix && (parameter.rows != 4 || parameter.columns != 4)) {
    bool same = true;
    for (uint32_t i = 0; i < parameter.rows && i < 4; ++i)
      for (uint32_t j = 0; j < parameter.columns && j < 4; ++j)
        same = same && value[i * parameter.columns + j] == values[i * 4 + j];
    if (same) return S_OK;
    for (uint32_t i = 0; i < parameter.rows && i < 4; ++i)
      for (uint32_t j = 0; j < parameter.columns && j < 4; ++j)
        value[i * parameter.columns + j] = values[i * 4 + j];
    ++parameter.version;
    return S_OK;
  }
  const size_t bytes = std::min(count, parameter.floats) * sizeof(float);
  // Unchanged values keep their version, so the constant view-projection matrix and the per-frame
  // lighting values are not uploaded again for every object.
  if (std::memcmp(value, values, bytes) == 0) return S_OK;
  std::memcpy(value, values, bytes);
  ++parameter.version;
  return S_OK;
}

HRESULT GlEffect::SetFloat(const char* name, float value) {
  return SetFloats(name, &value, 1, false);
}

HRESULT GlEffect::SetFloatArray(const char* name, const float* values, uint32_t count) {
  return SetFloats(name, values, count, false);
}

// Our matrices are row-major with row vectors. Our format reads the same 16 floats column-major as
// the column-vector matrix GLSL multiplies as M * v, so no transpose on upload; a D3D9 effect
// gets element (i, j) where its block layout puts HLSL's row i, column j (UploadBlocks).
HRESULT GlEffect::SetMatrix(const char* name, const Matrix* matrix) {
  static_assert(sizeof(Matrix) == 16 * sizeof(float), "a matrix is 16 packed floats");
  return SetFloats(name, reinterpret_cast<const float*>(matrix), matrix ? 16 : 0, true);
}

void GlEffect::Upload(Program& program) {
  if (fx_) return UploadBlocks(program);
  for (size_t i = 0; i < parameters_.size(); ++i) {
    const GLint location = program.locations[i];
    const Parameter& parameter = parameters_[i];
    if (location < 0 || program.seen[i] == parameter.version) continue;
    program.seen[i] = parameter.version;
    const float* value = values_.data() + parameter.first;
    switch (parameter.type) {
      case ParamType::Float: glUniform1fv(location, 1, value); break;
      case ParamType::Float2: glUniform2fv(location, 1, value); break;
      case ParamType::Float3: glUniform3fv(location, 1, value); break;
      case ParamType::Float4: glUniform4fv(location, 1, value); break;
      case ParamType::Float4x4: glUniformMatrix4fv(location, 1, GL_FALSE, value); break;
      case ParamType::Texture: break;
    }
  }
}

// Writes the parameters that changed since this program last saw them into its blocks' images and
// sends each image that changed, whole: the blocks are small and one call beats several.
void GlEffect::UploadBlocks(Program& program) {
  bool any = false;
  for (size_t i = 0; i < parameters_.size(); ++i) {
    changed_[i] = program.seen[i] != parameters_[i].version;
    program.seen[i] = parameters_[i].version;
    any = any || changed_[i];
  }
  if (!any) return;
  for (Block& block : program.blocks) {
    bool dirty = false;
    for (const BlockCopy& copy : block.copies) {
      if (!changed_[copy.parameter]) continue;
      dirty = true;
      const Parameter& parameter = parameters_[copy.parameter];
      const float* value = values_.data() + parameter.first;
      const HlslMember& m = copy.member;
      if (copy.setFlag) {
        const uint32_t flag = parameter.set ? 1 : 0;
        if (m.offset + 4 <= block.bytes.size()) std::memcpy(&block.bytes[m.offset], &flag, 4);
        continue;
      }
      const uint32_t elements = std::max(m.elements, 1u);
      for (uint32_t k = 0; k < elements; ++k)
        for (uint32_t i = 0; i < m.rows && i < parameter.rows; ++i)
          for (uint32_t j = 0; j < m.columns && j < parameter.columns; ++j) {
            const size_t from = (k * parameter.rows + i) * parameter.columns + j;
            const size_t to = m.offset + k * m.arrayStride + i * m.rowStride + j * m.columnStride;
            if (from >= parameter.floats || to + 4 > block.bytes.size()) continue;
            const float f = value[from];
            if (m.scalar == HlslScalar::Float) {
              std::memcpy(&block.bytes[to], &f, 4);
            } else {
              const int32_t n =
                  m.scalar == HlslScalar::Bool ? (f != 0.0f) : static_cast<int32_t>(std::lround(f));
              std::memcpy(&block.bytes[to], &n, 4);
            }
          }
    }
    if (!dirty) continue;
    glBindBuffer(GL_UNIFORM_BUFFER, block.buffer);
    glBufferSubData(GL_UNIFORM_BUFFER, 0, static_cast<GLsizeiptr>(block.bytes.size()),
                    block.bytes.data());
  }
}

void GlEffect::BindTextures(const Pass& pass) {
  const std::vector<GLuint>& objects = samplerSets_[pass.samplerSet];
  for (size_t s = 0; s < objects.size(); ++s) {
    const uint32_t unit = static_cast<uint32_t>(s);
    const GLenum target = samplerTargets_[s];
    BindSampler(unit, objects[s]);
    if (target != GL_TEXTURE_2D) {
      // Cube and volume samplers read white, bound once at creation on their own targets,
      // which the backend uses nowhere else: nothing to do per pass.
      continue;
    }
    const std::vector<uint32_t>* sources =
        pass.samplerSet < samplerSources_.size() ? &samplerSources_[pass.samplerSet] : nullptr;
    const size_t from = sources && !sources->empty() ? (*sources)[s] : s;
    const int parameter = samplerParameter_[from];
    const GlTexture* texture = parameter >= 0 ? parameters_[parameter].texture : nullptr;
    BindTexture2D(unit, texture ? texture->name : WhiteTexture(GL_TEXTURE_2D));
  }
}

// Culling follows the original platform, where CW and CCW name the winding, as seen on screen,
// that is discarded. Our projection is left-handed like the original's and glClipControl keeps
// the lower-left origin, so a triangle that appears clockwise there appears clockwise here, and
// GL's window-space winding is the on-screen one. Our format's passes set glFrontFace(GL_CCW), so
// the back faces are the clockwise ones: CW culls GL_BACK, CCW culls GL_FRONT. D3D9 effects set
// GL_CW, the original's front faces, so VFACE agrees, and cull the other way round.
void GlEffect::ApplyStates(const GlPassStates& s) {
  const uint32_t mask = s.mask;
  if (mask & kGlFrontFace) SetFrontFace(s.frontFace);
  if (mask & kGlCull) {
    SetEnabled(GL_CULL_FACE, s.cullFace != 0);
    if (s.cullFace) SetCullFace(s.cullFace);
  }
  if (mask & kGlDepthTest) SetEnabled(GL_DEPTH_TEST, s.depthTest);
  if (mask & kGlDepthWrite) SetDepthMask(s.depthWrite);
  if (mask & kGlDepthFunc) SetDepthFunc(s.depthFunc);
  if (mask & kGlBlend) SetEnabled(GL_BLEND, s.blend);
  if (mask & (kGlBlendSrc | kGlBlendDst | kGlSeparateAlpha)) {
    const GLenum src = (mask & kGlBlendSrc) ? s.src : State().blendSrcRgb;
    const GLenum dst = (mask & kGlBlendDst) ? s.dst : State().blendDstRgb;
    if (mask & kGlSeparateAlpha)
      SetBlendFunc(src, dst, s.srcAlpha, s.dstAlpha);
    else
      SetBlendFunc(src, dst, src, dst);
  }
  if (mask & (kGlBlendOp | kGlSeparateAlpha))
    SetBlendEquation((mask & kGlBlendOp) ? s.op : State().blendEquationRgb,
                     (mask & kGlSeparateAlpha) ? s.opAlpha
                     : (mask & kGlBlendOp)     ? s.op
                                               : State().blendEquationAlpha);
  if (mask & kGlBlendColor) {
    glBlendColor(s.blendColor[0], s.blendColor[1], s.blendColor[2], s.blendColor[3]);
    blendColourSet_ = true;
  }
  if (mask & kGlColorMask)
    SetColourMask(s.colorMask[0], s.colorMask[1], s.colorMask[2], s.colorMask[3]);
  if (mask & kGlFill) SetPolygonMode(s.fill);
}

// The passes change the states above, the program and the texture units; the vertex array the
// meshes bind stays as they leave it, so a frame's draws do not rebind it.
void GlEffect::RestoreState() {
  GlState restored = state_;
  const GlState& now = State();
  restored.vertexArray = now.vertexArray;
  restored.arrayBuffer = now.arrayBuffer;
  gl::RestoreState(restored);
  if (blendColourSet_) glBlendColor(0, 0, 0, 0);  // GL's default; nothing else sets it
  blendColourSet_ = false;
}

HRESULT GlEffect::Begin(uint32_t* passes, uint32_t flags) {
  if (!passes || begun_ >= 0) return E_FAIL;
  begun_ = static_cast<int>(current_);
  *passes = static_cast<uint32_t>(techniques_[current_].passes.size());
  saved_ = flags == 0;
  if (saved_) state_ = State();
  return S_OK;
}

HRESULT GlEffect::BeginPass(uint32_t index) {
  if (begun_ < 0 || pass_ >= 0) return E_FAIL;
  const Technique& technique = techniques_[begun_];
  if (index >= technique.passes.size()) return E_INVALIDARG;
  const Pass& pass = technique.passes[index];
  Program& program = programs_[pass.program];
  pass_ = static_cast<int>(index);
  UseProgram(program.name);
  ApplyStates(pass.states);
  BindTextures(pass);
  for (const Block& block : program.blocks)
    glBindBufferBase(GL_UNIFORM_BUFFER, block.binding, block.buffer);
  // Inputs the mesh does not have read the current attribute value: opaque white for colours,
  // (0, 0, 0, 1) for the rest.
  for (const HlslDefaultInput& input : program.defaultInputs) {
    const float c = input.semantic.rfind("COLOR", 0) == 0 ? 1.0f : 0.0f;
    glVertexAttrib4f(input.location, c, c, c, 1.0f);
  }
  if (program.targetHeight >= 0) {
    const GLint* viewport = State().viewport;
    glUniform1f(program.targetHeight, static_cast<float>(viewport[1] + viewport[3]));
  }
  Upload(program);
  return S_OK;
}

// Outside a pass the values simply wait for the next BeginPass; the frame commits once before
// Begin, and that is no error.
HRESULT GlEffect::CommitChanges() {
  if (pass_ < 0) return S_OK;
  const Pass& pass = techniques_[begun_].passes[pass_];
  BindTextures(pass);
  Upload(programs_[pass.program]);
  return S_OK;
}

HRESULT GlEffect::EndPass() {
  if (pass_ < 0) return E_FAIL;
  pass_ = -1;
  return S_OK;
}

HRESULT GlEffect::End() {
  if (begun_ < 0) return E_FAIL;
  pass_ = -1;
  begun_ = -1;
  if (saved_) RestoreState();
  saved_ = false;
  return S_OK;
}

}  // namespace

std::vector<std::string> TechniqueNames(Effect* effect) {
  std::vector<std::string> names;
  for (const Technique& technique : static_cast<GlEffect*>(effect)->Techniques())
    names.push_back(technique.name);
  return names;
}

}  // namespace gfx::gl

namespace gfx::gl {

// Also what tests call with effects they describe themselves.
bool BuildFxEffect(const std::string& label, const formats::FxEffect& fx, Effect** effect,
                   std::string* error) {
  std::unique_ptr<GlEffect, void (*)(GlEffect*)> built(new GlEffect,
                                                       [](GlEffect* e) { e->Release(); });
  if (!built->BuildFx(label, fx, error)) return false;
  *effect = built.release();
  return true;
}

}  // namespace gfx::gl

namespace gfx {

// The device is not consulted: its context is the current one. Defines, include handlers, flags
// and pools are ignored: includes are read beside the effect file. D3D9 effect files and our
// format are told apart by their content.
HRESULT CreateEffectFromFile(Device*, const char* fileName, const void*, void*, uint32_t, void*,
                             Effect** effect, Buffer** errors) {
  using namespace gl;
  if (errors) *errors = nullptr;
  if (!effect)
    return FailWith(E_INVALIDARG, "effect: error: no place to return the effect", errors);
  *effect = nullptr;
  if (!fileName) return FailWith(E_INVALIDARG, "effect: error: no file name given", errors);
  // A driver compiler that crashes, hangs or eats memory on this effect does so in a child first.
  HRESULT checked = S_OK;
  std::string failure;
  if (!InsideEffectCheck() && !CheckEffectInChild(fileName, &checked, &failure))
    return FailWith(checked, failure, errors);
  // The child's translations serve this build alone.
  struct Forget {
    ~Forget() { ForgetTranslations(); }
  } forget;
  // Messages name the file as opened, the same spelling the rest of the backend reports.
  const std::string path = NativeFileName(fileName);
  std::string text, error;
  if (!ReadWholeFile(fileName, kMaxEffectFileBytes, &text, &error))
    return FailWith(E_NOTFOUND, path + ": error: could not open the effect file (" + error + ")",
                    errors);
  if (IsFxEffect(text.data(), text.size())) {
    FxPreprocessed preprocessed;
    FxEffect fx;  // ParseFx fills it whole, its own copy of the text included
    if (!PreprocessFx(path, text, MakeFolderIncludeReader(path), &preprocessed, &error) ||
        !ParseFx(preprocessed, &fx, &error))
      return FailWith(E_FAIL, error, errors);
    if (!BuildFxEffect(path, fx, effect, &error)) return FailWith(E_FAIL, error, errors);
    return S_OK;
  }
  EffectDescription description;
  if (!ParseEffect(path.c_str(), text.data(), text.size(), &description, &error))
    return FailWith(E_FAIL, error, errors);
  std::unique_ptr<GlEffect, void (*)(GlEffect*)> built(new GlEffect,
                                                       [](GlEffect* e) { e->Release(); });
  if (!built->Build(path, description, &error)) return FailWith(E_FAIL, error, errors);
  *effect = built.release();
  return S_OK;
}

}  // namespace gfx
