// The render and sampler states of an effect pass as GL state: the original platform's D3DRS_* and
// D3DSAMP_* numbers of a D3D9 effect file, and our own format's states, mapped once to what
// ApplyStates and the sampler objects need. Limits: no stencil (the back buffer has none), fog,
// sRGB writes or scissor; alpha testing is left to the pixel stage (GlPassStates::alphaFunc).
#pragma once
#include <epoxy/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/effect_parse.hpp"
#include "formats/fx_effect.hpp"

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
};

struct GlPassStates {
  uint32_t mask = 0;
  GLenum frontFace = GL_CCW;
  GLenum cullFace = 0;  // 0: culling off, else GL_FRONT or GL_BACK
  bool depthTest = true, depthWrite = true, blend = false;
  GLenum depthFunc = GL_LEQUAL;
  GLenum src = GL_ONE, dst = GL_ZERO, op = GL_FUNC_ADD;
  GLenum srcAlpha = GL_ONE, dstAlpha = GL_ZERO, opAlpha = GL_FUNC_ADD;
  GLboolean colorMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
  GLenum fill = GL_FILL;
  float blendColor[4] = {};
  // Alpha test, done by the pixel stage: D3DCMP_* (0 when off) against alphaRef in 0..255.
  uint32_t alphaFunc = 0, alphaRef = 0;
};

// Our format's pass: front faces counter-clockwise, as that format has always set them.
GlPassStates StatesOfEffectPass(const formats::EffectPass& pass);

// A D3D9 effect pass. Front faces are clockwise, as on the original platform, so VFACE and the cull
// modes agree. On a state we cannot honour returns false with the reason in *why.
bool StatesOfFxPass(const formats::FxPass& pass, GlPassStates* out, std::string* why);

// The GLSL condition that keeps a fragment whose alpha is `alpha`, or "" when the test is off.
std::string AlphaTestCondition(uint32_t func, uint32_t ref, const std::string& alpha);

// Sampler object parameters from D3DSAMP_* states over the original platform's defaults (point
// filtering, no mipmaps, wrap).
struct GlSamplerStates {
  GLenum minFilter = GL_NEAREST, magFilter = GL_NEAREST;
  GLenum mipFilter = 0;  // 0: level 0 only, else GL_NEAREST or GL_LINEAR between levels
  GLenum wrap[3] = {GL_REPEAT, GL_REPEAT, GL_REPEAT};
  float borderColor[4] = {};
  float lodBias = 0.0f, minLod = -1000.0f, maxAnisotropy = 1.0f;
};

void ApplyFxSamplerState(const formats::FxSamplerState& state, GlSamplerStates* out);
GlSamplerStates SamplerStatesOfEffect(const formats::EffectSampler& sampler);
void ConfigureSampler(GLuint sampler, const GlSamplerStates& states);

}  // namespace gfx::gl
