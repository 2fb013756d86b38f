// The original platform's fixed-function pipeline as generated HLSL stages: the vertex stage
// (transforms, per-vertex lighting with its formulas, texture coordinate generation and transforms)
// and the pixel stage (the texture stage cascade). What a pass's states configure (which lights,
// which operations) is known when the effect compiles and shapes the code; the values (matrices,
// colours, positions) live on the device as fixed-function values the stages read from their
// uniform block, so the program's SetTransform and earlier passes feed them as they feed the
// original device.
#pragma once
#include <cstdint>
#include <string>

namespace compiler {

// The device's fixed-function values: each slot a number of rows x columns floats per element,
// row by row, at a fixed place in one array of kFixedValueFloats.
enum FixedSlot : uint32_t {
  kFixedWorld,
  kFixedView,
  kFixedProjection,
  kFixedTextureMatrix,  // 8, one per stage
  kFixedMaterialDiffuse,
  kFixedMaterialAmbient,
  kFixedMaterialSpecular,
  kFixedMaterialEmissive,
  kFixedMaterialPower,
  kFixedAmbient,        // D3DRS_AMBIENT as a colour
  kFixedTextureFactor,  // D3DRS_TEXTUREFACTOR as a colour
  kFixedLightDiffuse,   // 8 each, one per light
  kFixedLightSpecular,
  kFixedLightAmbient,
  kFixedLightPosition,
  kFixedLightDirection,
  kFixedLightRange,
  kFixedLightFalloff,
  kFixedLightAttenuation0,
  kFixedLightAttenuation1,
  kFixedLightAttenuation2,
  kFixedLightTheta,
  kFixedLightPhi,
  kFixedStageConstant,  // 8, D3DTSS_CONSTANT
  kFixedSlotCount
};

struct FixedSlotInfo {
  const char* name;  // the HLSL global is "tobrin_ff_" + name
  uint32_t rows, columns, elements;
  uint32_t offset;  // first float in the array
};

const FixedSlotInfo& FixedSlotOf(uint32_t slot);
constexpr uint32_t kFixedValueFloats =
    3 * 16 + 8 * 16 + 4 * 4 + 1 + 2 * 4 + 8 * (3 * 4 + 2 * 3 + 7) + 8 * 4;
constexpr const char* kFixedGlobalPrefix = "tobrin_ff_";

// The device's values before anything sets them, as the original device starts: identity
// transforms, a black material, lights white and pointing along +z, the texture factor white.
void FixedDefaults(float* values);

constexpr uint32_t kFixedStages = 8, kFixedLights = 8;

// What the vertex stage is made of. Numbers are the original platform's: D3DLIGHT_* types,
// D3DTSS_TCI_* flags with the coordinate set, D3DTTFF_* flags.
struct FixedVertexConfig {
  bool lighting = true, specular = false, localViewer = true, normalizeNormals = false;
  uint32_t lightType[kFixedLights] = {};  // 0 when the light is off
  uint32_t texCoordIndex[kFixedStages] = {0, 1, 2, 3, 4, 5, 6, 7};
  uint32_t transformFlags[kFixedStages] = {};
};

// What the pixel stage is made of: per stage D3DTOP_* operations and D3DTA_* arguments, and the
// texture unit the stage reads (-1 when it has no texture).
struct FixedStageConfig {
  uint32_t colorOp = 1, colorArg[3] = {1, 2, 1};  // arg0, arg1, arg2
  uint32_t alphaOp = 1, alphaArg[3] = {1, 2, 1};
  uint32_t resultArg = 1;
  uint32_t transformFlags = 0;
  int32_t unit = -1;
};

struct FixedPixelConfig {
  FixedStageConfig stages[kFixedStages];
  bool specular = false;
};

// The platform's defaults: stage 0 modulates the texture with the diffuse colour and takes the
// texture's alpha; the other stages are off.
FixedPixelConfig DefaultPixelConfig();

// HLSL for the stages: the entry's name, and the text (globals named after their slots). Both are
// deterministic functions of the configuration, so equal configurations compile once. False with
// the reason for an operation the generated stage does not perform (bump mapping).
bool FixedVertexHlsl(const FixedVertexConfig& config, std::string* entry, std::string* hlsl);
bool FixedPixelHlsl(const FixedPixelConfig& config, std::string* entry, std::string* hlsl,
                    std::string* why);
// The HLSL name of the sampler of texture unit `unit` in the pixel stage.
std::string FixedSamplerName(uint32_t unit);

}  // namespace compiler
