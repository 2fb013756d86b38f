// The bare-GL baseline frame. Everything that can be decided once is decided in SetUpBaseline:
// the programs, vertex arrays, index ranges and uniform locations; the frame itself is uniform
// uploads and draws in the program's order, plus the same overlay text and the same blit.
#include "bench/baseline.hpp"

#include <SDL.h>
#include <epoxy/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/app_state.hpp"
#include "bench/gl_probe.hpp"
#include "formats/effect_parse.hpp"
#include "formats/file_names.hpp"
#include "render/effect_params.hpp"
#include "render/gfx/gl/device_gl.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/gl/gl_state.hpp"
#include "render/gfx/gl/pixel_centres_gl.hpp"
#include "render/gfx/matrix.hpp"

namespace bench {
namespace {

using formats::EffectDescription;
using formats::EffectPass;

// Uniforms the frame sets, in the order RenderFrame's parameters name them.
enum Uniform {
  kViewProjection,
  kWorld,
  kCosTime,
  kSinTime,
  kLight,
  kAmbient,
  kDiffuse,
  kSource,
  kAmbientIntensity,
  kUniformCount
};
constexpr const char* kUniformNames[kUniformCount] = {
    "matViewProjection", "matWorld", "fCosTime0_X", "fSinTime0_X", "light_position",
    "kAmbient",          "kDifuse",  "iSource",     "iAmbient"};

struct BasePass {
  GLuint program = 0;
  EffectPass states;
  GLint locations[kUniformCount] = {};
};

struct BaseTechnique {
  std::vector<BasePass> passes;
};

// The device's state outside the effect's passes, as the program's frames find it.
struct DeviceState {
  GLboolean cull, depthTest, depthMask, blend;
  GLint cullMode, frontFace, blendSrcRgb, blendDstRgb, blendSrcAlpha, blendDstAlpha;
  GLint polygonMode[2];
  GLint program, vao, activeTexture;
  GLint textures[formats::kMaxEffectSamplers], samplers[formats::kMaxEffectSamplers];
};

struct Baseline {
  GLuint framebuffer = 0;
  int width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
  SDL_Window* window = nullptr;
  DrawRange sphere, chair;
  BaseTechnique colour, vertex;
  std::vector<GLuint> samplers;           // one per effect sampler, same filter and address states
  std::vector<bool> samplerReadsTexture;  // true where the sampler reads "inTexture"
  GLuint white = 0;
  std::vector<GLuint> programs;  // every pass's, built here from the scene in our GLSL format
  DeviceState device{};
  int64_t lastClock = 0;
  double elapsedSeconds = 0;
};
Baseline base;

GLenum GlFilter(formats::Filter filter) {
  using formats::Filter;
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

GLenum GlAddress(formats::Address address) {
  using formats::Address;
  switch (address) {
    case Address::Wrap: return GL_REPEAT;
    case Address::Clamp: return GL_CLAMP_TO_EDGE;
    case Address::Mirror: return GL_MIRRORED_REPEAT;
  }
  return GL_REPEAT;
}

GLenum GlBlend(formats::Blend blend) {
  using formats::Blend;
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

GLenum GlFill(formats::FillMode fill) {
  using formats::FillMode;
  switch (fill) {
    case FillMode::Solid: return GL_FILL;
    case FillMode::Wireframe: return GL_LINE;
    case FillMode::Point: return GL_POINT;
  }
  return GL_FILL;
}

void ReadDeviceState(DeviceState* s) {
  s->cull = glIsEnabled(GL_CULL_FACE);
  s->depthTest = glIsEnabled(GL_DEPTH_TEST);
  s->blend = glIsEnabled(GL_BLEND);
  glGetBooleanv(GL_DEPTH_WRITEMASK, &s->depthMask);
  glGetIntegerv(GL_CULL_FACE_MODE, &s->cullMode);
  glGetIntegerv(GL_FRONT_FACE, &s->frontFace);
  glGetIntegerv(GL_BLEND_SRC_RGB, &s->blendSrcRgb);
  glGetIntegerv(GL_BLEND_DST_RGB, &s->blendDstRgb);
  glGetIntegerv(GL_BLEND_SRC_ALPHA, &s->blendSrcAlpha);
  glGetIntegerv(GL_BLEND_DST_ALPHA, &s->blendDstAlpha);
  glGetIntegerv(GL_POLYGON_MODE, s->polygonMode);
  glGetIntegerv(GL_CURRENT_PROGRAM, &s->program);
  glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &s->vao);
  glGetIntegerv(GL_ACTIVE_TEXTURE, &s->activeTexture);
  for (size_t unit = 0; unit < base.samplers.size(); ++unit) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s->textures[unit]);
    glGetIntegerv(GL_SAMPLER_BINDING, &s->samplers[unit]);
  }
  glActiveTexture(static_cast<GLenum>(s->activeTexture));
}

// A pass's program as a loop that owns its context would write it: each parameter a plain
// uniform, then the samplers, the vertex inputs, the common block and the stage's body. Vertex
// stages land on the original platform's pixel centres as the effect's do, or the pictures would
// differ by half a pixel.
GLuint CompileStage(const EffectDescription& description, const formats::EffectShader& shader,
                    std::string* error) {
  static const char* const types[] = {"float", "vec2", "vec3", "vec4", "mat4"};
  std::string source = "#version 330 core\n";
  for (const formats::EffectParameter& parameter : description.parameters)
    if (parameter.type != formats::ParamType::Texture)
      source += std::string("uniform ") + types[static_cast<int>(parameter.type)] + " " +
                parameter.name + ";\n";
  for (const formats::EffectSampler& sampler : description.samplers)
    source += "uniform sampler2D " + sampler.name + ";\n";
  if (shader.stage == formats::ShaderStage::Vertex)
    source +=
        "layout(location = 0) in vec3 inPosition;\nlayout(location = 1) in vec3 inNormal;\n"
        "layout(location = 2) in vec2 inTexCoord;\n";
  source += description.common + "\n" + shader.body + "\n";
  if (shader.stage == formats::ShaderStage::Vertex)
    source = gfx::gl::WithOriginalPixelCentres(source);
  const GLuint name = glCreateShader(
      shader.stage == formats::ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
  const char* text = source.c_str();
  glShaderSource(name, 1, &text, nullptr);
  glCompileShader(name);
  GLint ok = GL_FALSE;
  glGetShaderiv(name, GL_COMPILE_STATUS, &ok);
  if (!ok) *error = "the baseline's shader " + shader.name + " does not compile";
  return name;
}

bool SetUpTechnique(const EffectDescription& description, const char* name, BaseTechnique* out,
                    std::string* error) {
  const formats::EffectTechnique* source = nullptr;
  for (const auto& technique : description.techniques)
    if (technique.name == name) source = &technique;
  if (!source) {
    *error = std::string("the effect has no technique ") + name;
    return false;
  }
  out->passes.clear();
  for (const EffectPass& effectPass : source->passes) {
    BasePass pass;
    const GLuint vs =
        CompileStage(description, description.shaders[effectPass.vertexShader], error);
    const GLuint fs =
        CompileStage(description, description.shaders[effectPass.fragmentShader], error);
    pass.program = glCreateProgram();
    base.programs.push_back(pass.program);
    glAttachShader(pass.program, vs);
    glAttachShader(pass.program, fs);
    glLinkProgram(pass.program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint linked = GL_FALSE;
    glGetProgramiv(pass.program, GL_LINK_STATUS, &linked);
    if (!error->empty() || !linked) {
      if (error->empty()) *error = std::string("the baseline's pass of ") + name + " does not link";
      return false;
    }
    pass.states = effectPass;
    for (int u = 0; u < kUniformCount; ++u)
      pass.locations[u] = glGetUniformLocation(pass.program, kUniformNames[u]);
    glUseProgram(pass.program);
    GLint viewport[4] = {}, subpixelBits = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SUBPIXEL_BITS, &subpixelBits);
    float offset[2];
    gfx::gl::PixelOffset(viewport[2], viewport[3], subpixelBits, offset);
    glUniform2f(glGetUniformLocation(pass.program, gfx::gl::kPixelOffsetUniform), offset[0],
                offset[1]);
    for (size_t s = 0; s < description.samplers.size(); ++s) {
      const GLint location =
          glGetUniformLocation(pass.program, description.samplers[s].name.c_str());
      if (location >= 0) glUniform1i(location, static_cast<GLint>(s));
    }
    out->passes.push_back(pass);
  }
  return true;
}

// Named states as the pass names them, the others as the device has them outside passes: the
// full state, set explicitly, the way a loop that owns its context would.
void ApplyPassStates(const EffectPass& pass) {
  const DeviceState& d = base.device;
  const uint32_t mask = pass.stateMask;
  if (mask & formats::kStateCull) {
    if (pass.cull == formats::CullMode::None) {
      glDisable(GL_CULL_FACE);
    } else {
      glEnable(GL_CULL_FACE);
      glFrontFace(GL_CCW);
      glCullFace(pass.cull == formats::CullMode::CW ? GL_BACK : GL_FRONT);
    }
  } else {
    (d.cull ? glEnable : glDisable)(GL_CULL_FACE);
    glFrontFace(static_cast<GLenum>(d.frontFace));
    glCullFace(static_cast<GLenum>(d.cullMode));
  }
  const bool depthTest = (mask & formats::kStateZEnable) ? pass.zEnable : d.depthTest;
  (depthTest ? glEnable : glDisable)(GL_DEPTH_TEST);
  glDepthMask((mask & formats::kStateZWrite) ? (pass.zWrite ? GL_TRUE : GL_FALSE) : d.depthMask);
  const bool blend = (mask & formats::kStateBlendEnable) ? pass.blendEnable : d.blend;
  (blend ? glEnable : glDisable)(GL_BLEND);
  if (blend)
    glBlendFunc((mask & formats::kStateSrcBlend) ? GlBlend(pass.srcBlend)
                                                 : static_cast<GLenum>(d.blendSrcRgb),
                (mask & formats::kStateDestBlend) ? GlBlend(pass.destBlend)
                                                  : static_cast<GLenum>(d.blendDstRgb));
  glPolygonMode(GL_FRONT_AND_BACK, (mask & formats::kStateFill)
                                       ? GlFill(pass.fill)
                                       : static_cast<GLenum>(d.polygonMode[0]));
}

void BindTexture(gfx::Texture* texture) {
  const GLuint name = texture ? static_cast<gfx::gl::GlTexture*>(texture)->name : base.white;
  for (size_t s = 0; s < base.samplers.size(); ++s) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + s));
    glBindTexture(GL_TEXTURE_2D, base.samplerReadsTexture[s] ? name : base.white);
  }
}

