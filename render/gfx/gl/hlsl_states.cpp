// Render and sampler states to GL. The numbers are the original platform's (D3DRS_*, D3DSAMP_*,
// D3DBLEND_*, D3DCMP_*...), as D3D9 effect files name them; a state that changes what a pass draws
// and that we do not emulate is refused, so no effect draws differently without saying so.
#include "render/gfx/gl/hlsl_states.hpp"

#include <cstring>

namespace gfx::gl {
namespace {

using namespace formats;

// D3DRENDERSTATETYPE numbers.
enum : uint32_t {
  kZEnable = 7,
  kFillMode = 8,
  kZWriteEnable = 14,
  kAlphaTestEnable = 15,
  kSrcBlend = 19,
  kDestBlend = 20,
  kCullMode = 22,
  kZFunc = 23,
  kAlphaRef = 24,
  kAlphaFunc = 25,
  kAlphaBlendEnable = 27,
  kFogEnable = 28,
  kStencilEnable = 52,
  kClipPlaneEnable = 152,
  kPointSpriteEnable = 156,
  kColorWriteEnable = 168,
  kBlendOp = 171,
  kScissorTestEnable = 174,
  kSlopeScaleDepthBias = 175,
  kTwoSidedStencilMode = 185,
  kBlendFactor = 193,
  kSrgbWriteEnable = 194,
  kDepthBias = 195,
  kSeparateAlphaBlendEnable = 206,
  kSrcBlendAlpha = 207,
  kDestBlendAlpha = 208,
  kBlendOpAlpha = 209,
};

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

}  // namespace

GlPassStates StatesOfEffectPass(const EffectPass& pass) {
  static const GLenum blends[] = {GL_ZERO,      GL_ONE,
                                  GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                                  GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
                                  GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
                                  GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR};
  static const GLenum fills[] = {GL_FILL, GL_LINE, GL_POINT};
  GlPassStates states;
  const uint32_t mask = pass.stateMask;
  if (mask & kStateCull) {
    states.mask |= kGlCull | kGlFrontFace;
    states.frontFace = GL_CCW;
    states.cullFace = pass.cull == CullMode::None ? 0
                      : pass.cull == CullMode::CW ? GL_BACK
                                                  : GL_FRONT;
  }
  if (mask & kStateZEnable) states.mask |= kGlDepthTest;
  if (mask & kStateZWrite) states.mask |= kGlDepthWrite;
  if (mask & kStateBlendEnable) states.mask |= kGlBlend;
  if (mask & kStateSrcBlend) states.mask |= kGlBlendSrc;
  if (mask & kStateDestBlend) states.mask |= kGlBlendDst;
  if (mask & kStateFill) states.mask |= kGlFill;
  states.depthTest = pass.zEnable;
  states.depthWrite = pass.zWrite;
  states.blend = pass.blendEnable;
  states.src = blends[static_cast<int>(pass.srcBlend)];
  states.dst = blends[static_cast<int>(pass.destBlend)];
  states.fill = fills[static_cast<int>(pass.fill)];
  return states;
}

bool StatesOfFxPass(const FxPass& pass, GlPassStates* out, std::string* why) {
  GlPassStates states;
  states.mask = kGlFrontFace;
  states.frontFace = GL_CW;
  bool alphaTest = false, separateAlpha = false;
  uint32_t alphaFunc = 8, alphaRef = 0;  // D3DCMP_ALWAYS, 0: the platform's defaults
  const auto bad = [&](const char* what, uint32_t value) {
    *why = std::string(what) + " has the unknown value " + std::to_string(value);
    return false;
  };
  for (const FxRenderState& rs : pass.renderStates) {
    const uint32_t v = rs.value;
    switch (rs.state) {
      case kZEnable:
        states.mask |= kGlDepthTest;
        states.depthTest = v != 0;
        break;
      case kZWriteEnable:
        states.mask |= kGlDepthWrite;
        states.depthWrite = v != 0;
        break;
      case kZFunc:
        states.mask |= kGlDepthFunc;
        if (!Compare(v, &states.depthFunc)) return bad("ZFunc", v);
        break;
      case kCullMode:
        // Front faces are clockwise here: CW culls the front ones, CCW the back ones.
        states.mask |= kGlCull;
        if (v < 1 || v > 3) return bad("CullMode", v);
        states.cullFace = v == 1 ? 0 : v == 2 ? GL_FRONT : GL_BACK;
        break;
      case kFillMode:
        states.mask |= kGlFill;
        if (v < 1 || v > 3) return bad("FillMode", v);
        states.fill = v == 1 ? GL_POINT : v == 2 ? GL_LINE : GL_FILL;
        break;
      case kAlphaBlendEnable:
        states.mask |= kGlBlend;
        states.blend = v != 0;
        break;
      case kSrcBlend:
      case kDestBlend: {
        // BOTHSRCALPHA and BOTHINVSRCALPHA set both factors from the source's.
        if (rs.state == kSrcBlend && (v == 12 || v == 13)) {
          states.mask |= kGlBlendSrc | kGlBlendDst;
          states.src = v == 12 ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
          states.dst = v == 12 ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
          break;
        }
        GLenum* target = rs.state == kSrcBlend ? &states.src : &states.dst;
        states.mask |= rs.state == kSrcBlend ? kGlBlendSrc : kGlBlendDst;
        if (!Blend(v, target)) return bad(rs.state == kSrcBlend ? "SrcBlend" : "DestBlend", v);
        break;
      }
      case kBlendOp:
        states.mask |= kGlBlendOp;
        if (!BlendOp(v, &states.op)) return bad("BlendOp", v);
        break;
      case kSeparateAlphaBlendEnable: separateAlpha = v != 0; break;
      case kSrcBlendAlpha:
        if (!Blend(v, &states.srcAlpha)) return bad("SrcBlendAlpha", v);
        break;
      case kDestBlendAlpha:
        if (!Blend(v, &states.dstAlpha)) return bad("DestBlendAlpha", v);
        break;
      case kBlendOpAlpha:
        if (!BlendOp(v, &states.opAlpha)) return bad("BlendOpAlpha", v);
        break;
      case kBlendFactor:
        states.mask |= kGlBlendColor;
        ColorToFloats(v, states.blendColor);
        break;
      case kAlphaTestEnable: alphaTest = v != 0; break;
      case kAlphaFunc:
        alphaFunc = v;
        if (v < 1 || v > 8) return bad("AlphaFunc", v);
        break;
      case kAlphaRef: alphaRef = v & 255; break;
      case kColorWriteEnable:
        states.mask |= kGlColorMask;
        for (int c = 0; c < 4; ++c) states.colorMask[c] = (v >> c) & 1 ? GL_TRUE : GL_FALSE;
        break;
      case kStencilEnable:
      case kTwoSidedStencilMode:
        // The device's depth buffer is 16-bit with no stencil bits, as the original device's D16
        // is; there, as here, the stencil test then always passes and writes nothing, so the
        // stencil states change nothing a pass draws.
        break;
      case kFogEnable:
      case kSrgbWriteEnable:
      case kScissorTestEnable:
      case kPointSpriteEnable:
      case kClipPlaneEnable:
        if (v) {
          *why = "render state " + std::to_string(rs.state) +
                 " (fog, sRGB writes, scissor, point sprites or clip planes) is not supported";
          return false;
        }
        break;
      case kDepthBias:
      case kSlopeScaleDepthBias:
        if (v) {
          *why = "depth bias is not supported";
          return false;
        }
        break;
      default:
        // The other states steer the fixed-function stages shaders replace (lighting, shading
        // mode, dithering, the stencil functions while the test is off, extra colour-write masks
        // of targets we do not have); none changes what a shader pass draws.
        break;
    }
  }
  if (separateAlpha) {
    states.mask |= kGlSeparateAlpha;
  } else {
    states.srcAlpha = states.src;
    states.dstAlpha = states.dst;
    states.opAlpha = states.op;
  }
  if (alphaTest && alphaFunc != 8) {
    states.alphaFunc = alphaFunc;
    states.alphaRef = alphaRef;
  }
  *out = states;
  return true;
}

std::string AlphaTestCondition(uint32_t func, uint32_t ref, const std::string& alpha) {
  static const char* const operators[] = {"", "", "<", "==", "<=", ">", "!=", ">=", ""};
  if (func == 0 || func == 8) return "";
  // The platform compares the colour's alpha in 0..255 against the reference.
  const std::string value = "floor(clamp(" + alpha + ", 0.0, 1.0) * 255.0 + 0.5)";
  if (func == 1) return "false";
  return value + " " + operators[func] + " " + std::to_string(ref) + ".0";
}

void ApplyFxSamplerState(const FxSamplerState& state, GlSamplerStates* out) {
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

GlSamplerStates SamplerStatesOfEffect(const EffectSampler& sampler) {
  const auto split = [](Filter filter, GLenum* base, GLenum* mip) {
    switch (filter) {
      case Filter::Nearest: *base = GL_NEAREST, *mip = 0; break;
      case Filter::Linear: *base = GL_LINEAR, *mip = 0; break;
      case Filter::NearestMipmapNearest: *base = GL_NEAREST, *mip = GL_NEAREST; break;
      case Filter::LinearMipmapNearest: *base = GL_LINEAR, *mip = GL_NEAREST; break;
      case Filter::NearestMipmapLinear: *base = GL_NEAREST, *mip = GL_LINEAR; break;
      case Filter::LinearMipmapLinear: *base = GL_LINEAR, *mip = GL_LINEAR; break;
    }
  };
  const auto wrap = [](Address address) -> GLenum {
    return address == Address::Clamp    ? GL_CLAMP_TO_EDGE
           : address == Address::Mirror ? GL_MIRRORED_REPEAT
                                        : GL_REPEAT;
  };
  GlSamplerStates states;
  GLenum unused = 0;
  split(sampler.minFilter, &states.minFilter, &states.mipFilter);
  split(sampler.magFilter, &states.magFilter, &unused);
  states.wrap[0] = wrap(sampler.addressU);
  states.wrap[1] = wrap(sampler.addressV);
  states.minLod = -1000.0f;
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
