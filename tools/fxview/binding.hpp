// Which of the fixed inputs each parameter of an effect gets, and setting them through the
// graphics seam. A parameter is matched by its semantic first (case-insensitive), then by its
// annotations (a DXSAS bind address, a UI label), then by its name; one that matches nothing, or
// whose type does not fit what it matched, keeps the value the file gives it.
// docs/effect-reference.md lists the names and values.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "render/gfx/gfx.hpp"
#include "tools/fxview/scene.hpp"

namespace fxview {

enum class Input : uint8_t {
  None,
  Matrix,             // one of the transforms, see MatrixBase and MatrixVariant
  ViewportPixelSize,  // float2 (width, height)
  ViewportWidth,
  ViewportHeight,
  Time,
  LightDirection,  // the way the light travels (SAS, XNA)
  LightVector,     // towards the light (the DirectX SDK samples): the same light
  LightPosition,
  LightColour,
  LightAmbient,
  MaterialDiffuse,
  MaterialSpecular,
  MaterialAmbient,
  SpecularPower,
  CameraPosition,
  Texture,  // the file its annotation names, else the checker
};

enum class MatrixBase : uint8_t {
  World,
  View,
  Projection,
  WorldView,
  ViewProjection,
  WorldViewProjection
};
enum class MatrixVariant : uint8_t { Plain, Inverse, Transpose, InverseTranspose };

// A parameter as the effect describes it.
struct ParameterInfo {
  gfx::Handle handle = nullptr;
  std::string name, semantic;
  gfx::ParameterClass shape = gfx::PC_SCALAR;
  gfx::ParameterType type = gfx::PT_FLOAT;
  uint32_t rows = 0, columns = 0;
  std::vector<std::pair<std::string, std::string>> strings;  // string annotations: name, text
};

struct Binding {
  Input input = Input::None;
  MatrixBase base = MatrixBase::World;
  MatrixVariant variant = MatrixVariant::Plain;
  std::string file;  // textures: the file an annotation names, as written
  std::string how;   // what matched: "semantic WORLD", "name g_mWorld", "annotation UIName"
};

// Every top-level parameter of the effect, in its order.
std::vector<ParameterInfo> ReadParameters(gfx::Effect* effect);

Binding Classify(const ParameterInfo& parameter);

// "WORLDVIEWPROJECTION", "VIEWINVERSE", "LIGHTDIRECTION", "TEXTURE ripples.dds"…
std::string Describe(const Binding& binding);

// The value of a matrix input in the scene.
gfx::Matrix MatrixOf(const FixedScene& scene, MatrixBase base, MatrixVariant variant);

// Sets every parameter that has a binding. Textures: the named file, found beside the effect file
// (effectFolder, "" for the current folder), else `fallback`; each texture that had to fall back,
// and each value the effect refused, gets a line in *notes. Textures loaded here are added to
// *textures for the caller to release after the effect.
void Bind(gfx::Device* device, gfx::Effect* effect, const FixedScene& scene,
          const std::vector<ParameterInfo>& parameters, const std::string& effectFolder,
          gfx::Texture* fallback, std::vector<gfx::Texture*>* textures,
          std::vector<std::string>* notes);

}  // namespace fxview