// The same arithmetic as the program's placement: factors widened from float, each coordinate
// narrowed once, scale and turn about the model's origin, then move.
constexpr double kPointSeven = 0.7f;
constexpr double kPointThree = 0.3f;

void DrawObject(const BasePass& pass, const DrawRange& range, double tx, double ty, double tz,
                float yaw, float pitch, float scale) {
  gfx::Matrix translation, rotation, scaling, world;
  gfx::MatrixTranslation(&translation, static_cast<float>(tx), static_cast<float>(ty),
                         static_cast<float>(tz));
  gfx::MatrixRotationYawPitchRoll(&rotation, yaw, pitch, 0.0f);
  gfx::MatrixScaling(&scaling, scale, scale, scale);
  gfx::MatrixMultiply(&world, &scaling, &rotation);
  gfx::MatrixMultiply(&world, &world, &translation);
  glUniformMatrix4fv(pass.locations[kWorld], 1, GL_FALSE, &world.m[0][0]);
  glDrawElements(range.mode, range.count, range.type, reinterpret_cast<const void*>(range.offset));
}

float Yaw(int32_t j) { return -(static_cast<float>(j) * AppState.yawDegrees * kDegreesToRadians); }
float Pitch(int32_t j) { return static_cast<float>(j) * AppState.pitchDegrees * kDegreesToRadians; }

