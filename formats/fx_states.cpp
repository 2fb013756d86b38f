// Tables of D3D9 effect states. The numbers are the original platform's, so a backend maps them
// once; a name missing here is no state of the format and is refused by the parser with its name.
#include "formats/fx_states.hpp"

#include <cctype>

namespace formats {
namespace {

using K = FxValueKind;
// D3DRENDERSTATETYPE in number order: 7 to 209, each that exists, with the effect format's name.
const FxStateInfo kRenderStates[] = {
    {"ZEnable", 7, K::ZBuffer},
    {"FillMode", 8, K::Fill},
    {"ShadeMode", 9, K::Shade},
    {"ZWriteEnable", 14, K::Bool},
    {"AlphaTestEnable", 15, K::Bool},
    {"LastPixel", 16, K::Bool},
    {"SrcBlend", 19, K::Blend},
    {"DestBlend", 20, K::Blend},
    {"CullMode", 22, K::Cull},
    {"ZFunc", 23, K::Compare},
    {"AlphaRef", 24, K::Integer},
    {"AlphaFunc", 25, K::Compare},
    {"DitherEnable", 26, K::Bool},
    {"AlphaBlendEnable", 27, K::Bool},
    {"FogEnable", 28, K::Bool},
    {"SpecularEnable", 29, K::Bool},
    {"FogColor", 34, K::Color},
    {"FogTableMode", 35, K::Fog},
    {"FogStart", 36, K::Float},
    {"FogEnd", 37, K::Float},
    {"FogDensity", 38, K::Float},
    {"RangeFogEnable", 48, K::Bool},
    {"StencilEnable", 52, K::Bool},
    {"StencilFail", 53, K::StencilOp},
    {"StencilZFail", 54, K::StencilOp},
    {"StencilPass", 55, K::StencilOp},
    {"StencilFunc", 56, K::Compare},
    {"StencilRef", 57, K::Integer},
    {"StencilMask", 58, K::Integer},
    {"StencilWriteMask", 59, K::Integer},
    {"TextureFactor", 60, K::Color},
    {"Wrap0", 128, K::Wrap},
    {"Wrap1", 129, K::Wrap},
    {"Wrap2", 130, K::Wrap},
    {"Wrap3", 131, K::Wrap},
    {"Wrap4", 132, K::Wrap},
    {"Wrap5", 133, K::Wrap},
    {"Wrap6", 134, K::Wrap},
    {"Wrap7", 135, K::Wrap},
    {"Clipping", 136, K::Bool},
    {"Lighting", 137, K::Bool},
    {"Ambient", 139, K::Color},
    {"FogVertexMode", 140, K::Fog},
    {"ColorVertex", 141, K::Bool},
    {"LocalViewer", 142, K::Bool},
    {"NormalizeNormals", 143, K::Bool},
    {"DiffuseMaterialSource", 145, K::MaterialSource},
    {"SpecularMaterialSource", 146, K::MaterialSource},
    {"AmbientMaterialSource", 147, K::MaterialSource},
    {"EmissiveMaterialSource", 148, K::MaterialSource},
    {"VertexBlend", 151, K::VertexBlend},
    {"ClipPlaneEnable", 152, K::ClipPlanes},
    {"PointSize", 154, K::Float},
    {"PointSize_Min", 155, K::Float},
    {"PointSpriteEnable", 156, K::Bool},
    {"PointScaleEnable", 157, K::Bool},
    {"PointScale_A", 158, K::Float},
    {"PointScale_B", 159, K::Float},
    {"PointScale_C", 160, K::Float},
    {"MultiSampleAntialias", 161, K::Bool},
    {"MultiSampleMask", 162, K::Integer},
    {"PatchEdgeStyle", 163, K::PatchEdge},
    {"DebugMonitorToken", 165, K::Integer},
    {"PointSize_Max", 166, K::Float},
    {"IndexedVertexBlendEnable", 167, K::Bool},
    {"ColorWriteEnable", 168, K::ColorMask},
    {"TweenFactor", 170, K::Float},
    {"BlendOp", 171, K::BlendOp},
    {"PositionDegree", 172, K::Degree},
    {"NormalDegree", 173, K::Degree},
    {"ScissorTestEnable", 174, K::Bool},
    {"SlopeScaleDepthBias", 175, K::Float},
    {"AntialiasedLineEnable", 176, K::Bool},
    {"MinTessellationLevel", 178, K::Float},
    {"MaxTessellationLevel", 179, K::Float},
    {"AdaptiveTess_X", 180, K::Float},
    {"AdaptiveTess_Y", 181, K::Float},
    {"AdaptiveTess_Z", 182, K::Float},
    {"AdaptiveTess_W", 183, K::Float},
    {"EnableAdaptiveTessellation", 184, K::Bool},
    {"TwoSidedStencilMode", 185, K::Bool},
    {"CCW_StencilFail", 186, K::StencilOp},
    {"CCW_StencilZFail", 187, K::StencilOp},
    {"CCW_StencilPass", 188, K::StencilOp},
    {"CCW_StencilFunc", 189, K::Compare},
    {"ColorWriteEnable1", 190, K::ColorMask},
    {"ColorWriteEnable2", 191, K::ColorMask},
    {"ColorWriteEnable3", 192, K::ColorMask},
    {"BlendFactor", 193, K::Color},
    {"SRGBWriteEnable", 194, K::Bool},
    {"DepthBias", 195, K::Float},
    {"Wrap8", 198, K::Wrap},
    {"Wrap9", 199, K::Wrap},
    {"Wrap10", 200, K::Wrap},
    {"Wrap11", 201, K::Wrap},
    {"Wrap12", 202, K::Wrap},
    {"Wrap13", 203, K::Wrap},
    {"Wrap14", 204, K::Wrap},
    {"Wrap15", 205, K::Wrap},
    {"SeparateAlphaBlendEnable", 206, K::Bool},
    {"SrcBlendAlpha", 207, K::Blend},
    {"DestBlendAlpha", 208, K::Blend},
    {"BlendOpAlpha", 209, K::BlendOp},
    // The original compiler's spelling, one 'l' short; files written for it may use either.
    {"EnableAdaptiveTesselation", 184, K::Bool},
};

const FxStateInfo kSamplerStates[] = {
    {"AddressU", 1, K::Address},    {"AddressV", 2, K::Address},
    {"AddressW", 3, K::Address},    {"BorderColor", 4, K::Color},
    {"MagFilter", 5, K::Filter},    {"MinFilter", 6, K::Filter},
    {"MipFilter", 7, K::Filter},    {"MipMapLODBias", 8, K::Float},
    {"MaxMipLevel", 9, K::Integer}, {"MaxAnisotropy", 10, K::Integer},
    {"SRGBTexture", 11, K::Bool},   {"ElementIndex", 12, K::Integer},
    {"DMapOffset", 13, K::Integer},
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
    // Not the original compiler's names: MonoGame's effects write the whole mask and none so.
    {K::ColorMask, "All", 15},
    {K::ColorMask, "None", 0},
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
    {K::Wrap, "U", 1},
    {K::Wrap, "V", 2},
    {K::Wrap, "W", 4},
    {K::Wrap, "Coord_0", 1},
    {K::Wrap, "Coord_1", 2},
    {K::Wrap, "Coord_2", 4},
    {K::Wrap, "Coord_3", 8},
    {K::ClipPlanes, "ClipPlane0", 1},
    {K::ClipPlanes, "ClipPlane1", 2},
    {K::ClipPlanes, "ClipPlane2", 4},
    {K::ClipPlanes, "ClipPlane3", 8},
    {K::ClipPlanes, "ClipPlane4", 16},
    {K::ClipPlanes, "ClipPlane5", 32},
    {K::MaterialSource, "Material", 0},
    {K::MaterialSource, "Color1", 1},
    {K::MaterialSource, "Color2", 2},
    {K::VertexBlend, "Disable", 0},
    {K::VertexBlend, "1Weights", 1},
    {K::VertexBlend, "2Weights", 2},
    {K::VertexBlend, "3Weights", 3},
    {K::VertexBlend, "Tweening", 255},
    {K::VertexBlend, "0Weights", 256},
    {K::PatchEdge, "Discrete", 0},
    {K::PatchEdge, "Continuous", 1},
    {K::Degree, "Linear", 1},
    {K::Degree, "Quadratic", 2},
    {K::Degree, "Cubic", 3},
    {K::Degree, "Quintic", 4},
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

bool IsFxMaskKind(FxValueKind kind) {
  return kind == K::ColorMask || kind == K::Wrap || kind == K::ClipPlanes;
}

}  // namespace formats
