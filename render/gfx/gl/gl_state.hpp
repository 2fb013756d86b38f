// The GL state the backend sets, shadowed so that nothing asks GL for its state while frames run:
// every state change of a frame goes through these setters, which skip the call when the value is
// already set, and what Begin/End or the overlay save and restore is a copy of the shadow.
// Limits: one context at a time; after making a context current, or after code outside the
// backend changed GL state, SyncStateFromGl() reads the state once. Creation-time code may bind
// freely as long as it puts back what State() says before it returns.
#pragma once
#include <epoxy/gl.h>

#include <cstdint>

namespace gfx::gl {

// A D3D9 effect's samplers take a unit each, up to 48 across its passes; a pass's stages read at
// most 16. GL 3.3 guarantees 48 units in all and 16 per stage.
constexpr uint32_t kMaxTextureUnits = 48;
constexpr uint32_t kMaxUniformBindings = 2;  // an effect program's vertex and fragment blocks

struct GlState {
  bool cullFace, depthTest, blend, scissorTest, stencilTest;
  GLenum cullFaceMode, frontFace, depthFunc;
  bool depthMask;
  bool colourMask[4];
  GLenum blendSrcRgb, blendDstRgb, blendSrcAlpha, blendDstAlpha;
  GLenum blendEquationRgb, blendEquationAlpha;
  GLenum polygonMode;  // front and back alike
  GLint scissorBox[4], viewport[4];
  GLuint program, vertexArray, arrayBuffer, drawFramebuffer, readFramebuffer;
  uint32_t activeUnit;                // 0-based texture unit
  GLuint textures[kMaxTextureUnits];  // GL_TEXTURE_2D binding per unit
  GLuint samplers[kMaxTextureUnits];  // sampler object per unit
  // Effects' uniform blocks: the generic GL_UNIFORM_BUFFER binding and the indexed binding points
  // they use. RestoreState leaves these as they are: nothing but the effects binds them.
  GLuint uniformBuffer;
  GLuint uniformBindings[kMaxUniformBindings];
  // Set only by effect passes; GL's defaults until then.
  bool framebufferSrgb = false, lineSmooth = false, dither = true;
  bool polygonOffset = false;  // GL_POLYGON_OFFSET_FILL, _LINE and _POINT alike
  float polygonOffsetFactor = 0.0f, polygonOffsetUnits = 0.0f;
  float pointSize = 1.0f;  // pixels
};

const GlState& State();
void SyncStateFromGl();
// Puts every field of `saved` back, calling GL only for what differs from the shadow.
void RestoreState(const GlState& saved);

// Capabilities the shadow knows: GL_CULL_FACE, GL_DEPTH_TEST, GL_BLEND, GL_SCISSOR_TEST,
// GL_STENCIL_TEST, GL_FRAMEBUFFER_SRGB, GL_LINE_SMOOTH, GL_DITHER. Any other capability is passed
// through unshadowed.
void SetEnabled(GLenum capability, bool enabled);
void SetCullFace(GLenum mode);
void SetFrontFace(GLenum mode);
void SetDepthFunc(GLenum function);
void SetDepthMask(bool write);
void SetColourMask(bool red, bool green, bool blue, bool alpha);
void SetBlendFunc(GLenum srcRgb, GLenum dstRgb, GLenum srcAlpha, GLenum dstAlpha);
void SetBlendEquation(GLenum rgb, GLenum alpha);
void SetPolygonMode(GLenum mode);
// Offsets filled, outlined and point polygons alike; both 0 turns the offset off.
void SetPolygonOffset(float factor, float units);
void SetPointSize(float size);
void SetScissor(GLint x, GLint y, GLint width, GLint height);
void SetViewport(GLint x, GLint y, GLint width, GLint height);
void UseProgram(GLuint program);
void BindVertexArray(GLuint vertexArray);
void BindArrayBuffer(GLuint buffer);
// GL_FRAMEBUFFER binds both; GL_DRAW_FRAMEBUFFER and GL_READ_FRAMEBUFFER one each.
void BindFramebuffer(GLenum target, GLuint framebuffer);
void BindTexture2D(uint32_t unit, GLuint texture);
void BindSampler(uint32_t unit, GLuint sampler);
void BindUniformBuffer(GLuint buffer);
void BindUniformBufferBase(uint32_t index, GLuint buffer);
// Before glDeleteBuffers: GL unbinds a deleted buffer, and a new one may get its name.
void ForgetUniformBuffer(GLuint buffer);

}  // namespace gfx::gl
