// Effects on OpenGL 3.3 core: builds GLSL stages from a parsed effect file, links every pass up
// front and applies passes with their render states, samplers and parameter values. Limits: one
// texture unit per sampler (unit = sampler index), 2D textures only; needs the device's GL context
// current whenever it is called, destroyed included.
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "formats/effect_parse.hpp"
#include "formats/file_names.hpp"
#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/buffer_gl.hpp"
#include "render/gfx/gl/effect_check.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/gl/gl_state.hpp"

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

GLenum GlFilter(Filter filter) {
  switch (filter) {
    case Filter::Nearest: return GL_NEAREST;
    case Filter::Linear: return GL_LINEAR;
    case Filter::NearestMipmapNearest: return GL_NEAREST_MIPMAP_NEAREST;
    case Filter::LinearMipmapNearest: return GL_LINEAR_MIPMAP_NEAREST;
    case Filter::NearestMipmapLinear: return GL_NEAREST_MIPMAP_LINEAR;
    case Filter::LinearMipmapLinear: return GL_LINEAR_MIPMAP_LINEAR;
  }
  return GL_LINEAR;
}

GLenum GlAddress(Address address) {
  switch (address) {
    case Address::Wrap: return GL_REPEAT;
    case Address::Clamp: return GL_CLAMP_TO_EDGE;
    case Address::Mirror: return GL_MIRRORED_REPEAT;
  }
  return GL_REPEAT;
}

GLenum GlBlend(Blend blend) {
  switch (blend) {
    case Blend::Zero: return GL_ZERO;
    case Blend::One: return GL_ONE;
    case Blend::SrcAlpha: return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::SrcColor: return GL_SRC_COLOR;
    case Blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case Blend::DestAlpha: return GL_DST_ALPHA;
    case Blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case Blend::DestColor: return GL_DST_COLOR;
    case Blend::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
  }
  return GL_ONE;
}

GLenum GlFill(FillMode fill) {
  switch (fill) {
    case FillMode::Solid: return GL_FILL;
    case FillMode::Wireframe: return GL_LINE;
    case FillMode::Point: return GL_POINT;
  }
  return GL_FILL;
}

struct Parameter {
  std::string name;
  ParamType type;
  uint32_t floats;
  float value[16];
  uint32_t version;    // bumped on every change; programs remember the version they last got
  GlTexture* texture;  // one reference held; textures only
};

struct Program {
  GLuint name = 0;
  std::vector<GLint> locations;  // per parameter, -1 where the program does not use it
  std::vector<uint32_t> seen;    // per parameter, the version last uploaded to this program
};

struct Pass {
  uint32_t program;
  EffectPass states;
};

struct Technique {
  std::string name;
  std::vector<Pass> passes;
};

struct NameEntry {
  const char* name;
  uint32_t index;
};

class GlEffect final : public RefCounted<Effect> {
 public:
  ~GlEffect() override;
  // Compiles and links everything; on failure returns false with the text in *error.
  bool Build(const std::string& label, const EffectDescription& description, std::string* error);

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
  HRESULT SetFloats(const char* name, const float* values, uint32_t count, bool matrix);
  void Upload(Program& program);
  void BindTextures();
  void ApplyStates(const EffectPass& pass);
  void RestoreState();

  std::vector<Parameter> parameters_;
  std::vector<NameEntry> parameterNames_;   // sorted by strcmp
  std::vector<uint32_t> samplerParameter_;  // per sampler, the texture parameter it reads
  std::vector<GLuint> samplerObjects_;
  std::vector<Program> programs_;
  std::vector<Technique> techniques_;
  std::vector<NameEntry> techniqueNames_;  // sorted by strcmp
  GLuint white_ = 0;
  uint32_t current_ = 0;  // technique SetTechnique chose
  int begun_ = -1;        // technique between Begin and End, -1 outside
  int pass_ = -1;         // pass between BeginPass and EndPass, -1 outside
  bool saved_ = false;
  GlState state_{};  // the shadow as Begin found it
};

