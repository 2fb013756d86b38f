// The backend's shadow of the GL state it sets. The initial values are GL's own defaults for a new
// context, so code that never synced still matches a fresh context.
#include "render/gfx/gl/gl_state.hpp"

#include <initializer_list>

namespace gfx::gl {
namespace {

GlState shadow = {false,
                  false,
                  false,
                  false,
                  false,  // capabilities
                  GL_BACK,
                  GL_CCW,
                  GL_LESS,
                  true,                      // cull face, front face, depth function and mask
                  {true, true, true, true},  // colour mask
                  GL_ONE,
                  GL_ZERO,
                  GL_ONE,
                  GL_ZERO,  // blend function
                  GL_FUNC_ADD,
                  GL_FUNC_ADD,  // blend equation
                  GL_FILL,
                  {0, 0, 0, 0},
                  {0, 0, 0, 0},  // polygon mode, scissor box, viewport
                  0,
                  0,
                  0,
                  0,
                  0,
                  0,
                  {},
                  {},
                  0,
                  {}};  // bindings

bool* CapabilityField(GLenum capability) {
  switch (capability) {
    case GL_CULL_FACE: return &shadow.cullFace;
    case GL_DEPTH_TEST: return &shadow.depthTest;
    case GL_BLEND: return &shadow.blend;
    case GL_SCISSOR_TEST: return &shadow.scissorTest;
    case GL_STENCIL_TEST: return &shadow.stencilTest;
    case GL_FRAMEBUFFER_SRGB: return &shadow.framebufferSrgb;
    case GL_LINE_SMOOTH: return &shadow.lineSmooth;
    case GL_DITHER: return &shadow.dither;
  }
  return nullptr;
}

void ActivateUnit(uint32_t unit) {
  if (shadow.activeUnit == unit) return;
  glActiveTexture(GL_TEXTURE0 + unit);
  shadow.activeUnit = unit;
}

GLuint Integer(GLenum name) {
  GLint value = 0;
  glGetIntegerv(name, &value);
  return static_cast<GLuint>(value);
}

}  // namespace

const GlState& State() { return shadow; }

void SyncStateFromGl() {
  GlState& s = shadow;
  s.cullFace = glIsEnabled(GL_CULL_FACE);
  s.depthTest = glIsEnabled(GL_DEPTH_TEST);
  s.blend = glIsEnabled(GL_BLEND);
  s.scissorTest = glIsEnabled(GL_SCISSOR_TEST);
  s.stencilTest = glIsEnabled(GL_STENCIL_TEST);
  s.framebufferSrgb = glIsEnabled(GL_FRAMEBUFFER_SRGB);
  s.lineSmooth = glIsEnabled(GL_LINE_SMOOTH);
  s.dither = glIsEnabled(GL_DITHER);
  s.polygonOffset = glIsEnabled(GL_POLYGON_OFFSET_FILL);
  glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &s.polygonOffsetFactor);
  glGetFloatv(GL_POLYGON_OFFSET_UNITS, &s.polygonOffsetUnits);
  glGetFloatv(GL_POINT_SIZE, &s.pointSize);
  s.cullFaceMode = Integer(GL_CULL_FACE_MODE);
  s.frontFace = Integer(GL_FRONT_FACE);
  s.depthFunc = Integer(GL_DEPTH_FUNC);
  GLboolean flag = GL_TRUE, mask[4] = {};
  glGetBooleanv(GL_DEPTH_WRITEMASK, &flag);
  s.depthMask = flag;
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  for (int i = 0; i < 4; ++i) s.colourMask[i] = mask[i];
  s.blendSrcRgb = Integer(GL_BLEND_SRC_RGB);
  s.blendDstRgb = Integer(GL_BLEND_DST_RGB);
  s.blendSrcAlpha = Integer(GL_BLEND_SRC_ALPHA);
  s.blendDstAlpha = Integer(GL_BLEND_DST_ALPHA);
  s.blendEquationRgb = Integer(GL_BLEND_EQUATION_RGB);
  s.blendEquationAlpha = Integer(GL_BLEND_EQUATION_ALPHA);
  GLint polygon[2] = {GL_FILL, GL_FILL};
  glGetIntegerv(GL_POLYGON_MODE, polygon);
  s.polygonMode = static_cast<GLenum>(polygon[0]);
  glGetIntegerv(GL_SCISSOR_BOX, s.scissorBox);
  glGetIntegerv(GL_VIEWPORT, s.viewport);
  s.program = Integer(GL_CURRENT_PROGRAM);
  s.vertexArray = Integer(GL_VERTEX_ARRAY_BINDING);
  s.arrayBuffer = Integer(GL_ARRAY_BUFFER_BINDING);
  s.drawFramebuffer = Integer(GL_DRAW_FRAMEBUFFER_BINDING);
  s.readFramebuffer = Integer(GL_READ_FRAMEBUFFER_BINDING);
  const GLuint active = Integer(GL_ACTIVE_TEXTURE) - GL_TEXTURE0;
  for (uint32_t unit = 0; unit < kMaxTextureUnits; ++unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    s.textures[unit] = Integer(GL_TEXTURE_BINDING_2D);
    s.samplers[unit] = Integer(GL_SAMPLER_BINDING);
  }
  glActiveTexture(GL_TEXTURE0 + active);
  s.activeUnit = active;
  s.uniformBuffer = Integer(GL_UNIFORM_BUFFER_BINDING);
  for (uint32_t index = 0; index < kMaxUniformBindings; ++index) {
    GLint buffer = 0;
    glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, index, &buffer);
    s.uniformBindings[index] = static_cast<GLuint>(buffer);
  }
}

