// Effects on OpenGL 3.3 core: loads a compiled effect (compiler/compiled_effect.hpp) of either
// language: compiles and links its programs up front, makes its sampler objects and uniform
// buffers, and applies passes with their render states, samplers and parameter values. Limits: one
// texture unit per sampler (unit = sampler index), the program's textures are 2D (cube and volume
// samplers read what a sampler without a texture reads); needs the device's GL context current
// whenever it is called, destroyed included.
#include "render/gfx/gl/effect_gl.hpp"

#include <epoxy/gl.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compiler/compile_effect.hpp"
#include "compiler/expression.hpp"
#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/buffer_gl.hpp"
#include "render/gfx/gl/effect_check.hpp"
#include "render/gfx/gl/fixed_values_gl.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/gl/gl_state.hpp"
#include "render/gfx/gl/pass_states_gl.hpp"
#include "render/gfx/gl/pixel_centres_gl.hpp"

namespace gfx::gl {
namespace {

using compiler::CompiledEffect;
using compiler::ParameterKind;

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

struct Parameter {
  std::string name;
  ParameterKind kind;
  uint32_t rows, columns;  // the shape of one element: float3 is 1x3, float4x3 4x3
  uint32_t floats;         // all elements together
  uint32_t first;          // index of the first value in GlEffect::values_
  uint32_t version;        // bumped on every change; programs remember the version they last got
  bool set;                // the program has set it (a computed initial value no longer applies)
  bool flagged;            // some block holds whether it has been set
  GlTexture* texture;      // one reference held; textures only
  std::string semantic;
  uint32_t firstAnnotation, annotations;  // a range of GlEffect::annotations_
};

// What tools read of an annotation. D3D9 effects give it a type of HLSL's; its value is kept as
// the file writes it, which for a string means quoted.
struct Annotation {
  std::string name;
  std::string text;  // a string's characters, unquoted; "" for other types
  float number;      // the first number of a numeric value (true is 1)
  ParameterClass shape;
  ParameterType type;
  uint32_t rows, columns;
};

// `"a" "b"` as the characters ab: adjacent literals join and a backslash takes the next character
// as it is, except \n and \t.
std::string Unquote(const std::string& value) {
  std::string out;
  bool inside = false;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '"') {
      inside = !inside;
    } else if (inside && c == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    } else if (inside) {
      out += c;
    }
  }
  return out;
}

// "float3" is a 1 x 3 float vector, "int" an int scalar, "float4x4" a matrix; anything that is not
// a numeric type or string, such as a texture, is an object of no type.
Annotation AnnotationOf(const compiler::Annotation& source) {
  Annotation a{source.name, "", 0.0f, PC_OBJECT, PT_VOID, 0, 0};
  const std::string& type = source.type;
  if (type == "string") {
    a.type = PT_STRING;
    a.text = Unquote(source.value);
    return a;
  }
  static const std::pair<const char*, ParameterType> kBases[] = {
      {"float", PT_FLOAT}, {"half", PT_FLOAT}, {"double", PT_FLOAT}, {"int", PT_INT},
      {"uint", PT_INT},    {"dword", PT_INT},  {"bool", PT_BOOL}};
  for (const auto& [word, base] : kBases) {
    const size_t length = std::strlen(word);
    if (type.compare(0, length, word) != 0) continue;
    unsigned rows = 1, columns = 1;
    const char* rest = type.c_str() + length;
    if (*rest && std::sscanf(rest, "%ux%u", &rows, &columns) != 2) {
      columns = rows, rows = 1;
      if (std::sscanf(rest, "%u", &columns) != 1) return a;
    }
    if (rows < 1 || rows > 4 || columns < 1 || columns > 4) return a;
    a.type = base;
    a.rows = rows;
    a.columns = columns;
    a.shape = rows > 1 ? PC_MATRIX_ROWS : columns > 1 ? PC_VECTOR : PC_SCALAR;
    const char* value = source.value.c_str();
    while (*value == '{' || std::isspace(static_cast<unsigned char>(*value))) ++value;
    a.number = std::strncmp(value, "true", 4) == 0 ? 1.0f : std::strtof(value, nullptr);
    return a;
  }
  return a;
}

// One member of one uniform block, filled from a parameter.
struct Block {
  GLuint buffer = 0;
  GLuint binding = 0;
  std::vector<uint8_t> bytes;
  std::vector<compiler::BlockMember> members;
};

struct Program {
  GLuint name = 0;
  std::vector<uint32_t> seen;  // per parameter, the version last written to this program's blocks
  std::vector<Block> blocks;
  GLint pixelOffset = -1;
  GLint targetHeight = -1;  // programs reading VPOS
  GLint viewport[4] = {};   // what the two uniforms above were last set for
  std::vector<compiler::DefaultInput> defaultInputs;
  bool fixed = false;  // a block reads the device's fixed-function values
};

struct Pass {
  uint32_t program;
  GlPassStates states;
  uint32_t samplerSet;  // index into GlEffect::samplerSets_
  std::vector<compiler::FixedValue> fixed;
  // Shader selection: programs[v * pixelShaders + p] by the indices' values (compiled_effect.hpp).
  compiler::Expression vertexIndex, pixelIndex;
  uint32_t vertexShaders, pixelShaders;
  std::vector<uint32_t> programs;
  // State values over parameters: evaluated into stateSource's states, which GlStatesOfPass maps
  // again when the pass begins. Empty when every state is a constant.
  std::vector<compiler::StateExpression> stateValues;
  compiler::Pass stateSource;
};

