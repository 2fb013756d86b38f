// A compiled effect's states to GL. The numbers are the original platform's (D3DRS_*, D3DSAMP_*,
// D3DBLEND_*, D3DCMP_*...), whichever language the effect was written in.
#include "render/gfx/gl/pass_states_gl.hpp"

#include <cstring>

#include "compiler/pass_states.hpp"

namespace gfx::gl {
namespace {

using namespace compiler;

bool Blend(uint32_t value, GLenum* out) {
  static const GLenum table[] = {0,
                                 GL_ZERO,
                                 GL_ONE,
                                 GL_SRC_COLOR,
                                 GL_ONE_MINUS_SRC_COLOR,
                                 GL_SRC_ALPHA,
                                 GL_ONE_MINUS_SRC_ALPHA,
                                 GL_DST_ALPHA,
                                 GL_ONE_MINUS_DST_ALPHA,
                                 GL_DST_COLOR,
                                 GL_ONE_MINUS_DST_COLOR,
                                 GL_SRC_ALPHA_SATURATE,
                                 0,
                                 0,
                                 GL_CONSTANT_COLOR,
                                 GL_ONE_MINUS_CONSTANT_COLOR};
  if (value == 0 || value >= sizeof table / sizeof table[0] || (value >= 12 && value <= 13))
    return false;
  *out = table[value];
  return true;
}

bool BlendOp(uint32_t value, GLenum* out) {
  static const GLenum table[] = {0,      GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT,
                                 GL_MIN, GL_MAX};
  if (value == 0 || value > 5) return false;
  *out = table[value];
  return true;
}

bool Compare(uint32_t value, GLenum* out) {
  static const GLenum table[] = {0,          GL_NEVER,    GL_LESS,   GL_EQUAL, GL_LEQUAL,
                                 GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
  if (value == 0 || value > 8) return false;
  *out = table[value];
  return true;
}

void ColorToFloats(uint32_t argb, float* rgba) {
  rgba[0] = ((argb >> 16) & 255) / 255.0f;
  rgba[1] = ((argb >> 8) & 255) / 255.0f;
  rgba[2] = (argb & 255) / 255.0f;
  rgba[3] = (argb >> 24) / 255.0f;
}

void ApplySamplerState(const compiler::SamplerState& state, GlSamplerStates* out) {
  const uint32_t v = state.value;
  const auto address = [](uint32_t value) -> GLenum {
    switch (value) {
      case 2: return GL_MIRRORED_REPEAT;
      case 3: return GL_CLAMP_TO_EDGE;
      case 4: return GL_CLAMP_TO_BORDER;
      case 5: return GL_MIRRORED_REPEAT;  // mirror once: mirrored, then clamped
      default: return GL_REPEAT;
    }
  };
  // D3DTEXF_POINT is nearest; LINEAR, ANISOTROPIC and the quad filters all read linearly.
  const auto filter = [](uint32_t value) -> GLenum { return value <= 1 ? GL_NEAREST : GL_LINEAR; };
  switch (state.state) {
    case 1: out->wrap[0] = address(v); break;
    case 2: out->wrap[1] = address(v); break;
    case 3: out->wrap[2] = address(v); break;
    case 4: ColorToFloats(v, out->borderColor); break;
    case 5: out->magFilter = filter(v); break;
    case 6: out->minFilter = filter(v); break;  // anisotropy as MaxAnisotropy says, 1 by default
    case 7: out->mipFilter = v == 0 ? 0 : filter(v); break;
    case 8: std::memcpy(&out->lodBias, &v, sizeof v); break;
    case 9: out->minLod = static_cast<float>(v); break;
    case 10: out->maxAnisotropy = v < 1 ? 1.0f : static_cast<float>(v); break;
    default: break;
  }
}

}  // namespace

GlPassStates GlStatesOfPass(const Pass& pass) {
  GlPassStates states;
  if (pass.frontFace != FrontFace::Unchanged) {
    states.mask |= kGlFrontFace;
    states.frontFace = pass.frontFace == FrontFace::Clockwise ? GL_CW : GL_CCW;
  }
  bool separateAlpha = false;
  // The platform's defaults, for a pass that sets only some of the three.
  float pointSize = 1.0f, pointMin = 1.0f, pointMax = 64.0f;
  const auto asFloat = [](uint32_t bits) {
    float f = 0.0f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  };
  for (const RenderState& rs : pass.states) {
    const uint32_t v = rs.value;
    switch (rs.state) {
      case kRsZEnable:
        states.mask |= kGlDepthTest;
        states.depthTest = v != 0;
        break;
      case kRsZWriteEnable:
        states.mask |= kGlDepthWrite;
        states.depthWrite = v != 0;
        break;
      case kRsZFunc:
        if (Compare(v, &states.depthFunc)) states.mask |= kGlDepthFunc;
        break;
      case kRsCullMode:
        states.mask |= kGlCull;
        states.cullWinding = v == 2 ? GL_CW : v == 3 ? GL_CCW : 0;
        break;
      case kRsFillMode:
        states.mask |= kGlFill;
        states.fill = v == 1 ? GL_POINT : v == 2 ? GL_LINE : GL_FILL;
        break;
      case kRsAlphaBlendEnable:
        states.mask |= kGlBlend;
        states.blend = v != 0;
        break;
      case kRsSrcBlend:
        // BOTHSRCALPHA and BOTHINVSRCALPHA set both factors from the source's.
        if (v == 12 || v == 13) {
          states.mask |= kGlBlendSrc | kGlBlendDst;
          states.src = v == 12 ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
          states.dst = v == 12 ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
        } else if (Blend(v, &states.src)) {
          states.mask |= kGlBlendSrc;
        }
        break;
      case kRsDestBlend:
        if (Blend(v, &states.dst)) states.mask |= kGlBlendDst;
        break;
      case kRsBlendOp:
        if (BlendOp(v, &states.op)) states.mask |= kGlBlendOp;
        break;
      case kRsSeparateAlphaBlendEnable: separateAlpha = v != 0; break;
      case kRsSrcBlendAlpha: Blend(v, &states.srcAlpha); break;
      case kRsDestBlendAlpha: Blend(v, &states.dstAlpha); break;
      case kRsBlendOpAlpha: BlendOp(v, &states.opAlpha); break;
      case kRsBlendFactor:
        states.mask |= kGlBlendColor;
        ColorToFloats(v, states.blendColor);
        break;
      case kRsColorWriteEnable:
        states.mask |= kGlColorMask;
        for (int c = 0; c < 4; ++c) states.colorMask[c] = (v >> c) & 1 ? GL_TRUE : GL_FALSE;
        break;
      case kRsSrgbWriteEnable:
        states.mask |= kGlSrgbWrite;
        states.srgbWrite = v != 0;
        break;
      case kRsDepthBias:
        states.mask |= kGlDepthBias;
        states.offsetUnits = asFloat(v) * kDepthBiasUnits;
        break;
      case kRsSlopeScaleDepthBias:
        states.mask |= kGlSlopeBias;
        states.offsetFactor = asFloat(v);
        break;
      case kRsScissorTestEnable:
        states.mask |= kGlScissor;
        states.scissor = v != 0;
        break;
      case kRsPointSize:
      case kRsPointSizeMin:
      case kRsPointSizeMax:
        states.mask |= kGlPointSize;
        (rs.state == kRsPointSize      ? pointSize
         : rs.state == kRsPointSizeMin ? pointMin
                                       : pointMax) = asFloat(v);
        break;
      case kRsAntialiasedLineEnable:
        states.mask |= kGlLineSmooth;
        states.lineSmooth = v != 0;
        break;
      case kRsDitherEnable:
        states.mask |= kGlDither;
        states.dither = v != 0;
        break;
      default: break;  // the alpha test is the fragment stage's
    }
  }
  // GL refuses sizes below 1, and a NaN size is no size.
  float size = pointSize < pointMin ? pointMin : pointSize > pointMax ? pointMax : pointSize;
  states.pointSize = size >= 1.0f ? size : 1.0f;
  if (separateAlpha) {
    states.mask |= kGlSeparateAlpha;
  } else {
    states.srcAlpha = states.src;
    states.dstAlpha = states.dst;
    states.opAlpha = states.op;
  }
  return states;
}

GlSamplerStates GlSamplerStatesOf(const std::vector<SamplerState>& list) {
  GlSamplerStates states;
  for (const SamplerState& state : list) ApplySamplerState(state, &states);
  return states;
}

void ConfigureSampler(GLuint sampler, const GlSamplerStates& states) {
  GLenum min = states.minFilter;
  if (states.mipFilter == GL_NEAREST)
    min = min == GL_NEAREST ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_NEAREST;
  else if (states.mipFilter == GL_LINEAR)
    min = min == GL_NEAREST ? GL_NEAREST_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_LINEAR;
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(min));
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(states.magFilter));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, static_cast<GLint>(states.wrap[0]));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, static_cast<GLint>(states.wrap[1]));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, static_cast<GLint>(states.wrap[2]));
  // Our format never set these; GL's defaults are the same values, so its samplers stay as they
  // were.
  glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, states.borderColor);
  glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, states.lodBias);
  glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, states.minLod);
  if (states.maxAnisotropy > 1.0f && epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic"))
    glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY_EXT, states.maxAnisotropy);
}

}  // namespace gfx::gl
