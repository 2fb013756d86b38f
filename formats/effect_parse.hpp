// Effect file parser: turns the text of an effect file (docs/effect-format.md) into a description.
// Pure C++, no GL, so it can be fed arbitrary bytes from a fuzzer. Limits: kMaxEffectFileBytes of
// text and the counts below; the first error stops the parse and is reported with its file line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace formats {

constexpr size_t kMaxEffectFileBytes = 1u << 20;
constexpr size_t kMaxEffectParameters = 256;
constexpr size_t kMaxEffectSamplers = 16;  // one texture unit each; GL 3.3 guarantees 16 per stage
constexpr size_t kMaxEffectShaders = 256;
constexpr size_t kMaxEffectTechniques = 64;
constexpr size_t kMaxEffectPasses = 32;  // per technique
constexpr size_t kMaxEffectNameLength = 64;

enum class ParamType : uint8_t { Float, Float2, Float3, Float4, Float4x4, Texture };

// Number of floats a parameter of this type holds (0 for a texture).
constexpr uint32_t FloatCount(ParamType type) {
  switch (type) {
    case ParamType::Float: return 1;
    case ParamType::Float2: return 2;
    case ParamType::Float3: return 3;
    case ParamType::Float4: return 4;
    case ParamType::Float4x4: return 16;
    case ParamType::Texture: return 0;
  }
  return 0;
}

struct EffectParameter {
  std::string name;
  ParamType type = ParamType::Float;
  float value[16] = {};  // initial value, zero where the file gives none
  int line = 0;
};

enum class Filter : uint8_t {
  Nearest,
  Linear,
  NearestMipmapNearest,
  LinearMipmapNearest,
  NearestMipmapLinear,
  LinearMipmapLinear
};
enum class Address : uint8_t { Wrap, Clamp, Mirror };

struct EffectSampler {
  std::string name;
  std::string textureName;
  uint32_t texture = 0;  // index of the texture parameter in EffectDescription::parameters
  Filter minFilter = Filter::Linear, magFilter = Filter::Linear;
  Address addressU = Address::Wrap, addressV = Address::Wrap;
  int line = 0;
};

enum class ShaderStage : uint8_t { Vertex, Fragment };

struct EffectShader {
  std::string name;
  ShaderStage stage = ShaderStage::Vertex;
  std::string body;  // the text between the braces, untouched
  int bodyLine = 0;  // effect-file line of the body's first character
  int line = 0;      // line of the declaration
};

enum class CullMode : uint8_t { None, CW, CCW };
enum class Blend : uint8_t {
  Zero,
  One,
  SrcAlpha,
  InvSrcAlpha,
  SrcColor,
  InvSrcColor,
  DestAlpha,
  InvDestAlpha,
  DestColor,
  InvDestColor
};
enum class FillMode : uint8_t { Solid, Wireframe, Point };

// Bits of EffectPass::stateMask: the states a pass names. The others stay as the device has them.
enum PassState : uint32_t {
  kStateCull = 1,
  kStateZEnable = 2,
  kStateZWrite = 4,
  kStateBlendEnable = 8,
  kStateSrcBlend = 16,
  kStateDestBlend = 32,
  kStateFill = 64
};

struct EffectPass {
  std::string name;
  uint32_t vertexShader = 0, fragmentShader = 0;  // indices into EffectDescription::shaders
  std::string vertexShaderName, fragmentShaderName;
  uint32_t stateMask = 0;
  CullMode cull = CullMode::None;
  bool zEnable = true, zWrite = true, blendEnable = false;
  Blend srcBlend = Blend::One, destBlend = Blend::Zero;
  FillMode fill = FillMode::Solid;
  int line = 0;
};

struct EffectTechnique {
  std::string name;
  std::vector<EffectPass> passes;
  int line = 0;
};

struct EffectDescription {
  std::vector<EffectParameter> parameters;
  std::vector<EffectSampler> samplers;
  bool hasCommon = false;
  std::string common;  // the `glsl common` body, prepended to every stage
  int commonLine = 0;
  std::vector<EffectShader> shaders;
  std::vector<EffectTechnique> techniques;  // in file order; the first is current at creation
};

// Parses size bytes of text (not NUL-terminated; any byte values). fileLabel names the file in
// the error text. On success fills *out and returns true; on failure returns false and sets *error
// to "FILE(LINE): error: MESSAGE".
bool ParseEffect(const char* fileLabel, const char* text, size_t size, EffectDescription* out,
                 std::string* error);

}  // namespace formats