// What a pass's index expressions read: the parameters' current values.
struct CurrentValues {
  const Parameter* parameters;
  const float* values;
};

float CurrentValue(const void* context, uint32_t parameter, float index) {
  const CurrentValues& current = *static_cast<const CurrentValues*>(context);
  const Parameter& p = current.parameters[parameter];
  const uint32_t each = p.rows * p.columns;
  const uint32_t element = compiler::IndexOf(index, std::max(p.floats / each, 1u));
  return current.values[p.first + element * each];
}

struct Technique {
  std::string name;
  std::vector<Pass> passes;
};

struct NameEntry {
  const char* name;
  uint32_t index;
};

GLenum SamplerTarget(compiler::SamplerKind kind) {
  switch (kind) {
    case compiler::SamplerKind::Tex2D: return GL_TEXTURE_2D;
    case compiler::SamplerKind::Cube: return GL_TEXTURE_CUBE_MAP;
    case compiler::SamplerKind::Tex3D: return GL_TEXTURE_3D;
  }
  return GL_TEXTURE_2D;
}

class GlEffect final : public RefCounted<Effect> {
 public:
  ~GlEffect() override;
  // Compile and link everything; on failure return false with the text in *error.
  bool Load(const CompiledEffect& effect, std::string* error);

  HRESULT GetDesc(EffectDesc* desc) override;
  Handle GetParameter(Handle parent, uint32_t index) override;
  HRESULT GetParameterDesc(Handle parameter, ParameterDesc* desc) override;
  Handle GetAnnotation(Handle object, uint32_t index) override;
  HRESULT GetString(Handle parameter, const char** text) override;
  HRESULT GetFloat(Handle parameter, float* value) override;
  Handle GetTechnique(uint32_t index) override;
  HRESULT GetTechniqueDesc(Handle technique, TechniqueDesc* desc) override;
  HRESULT ValidateTechnique(Handle technique) override;
  HRESULT SetTechnique(Handle technique) override;
  HRESULT SetTexture(Handle parameter, Texture* texture) override;
  HRESULT SetFloat(Handle parameter, float value) override;
  HRESULT SetFloatArray(Handle parameter, const float* values, uint32_t count) override;
  HRESULT SetMatrix(Handle parameter, const Matrix* matrix) override;
  HRESULT Begin(uint32_t* passes, uint32_t flags) override;
  HRESULT BeginPass(uint32_t pass) override;
  HRESULT CommitChanges() override;
  HRESULT EndPass() override;
  HRESULT End() override;
  const std::vector<Technique>& Techniques() const { return techniques_; }

 private:
  static int Find(const std::vector<NameEntry>& table, const char* name);
  int FindAnnotation(Handle handle) const;
  GLuint EmptyTexture(GLenum target);
  bool LoadProgram(const compiler::Program& source, std::vector<std::string>* texts,
                   std::vector<GLuint>* shaders, std::string* messages);
  HRESULT SetFloats(const char* name, const float* values, uint32_t count, bool matrix);
  void UploadBlocks(Program& program);
  void SetFixedValues(const Pass& pass, bool parametersOnly);
  void UploadFixedValues(Program& program);
  void SendViewport(Program& program) const;
  uint32_t ProgramOfPass(const Pass& pass) const;
  void ApplyPassStates(Pass& pass);
  void StartProgram(Program& program);
  void BindTextures(const Pass& pass);
  void ApplyStates(const GlPassStates& states);
  void RestoreState();

  std::vector<Parameter> parameters_;
  std::vector<float> values_;
  std::vector<NameEntry> parameterNames_;  // sorted by strcmp
  std::vector<Annotation> annotations_;
  std::vector<NameEntry> annotationHandles_;  // sorted by the address of the name, the handle
  std::vector<int> samplerParameter_;         // per sampler, the texture parameter it reads, or -1
  std::vector<GLenum> samplerTargets_;        // per sampler
  std::vector<std::vector<GLuint>> samplerSets_;  // [0]: the effect's; then passes' own states
  // Per sampler set, the sampler whose texture each unit reads (a pass's Sampler[n] = (s) changes
  // it).
  std::vector<std::vector<uint32_t>> samplerSources_;
  std::vector<uint8_t> changed_;  // per parameter, scratch for UploadBlocks
  std::vector<Program> programs_;
  std::vector<Technique> techniques_;
  std::vector<NameEntry> techniqueNames_;  // sorted by strcmp
  GLuint empty_[3] = {};                   // 2D, cube, 3D
  bool emptyReadsBlack_ = false;           // a D3D9 effect's; our format's read white
  GLint subpixelBits_ = 0;                 // the context's, for PixelOffset
  uint32_t current_ = 0;                   // technique SetTechnique chose
  int begun_ = -1;                         // technique between Begin and End, -1 outside
  int pass_ = -1;                          // pass between BeginPass and EndPass, -1 outside
  uint32_t program_ = 0;                   // the program the current pass draws with
  bool saved_ = false;
  bool blendColourSet_ = false;  // a pass set the blend colour, which End puts back to GL's default
  GlState state_{};              // the shadow as Begin found it
  float fixedSaved_[compiler::kFixedValueFloats] = {};  // the device's values as Begin found them
};

