// Tables of the fixed-function pass states of D3D9 effects, with the original platform's numbers.
#include "formats/fx_fixed_states.hpp"

#include "formats/fx_states.hpp"

namespace formats {
namespace {

using F = FxFixed;
using V = FxFixedValue;

const FxFixedStateInfo kStates[] = {
    {"WorldTransform", F::WorldTransform, V::Matrix, 256},
    {"ViewTransform", F::ViewTransform, V::Matrix, 1},
    {"ProjectionTransform", F::ProjectionTransform, V::Matrix, 1},
    {"TextureTransform", F::TextureTransform, V::Matrix, 8},
    {"MaterialDiffuse", F::MaterialDiffuse, V::Color, 1},
    {"MaterialAmbient", F::MaterialAmbient, V::Color, 1},
    {"MaterialSpecular", F::MaterialSpecular, V::Color, 1},
    {"MaterialEmissive", F::MaterialEmissive, V::Color, 1},
    {"MaterialPower", F::MaterialPower, V::Float, 1},
    {"LightType", F::LightType, V::LightType, 8},
    {"LightDiffuse", F::LightDiffuse, V::Color, 8},
    {"LightSpecular", F::LightSpecular, V::Color, 8},
    {"LightAmbient", F::LightAmbient, V::Color, 8},
    {"LightPosition", F::LightPosition, V::Vector, 8},
    {"LightDirection", F::LightDirection, V::Vector, 8},
    {"LightRange", F::LightRange, V::Float, 8},
    {"LightFalloff", F::LightFalloff, V::Float, 8},
    {"LightAttenuation0", F::LightAttenuation0, V::Float, 8},
    {"LightAttenuation1", F::LightAttenuation1, V::Float, 8},
    {"LightAttenuation2", F::LightAttenuation2, V::Float, 8},
    {"LightTheta", F::LightTheta, V::Float, 8},
    {"LightPhi", F::LightPhi, V::Float, 8},
    {"LightEnable", F::LightEnable, V::Bool, 8},
    {"Texture", F::Texture, V::Texture, 8},
    {"ColorOp", F::ColorOp, V::TextureOp, 8},
    {"ColorArg0", F::ColorArg0, V::TextureArg, 8},
    {"ColorArg1", F::ColorArg1, V::TextureArg, 8},
    {"ColorArg2", F::ColorArg2, V::TextureArg, 8},
    {"AlphaOp", F::AlphaOp, V::TextureOp, 8},
    {"AlphaArg0", F::AlphaArg0, V::TextureArg, 8},
    {"AlphaArg1", F::AlphaArg1, V::TextureArg, 8},
    {"AlphaArg2", F::AlphaArg2, V::TextureArg, 8},
    {"ResultArg", F::ResultArg, V::TextureArg, 8},
    {"TexCoordIndex", F::TexCoordIndex, V::TexCoordIndex, 8},
    {"TextureTransformFlags", F::TextureTransformFlags, V::TransformFlags, 8},
    {"BumpEnvMat00", F::BumpEnvMat00, V::Float, 8},
    {"BumpEnvMat01", F::BumpEnvMat01, V::Float, 8},
    {"BumpEnvMat10", F::BumpEnvMat10, V::Float, 8},
    {"BumpEnvMat11", F::BumpEnvMat11, V::Float, 8},
    {"BumpEnvLScale", F::BumpEnvLScale, V::Float, 8},
    {"BumpEnvLOffset", F::BumpEnvLOffset, V::Float, 8},
    {"Constant", F::Constant, V::Color, 8},
};

struct Named {
  V kind;
  const char* name;
  uint32_t value;
};

const Named kValues[] = {
    {V::Bool, "FALSE", 0},
    {V::Bool, "TRUE", 1},
    {V::LightType, "Point", 1},
    {V::LightType, "Spot", 2},
    {V::LightType, "Directional", 3},
    {V::TextureOp, "Disable", 1},
    {V::TextureOp, "SelectArg1", 2},
    {V::TextureOp, "SelectArg2", 3},
    {V::TextureOp, "Modulate", 4},
    {V::TextureOp, "Modulate2x", 5},
    {V::TextureOp, "Modulate4x", 6},
    {V::TextureOp, "Add", 7},
    {V::TextureOp, "AddSigned", 8},
    {V::TextureOp, "AddSigned2x", 9},
    {V::TextureOp, "Subtract", 10},
    {V::TextureOp, "AddSmooth", 11},
    {V::TextureOp, "BlendDiffuseAlpha", 12},
    {V::TextureOp, "BlendTextureAlpha", 13},
    {V::TextureOp, "BlendFactorAlpha", 14},
    {V::TextureOp, "BlendTextureAlphaPM", 15},
    {V::TextureOp, "BlendCurrentAlpha", 16},
    {V::TextureOp, "PreModulate", 17},
    {V::TextureOp, "ModulateAlpha_AddColor", 18},
    {V::TextureOp, "ModulateColor_AddAlpha", 19},
    {V::TextureOp, "ModulateInvAlpha_AddColor", 20},
    {V::TextureOp, "ModulateInvColor_AddAlpha", 21},
    {V::TextureOp, "BumpEnvMap", 22},
    {V::TextureOp, "BumpEnvMapLuminance", 23},
    {V::TextureOp, "DotProduct3", 24},
    {V::TextureOp, "MultiplyAdd", 25},
    {V::TextureOp, "Lerp", 26},
    {V::TextureArg, "Diffuse", 0},
    {V::TextureArg, "Current", 1},
    {V::TextureArg, "Texture", 2},
    {V::TextureArg, "TFactor", 3},
    {V::TextureArg, "Specular", 4},
    {V::TextureArg, "Temp", 5},
    {V::TextureArg, "Constant", 6},
    {V::TextureArg, "Complement", 0x10},
    {V::TextureArg, "AlphaReplicate", 0x20},
    {V::TexCoordIndex, "PassThru", 0},
    {V::TexCoordIndex, "CameraSpaceNormal", 0x10000},
    {V::TexCoordIndex, "CameraSpacePosition", 0x20000},
    {V::TexCoordIndex, "CameraSpaceReflectionVector", 0x30000},
    {V::TexCoordIndex, "SphereMap", 0x40000},
    {V::TransformFlags, "Disable", 0},
    {V::TransformFlags, "Count1", 1},
    {V::TransformFlags, "Count2", 2},
    {V::TransformFlags, "Count3", 3},
    {V::TransformFlags, "Count4", 4},
    {V::TransformFlags, "Projected", 256},
};

}  // namespace

const FxFixedStateInfo* FindFxFixedState(std::string_view name) {
  for (const FxFixedStateInfo& s : kStates)
    if (FxEqualIgnoringCase(s.name, name)) return &s;
  return nullptr;
}

bool FindFxFixedValue(FxFixedValue kind, std::string_view name, uint32_t* value) {
  for (const Named& n : kValues)
    if (n.kind == kind && FxEqualIgnoringCase(n.name, name)) {
      *value = n.value;
      return true;
    }
  return false;
}

}  // namespace formats