GlEffect::~GlEffect() {
  for (Parameter& parameter : parameters_)
    if (parameter.texture) parameter.texture->Release();
  for (Program& program : programs_) glDeleteProgram(program.name);
  if (!samplerObjects_.empty())
    glDeleteSamplers(static_cast<GLsizei>(samplerObjects_.size()), samplerObjects_.data());
  if (white_) glDeleteTextures(1, &white_);
}

bool GlEffect::Build(const std::string& label, const EffectDescription& description,
                     std::string* error) {
  for (const EffectParameter& source : description.parameters) {
    Parameter parameter{source.name, source.type, FloatCount(source.type), {}, 1, nullptr};
    std::memcpy(parameter.value, source.value, sizeof parameter.value);
    parameters_.push_back(std::move(parameter));
  }
  // Names are final now: the tables point into the strings and are never reallocated again.
  for (uint32_t i = 0; i < parameters_.size(); ++i)
    parameterNames_.push_back({parameters_[i].name.c_str(), i});
  const auto byName = [](const NameEntry& a, const NameEntry& b) {
    return std::strcmp(a.name, b.name) < 0;
  };
  std::sort(parameterNames_.begin(), parameterNames_.end(), byName);

  // Read by samplers whose texture parameter is null, so untextured objects are lit but not dark.
  const uint8_t white[4] = {255, 255, 255, 255};
  glGenTextures(1, &white_);
  glBindTexture(GL_TEXTURE_2D, white_);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);  // complete under mipmap filters too
  glBindTexture(GL_TEXTURE_2D, State().textures[State().activeUnit]);  // as the shadow says

  for (const EffectSampler& sampler : description.samplers) {
    GLuint object = 0;
    glGenSamplers(1, &object);
    glSamplerParameteri(object, GL_TEXTURE_MIN_FILTER,
                        static_cast<GLint>(GlFilter(sampler.minFilter)));
    glSamplerParameteri(object, GL_TEXTURE_MAG_FILTER,
                        static_cast<GLint>(GlFilter(sampler.magFilter)));
    glSamplerParameteri(object, GL_TEXTURE_WRAP_S, static_cast<GLint>(GlAddress(sampler.addressU)));
    glSamplerParameteri(object, GL_TEXTURE_WRAP_T, static_cast<GLint>(GlAddress(sampler.addressV)));
    samplerObjects_.push_back(object);
    samplerParameter_.push_back(sampler.texture);
  }

  // Compile only the stages some pass uses, each once, and report every broken one together.
  std::vector<GLuint> shaders(description.shaders.size(), 0);
  std::string messages;
  // The common block goes into every stage, so a 1 MiB file can hand the driver hundreds of MiB.
  constexpr size_t kMaxGeneratedBytes = size_t{8} << 20;
  size_t generated = 0;
  const auto compile = [&](uint32_t index) {
    if (shaders[index] || generated > kMaxGeneratedBytes) return;
    const EffectShader& shader = description.shaders[index];
    const std::string source = StageSource(description, shader);
    generated += source.size();
    if (generated > kMaxGeneratedBytes) {
      messages += label + "(" + std::to_string(shader.line) +
                  "): error: the stages' code (the common block repeated in each, and the bodies) "
                  "comes to over " +
                  std::to_string(kMaxGeneratedBytes >> 20) + " MiB\n";
      return;
    }
    const GLuint name =
        glCreateShader(shader.stage == ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    const char* text = source.c_str();
    const GLint length = static_cast<GLint>(source.size());
    glShaderSource(name, 1, &text, &length);
    glCompileShader(name);
    shaders[index] = name;
    GLint ok = GL_FALSE, logLength = 0;
    glGetShaderiv(name, GL_COMPILE_STATUS, &ok);
    if (ok) return;
    glGetShaderiv(name, GL_INFO_LOG_LENGTH, &logLength);
    std::string log(static_cast<size_t>(std::max(logLength, 1)), '\0');
    glGetShaderInfoLog(name, logLength, nullptr, log.data());
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
        technique.passes.push_back({index, pass});
        if (found != linked.end()) continue;
        linked.push_back(stages);
        Program program;
        program.name = glCreateProgram();
        glAttachShader(program.name, shaders[pass.vertexShader]);
        glAttachShader(program.name, shaders[pass.fragmentShader]);
        glLinkProgram(program.name);
        glDetachShader(program.name, shaders[pass.vertexShader]);
        glDetachShader(program.name, shaders[pass.fragmentShader]);
        GLint ok = GL_FALSE, logLength = 0;
        glGetProgramiv(program.name, GL_LINK_STATUS, &ok);
        if (!ok) {
          glGetProgramiv(program.name, GL_INFO_LOG_LENGTH, &logLength);
          std::string log(static_cast<size_t>(std::max(logLength, 1)), '\0');
          glGetProgramInfoLog(program.name, logLength, nullptr, log.data());
          const std::string context =
              "linking pass '" + pass.name + "' of technique '" + source.name + "'";
          if (AppendDriverLog(label, log.c_str(), pass.line, context, &messages) == 0)
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
                parameter.type == ParamType::Texture
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
  for (uint32_t i = 0; i < techniques_.size(); ++i)
    techniqueNames_.push_back({techniques_[i].name.c_str(), i});
  std::sort(techniqueNames_.begin(), techniqueNames_.end(), byName);
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

HRESULT GlEffect::GetParameterDesc(const char* name, ParameterDesc* desc) {
  if (!desc) return E_INVALIDARG;
  const int index = Find(parameterNames_, name);
  if (index < 0) return E_NOTFOUND;
  const Parameter& parameter = parameters_[index];
  const uint32_t floats = FloatCount(parameter.type);
  *desc = {parameter.name.c_str(), PC_VECTOR, PT_FLOAT, 1, floats, 0};
  if (parameter.type == ParamType::Float) desc->Class = PC_SCALAR;
  if (parameter.type == ParamType::Float4x4)
    *desc = {desc->Name, PC_MATRIX_ROWS, PT_FLOAT, 4, 4, 0};
  if (parameter.type == ParamType::Texture) *desc = {desc->Name, PC_OBJECT, PT_TEXTURE, 0, 0, 0};
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
  if (parameter.type != ParamType::Texture) return E_INVALIDARG;
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
  if (parameter.type == ParamType::Texture || (matrix && parameter.type != ParamType::Float4x4))
    return E_INVALIDARG;
  if (count == 0) return S_OK;
  if (!values) return E_INVALIDARG;
  const size_t bytes = std::min(count, parameter.floats) * sizeof(float);
  // Unchanged values keep their version, so the constant view-projection matrix and the per-frame
  // lighting values are not uploaded again for every object.
  if (std::memcmp(parameter.value, values, bytes) == 0) return S_OK;
  std::memcpy(parameter.value, values, bytes);
  ++parameter.version;
  return S_OK;
}

HRESULT GlEffect::SetFloat(const char* name, float value) {
  return SetFloats(name, &value, 1, false);
}

HRESULT GlEffect::SetFloatArray(const char* name, const float* values, uint32_t count) {
  return SetFloats(name, values, count, false);
}

// Our matrices are row-major with row vectors; read column-major, the same 16 floats are the
// column-vector matrix GLSL multiplies as M * v, so no transpose on upload.
HRESULT GlEffect::SetMatrix(const char* name, const Matrix* matrix) {
  static_assert(sizeof(Matrix) == 16 * sizeof(float), "a matrix is 16 packed floats");
  return SetFloats(name, reinterpret_cast<const float*>(matrix), matrix ? 16 : 0, true);
}

void GlEffect::Upload(Program& program) {
  for (size_t i = 0; i < parameters_.size(); ++i) {
    const GLint location = program.locations[i];
    const Parameter& parameter = parameters_[i];
    if (location < 0 || program.seen[i] == parameter.version) continue;
    program.seen[i] = parameter.version;
    switch (parameter.type) {
      case ParamType::Float: glUniform1fv(location, 1, parameter.value); break;
      case ParamType::Float2: glUniform2fv(location, 1, parameter.value); break;
      case ParamType::Float3: glUniform3fv(location, 1, parameter.value); break;
      case ParamType::Float4: glUniform4fv(location, 1, parameter.value); break;
      case ParamType::Float4x4: glUniformMatrix4fv(location, 1, GL_FALSE, parameter.value); break;
      case ParamType::Texture: break;
    }
  }
}

void GlEffect::BindTextures() {
  for (size_t s = 0; s < samplerObjects_.size(); ++s) {
    const GlTexture* texture = parameters_[samplerParameter_[s]].texture;
    BindTexture2D(static_cast<uint32_t>(s), texture ? texture->name : white_);
    BindSampler(static_cast<uint32_t>(s), samplerObjects_[s]);
  }
}

// Culling follows the original platform, where CW and CCW name the winding, as seen on screen,
// that is discarded. Our projection is left-handed like the original's and glClipControl keeps
// the lower-left origin, so a triangle that appears clockwise there appears clockwise here, and
// GL's window-space winding is the on-screen one. With glFrontFace(GL_CCW) the back faces are the
// clockwise ones: CW culls GL_BACK, CCW culls GL_FRONT. Setting the front face explicitly keeps
// this true whatever the device left there.
void GlEffect::ApplyStates(const EffectPass& pass) {
  const uint32_t mask = pass.stateMask;
  if (mask & kStateCull) {
    SetEnabled(GL_CULL_FACE, pass.cull != CullMode::None);
    if (pass.cull != CullMode::None) {
      SetFrontFace(GL_CCW);
      SetCullFace(pass.cull == CullMode::CW ? GL_BACK : GL_FRONT);
    }
  }
  if (mask & kStateZEnable) SetEnabled(GL_DEPTH_TEST, pass.zEnable);
  if (mask & kStateZWrite) SetDepthMask(pass.zWrite);
  if (mask & kStateBlendEnable) SetEnabled(GL_BLEND, pass.blendEnable);
  if (mask & (kStateSrcBlend | kStateDestBlend)) {
    const GLenum src = (mask & kStateSrcBlend) ? GlBlend(pass.srcBlend) : State().blendSrcRgb;
    const GLenum dst = (mask & kStateDestBlend) ? GlBlend(pass.destBlend) : State().blendDstRgb;
    SetBlendFunc(src, dst, src, dst);
  }
  if (mask & kStateFill) SetPolygonMode(GlFill(pass.fill));
}

// The passes change the states above, the program and the texture units; the vertex array the
// meshes bind stays as they leave it, so a frame's draws do not rebind it.
void GlEffect::RestoreState() {
  GlState restored = state_;
  const GlState& now = State();
  restored.vertexArray = now.vertexArray;
  restored.arrayBuffer = now.arrayBuffer;
  gl::RestoreState(restored);
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
  BindTextures();
  Upload(program);
  return S_OK;
}

// Outside a pass the values simply wait for the next BeginPass; the frame commits once before
// Begin, and that is no error.
HRESULT GlEffect::CommitChanges() {
  if (pass_ < 0) return S_OK;
  BindTextures();
  Upload(programs_[techniques_[begun_].passes[pass_].program]);
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

namespace gfx {

// The device is not consulted: its context is the current one. Defines, include handlers, flags
// and pools have no meaning in our format and are ignored.
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
  // Messages name the file as opened, the same spelling the rest of the backend reports.
  const std::string path = NativeFileName(fileName);
  std::string text, error;
  if (!ReadWholeFile(fileName, kMaxEffectFileBytes, &text, &error))
    return FailWith(E_NOTFOUND, path + ": error: could not open the effect file (" + error + ")",
                    errors);
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