GlEffect::~GlEffect() {
  for (Parameter& parameter : parameters_)
    if (parameter.texture) parameter.texture->Release();
  for (Program& program : programs_) {
    glDeleteProgram(program.name);
    for (Block& block : program.blocks) {
      ForgetUniformBuffer(block.buffer);
      glDeleteBuffers(1, &block.buffer);
    }
  }
  for (std::vector<GLuint>& set : samplerSets_)
    if (!set.empty()) glDeleteSamplers(static_cast<GLsizei>(set.size()), set.data());
  for (GLuint empty : empty_)
    if (empty) glDeleteTextures(1, &empty);
}

// Read by samplers whose texture parameter is null; cube and volume samplers always read it,
// since the program's textures are 2D. A D3D9 effect reads opaque black there, as a stage without
// a texture samples on the original platform; our format reads opaque white, so untextured
// objects are lit but not dark.
GLuint GlEffect::EmptyTexture(GLenum target) {
  const int slot = target == GL_TEXTURE_2D ? 0 : target == GL_TEXTURE_CUBE_MAP ? 1 : 2;
  if (empty_[slot]) return empty_[slot];
  const uint8_t level = emptyReadsBlack_ ? 0 : 255;
  const uint8_t texel[4] = {level, level, level, 255};
  glGenTextures(1, &empty_[slot]);
  glBindTexture(target, empty_[slot]);
  if (target == GL_TEXTURE_2D) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  } else if (target == GL_TEXTURE_CUBE_MAP) {
    for (GLenum face = 0; face < 6; ++face)
      glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA8, 1, 1, 0, GL_RGBA,
                   GL_UNSIGNED_BYTE, texel);
  } else {
    glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, 1, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  }
  glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, 0);  // complete under mipmap filters too
  // As the shadow says; the backend binds nothing else to the cube and volume targets.
  glBindTexture(target, target == GL_TEXTURE_2D ? State().textures[State().activeUnit] : 0);
  return empty_[slot];
}

// A stage's driver messages: our format's text numbers lines of the effect file, so they are
// placed there; GLSL made from HLSL has lines of its own, so the first error names the stage.
void StageMessages(const compiler::Stage& stage, const std::string& log, std::string* messages) {
  if (stage.fileLines) {
    if (AppendDriverLog(stage.file, log.c_str(), stage.line, stage.context, messages) == 0)
      *messages += stage.place + ": error: " + stage.context + " does not compile\n";
    return;
  }
  // The driver's first error, not a warning before it.
  size_t at = log.find("error");
  at = at == std::string::npos                    ? 0
       : log.rfind('\n', at) == std::string::npos ? 0
                                                  : log.rfind('\n', at) + 1;
  // Its place in the generated text means nothing to the effect's author: only its words go.
  std::string text = log.substr(at, log.find('\n', at) - at);
  unsigned source = 0, line = 0, column = 0;
  int used = 0;
  if ((std::sscanf(text.c_str(), "%u:%u(%u): %n", &source, &line, &column, &used) == 3 ||
       std::sscanf(text.c_str(), "%u(%u) : %n", &source, &line, &used) == 2 ||
       std::sscanf(text.c_str(), "ERROR: %u:%u: %n", &source, &line, &used) == 2) &&
      used > 0)
    text = text.substr(static_cast<size_t>(used));
  *messages += stage.place + ": error: the GLSL made from " + stage.context +
               " does not compile: " + text + "\n";
}

