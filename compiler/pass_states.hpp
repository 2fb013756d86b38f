// The states of a pass and of a sampler in the original platform's numbers (D3DRS_*, D3DSAMP_* and
// their values), for both effect languages: a D3D9 effect's as written, checked against what the
// backends can draw; our format's states translated to the same numbers.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/compiled_effect.hpp"
#include "formats/effect_parse.hpp"
#include "formats/fx_effect.hpp"

namespace compiler {

// D3DRENDERSTATETYPE numbers a backend maps.
enum : uint32_t {
  kRsZEnable = 7,
  kRsFillMode = 8,
  kRsZWriteEnable = 14,
  kRsAlphaTestEnable = 15,
  kRsSrcBlend = 19,
  kRsDestBlend = 20,
  kRsCullMode = 22,
  kRsZFunc = 23,
  kRsAlphaRef = 24,
  kRsAlphaFunc = 25,
  kRsAlphaBlendEnable = 27,
  kRsDitherEnable = 26,
  kRsPointSize = 154,
  kRsPointSizeMin = 155,
  kRsPointSizeMax = 166,
  kRsColorWriteEnable = 168,
  kRsBlendOp = 171,
  kRsScissorTestEnable = 174,
  kRsSlopeScaleDepthBias = 175,
  kRsAntialiasedLineEnable = 176,
  kRsBlendFactor = 193,
  kRsSrgbWriteEnable = 194,
  kRsDepthBias = 195,
  kRsSeparateAlphaBlendEnable = 206,
  kRsSrcBlendAlpha = 207,
  kRsDestBlendAlpha = 208,
  kRsBlendOpAlpha = 209,
};

// D3DRENDERSTATETYPE numbers of the fixed-function stages, which the compiler generates from them.
enum : uint32_t {
  kRsShadeMode = 9,
  kRsFogEnable = 28,
  kRsSpecularEnable = 29,
  kRsTextureFactor = 60,
  kRsLighting = 137,
  kRsAmbient = 139,
  kRsLocalViewer = 142,
  kRsNormalizeNormals = 143,
};

// D3DSAMPLERSTATETYPE numbers.
enum : uint32_t {
  kSampAddressU = 1,
  kSampAddressV = 2,
  kSampAddressW = 3,
  kSampBorderColor = 4,
  kSampMagFilter = 5,
  kSampMinFilter = 6,
  kSampMipFilter = 7,
  kSampMipMapLodBias = 8,
  kSampMaxMipLevel = 9,
  kSampMaxAnisotropy = 10,
};

// A D3D9 effect pass's render states, those a backend applies, in file order, with its alpha test
// (D3DCMP_*, 0 when off; the reference in 0..255). A state whose value is out of its range, or
// one that would change the picture and that no backend emulates, is refused with the reason.
// The fixed-function stages' states stay in the pass for whatever generates those stages; they
// are not in *out.
bool FxPassStates(const formats::FxPass& pass, std::vector<RenderState>* out, uint32_t* alphaFunc,
                  uint32_t* alphaRef, std::string* why);

// Our format's pass states as the same numbers.
std::vector<RenderState> EffectPassStates(const formats::EffectPass& pass);

// Our format's sampler filters and addressing as D3DSAMP_* states.
std::vector<SamplerState> EffectSamplerStates(const formats::EffectSampler& sampler);

// The GLSL condition that keeps a fragment whose alpha is `alpha`, or "" when the test is off.
std::string AlphaTestCondition(uint32_t func, uint32_t ref, const std::string& alpha);

}  // namespace compiler
