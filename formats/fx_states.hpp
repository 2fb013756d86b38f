// The state names of D3D9 effect passes and sampler_state blocks, with the original platform's
// numbers (D3DRS_*, D3DSAMP_*) and the names of their values. Names compare ignoring case. Every
// render state of the format is here; what each does on GL is the compiler's and the backend's
// decision (compiler/pass_states.cpp), so a pass hands every state it sets on with its number.
#pragma once
#include <cstdint>
#include <string_view>

namespace formats {

// How a state's value is written.
enum class FxValueKind : uint8_t {
  Bool,            // TRUE/FALSE or a number
  Cull,            // None CW CCW
  Fill,            // Point Wireframe Solid
  Compare,         // Never Less Equal LessEqual Greater NotEqual GreaterEqual Always
  Blend,           // Zero One SrcColor ... InvBlendFactor
  BlendOp,         // Add Subtract RevSubtract Min Max
  StencilOp,       // Keep Zero Replace IncrSat DecrSat Invert Incr Decr
  ZBuffer,         // FALSE TRUE UseW
  Integer,         // a number (DWORD)
  ColorMask,       // Red|Green|Blue|Alpha, All, None or a number
  Color,           // a D3DCOLOR number or float4(r, g, b, a)
  Float,           // stored as its IEEE bits
  Filter,          // None Point Linear Anisotropic PyramidalQuad GaussianQuad
  Address,         // Wrap Mirror Clamp Border MirrorOnce
  Shade,           // Flat Gouraud Phong
  Fog,             // None Exp Exp2 Linear
  Wrap,            // U|V|W or Coord_0..Coord_3 joined by '|', or a number
  ClipPlanes,      // ClipPlane0..ClipPlane5 joined by '|', or a number
  MaterialSource,  // Material Color1 Color2
  VertexBlend,     // Disable 1Weights 2Weights 3Weights Tweening 0Weights
  PatchEdge,       // Discrete Continuous
  Degree,          // Linear Quadratic Cubic Quintic
};

struct FxStateInfo {
  const char* name;
  uint32_t number;
  FxValueKind kind;
};

// The render state of that name, or null.
const FxStateInfo* FindFxRenderState(std::string_view name);
// The sampler state of that name (AddressU ... DMapOffset), or null; Texture is
// not one of them (a sampler_state names its texture separately).
const FxStateInfo* FindFxSamplerState(std::string_view name);
// The value of a named constant for a state of this kind; false when the name is not one of them.
bool FindFxStateValue(FxValueKind kind, std::string_view name, uint32_t* value);
// Kinds whose names are bits that '|' joins.
bool IsFxMaskKind(FxValueKind kind);

bool FxEqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace formats