// Every stage text is compiled once (passes share stages); *texts and *shaders are that cache.
// Vertex stages are compiled with our main around theirs (pixel_centres_gl.hpp), whatever made
// them, so that no stage draws at GL's pixel centres.
bool GlEffect::LoadProgram(const compiler::Program& source, std::vector<std::string>* texts,
                           std::vector<GLuint>* shaders, std::string* messages) {
  const auto shaderOf = [&](const compiler::Stage& stage, GLenum kind) -> GLuint {
    for (size_t i = 0; i < texts->size(); ++i)
      if ((*texts)[i] == stage.glsl) return (*shaders)[i];
    std::string log;
    const GLuint name = CompileGl(
        kind, kind == GL_VERTEX_SHADER ? WithOriginalPixelCentres(stage.glsl) : stage.glsl, &log);
    if (!log.empty()) StageMessages(stage, log, messages);
    texts->push_back(stage.glsl);
    shaders->push_back(log.empty() ? name : 0);
    if (!log.empty()) glDeleteShader(name);
    return shaders->back();
  };
  Program program;
  program.name = glCreateProgram();
  programs_.push_back(program);
  const GLuint vs = shaderOf(source.vertex, GL_VERTEX_SHADER);
  const GLuint fs = shaderOf(source.fragment, GL_FRAGMENT_SHADER);
  if (!vs || !fs || !messages->empty()) return false;
  Program& made = programs_.back();
  glAttachShader(made.name, vs);
  glAttachShader(made.name, fs);
  glLinkProgram(made.name);
  glDetachShader(made.name, vs);
  glDetachShader(made.name, fs);
  GLint ok = GL_FALSE;
  glGetProgramiv(made.name, GL_LINK_STATUS, &ok);
  if (!ok) {
    // Our main calls the stage's under another name: a stage without one is told in its terms.
    std::string log = ProgramLog(made.name);
    if (log.find(kStageMain) != std::string::npos) log = "error: the vertex shader has no main()";
    const std::string context = "linking " + source.context;
    if (!source.vertex.fileLines)
      *messages +=
          source.place + ": error: " + context + " failed: " + log.substr(0, log.find('\n')) + "\n";
    else if (AppendDriverLog(source.vertex.file, log.c_str(), source.line, context, messages) == 0)
      *messages += source.place + ": error: " + context + " failed\n";
    return false;
  }
  UseProgram(made.name);
  made.seen.assign(parameters_.size(), 0);
  for (const compiler::SamplerUniform& sampler : source.samplers) {
    const GLint location = glGetUniformLocation(made.name, sampler.name.c_str());
    if (location >= 0) glUniform1i(location, static_cast<GLint>(sampler.unit));
  }
  made.defaultInputs = source.defaultInputs;
  for (const compiler::Block& from : source.blocks) {
    const GLuint blockIndex = glGetUniformBlockIndex(made.name, from.name.c_str());
    if (blockIndex == GL_INVALID_INDEX) continue;  // the driver found no use for it
    Block block;
    block.binding = from.binding;
    glUniformBlockBinding(made.name, blockIndex, block.binding);
    GLint size = 0;
    glGetActiveUniformBlockiv(made.name, blockIndex, GL_UNIFORM_BLOCK_DATA_SIZE, &size);
    block.bytes.assign(std::max<size_t>(from.size, static_cast<size_t>(size)), 0);
    block.members = from.members;
    for (const compiler::BlockMember& member : from.members) {
      if (member.setFlag) parameters_[member.parameter].flagged = true;
      made.fixed = made.fixed || member.fixed;
    }
    glGenBuffers(1, &block.buffer);
    BindUniformBuffer(block.buffer);
    glBufferData(GL_UNIFORM_BUFFER, static_cast<GLsizeiptr>(block.bytes.size()), block.bytes.data(),
                 GL_DYNAMIC_DRAW);
    made.blocks.push_back(std::move(block));
  }
  made.pixelOffset = glGetUniformLocation(made.name, kPixelOffsetUniform);
  if (source.readsTargetHeight)
    made.targetHeight = glGetUniformLocation(made.name, compiler::kTargetHeightUniform);
  return true;
}

