// A compiled effect's pass and sampler states (the original platform's D3DRS_* and D3DSAMP_*
// numbers) as GL state, mapped once at load for ApplyStates and the sampler objects. The compiler
// has refused every value outside its range; the stencil and fixed-function states never reach
// here, and the alpha test is in the fragment stage.
#pragma once
#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "compiler/compiled_effect.hpp"

namespace gfx::gl {

// Bits of GlPassStates::mask: the states a pass sets. The others stay as the device has them.
enum GlStateBit : uint32_t {
  kGlCull = 1,
  kGlDepthTest = 2,
  kGlDepthWrite = 4,
  kGlDepthFunc = 8,
  kGlBlend = 16,
  kGlBlendSrc = 32,
  kGlBlendDst = 64,
  kGlBlendOp = 128,
  kGlSeparateAlpha = 256,  // the alpha factors and operation below apply
  kGlColorMask = 512,
  kGlFill = 1024,
  kGlBlendColor = 2048,
  kGlFrontFace = 4096,
  kGlSrgbWrite = 1u << 13,
  kGlDepthBias = 1u << 14,  // units below
  kGlSlopeBias = 1u << 15,  // factor below
  kGlScissor = 1u << 16,
  kGlPointSize = 1u << 17,
  kGlLineSmooth = 1u << 18,
  kGlDither = 1u << 19,
};

// The device's depth buffer is 16-bit, as the original device's D16 is: D3D's depth bias, a
// fraction of the depth range, is this many of GL's polygon offset units.
constexpr float kDepthBiasUnits = 65535.0f;

struct GlPassStates {
  uint32_t mask = 0;
  GLenum frontFace = GL_CCW;
  // The winding CullMode discards, as seen on screen: 0 off, else GL_CW or GL_CCW. ApplyStates
  // turns it into GL_FRONT or GL_BACK against the front face in force.
  GLenum cullWinding = 0;
  bool depthTest = true, depthWrite = true, blend = false;
  GLenum depthFunc = GL_LEQUAL;
  GLenum src = GL_ONE, dst = GL_ZERO, op = GL_FUNC_ADD;
  GLenum srcAlpha = GL_ONE, dstAlpha = GL_ZERO, opAlpha = GL_FUNC_ADD;
  GLboolean colorMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
  GLenum fill = GL_FILL;
  float blendColor[4] = {};
  bool srgbWrite = false, scissor = false, lineSmooth = false, dither = false;
  float offsetUnits = 0.0f, offsetFactor = 0.0f;  // glPolygonOffset's
  // PointSize clamped to PointSize_Min and PointSize_Max, as the platform clamps every point.
  float pointSize = 1.0f;
};

GlPassStates GlStatesOfPass(const compiler::Pass& pass);

// Sampler object parameters over the original platform's defaults (point filtering, no mipmaps,
// wrap).
struct GlSamplerStates {
  GLenum minFilter = GL_NEAREST, magFilter = GL_NEAREST;
  GLenum mipFilter = 0;  // 0: level 0 only, else GL_NEAREST or GL_LINEAR between levels
  GLenum wrap[3] = {GL_REPEAT, GL_REPEAT, GL_REPEAT};
  float borderColor[4] = {};
  float lodBias = 0.0f, minLod = -1000.0f, maxAnisotropy = 1.0f;
};

GlSamplerStates GlSamplerStatesOf(const std::vector<compiler::SamplerState>& states);
void ConfigureSampler(GLuint sampler, const GlSamplerStates& states);

}  // namespace gfx::gl
