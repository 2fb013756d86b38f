// Tables of D3D9 effect states. The numbers are the original platform's, so a backend maps them
// once; a state missing here is refused by the parser with its name, never dropped unseen.
#include "formats/fx_states.hpp"

#include <cctype>

namespace formats {
namespace {

using K = FxValueKind;
using U = FxStateUse;

const FxStateInfo kRenderStates[] = {
    {"ZEnable", 7, K::ZBuffer, U::Kept, -1},
    {"FillMode", 8, K::Fill, U::Kept, -1},
    {"ZWriteEnable", 14, K::Bool, U::Kept, -1},
    {"AlphaTestEnable", 15, K::Bool, U::Kept, -1},
    {"SrcBlend", 19, K::Blend, U::Kept, -1},
    {"DestBlend", 20, K::Blend, U::Kept, -1},
    {"CullMode", 22, K::Cull, U::Kept, -1},
    {"ZFunc", 23, K::Compare, U::Kept, -1},
    {"AlphaRef", 24, K::Integer, U::Kept, -1},
    {"AlphaFunc", 25, K::Compare, U::Kept, -1},
    {"AlphaBlendEnable", 27, K::Bool, U::Kept, -1},
    {"StencilEnable", 52, K::Bool, U::Kept, -1},
    {"StencilFail", 53, K::StencilOp, U::Kept, -1},
    {"StencilZFail", 54, K::StencilOp, U::Kept, -1},
    {"StencilPass", 55, K::StencilOp, U::Kept, -1},
    {"StencilFunc", 56, K::Compare, U::Kept, -1},
    {"StencilRef", 57, K::Integer, U::Kept, -1},
    {"StencilMask", 58, K::Integer, U::Kept, -1},
    {"StencilWriteMask", 59, K::Integer, U::Kept, -1},
    {"ColorWriteEnable", 168, K::ColorMask, U::Kept, -1},
    {"BlendOp", 171, K::BlendOp, U::Kept, -1},
    {"TwoSidedStencilMode", 185, K::Bool, U::Kept, -1},
    {"CCW_StencilFail", 186, K::StencilOp, U::Kept, -1},
    {"CCW_StencilZFail", 187, K::StencilOp, U::Kept, -1},
    {"CCW_StencilPass", 188, K::StencilOp, U::Kept, -1},
    {"CCW_StencilFunc", 189, K::Compare, U::Kept, -1},
    // Fog is blended after a pixel shader of model 2, so only its "off" value is harmless; flat
    // shading would change colour interpolation.
    // The fixed-function vertex and pixel stages read these; passes with shaders ignore them.
    {"Lighting", 137, K::Bool, U::Kept, -1},
    {"SpecularEnable", 29, K::Bool, U::Kept, -1},
    {"NormalizeNormals", 143, K::Bool, U::Kept, -1},
    {"LocalViewer", 142, K::Bool, U::Kept, -1},
    {"ColorVertex", 141, K::Bool, U::Kept, -1},
    {"Ambient", 139, K::Color, U::Kept, -1},
    {"TextureFactor", 60, K::Color, U::Kept, -1},
    {"DitherEnable", 26, K::Bool, U::Dropped, -1},
    {"FogEnable", 28, K::Bool, U::Dropped, 0},
    // Fog's parameters change nothing while fog is off, and FogEnable = TRUE is refused.
    {"FogColor", 34, K::Color, U::Dropped, -1},
    {"FogTableMode", 35, K::Fog, U::Dropped, -1},
    {"FogStart", 36, K::Float, U::Dropped, -1},
    {"FogEnd", 37, K::Float, U::Dropped, -1},
    {"FogDensity", 38, K::Float, U::Dropped, -1},
    {"RangeFogEnable", 48, K::Bool, U::Dropped, -1},
    {"FogVertexMode", 140, K::Fog, U::Dropped, -1},
    {"ShadeMode", 9, K::Shade, U::Dropped, 2},
    {"Clipping", 136, K::Bool, U::Dropped, 1},
};

const FxStateInfo kSamplerStates[] = {
    {"AddressU", 1, K::Address, U::Kept, -1},    {"AddressV", 2, K::Address, U::Kept, -1},
    {"AddressW", 3, K::Address, U::Kept, -1},    {"BorderColor", 4, K::Color, U::Kept, -1},
    {"MagFilter", 5, K::Filter, U::Kept, -1},    {"MinFilter", 6, K::Filter, U::Kept, -1},
    {"MipFilter", 7, K::Filter, U::Kept, -1},    {"MipMapLODBias", 8, K::Float, U::Kept, -1},
    {"MaxMipLevel", 9, K::Integer, U::Kept, -1}, {"MaxAnisotropy", 10, K::Integer, U::Kept, -1},
    {"SRGBTexture", 11, K::Bool, U::Kept, -1},
};

struct Named {
  K kind;
  const char* name;
  uint32_t value;
};

const Named kValues[] = {
    {K::Bool, "FALSE", 0},
    {K::Bool, "TRUE", 1},
    {K::ZBuffer, "FALSE", 0},
    {K::ZBuffer, "TRUE", 1},
    {K::ZBuffer, "UseW", 2},
    {K::Cull, "None", 1},
    {K::Cull, "CW", 2},
    {K::Cull, "CCW", 3},
    {K::Fill, "Point", 1},
    {K::Fill, "Wireframe", 2},
    {K::Fill, "Solid", 3},
    {K::Compare, "Never", 1},
    {K::Compare, "Less", 2},
    {K::Compare, "Equal", 3},
    {K::Compare, "LessEqual", 4},
    {K::Compare, "Greater", 5},
    {K::Compare, "NotEqual", 6},
    {K::Compare, "GreaterEqual", 7},
    {K::Compare, "Always", 8},
    {K::Blend, "Zero", 1},
    {K::Blend, "One", 2},
    {K::Blend, "SrcColor", 3},
    {K::Blend, "InvSrcColor", 4},
    {K::Blend, "SrcAlpha", 5},
    {K::Blend, "InvSrcAlpha", 6},
    {K::Blend, "DestAlpha", 7},
    {K::Blend, "InvDestAlpha", 8},
    {K::Blend, "DestColor", 9},
    {K::Blend, "InvDestColor", 10},
    {K::Blend, "SrcAlphaSat", 11},
    {K::Blend, "BothSrcAlpha", 12},
    {K::Blend, "BothInvSrcAlpha", 13},
    {K::Blend, "BlendFactor", 14},
    {K::Blend, "InvBlendFactor", 15},
    {K::BlendOp, "Add", 1},
    {K::BlendOp, "Subtract", 2},
    {K::BlendOp, "RevSubtract", 3},
    {K::BlendOp, "Min", 4},
    {K::BlendOp, "Max", 5},
    {K::StencilOp, "Keep", 1},
    {K::StencilOp, "Zero", 2},
    {K::StencilOp, "Replace", 3},
    {K::StencilOp, "IncrSat", 4},
    {K::StencilOp, "DecrSat", 5},
    {K::StencilOp, "Invert", 6},
    {K::StencilOp, "Incr", 7},
    {K::StencilOp, "Decr", 8},
    {K::ColorMask, "Red", 1},
    {K::ColorMask, "Green", 2},
    {K::ColorMask, "Blue", 4},
    {K::ColorMask, "Alpha", 8},
    {K::Filter, "None", 0},
    {K::Filter, "Point", 1},
    {K::Filter, "Linear", 2},
    {K::Filter, "Anisotropic", 3},
    {K::Filter, "PyramidalQuad", 6},
    {K::Filter, "GaussianQuad", 7},
    {K::Address, "Wrap", 1},
    {K::Address, "Mirror", 2},
    {K::Address, "Clamp", 3},
    {K::Address, "Border", 4},
    {K::Address, "MirrorOnce", 5},
    {K::Shade, "Flat", 1},
    {K::Shade, "Gouraud", 2},
    {K::Shade, "Phong", 3},
    {K::Fog, "None", 0},
    {K::Fog, "Exp", 1},
    {K::Fog, "Exp2", 2},
    {K::Fog, "Linear", 3},
    {K::Integer, "FALSE", 0},
    {K::Integer, "TRUE", 1},
};

}  // namespace

bool FxEqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

const FxStateInfo* FindFxRenderState(std::string_view name) {
  for (const FxStateInfo& s : kRenderStates)
    if (FxEqualIgnoringCase(s.name, name)) return &s;
  return nullptr;
}

const FxStateInfo* FindFxSamplerState(std::string_view name) {
  for (const FxStateInfo& s : kSamplerStates)
    if (FxEqualIgnoringCase(s.name, name)) return &s;
  return nullptr;
}

bool FindFxStateValue(FxValueKind kind, std::string_view name, uint32_t* value) {
  for (const Named& n : kValues)
    if (n.kind == kind && FxEqualIgnoringCase(n.name, name)) {
      *value = n.value;
      return true;
    }
  return false;
}

}  // namespace formats