void SetEnabled(GLenum capability, bool enabled) {
  bool* field = CapabilityField(capability);
  if (field && *field == enabled) return;
  (enabled ? glEnable : glDisable)(capability);
  if (field) *field = enabled;
}

void SetCullFace(GLenum mode) {
  if (shadow.cullFaceMode == mode) return;
  glCullFace(mode);
  shadow.cullFaceMode = mode;
}

void SetFrontFace(GLenum mode) {
  if (shadow.frontFace == mode) return;
  glFrontFace(mode);
  shadow.frontFace = mode;
}

void SetDepthFunc(GLenum function) {
  if (shadow.depthFunc == function) return;
  glDepthFunc(function);
  shadow.depthFunc = function;
}

void SetDepthMask(bool write) {
  if (shadow.depthMask == write) return;
  glDepthMask(write ? GL_TRUE : GL_FALSE);
  shadow.depthMask = write;
}

void SetColourMask(bool red, bool green, bool blue, bool alpha) {
  bool* m = shadow.colourMask;
  if (m[0] == red && m[1] == green && m[2] == blue && m[3] == alpha) return;
  glColorMask(red, green, blue, alpha);
  m[0] = red, m[1] = green, m[2] = blue, m[3] = alpha;
}

void SetBlendFunc(GLenum srcRgb, GLenum dstRgb, GLenum srcAlpha, GLenum dstAlpha) {
  GlState& s = shadow;
  if (s.blendSrcRgb == srcRgb && s.blendDstRgb == dstRgb && s.blendSrcAlpha == srcAlpha &&
      s.blendDstAlpha == dstAlpha)
    return;
  glBlendFuncSeparate(srcRgb, dstRgb, srcAlpha, dstAlpha);
  s.blendSrcRgb = srcRgb, s.blendDstRgb = dstRgb, s.blendSrcAlpha = srcAlpha;
  s.blendDstAlpha = dstAlpha;
}

void SetBlendEquation(GLenum rgb, GLenum alpha) {
  if (shadow.blendEquationRgb == rgb && shadow.blendEquationAlpha == alpha) return;
  glBlendEquationSeparate(rgb, alpha);
  shadow.blendEquationRgb = rgb, shadow.blendEquationAlpha = alpha;
}

void SetPolygonMode(GLenum mode) {
  if (shadow.polygonMode == mode) return;
  glPolygonMode(GL_FRONT_AND_BACK, mode);
  shadow.polygonMode = mode;
}

void SetPolygonOffset(float factor, float units) {
  GlState& s = shadow;
  if (s.polygonOffsetFactor != factor || s.polygonOffsetUnits != units) {
    glPolygonOffset(factor, units);
    s.polygonOffsetFactor = factor, s.polygonOffsetUnits = units;
  }
  const bool on = factor != 0.0f || units != 0.0f;
  if (s.polygonOffset == on) return;
  for (GLenum mode : {GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_POLYGON_OFFSET_POINT})
    (on ? glEnable : glDisable)(mode);
  s.polygonOffset = on;
}

void SetPointSize(float size) {
  if (shadow.pointSize == size) return;
  glPointSize(size);
  shadow.pointSize = size;
}

namespace {
// Scissor and viewport are both a rectangle set by one call.
void SetRectangle(GLint* box, void(GLAPIENTRY* apply)(GLint, GLint, GLsizei, GLsizei), GLint x,
                  GLint y, GLint width, GLint height) {
  if (box[0] == x && box[1] == y && box[2] == width && box[3] == height) return;
  apply(x, y, width, height);
  box[0] = x, box[1] = y, box[2] = width, box[3] = height;
}
}  // namespace

void SetScissor(GLint x, GLint y, GLint width, GLint height) {
  SetRectangle(shadow.scissorBox, glScissor, x, y, width, height);
}