bool GlEffect::Load(const CompiledEffect& effect, std::string* error) {
  glGetIntegerv(GL_SUBPIXEL_BITS, &subpixelBits_);
  for (const compiler::Parameter& source : effect.parameters) {
    const bool texture = source.kind == ParameterKind::Texture;
    const uint32_t floats = texture ? 0 : static_cast<uint32_t>(source.value.size());
    parameters_.push_back({source.name, source.kind, source.rows, source.columns, floats,
                           static_cast<uint32_t>(values_.size()), 1, false, false, nullptr,
                           source.semantic, static_cast<uint32_t>(annotations_.size()),
                           static_cast<uint32_t>(source.annotations.size())});
    values_.insert(values_.end(), source.value.begin(), source.value.end());
    for (const compiler::Annotation& annotation : source.annotations)
      annotations_.push_back(AnnotationOf(annotation));
  }
  // Names are final now: the tables point into the strings and are never reallocated again.
  for (uint32_t i = 0; i < parameters_.size(); ++i)
    parameterNames_.push_back({parameters_[i].name.c_str(), i});
  std::sort(parameterNames_.begin(), parameterNames_.end(),
            [](const NameEntry& a, const NameEntry& b) { return std::strcmp(a.name, b.name) < 0; });
  for (uint32_t i = 0; i < annotations_.size(); ++i)
    annotationHandles_.push_back({annotations_[i].name.c_str(), i});
  std::sort(annotationHandles_.begin(), annotationHandles_.end(),
            [](const NameEntry& a, const NameEntry& b) { return std::less<>()(a.name, b.name); });
  changed_.assign(parameters_.size(), 0);

  for (const compiler::Sampler& sampler : effect.samplers) {
    samplerParameter_.push_back(sampler.texture);
    samplerTargets_.push_back(SamplerTarget(sampler.kind));
  }
  for (const compiler::SamplerSet& set : effect.samplerSets) {
    samplerSets_.emplace_back();
    samplerSources_.push_back(set.source);
    for (const std::vector<compiler::SamplerState>& states : set.states) {
      GLuint object = 0;
      glGenSamplers(1, &object);
      ConfigureSampler(object, GlSamplerStatesOf(states));
      samplerSets_.back().push_back(object);
    }
  }

  std::string messages;
  std::vector<std::string> texts;
  std::vector<GLuint> shaders;
  for (const compiler::Program& program : effect.programs)
    LoadProgram(program, &texts, &shaders, &messages);
  BindUniformBuffer(0);
  UseProgram(0);
  for (GLuint shader : shaders)
    if (shader) glDeleteShader(shader);

  for (const compiler::Technique& source : effect.techniques) {
    Technique technique{source.name, {}};
    for (const compiler::Pass& pass : source.passes)
      technique.passes.push_back({pass.program,
                                  GlStatesOfPass(pass),
                                  pass.samplerSet,
                                  pass.fixed,
                                  pass.vertexIndex,
                                  pass.pixelIndex,
                                  pass.vertexShaders,
                                  pass.pixelShaders,
                                  pass.programs,
                                  pass.stateValues,
                                  {}});
    for (size_t k = 0; k < source.passes.size(); ++k) {
      if (source.passes[k].stateValues.empty()) continue;
      technique.passes[k].stateSource.frontFace = source.passes[k].frontFace;
      technique.passes[k].stateSource.states = source.passes[k].states;
    }
    techniques_.push_back(std::move(technique));
  }
  for (uint32_t i = 0; i < techniques_.size(); ++i)
    techniqueNames_.push_back({techniques_[i].name.c_str(), i});
  std::sort(techniqueNames_.begin(), techniqueNames_.end(),
            [](const NameEntry& a, const NameEntry& b) { return std::strcmp(a.name, b.name) < 0; });

  emptyReadsBlack_ = effect.language == compiler::SourceLanguage::Hlsl;
  // The platform gives a flat-shaded triangle the colours of its first vertex; nothing else this
  // program draws has flat varyings, so the context keeps that convention from here on.
  glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
  EmptyTexture(GL_TEXTURE_2D);
  for (const GLenum target : samplerTargets_) EmptyTexture(target);  // all made before any is bound
  for (size_t unit = 0; unit < samplerTargets_.size(); ++unit) {
    const GLenum target = samplerTargets_[unit];
    if (target == GL_TEXTURE_2D) continue;
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glBindTexture(target, EmptyTexture(target));
    glActiveTexture(GL_TEXTURE0 + State().activeUnit);  // as the shadow says
  }
  if (!messages.empty()) {
    *error = messages;
    return false;
  }
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

// An annotation's handle is the address of its name: equal names of different parameters' stay
// apart.
int GlEffect::FindAnnotation(Handle handle) const {
  const auto at = std::lower_bound(
      annotationHandles_.begin(), annotationHandles_.end(), handle,
      [](const NameEntry& entry, Handle wanted) { return std::less<>()(entry.name, wanted); });
  return at != annotationHandles_.end() && at->name == handle ? static_cast<int>(at->index) : -1;
}

HRESULT GlEffect::GetDesc(EffectDesc* desc) {
  if (!desc) return E_INVALIDARG;
  *desc = {nullptr, static_cast<uint32_t>(parameters_.size()),
           static_cast<uint32_t>(techniques_.size()), 0};
  return S_OK;
}

// Structs and arrays are not split into parameters of their own here: a parent has no members.
Handle GlEffect::GetParameter(Handle parent, uint32_t index) {
  if (parent || index >= parameters_.size()) return nullptr;
  return parameters_[index].name.c_str();
}

// From the shape both formats record. Every numeric value is held as floats, so ints and bools of
// a D3D9 effect read as floats here too.
HRESULT GlEffect::GetParameterDesc(Handle name, ParameterDesc* desc) {
  if (!desc) return E_INVALIDARG;
  const int annotation = FindAnnotation(name);
  if (annotation >= 0) {
    const Annotation& a = annotations_[annotation];
    *desc = {a.name.c_str(),        nullptr, a.shape, a.type, a.rows, a.columns, 0, 0, 0, 0,
             a.rows * a.columns * 4};
    return S_OK;
  }
  const int index = Find(parameterNames_, name);
  if (index < 0) return E_NOTFOUND;
  const Parameter& p = parameters_[index];
  const char* semantic = p.semantic.empty() ? nullptr : p.semantic.c_str();
  if (p.kind == ParameterKind::Texture) {
    *desc = {p.name.c_str(), semantic, PC_OBJECT, PT_TEXTURE, 0, 0, 0, p.annotations, 0, 0, 0};
    return S_OK;
  }
  const uint32_t perElement = p.rows * p.columns;
  const uint32_t elements = perElement && p.floats > perElement ? p.floats / perElement : 0;
  const ParameterClass shape = p.kind == ParameterKind::Matrix ? PC_MATRIX_ROWS
                               : perElement == 1               ? PC_SCALAR
                                                               : PC_VECTOR;
  *desc = {p.name.c_str(), semantic,      shape, PT_FLOAT, p.rows,      p.columns,
           elements,       p.annotations, 0,     0,        p.floats * 4};
  return S_OK;
}

// Techniques carry no annotations here; a technique's handle is told from a parameter's of the
// same name by its address.
Handle GlEffect::GetAnnotation(Handle object, uint32_t index) {
  const int technique = Find(techniqueNames_, object);
  if (technique >= 0 && techniques_[technique].name.c_str() == object) return nullptr;
  const int parameter = Find(parameterNames_, object);
  if (parameter < 0 || index >= parameters_[parameter].annotations) return nullptr;
  return annotations_[parameters_[parameter].firstAnnotation + index].name.c_str();
}

HRESULT GlEffect::GetString(Handle handle, const char** text) {
  if (!text) return E_INVALIDARG;
  const int annotation = FindAnnotation(handle);
  if (annotation < 0) return Find(parameterNames_, handle) < 0 ? E_NOTFOUND : E_INVALIDARG;
  if (annotations_[annotation].type != PT_STRING) return E_INVALIDARG;
  *text = annotations_[annotation].text.c_str();
  return S_OK;
}

HRESULT GlEffect::GetFloat(Handle handle, float* value) {
  if (!value) return E_INVALIDARG;
  const int annotation = FindAnnotation(handle);
  if (annotation >= 0) {
    const Annotation& a = annotations_[annotation];
    if (a.shape == PC_OBJECT) return E_INVALIDARG;
    *value = a.number;
    return S_OK;
  }
  const int index = Find(parameterNames_, handle);
  if (index < 0) return E_NOTFOUND;
  const Parameter& p = parameters_[index];
  if (p.kind == ParameterKind::Texture || p.floats == 0) return E_INVALIDARG;
  *value = values_[p.first];
  return S_OK;
}

Handle GlEffect::GetTechnique(uint32_t index) {
  return index < techniques_.size() ? techniques_[index].name.c_str() : nullptr;
}

HRESULT GlEffect::GetTechniqueDesc(Handle technique, TechniqueDesc* desc) {
  if (!desc) return E_INVALIDARG;
  const int index = Find(techniqueNames_, technique);
  if (index < 0) return E_NOTFOUND;
  const Technique& t = techniques_[index];
  *desc = {t.name.c_str(), static_cast<uint32_t>(t.passes.size()), 0};
  return S_OK;
}

// Every program of every technique was compiled and linked when the effect was loaded, and drawn
// with once by the effect check: a technique the effect has is valid.
HRESULT GlEffect::ValidateTechnique(Handle technique) {
  return Find(techniqueNames_, technique) < 0 ? E_NOTFOUND : S_OK;
}

HRESULT GlEffect::SetTechnique(Handle name) {
  const int index = Find(techniqueNames_, name);
  if (index < 0) return E_NOTFOUND;
  current_ = static_cast<uint32_t>(index);
  return S_OK;
}

HRESULT GlEffect::SetTexture(Handle name, Texture* texture) {
  const int index = Find(parameterNames_, name);
  if (index < 0) return E_NOTFOUND;
  Parameter& parameter = parameters_[index];
  if (parameter.kind != ParameterKind::Texture) return E_INVALIDARG;
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
  if (parameter.kind == ParameterKind::Texture ||
      (matrix && parameter.kind != ParameterKind::Matrix))
    return E_INVALIDARG;
  if (count == 0) return S_OK;
  if (!values) return E_INVALIDARG;
  float* value = values_.data() + parameter.first;
  if (!parameter.set) {
    parameter.set = true;
    // A block that holds whether it was set changes now, whatever the value.
    if (parameter.flagged) ++parameter.version;
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

HRESULT GlEffect::SetFloat(Handle name, float value) { return SetFloats(name, &value, 1, false); }

HRESULT GlEffect::SetFloatArray(Handle name, const float* values, uint32_t count) {
  return SetFloats(name, values, count, false);
}

// Our matrices are row-major with row vectors. Our format reads the same 16 floats column-major as
// the column-vector matrix GLSL multiplies as M * v, so no transpose on upload; a D3D9 effect
// gets element (i, j) where its block layout puts HLSL's row i, column j (UploadBlocks).
HRESULT GlEffect::SetMatrix(Handle name, const Matrix* matrix) {
  static_assert(sizeof(Matrix) == 16 * sizeof(float), "a matrix is 16 packed floats");
  return SetFloats(name, reinterpret_cast<const float*>(matrix), matrix ? 16 : 0, true);
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
    for (const compiler::BlockMember& m : block.members) {
      if (m.fixed || !changed_[m.parameter]) continue;
      dirty = true;
      const Parameter& parameter = parameters_[m.parameter];
      const float* value = values_.data() + parameter.first;
      if (m.setFlag) {
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
            if (m.scalar == compiler::Scalar::Float) {
              std::memcpy(&block.bytes[to], &f, 4);
            } else {
              const int32_t n = m.scalar == compiler::Scalar::Bool
                                    ? (f != 0.0f)
                                    : static_cast<int32_t>(std::lround(f));
              std::memcpy(&block.bytes[to], &n, 4);
            }
          }
    }
    if (!dirty) continue;
    BindUniformBuffer(block.buffer);
    glBufferSubData(GL_UNIFORM_BUFFER, 0, static_cast<GLsizeiptr>(block.bytes.size()),
                    block.bytes.data());
  }
}

// A pass's fixed-function values go to the device, as the original effect sets them there: the
// passes after it, and the program's own transforms, keep what it leaves.
void GlEffect::SetFixedValues(const Pass& pass, bool parametersOnly) {
  float* values = FixedValues();
  for (const compiler::FixedValue& f : pass.fixed) {
    if (parametersOnly && f.parameter < 0) continue;
    const compiler::FixedSlotInfo& slot = compiler::FixedSlotOf(f.slot);
    const uint32_t size = slot.rows * slot.columns;
    float* to = values + slot.offset + f.element * size;
    if (f.parameter < 0) {
      std::copy(f.value.begin(), f.value.begin() + std::min<size_t>(f.value.size(), size), to);
      continue;
    }
    const Parameter& parameter = parameters_[f.parameter];
    const uint32_t perElement = parameter.rows * parameter.columns;
    const float* from = values_.data() + parameter.first + f.parameterElement * perElement;
    if (slot.rows == 4 && parameter.rows > 1) {
      // A smaller matrix fills its rows and columns of the 4x4, as D3DX's SetTransform of it does.
      for (uint32_t i = 0; i < 4; ++i)
        for (uint32_t j = 0; j < 4; ++j)
          to[i * 4 + j] = i < parameter.rows && j < parameter.columns
                              ? from[i * parameter.columns + j]
                              : (i == j ? 1.0f : 0.0f);
      continue;
    }
    std::copy(from, from + std::min(perElement, size), to);
  }
}

// The generated stages' blocks take the device's values whole each time a pass begins or commits:
// they are small, and the program or another effect may have changed any of them.
void GlEffect::UploadFixedValues(Program& program) {
  const float* values = FixedValues();
  for (Block& block : program.blocks) {
    bool any = false;
    for (const compiler::BlockMember& m : block.members) {
      if (!m.fixed) continue;
      any = true;
      const compiler::FixedSlotInfo& slot = compiler::FixedSlotOf(m.parameter);
      for (uint32_t k = 0; k < std::max(m.elements, 1u); ++k)
        for (uint32_t i = 0; i < m.rows && i < slot.rows; ++i)
          for (uint32_t j = 0; j < m.columns && j < slot.columns; ++j) {
            const size_t to = m.offset + k * m.arrayStride + i * m.rowStride + j * m.columnStride;
            if (to + 4 > block.bytes.size()) continue;
            const float f = values[slot.offset + (k * slot.rows + i) * slot.columns + j];
            std::memcpy(&block.bytes[to], &f, 4);
          }
    }
    if (!any) continue;
    BindUniformBuffer(block.buffer);
    glBufferSubData(GL_UNIFORM_BUFFER, 0, static_cast<GLsizeiptr>(block.bytes.size()),
                    block.bytes.data());
  }
}

// The half-pixel offset and VPOS's height follow the viewport the pass draws into; a program
// keeps its uniforms, so they are sent only when it differs from the one they were set for.
void GlEffect::SendViewport(Program& program) const {
  const GLint* viewport = State().viewport;
  if (std::equal(viewport, viewport + 4, program.viewport)) return;
  std::copy(viewport, viewport + 4, program.viewport);
  if (program.pixelOffset >= 0) {
    float offset[2];
    PixelOffset(viewport[2], viewport[3], subpixelBits_, offset);
    glUniform2f(program.pixelOffset, offset[0], offset[1]);
  }
  if (program.targetHeight >= 0)
    glUniform1f(program.targetHeight, static_cast<float>(viewport[1] + viewport[3]));
}

void GlEffect::BindTextures(const Pass& pass) {
  const std::vector<GLuint>& objects = samplerSets_[pass.samplerSet];
  for (size_t s = 0; s < objects.size(); ++s) {
    const uint32_t unit = static_cast<uint32_t>(s);
    const GLenum target = samplerTargets_[s];
    BindSampler(unit, objects[s]);
    if (target != GL_TEXTURE_2D) {
      // Cube and volume samplers read the empty texture, bound once at creation on their own
      // targets, which the backend uses nowhere else: nothing to do per pass.
      continue;
    }
    const int parameter = samplerParameter_[samplerSources_[pass.samplerSet][s]];
    const GlTexture* texture = parameter >= 0 ? parameters_[parameter].texture : nullptr;
    BindTexture2D(unit, texture ? texture->name : EmptyTexture(GL_TEXTURE_2D));
  }
}

// Culling follows the original platform, where CW and CCW name the winding, as seen on screen,
// that is discarded. Our projection is left-handed like the original's and glClipControl keeps
// the lower-left origin, so a triangle that appears clockwise there appears clockwise here, and
// GL's window-space winding is the on-screen one. The culled winding is GL_FRONT when it is the
// front face in force, else GL_BACK: our format's passes face GL_CCW, D3D9 effects GL_CW (the
// original's front faces, so VFACE agrees).
// A pass that sets its front face and no cull mode keeps the one the device has: the winding
// culled stays the same on screen, so GL's culled face follows the front face.
void GlEffect::ApplyStates(const GlPassStates& s) {
  const uint32_t mask = s.mask;
  if (mask & kGlFrontFace) {
    const GlState& now = State();
    const GLenum back = now.frontFace == GL_CCW ? GL_CW : GL_CCW;
    const GLenum culled = now.cullFaceMode == GL_FRONT ? now.frontFace : back;
    SetFrontFace(s.frontFace);
    if (!(mask & kGlCull)) SetCullFace(culled == s.frontFace ? GL_FRONT : GL_BACK);
  }
  if (mask & kGlCull) {
    SetEnabled(GL_CULL_FACE, s.cullWinding != 0);
    if (s.cullWinding) SetCullFace(s.cullWinding == State().frontFace ? GL_FRONT : GL_BACK);
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
  if (mask & kGlSrgbWrite) SetEnabled(GL_FRAMEBUFFER_SRGB, s.srgbWrite);
  if (mask & (kGlDepthBias | kGlSlopeBias))
    SetPolygonOffset((mask & kGlSlopeBias) ? s.offsetFactor : State().polygonOffsetFactor,
                     (mask & kGlDepthBias) ? s.offsetUnits : State().polygonOffsetUnits);
  if (mask & kGlScissor) {
    // The device's scissor rectangle is its whole target, as the platform's is until the program
    // sets one, which ours cannot: a box larger than any target cuts nothing.
    SetEnabled(GL_SCISSOR_TEST, s.scissor);
    if (s.scissor) SetScissor(0, 0, 1 << 15, 1 << 15);
  }
  if (mask & kGlPointSize) SetPointSize(s.pointSize);
  if (mask & kGlLineSmooth) SetEnabled(GL_LINE_SMOOTH, s.lineSmooth);
  if (mask & kGlDither) SetEnabled(GL_DITHER, s.dither);
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
  if (saved_) {
    state_ = State();
    std::copy(FixedValues(), FixedValues() + compiler::kFixedValueFloats, fixedSaved_);
  }
  return S_OK;
}

// The program a pass draws with: its own, or the one its shader indices pick from the parameters'
// current values, as the original platform's preshaders pick them.
uint32_t GlEffect::ProgramOfPass(const Pass& pass) const {
  if (pass.programs.empty()) return pass.program;
  const CurrentValues current{parameters_.data(), values_.data()};
  const uint32_t v = compiler::IndexOf(
      compiler::EvaluateExpression(pass.vertexIndex, CurrentValue, &current), pass.vertexShaders);
  const uint32_t p = compiler::IndexOf(
      compiler::EvaluateExpression(pass.pixelIndex, CurrentValue, &current), pass.pixelShaders);
  return pass.programs[v * pass.pixelShaders + p];
}

// The pass's states, those given by expressions evaluated from the parameters' current values.
void GlEffect::ApplyPassStates(Pass& pass) {
  if (pass.stateValues.empty()) {
    ApplyStates(pass.states);
    return;
  }
  const CurrentValues current{parameters_.data(), values_.data()};
  for (const compiler::StateExpression& state : pass.stateValues)
    pass.stateSource.states[state.state].value =
        compiler::StateValueOf(compiler::EvaluateExpression(state.value, CurrentValue, &current));
  ApplyStates(GlStatesOfPass(pass.stateSource));
}

void GlEffect::StartProgram(Program& program) {
  UseProgram(program.name);
  for (const Block& block : program.blocks) BindUniformBufferBase(block.binding, block.buffer);
  // Inputs the mesh does not have read the current attribute value: opaque white for colours,
  // (0, 0, 0, 1) for the rest.
  for (const compiler::DefaultInput& input : program.defaultInputs) {
    const float c = input.semantic.rfind("COLOR", 0) == 0 ? 1.0f : 0.0f;
    glVertexAttrib4f(input.location, c, c, c, 1.0f);
  }
  SendViewport(program);
}

HRESULT GlEffect::BeginPass(uint32_t index) {
  if (begun_ < 0 || pass_ >= 0) return E_FAIL;
  Technique& technique = techniques_[begun_];
  if (index >= technique.passes.size()) return E_INVALIDARG;
  Pass& pass = technique.passes[index];
  pass_ = static_cast<int>(index);
  program_ = ProgramOfPass(pass);
  Program& program = programs_[program_];
  ApplyPassStates(pass);
  BindTextures(pass);
  StartProgram(program);
  UploadBlocks(program);
  SetFixedValues(pass, false);
  if (program.fixed) UploadFixedValues(program);
  return S_OK;
}

// Outside a pass the values simply wait for the next BeginPass; the frame commits once before
// Begin, and that is no error. A shader index changed inside the pass switches the program here.
HRESULT GlEffect::CommitChanges() {
  if (pass_ < 0) return S_OK;
  Pass& pass = techniques_[begun_].passes[pass_];
  const uint32_t chosen = ProgramOfPass(pass);
  if (chosen != program_) {
    program_ = chosen;
    StartProgram(programs_[program_]);
  }
  if (!pass.stateValues.empty()) ApplyPassStates(pass);
  BindTextures(pass);
  UploadBlocks(programs_[program_]);
  SetFixedValues(pass, true);
  if (programs_[program_].fixed) UploadFixedValues(programs_[program_]);
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
  if (saved_) {
    RestoreState();
    std::copy(fixedSaved_, fixedSaved_ + compiler::kFixedValueFloats, FixedValues());
  }
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

bool LoadCompiledEffect(const CompiledEffect& compiled, Effect** effect, std::string* error) {
  std::unique_ptr<GlEffect, void (*)(GlEffect*)> built(new GlEffect,
                                                       [](GlEffect* e) { e->Release(); });
  if (!built->Load(compiled, error)) return false;
  *effect = built.release();
  return true;
}

}  // namespace gfx::gl

namespace gfx {

// The device is not consulted: its context is the current one. Defines, include handlers, flags
// and pools are ignored: includes are read beside the effect file. The effect is compiled and
// drawn once in a child first (effect_check.hpp), which hands back the compiled effect; only where
// no child can check it is it compiled here.
HRESULT CreateEffectFromFile(Device*, const char* fileName, const void*, void*, uint32_t, void*,
                             Effect** effect, Buffer** errors) {
  using namespace gl;
  if (errors) *errors = nullptr;
  if (!effect)
    return FailWith(E_INVALIDARG, "effect: error: no place to return the effect", errors);
  *effect = nullptr;
  if (!fileName) return FailWith(E_INVALIDARG, "effect: error: no file name given", errors);
  CompiledEffect compiled;
  HRESULT result = S_OK;
  std::string error;
  switch (CheckEffectInChild(fileName, &compiled, &result, &error)) {
    case EffectCheck::Failed: return FailWith(result, error, errors);
    case EffectCheck::Built: break;
    case EffectCheck::Unchecked:
      switch (compiler::CompileEffectFile(fileName, &compiled, &error)) {
        case compiler::CompileResult::FileMissing: return FailWith(E_NOTFOUND, error, errors);
        case compiler::CompileResult::Failed: return FailWith(E_FAIL, error, errors);
        case compiler::CompileResult::Compiled: break;
      }
      break;
  }
  for (const std::string& warning : compiled.warnings)
    std::fprintf(stderr, "%s\n", warning.c_str());
  if (!LoadCompiledEffect(compiled, effect, &error)) return FailWith(E_FAIL, error, errors);
  return S_OK;
}

}  // namespace gfx