void DrawFirstPass(const BasePass& pass, int32_t count) {
  BindTexture(AppState.chairTexture);
  glBindVertexArray(base.chair.vao);
  for (int32_t j = 0; j < count; ++j) {
    const int32_t c = j % 4, r = j / 4;
    DrawObject(pass, base.chair, kPointSeven * r - 14.0, 5.0 * c - 10.0, 8.5 * r + 30.0, Yaw(j),
               Pitch(j), 1.0f);
  }
  BindTexture(AppState.sphereTexture);
  glBindVertexArray(base.sphere.vao);
  for (int32_t j = 0; j < count; ++j) {
    const int32_t c = j % 4, r = j / 4;
    DrawObject(pass, base.sphere, 5.0 * c - 7.5, kPointThree * r - 10.0, 7.0 * r + 30.0, Yaw(j),
               Pitch(j), 0.09f);
  }
}

void DrawLaterPass(const BasePass& pass, int32_t count) {
  BindTexture(AppState.sphereTexture);
  glBindVertexArray(base.sphere.vao);
  for (int32_t j = 0; j < count; ++j) {
    const int32_t c = j % 4, r = j / 4;
    DrawObject(pass, base.sphere, 5.0 * c - 10.0, 10.0 - kPointThree * r, 9.0 * r + 30.0, Yaw(j),
               Pitch(j), 0.02f);
  }
  glBindVertexArray(base.chair.vao);
  for (int32_t j = 0; j < count; ++j) {
    const int32_t c = j % 4, r = j / 4;
    DrawObject(pass, base.chair, 14.0 - kPointSeven * r, 5.0 * c - 10.0, 8.5 * r + 30.0, Yaw(j),
               Pitch(j), 0.3f);
  }
  glBindVertexArray(base.sphere.vao);
  const float* light = SceneSettings.light_position;
  DrawObject(pass, base.sphere, light[0], light[1], static_cast<double>(light[2]) + kPointThree,
             0.0f, 0.0f, 0.003f);
}

