// The fixed-function states of D3D9 effect passes (transforms, material, lights, texture stages):
// their names, whether they take an index, how their values are written, and the names of those
// values with the original platform's numbers (D3DTOP_*, D3DTA_*, D3DLIGHT_*, D3DTSS_TCI_*...).
#pragma once
#include <cstdint>
#include <string_view>

#include "formats/fx_effect.hpp"

namespace formats {

enum class FxFixedValue : uint8_t {
  Matrix,          // a float4x4 parameter or constant
  Color,           // a float4 (D3DCOLORVALUE)
  Vector,          // a float3
  Float,           // a float
  Bool,            // TRUE/FALSE
  LightType,       // Point Spot Directional
  TextureOp,       // Disable SelectArg1 ... Lerp
  TextureArg,      // Diffuse Current Texture TFactor Specular Temp Constant | Complement ...
  TexCoordIndex,   // a number | PassThru CameraSpaceNormal ... SphereMap
  TransformFlags,  // Disable Count1 ... Count4 | Projected
  Texture,         // a texture parameter or NULL
};

struct FxFixedStateInfo {
  const char* name;
  FxFixed state;
  FxFixedValue value;
  uint32_t indices;  // how many [n] it takes: 1 when it takes none
};

// The fixed-function state of that name, or null.
const FxFixedStateInfo* FindFxFixedState(std::string_view name);
// A named value of that kind; false when the name is not one of them.
bool FindFxFixedValue(FxFixedValue kind, std::string_view name, uint32_t* value);

}  // namespace formats
