// Which render states a pass may set: a state that changes what a pass draws and that no backend
// emulates is refused, so no effect draws differently without saying so.
#include "compiler/pass_states.hpp"

#include <cmath>
#include <cstring>

#include "compiler/hlsl_compile.hpp"

namespace compiler {
namespace {

using namespace formats;

// D3DRENDERSTATETYPE numbers that are read and refused or left out here.
enum : uint32_t {
  kRsStencilEnable = 52,
  kRsWrap0 = 128,
  kRsWrap7 = 135,
  kRsClipPlaneEnable = 152,
  kRsPointSpriteEnable = 156,
  kRsTwoSidedStencilMode = 185,
  kRsWrap8 = 198,
  kRsWrap15 = 205,
};

// D3DBLEND_*: 1..15, where BOTHSRCALPHA (12) and BOTHINVSRCALPHA (13) only name the source's.
bool ValidBlend(uint32_t value) { return value >= 1 && value <= 15 && value != 12 && value != 13; }

}  // namespace

bool FxPassStates(const FxPass& pass, std::vector<RenderState>* out, uint32_t* alphaFunc,
                  uint32_t* alphaRef, std::string* why) {
  out->clear();
  bool alphaTest = false, sprites = false, points = false;
  uint32_t func = 8, ref = 0;  // D3DCMP_ALWAYS, 0: the platform's defaults
  const auto bad = [&](const char* what, uint32_t value) {
    *why = std::string(what) + " has the unknown value " + std::to_string(value);
    return false;
  };
  for (const FxRenderState& rs : pass.renderStates) {
    const uint32_t v = rs.value;
    bool keep = true;
    switch (rs.state) {
      case kRsZEnable:
      case kRsZWriteEnable:
      case kRsAlphaBlendEnable:
      case kRsSeparateAlphaBlendEnable:
      case kRsBlendFactor:
      case kRsColorWriteEnable:
      case kRsSrgbWriteEnable:
      case kRsDepthBias:
      case kRsSlopeScaleDepthBias:
      case kRsScissorTestEnable:
      case kRsPointSize:
      case kRsPointSizeMin:
      case kRsPointSizeMax:
      case kRsAntialiasedLineEnable:
      case kRsDitherEnable: break;
      case kRsZFunc:
        if (v < 1 || v > 8) return bad("ZFunc", v);
        break;
      case kRsCullMode:
        if (v < 1 || v > 3) return bad("CullMode", v);
        break;
      case kRsFillMode:
        if (v < 1 || v > 3) return bad("FillMode", v);
        points = v == 1;
        break;
      case kRsSrcBlend:
        if (!ValidBlend(v) && v != 12 && v != 13) return bad("SrcBlend", v);
        break;
      case kRsDestBlend:
        if (!ValidBlend(v)) return bad("DestBlend", v);
        break;
      case kRsSrcBlendAlpha:
        if (!ValidBlend(v)) return bad("SrcBlendAlpha", v);
        break;
      case kRsDestBlendAlpha:
        if (!ValidBlend(v)) return bad("DestBlendAlpha", v);
        break;
      case kRsBlendOp:
        if (v < 1 || v > 5) return bad("BlendOp", v);
        break;
      case kRsBlendOpAlpha:
        if (v < 1 || v > 5) return bad("BlendOpAlpha", v);
        break;
      case kRsAlphaTestEnable: alphaTest = v != 0; break;
      case kRsAlphaFunc:
        if (v < 1 || v > 8) return bad("AlphaFunc", v);
        func = v;
        break;
      case kRsAlphaRef: ref = v & 255; break;
      case kRsStencilEnable:
      case kRsTwoSidedStencilMode:
        // The device's depth buffer is 16-bit with no stencil bits, as the original device's D16
        // is; there, as here, the stencil test then always passes and writes nothing, so the
        // stencil states change nothing a pass draws.
        keep = false;
        break;
      case kRsPointSpriteEnable:
        // Sprites replace the texture coordinates of point primitives, and the program draws
        // triangles only; triangles drawn as points (FillMode = Point) are refused below.
        sprites = v != 0;
        keep = false;
        break;
      case kRsFogEnable:
        // Fog is part of the program, which the compiler links per pass from the technique's
        // fog states.
        keep = false;
        break;
      case kRsShadeMode:
        // Flat shading is part of the program (its colour varyings are declared flat), which the
        // compiler links per pass from the technique's shade mode.
        if (v < 1 || v > 3) return bad("ShadeMode", v);
        keep = false;
        break;
      case kRsClipPlaneEnable:
        // A plane clips where dot(plane, position) < 0. Effects cannot set the planes (they are
        // no effect state) and the program never does, so each stays (0, 0, 0, 0) as the device
        // starts it and clips nothing.
        keep = false;
        break;
      default:
        // Cylindrical wrapping bends texture coordinate interpolation; GL interpolates straight.
        if (v && ((rs.state >= kRsWrap0 && rs.state <= kRsWrap7) ||
                  (rs.state >= kRsWrap8 && rs.state <= kRsWrap15))) {
          *why =
              "Wrap" +
              std::to_string(rs.state <= kRsWrap7 ? rs.state - kRsWrap0 : rs.state - kRsWrap8 + 8) +
              " (cylindrical texture wrapping) is not supported";
          return false;
        }
        // The rest steer the fixed-function stages (lighting, materials, fog, vertex blending,
        // point scaling), which stay in the pass for them, or hardware this device lacks
        // (multisampling, patches and their tessellation, the stencil functions, colour-write masks
        // of targets 1 to 3); docs/effect-format.md says why each draws the same without them.
        keep = false;
        break;
    }
    if (keep) out->push_back({rs.state, v});
  }
  if (sprites && points) {
    // GL's points would have the sprite's coordinates only through gl_PointCoord, which HLSL
    // stages never read.
    *why = "PointSpriteEnable = TRUE with FillMode = Point (point sprites) is not supported";
    return false;
  }
  *alphaFunc = alphaTest && func != 8 ? func : 0;
  *alphaRef = alphaTest && func != 8 ? ref : 0;
  return true;
}

std::vector<RenderState> EffectPassStates(const EffectPass& pass) {
  // Blend's order in our format, as D3DBLEND_* numbers.
  static const uint32_t blends[] = {1, 2, 5, 6, 3, 4, 7, 8, 9, 10};
  static const uint32_t fills[] = {3, 2, 1};  // solid, wireframe, point
  std::vector<RenderState> states;
  const uint32_t mask = pass.stateMask;
  if (mask & kStateCull)
    states.push_back({kRsCullMode, pass.cull == CullMode::None ? 1u
                                   : pass.cull == CullMode::CW ? 2u
                                                               : 3u});
  if (mask & kStateZEnable) states.push_back({kRsZEnable, pass.zEnable ? 1u : 0u});
  if (mask & kStateZWrite) states.push_back({kRsZWriteEnable, pass.zWrite ? 1u : 0u});
  if (mask & kStateBlendEnable) states.push_back({kRsAlphaBlendEnable, pass.blendEnable ? 1u : 0u});
  if (mask & kStateSrcBlend)
    states.push_back({kRsSrcBlend, blends[static_cast<int>(pass.srcBlend)]});
  if (mask & kStateDestBlend)
    states.push_back({kRsDestBlend, blends[static_cast<int>(pass.destBlend)]});
  if (mask & kStateFill) states.push_back({kRsFillMode, fills[static_cast<int>(pass.fill)]});
  return states;
}

std::vector<SamplerState> EffectSamplerStates(const EffectSampler& sampler) {
  // D3DTEXF_NONE 0, POINT 1, LINEAR 2; D3DTADDRESS_WRAP 1, MIRROR 2, CLAMP 3.
  const auto split = [](Filter filter, uint32_t* base, uint32_t* mip) {
    switch (filter) {
      case Filter::Nearest: *base = 1, *mip = 0; break;
      case Filter::Linear: *base = 2, *mip = 0; break;
      case Filter::NearestMipmapNearest: *base = 1, *mip = 1; break;
      case Filter::LinearMipmapNearest: *base = 2, *mip = 1; break;
      case Filter::NearestMipmapLinear: *base = 1, *mip = 2; break;
      case Filter::LinearMipmapLinear: *base = 2, *mip = 2; break;
    }
  };
  const auto address = [](Address a) -> uint32_t {
    return a == Address::Clamp ? 3 : a == Address::Mirror ? 2 : 1;
  };
  uint32_t min = 0, mip = 0, mag = 0, unused = 0;
  split(sampler.minFilter, &min, &mip);
  split(sampler.magFilter, &mag, &unused);
  return {{kSampMinFilter, min},
          {kSampMipFilter, mip},
          {kSampMagFilter, mag},
          {kSampAddressU, address(sampler.addressU)},
          {kSampAddressV, address(sampler.addressV)}};
}

std::string AlphaTestCondition(uint32_t func, uint32_t ref, const std::string& alpha) {
  static const char* const operators[] = {"", "", "<", "==", "<=", ">", "!=", ">=", ""};
  if (func == 0 || func == 8) return "";
  // The platform compares the colour's alpha in 0..255 against the reference.
  const std::string value = "floor(clamp(" + alpha + ", 0.0, 1.0) * 255.0 + 0.5)";
  if (func == 1) return "false";
  return value + " " + operators[func] + " " + std::to_string(ref) + ".0";
}

namespace {

float StateFloat(uint32_t bits) {
  float f = 0.0f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// A value from the file that is not finite reads 0.
std::string GlslFloat(float f) { return FloatLiteral(std::isfinite(f) ? f : 0.0f); }

}  // namespace

bool ApplyFogStates(const std::vector<formats::FxRenderState>& states, FogSetting* fog) {
  bool constant = true;
  for (const formats::FxRenderState& rs : states) {
    const uint32_t v = rs.value;
    switch (rs.state) {
      case kRsFogEnable: fog->enable = v != 0; break;
      case kRsFogColor: fog->color = v; break;
      case kRsFogTableMode: fog->table = v <= 3 ? v : 0; break;
      case kRsFogStart: fog->start = StateFloat(v); break;
      case kRsFogEnd: fog->end = StateFloat(v); break;
      case kRsFogDensity: fog->density = StateFloat(v); break;
      default: continue;
    }
    constant = constant && rs.expression.empty();
  }
  return constant;
}

std::string FogStatements(const FogSetting& fog, const std::string& colour,
                          const std::string& vertexFog) {
  if (!fog.enable) return "";
  // With a perspective projection the platform fogs by the distance along the view axis, the
  // clip-space w, which is 1 / gl_FragCoord.w here.
  const std::string depth = "(1.0 / gl_FragCoord.w)";
  std::string factor;
  switch (fog.table) {
    case 1: factor = "exp(-" + GlslFloat(fog.density) + " * " + depth + ")"; break;
    case 2: {
      const std::string x = "(" + GlslFloat(fog.density) + " * " + depth + ")";
      factor = "exp(-" + x + " * " + x + ")";
      break;
    }
    case 3:
      factor = fog.end == fog.start ? "(" + depth + " < " + GlslFloat(fog.end) + " ? 1.0 : 0.0)"
                                    : "(" + GlslFloat(fog.end) + " - " + depth + ") / " +
                                          GlslFloat(fog.end - fog.start);
      break;
    default: factor = vertexFog; break;
  }
  const float r = static_cast<float>((fog.color >> 16) & 255) / 255.0f;
  const float g = static_cast<float>((fog.color >> 8) & 255) / 255.0f;
  const float b = static_cast<float>(fog.color & 255) / 255.0f;
  return colour + ".rgb = mix(vec3(" + GlslFloat(r) + ", " + GlslFloat(g) + ", " + GlslFloat(b) +
         "), " + colour + ".rgb, clamp(" + factor + ", 0.0, 1.0));";
}

}  // namespace compiler