void SetFrameUniforms(const BasePass& pass, const gfx::Matrix& viewProjection, float cosTime,
                      float sinTime) {
  const GLint* l = pass.locations;
  glUniformMatrix4fv(l[kViewProjection], 1, GL_FALSE, &viewProjection.m[0][0]);
  glUniform1f(l[kCosTime], cosTime);
  glUniform1f(l[kSinTime], sinTime);
  glUniform3fv(l[kLight], 1, SceneSettings.light_position);
  glUniform1f(l[kAmbient], SceneSettings.kAmbient);
  glUniform1f(l[kDiffuse], SceneSettings.kDifuse);
  glUniform3fv(l[kSource], 1, SceneSettings.intensity_source);
  glUniform3fv(l[kAmbientIntensity], 1, SceneSettings.intensity_ambient);
}

}  // namespace

bool SetUpBaseline(const char* effectFile, std::string* error) {
  auto* device = dynamic_cast<gfx::gl::GlDevice*>(AppState.device);
  if (!device || !AppState.effect || !AppState.sphereMesh || !AppState.chairMesh) {
    *error = "the program's device, effect and meshes must be loaded first";
    return false;
  }
  base.framebuffer = device->Framebuffer();
  base.width = device->Width();
  base.height = device->Height();
  base.window = reinterpret_cast<SDL_Window*>(AppState.window);
  SDL_GL_GetDrawableSize(base.window, &base.drawableWidth, &base.drawableHeight);

  std::string text, why;
  if (!formats::ReadWholeFile(effectFile, formats::kMaxEffectFileBytes, &text, &why)) {
    *error = std::string(effectFile) + ": " + why;
    return false;
  }
  EffectDescription description;
  if (!formats::ParseEffect(effectFile, text.data(), text.size(), &description, error))
    return false;
  // The shipped effect is a D3D9 one, whose values live in uniform blocks; the baseline sets plain
  // uniforms of the same scene written in our format, and the pixel check holds the two equal.

  if (!CaptureMeshDraw(AppState.sphereMesh, 0, &base.sphere) ||
      !CaptureMeshDraw(AppState.chairMesh, 0, &base.chair)) {
    *error = "could not capture the meshes' draw calls";
    return false;
  }

  uint32_t inTexture = UINT32_MAX;
  for (uint32_t i = 0; i < description.parameters.size(); ++i)
    if (description.parameters[i].name == "inTexture") inTexture = i;
  for (const auto& sampler : description.samplers) {
    GLuint object = 0;
    glGenSamplers(1, &object);
    glSamplerParameteri(object, GL_TEXTURE_MIN_FILTER, GlFilter(sampler.minFilter));
    glSamplerParameteri(object, GL_TEXTURE_MAG_FILTER, GlFilter(sampler.magFilter));
    glSamplerParameteri(object, GL_TEXTURE_WRAP_S, GlAddress(sampler.addressU));
    glSamplerParameteri(object, GL_TEXTURE_WRAP_T, GlAddress(sampler.addressV));
    base.samplers.push_back(object);
    base.samplerReadsTexture.push_back(sampler.texture == inTexture);
  }
  ReadDeviceState(&base.device);

  const uint8_t white[4] = {255, 255, 255, 255};
  glGenTextures(1, &base.white);
  glBindTexture(GL_TEXTURE_2D, base.white);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);

  const bool ok = SetUpTechnique(description, "ColorAnimation", &base.colour, error) &&
                  SetUpTechnique(description, "VertexAnimation", &base.vertex, error);
  AppState.effect->SetTechnique(AppState.colorAnimationActive ? "ColorAnimation"
                                                              : "VertexAnimation");
  RestoreProgramState();
  base.lastClock = gfx::ReadClockMilliseconds();
  return ok;
}

