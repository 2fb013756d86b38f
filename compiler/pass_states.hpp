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
  kRsFogColor = 34,
  kRsFogTableMode = 35,
  kRsFogStart = 36,
  kRsFogEnd = 37,
  kRsFogDensity = 38,
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

// The fog render states in force for a pass, as the device holds them (its defaults here).
struct FogSetting {
  bool enable = false;
  uint32_t color = 0;  // D3DCOLOR, alpha unused
  uint32_t table = 0;  // D3DFOGMODE: 0 none (the vertex's fog), 1 exp, 2 exp2, 3 linear
  float start = 0, end = 1, density = 1;
  bool operator==(const FogSetting&) const = default;
};

// Reads the fog states of a pass's render states into *fog (a state it does not set keeps its
// value). False when one of them is given by parameters, which *fog then takes the initial value
// of.
bool ApplyFogStates(const std::vector<formats::FxRenderState>& states, FogSetting* fog);

// GLSL statements that blend the vec4 `colour` towards the fog colour as the platform does after
// the pixel stage: colour.rgb = f * colour.rgb + (1 - f) * fog colour, alpha unchanged. f comes
// from the fragment's distance along the view axis under FogTableMode, else from `vertexFog`, the
// fog value the vertex stage wrote.
std::string FogStatements(const FogSetting& fog, const std::string& colour,
                          const std::string& vertexFog);

}  // namespace compiler