void SetViewport(GLint x, GLint y, GLint width, GLint height) {
  SetRectangle(shadow.viewport, glViewport, x, y, width, height);
}

void UseProgram(GLuint program) {
  if (shadow.program == program) return;
  glUseProgram(program);
  shadow.program = program;
}

void BindVertexArray(GLuint vertexArray) {
  if (shadow.vertexArray == vertexArray) return;
  glBindVertexArray(vertexArray);
  shadow.vertexArray = vertexArray;
}

void BindArrayBuffer(GLuint buffer) {
  if (shadow.arrayBuffer == buffer) return;
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  shadow.arrayBuffer = buffer;
}

void BindFramebuffer(GLenum target, GLuint framebuffer) {
  const bool draw = target != GL_READ_FRAMEBUFFER, read = target != GL_DRAW_FRAMEBUFFER;
  if ((!draw || shadow.drawFramebuffer == framebuffer) &&
      (!read || shadow.readFramebuffer == framebuffer))
    return;
  glBindFramebuffer(target, framebuffer);
  if (draw) shadow.drawFramebuffer = framebuffer;
  if (read) shadow.readFramebuffer = framebuffer;
}

void BindTexture2D(uint32_t unit, GLuint texture) {
  if (unit >= kMaxTextureUnits || shadow.textures[unit] == texture) return;
  ActivateUnit(unit);
  glBindTexture(GL_TEXTURE_2D, texture);
  shadow.textures[unit] = texture;
}

void BindSampler(uint32_t unit, GLuint sampler) {
  if (unit >= kMaxTextureUnits || shadow.samplers[unit] == sampler) return;
  glBindSampler(unit, sampler);
  shadow.samplers[unit] = sampler;
}

void BindUniformBuffer(GLuint buffer) {
  if (shadow.uniformBuffer == buffer) return;
  glBindBuffer(GL_UNIFORM_BUFFER, buffer);
  shadow.uniformBuffer = buffer;
}

// Binding a range also binds the generic point.
void BindUniformBufferBase(uint32_t index, GLuint buffer) {
  if (index >= kMaxUniformBindings || shadow.uniformBindings[index] == buffer) return;
  glBindBufferBase(GL_UNIFORM_BUFFER, index, buffer);
  shadow.uniformBindings[index] = buffer;
  shadow.uniformBuffer = buffer;
}

void ForgetUniformBuffer(GLuint buffer) {
  if (shadow.uniformBuffer == buffer) shadow.uniformBuffer = 0;
  for (GLuint& bound : shadow.uniformBindings)
    if (bound == buffer) bound = 0;
}

void RestoreState(const GlState& saved) {
  SetEnabled(GL_CULL_FACE, saved.cullFace);
  SetEnabled(GL_DEPTH_TEST, saved.depthTest);
  SetEnabled(GL_BLEND, saved.blend);
  SetEnabled(GL_SCISSOR_TEST, saved.scissorTest);
  SetEnabled(GL_STENCIL_TEST, saved.stencilTest);
  SetEnabled(GL_FRAMEBUFFER_SRGB, saved.framebufferSrgb);
  SetEnabled(GL_LINE_SMOOTH, saved.lineSmooth);
  SetEnabled(GL_DITHER, saved.dither);
  SetPolygonOffset(saved.polygonOffsetFactor, saved.polygonOffsetUnits);
  SetPointSize(saved.pointSize);
  SetCullFace(saved.cullFaceMode);
  SetFrontFace(saved.frontFace);
  SetDepthFunc(saved.depthFunc);
  SetDepthMask(saved.depthMask);
  const bool* m = saved.colourMask;
  SetColourMask(m[0], m[1], m[2], m[3]);
  SetBlendFunc(saved.blendSrcRgb, saved.blendDstRgb, saved.blendSrcAlpha, saved.blendDstAlpha);
  SetBlendEquation(saved.blendEquationRgb, saved.blendEquationAlpha);
  SetPolygonMode(saved.polygonMode);
  const GLint* box = saved.scissorBox;
  SetScissor(box[0], box[1], box[2], box[3]);
  const GLint* view = saved.viewport;
  SetViewport(view[0], view[1], view[2], view[3]);
  UseProgram(saved.program);
  BindVertexArray(saved.vertexArray);
  BindArrayBuffer(saved.arrayBuffer);
  BindFramebuffer(GL_DRAW_FRAMEBUFFER, saved.drawFramebuffer);
  BindFramebuffer(GL_READ_FRAMEBUFFER, saved.readFramebuffer);
  for (uint32_t unit = 0; unit < kMaxTextureUnits; ++unit) {
    BindTexture2D(unit, saved.textures[unit]);
    BindSampler(unit, saved.samplers[unit]);
  }
  ActivateUnit(saved.activeUnit);
}

}  // namespace gfx::gl