void DrawBaselineFrame() {
  const int64_t now = gfx::ReadClockMilliseconds();
  base.elapsedSeconds += static_cast<double>(now - base.lastClock) / 1000.0;
  base.lastClock = now;
  const float cosTime = static_cast<float>(std::cos(base.elapsedSeconds));
  const float sinTime = static_cast<float>(std::sin(base.elapsedSeconds));

  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  gfx::Matrix view, viewProjection;
  gfx::MatrixIdentity(&view);
  gfx::MatrixMultiply(&viewProjection, &view, &AppState.projection);
  const BaseTechnique& technique = AppState.colorAnimationActive ? base.colour : base.vertex;
  const int32_t count = SceneSettings.number_objects;
  for (size_t p = 0; p < technique.passes.size(); ++p) {
    const BasePass& pass = technique.passes[p];
    glUseProgram(pass.program);
    ApplyPassStates(pass.states);
    for (size_t s = 0; s < base.samplers.size(); ++s)
      glBindSampler(static_cast<GLuint>(s), base.samplers[s]);
    SetFrameUniforms(pass, viewProjection, cosTime, sinTime);
    if (p == 0)
      DrawFirstPass(pass, count);
    else
      DrawLaterPass(pass, count);
  }
  glBindVertexArray(0);

  if (AppState.font) {
    const int32_t n = SceneSettings.number_objects;
    char text[200];
    std::snprintf(text, sizeof text,
                  "FPS: %d\nBroj objekata: %d\nBroj vrhova: %d\nBroj poligona: %d", AppState.fps,
                  4 * n + 1, 7638 * n + 561, 10528 * n + 960);
    gfx::Rect rect{6, 6, 500, 200};
    // The font keeps the backend's state shadow, which the bare GL above went around; it
    // learns the state here, as the font's own queries used to do.
    gfx::gl::SyncStateFromGl();
    AppState.font->DrawText(nullptr, text, -1, &rect, 0, 0xFFC8C8C8u);
  }

  glBindFramebuffer(GL_READ_FRAMEBUFFER, base.framebuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, base.width, base.height, 0, 0, base.drawableWidth, base.drawableHeight,
                    GL_COLOR_BUFFER_BIT, GL_LINEAR);
  SDL_GL_SwapWindow(base.window);
  glBindFramebuffer(GL_FRAMEBUFFER, base.framebuffer);
}

void SyncBaselineClock(double elapsedSeconds) {
  base.elapsedSeconds = elapsedSeconds;
  base.lastClock = gfx::ReadClockMilliseconds();
}

void RestoreProgramState() {
  const DeviceState& s = base.device;
  (s.cull ? glEnable : glDisable)(GL_CULL_FACE);
  (s.depthTest ? glEnable : glDisable)(GL_DEPTH_TEST);
  (s.blend ? glEnable : glDisable)(GL_BLEND);
  glDepthMask(s.depthMask);
  glCullFace(static_cast<GLenum>(s.cullMode));
  glFrontFace(static_cast<GLenum>(s.frontFace));
  glBlendFuncSeparate(static_cast<GLenum>(s.blendSrcRgb), static_cast<GLenum>(s.blendDstRgb),
                      static_cast<GLenum>(s.blendSrcAlpha), static_cast<GLenum>(s.blendDstAlpha));
  glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(s.polygonMode[0]));
  glUseProgram(static_cast<GLuint>(s.program));
  glBindVertexArray(static_cast<GLuint>(s.vao));
  for (size_t unit = 0; unit < base.samplers.size(); ++unit) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(s.textures[unit]));
    glBindSampler(static_cast<GLuint>(unit), static_cast<GLuint>(s.samplers[unit]));
  }
  glActiveTexture(static_cast<GLenum>(s.activeTexture));
  gfx::gl::SyncStateFromGl();
}

void TearDownBaseline() {
  if (!base.samplers.empty())
    glDeleteSamplers(static_cast<GLsizei>(base.samplers.size()), base.samplers.data());
  if (base.white) glDeleteTextures(1, &base.white);
  for (const GLuint program : base.programs) glDeleteProgram(program);
  base = Baseline{};
}

}  // namespace bench
