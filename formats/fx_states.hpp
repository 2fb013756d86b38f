// The state names of D3D9 effect passes and sampler_state blocks, with the original platform's
// numbers (D3DRS_*, D3DSAMP_*) and the names of their values. Names compare ignoring case.
#pragma once
#include <cstdint>
#include <string_view>

namespace formats {

// How a state's value is written.
enum class FxValueKind : uint8_t {
  Bool,       // TRUE/FALSE or a number
  Cull,       // None CW CCW
  Fill,       // Point Wireframe Solid
  Compare,    // Never Less Equal LessEqual Greater NotEqual GreaterEqual Always
  Blend,      // Zero One SrcColor ... InvBlendFactor
  BlendOp,    // Add Subtract RevSubtract Min Max
  StencilOp,  // Keep Zero Replace IncrSat DecrSat Invert Incr Decr
  ZBuffer,    // FALSE TRUE UseW
  Integer,    // a number (DWORD)
  ColorMask,  // Red|Green|Blue|Alpha or a number
  Color,      // a D3DCOLOR number or float4(r, g, b, a)
  Float,      // stored as its IEEE bits
  Filter,     // None Point Linear Anisotropic PyramidalQuad GaussianQuad
  Address,    // Wrap Mirror Clamp Border MirrorOnce
  Shade,      // Flat Gouraud Phong
  Fog,        // None Exp Exp2 Linear
};

// What the effect does with a state it reads.
enum class FxStateUse : uint8_t {
  Kept,     // handed to the backend in FxPass::renderStates
  Dropped,  // a fixed-function vertex state that changes nothing while a vertex shader runs
};

struct FxStateInfo {
  const char* name;
  uint32_t number;
  FxValueKind kind;
  FxStateUse use;
  int32_t onlyValue;  // Dropped states whose other values would change the picture: the one
                      // value accepted; -1 when any value is
};

// The render state of that name, or null.
const FxStateInfo* FindFxRenderState(std::string_view name);
// The sampler state of that name (AddressU ... MaxAnisotropy, SRGBTexture), or null; Texture is
// not one of them (a sampler_state names its texture separately).
const FxStateInfo* FindFxSamplerState(std::string_view name);
// The value of a named constant for a state of this kind; false when the name is not one of them.
bool FindFxStateValue(FxValueKind kind, std::string_view name, uint32_t* value);

bool FxEqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace formats
