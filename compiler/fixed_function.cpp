// The fixed-function stages as HLSL. The formulas are the original platform's documented ones:
// lighting in camera space with the inverse transpose of world x view for normals, attenuation
// 1 / (a0 + a1 d + a2 d^2) within the range, the spot cone between theta and phi with its falloff,
// Blinn-Phong specular with the halfway vector; the texture stages' operations on their
// arguments, each result clamped to [0, 1].
#include "compiler/fixed_function.hpp"

#include <cstring>

namespace compiler {
namespace {

constexpr FixedSlotInfo kSlots[kFixedSlotCount] = {
    {"world", 4, 4, 0, 0},
    {"view", 4, 4, 0, 16},
    {"projection", 4, 4, 0, 32},
    {"texture_matrix", 4, 4, 8, 48},
    {"material_diffuse", 1, 4, 0, 176},
    {"material_ambient", 1, 4, 0, 180},
    {"material_specular", 1, 4, 0, 184},
    {"material_emissive", 1, 4, 0, 188},
    {"material_power", 1, 1, 0, 192},
    {"ambient", 1, 4, 0, 193},
    {"texture_factor", 1, 4, 0, 197},
    {"light_diffuse", 1, 4, 8, 201},
    {"light_specular", 1, 4, 8, 233},
    {"light_ambient", 1, 4, 8, 265},
    {"light_position", 1, 3, 8, 297},
    {"light_direction", 1, 3, 8, 321},
    {"light_range", 1, 1, 8, 345},
    {"light_falloff", 1, 1, 8, 353},
    {"light_attenuation0", 1, 1, 8, 361},
    {"light_attenuation1", 1, 1, 8, 369},
    {"light_attenuation2", 1, 1, 8, 377},
    {"light_theta", 1, 1, 8, 385},
    {"light_phi", 1, 1, 8, 393},
    {"stage_constant", 1, 4, 8, 401},
};
static_assert(401 + 32 == kFixedValueFloats, "the slots fill the array");

std::string Declare(uint32_t slot) {
  const FixedSlotInfo& s = kSlots[slot];
  std::string type = "float";
  if (s.rows > 1)
    type += std::to_string(s.rows) + "x" + std::to_string(s.columns);
  else if (s.columns > 1)
    type += std::to_string(s.columns);
  std::string text = type + " " + kFixedGlobalPrefix + s.name;
  if (s.elements) text += "[" + std::to_string(s.elements) + "]";
  return text + ";\n";
}

std::string G(uint32_t slot) { return std::string(kFixedGlobalPrefix) + kSlots[slot].name; }
std::string G(uint32_t slot, uint32_t element) {
  return G(slot) + "[" + std::to_string(element) + "]";
}

// The lit colours of one light, added to diffuse, specular and ambient sums.
std::string LightCode(uint32_t i, uint32_t type, bool specular) {
  const std::string n = std::to_string(i);
  std::string c = "  {\n    float3 L; float atten = 1.0; float spot = 1.0;\n";
  if (type == 3) {
    c += "    L = -normalize(mul(" + G(kFixedLightDirection, i) + ", (float3x3)" + G(kFixedView) +
         "));\n";
  } else {
    c += "    float3 toLight = mul(float4(" + G(kFixedLightPosition, i) + ", 1.0), " +
         G(kFixedView) + ").xyz - vpos;\n";
    c += "    float d = length(toLight);\n    L = d > 0.0 ? toLight / d : float3(0.0, 0.0, 0.0);\n";
    c += "    float a = " + G(kFixedLightAttenuation0, i) + " + d * " +
         G(kFixedLightAttenuation1, i) + " + d * d * " + G(kFixedLightAttenuation2, i) + ";\n";
    c += "    atten = d > " + G(kFixedLightRange, i) + " ? 0.0 : (a > 0.0 ? 1.0 / a : 0.0);\n";
    if (type == 2) {
      c += "    float3 axis = normalize(mul(" + G(kFixedLightDirection, i) + ", (float3x3)" +
           G(kFixedView) + "));\n";
      c += "    float rho = dot(-L, axis);\n";
      c += "    float inner = cos(" + G(kFixedLightTheta, i) + " * 0.5), outer = cos(" +
           G(kFixedLightPhi, i) + " * 0.5);\n";
      c += "    spot = rho > inner ? 1.0 : (rho <= outer ? 0.0 : pow(saturate((rho - outer) / "
           "max(inner - outer, 1e-6)), " +
           G(kFixedLightFalloff, i) + "));\n";
    }
  }
  c += "    float NdotL = dot(normal, L);\n";
  c += "    float k = atten * spot;\n";
  c += "    ambientSum += " + G(kFixedLightAmbient, i) + ".rgb * k;\n";
  c += "    diffuseSum += " + G(kFixedLightDiffuse, i) + ".rgb * max(NdotL, 0.0) * k;\n";
  if (specular) {
    c += "    if (NdotL > 0.0) {\n      float3 H = normalize(toViewer + L);\n";
    c += "      specularSum += " + G(kFixedLightSpecular, i) + ".rgb * pow(max(dot(normal, H), " +
         "0.0), " + G(kFixedMaterialPower) + ") * k;\n    }\n";
  }
  (void)n;
  return c + "  }\n";
}

// One texture stage argument (D3DTA_* with its modifiers) as HLSL.
std::string Argument(uint32_t arg, const std::string& texture, uint32_t stage) {
  std::string v;
  switch (arg & 0xF) {
    case 0: v = "diffuse"; break;
    case 1: v = "current"; break;
    case 2: v = texture; break;
    case 3: v = G(kFixedTextureFactor); break;
    case 4: v = "specular"; break;
    case 5: v = "temp"; break;
    case 6: v = G(kFixedStageConstant, stage); break;
    default: v = "current"; break;
  }
  if (arg & 0x20) v = "(" + v + ").aaaa";
  if (arg & 0x10) v = "(1.0 - " + v + ")";
  return v;
}

bool UsesTexture(uint32_t op, const uint32_t* args) {
  const auto is = [](uint32_t a) { return (a & 0xF) == 2; };
  switch (op) {
    case 1: return false;
    case 2: return is(args[1]);
    case 3: return is(args[2]);
    case 13:
    case 15: return true;  // BLENDTEXTUREALPHA(PM) read the texture's alpha
    case 25:
    case 26: return is(args[0]) || is(args[1]) || is(args[2]);
    default: return is(args[1]) || is(args[2]);
  }
}

// The result of D3DTOP_* `op` on the arguments, of type `type` ("float3" or "float").
bool Operation(uint32_t op, const std::string& a0, const std::string& a1, const std::string& a2,
               const std::string& texture, const std::string& swizzle, std::string* out,
               std::string* why) {
  const auto alphaOf = [](const std::string& v) { return "(" + v + ").a"; };
  const std::string s1 = "(" + a1 + ")" + swizzle, s2 = "(" + a2 + ")" + swizzle,
                    s0 = "(" + a0 + ")" + swizzle;
  switch (op) {
    case 2: *out = s1; break;
    case 3: *out = s2; break;
    case 4: *out = s1 + " * " + s2; break;
    case 5: *out = s1 + " * " + s2 + " * 2.0"; break;
    case 6: *out = s1 + " * " + s2 + " * 4.0"; break;
    case 7: *out = s1 + " + " + s2; break;
    case 8: *out = s1 + " + " + s2 + " - 0.5"; break;
    case 9: *out = "(" + s1 + " + " + s2 + " - 0.5) * 2.0"; break;
    case 10: *out = s1 + " - " + s2; break;
    case 11: *out = s1 + " + " + s2 + " - " + s1 + " * " + s2; break;
    case 12:
    case 13:
    case 14:
    case 16: {
      const std::string f = op == 12   ? "diffuse.a"
                            : op == 13 ? alphaOf(texture)
                            : op == 14 ? G(kFixedTextureFactor) + ".a"
                                       : "current.a";
      *out = s1 + " * " + f + " + " + s2 + " * (1.0 - " + f + ")";
      break;
    }
    case 15: *out = s1 + " + " + s2 + " * (1.0 - " + alphaOf(texture) + ")"; break;
    case 17: *out = s1; break;  // PREMODULATE: the next stage's texture is not known here
    case 18: *out = s1 + " + " + alphaOf(a1) + " * " + s2; break;
    case 19: *out = s1 + " * " + s2 + " + " + alphaOf(a1); break;
    case 20: *out = "(1.0 - " + alphaOf(a1) + ") * " + s2 + " + " + s1; break;
    case 21: *out = "(1.0 - " + s1 + ") * " + s2 + " + " + alphaOf(a1); break;
    case 24:
      *out = "dot((" + a1 + ").rgb - 0.5, (" + a2 + ").rgb - 0.5) * 4.0";
      if (swizzle == ".rgb") *out = "(" + *out + ").xxx";
      break;
    case 25: *out = s0 + " + " + s1 + " * " + s2; break;
    case 26: *out = s0 + " * " + s1 + " + (1.0 - " + s0 + ") * " + s2; break;
    default:
      *why = "texture stage operation " + std::to_string(op) +
             (op == 22 || op == 23 ? " (bump environment mapping)" : "") + " is not supported";
      return false;
  }
  return true;
}

}  // namespace

const FixedSlotInfo& FixedSlotOf(uint32_t slot) {
  return kSlots[slot < kFixedSlotCount ? slot : 0];
}

void FixedDefaults(float* values) {
  std::memset(values, 0, kFixedValueFloats * sizeof(float));
  const auto identity = [&](uint32_t offset) {
    for (int i = 0; i < 4; ++i) values[offset + i * 5] = 1.0f;
  };
  identity(kSlots[kFixedWorld].offset);
  identity(kSlots[kFixedView].offset);
  identity(kSlots[kFixedProjection].offset);
  for (uint32_t s = 0; s < kFixedStages; ++s) identity(kSlots[kFixedTextureMatrix].offset + 16 * s);
  for (int c = 0; c < 4; ++c) values[kSlots[kFixedTextureFactor].offset + c] = 1.0f;
  for (uint32_t l = 0; l < kFixedLights; ++l) {
    for (int c = 0; c < 3; ++c) values[kSlots[kFixedLightDiffuse].offset + 4 * l + c] = 1.0f;
    values[kSlots[kFixedLightDirection].offset + 3 * l + 2] = 1.0f;
  }
}

FixedPixelConfig DefaultPixelConfig() {
  FixedPixelConfig config;
  config.stages[0].colorOp = 4;  // MODULATE
  config.stages[0].alphaOp = 2;  // SELECTARG1
  return config;
}

std::string FixedSamplerName(uint32_t unit) { return "tobrin_ff_s" + std::to_string(unit); }

bool FixedVertexHlsl(const FixedVertexConfig& config, std::string* entry, std::string* hlsl) {
  *entry = "tobrin_ff_vs";
  std::string h;
  for (uint32_t slot = 0; slot < kFixedSlotCount; ++slot)
    if (slot != kFixedTextureFactor && slot != kFixedStageConstant) h += Declare(slot);
  h += "struct tobrin_ff_vs_out {\n  float4 position : POSITION;\n  float4 diffuse : COLOR0;\n"
       "  float4 specular : COLOR1;\n";
  for (uint32_t t = 0; t < kFixedStages; ++t)
    h += "  float4 t" + std::to_string(t) + " : TEXCOORD" + std::to_string(t) + ";\n";
  h += "};\n";
  h += "tobrin_ff_vs_out tobrin_ff_vs(float4 position : POSITION, float3 inNormal : NORMAL";
  // The coordinate sets the stages read, as the mesh gives them.
  bool read[kFixedStages] = {};
  for (uint32_t t = 0; t < kFixedStages; ++t)
    if ((config.texCoordIndex[t] >> 16) == 0) read[config.texCoordIndex[t] & 7] = true;
  for (uint32_t t = 0; t < kFixedStages; ++t)
    if (read[t]) h += ", float4 in" + std::to_string(t) + " : TEXCOORD" + std::to_string(t);
  h += ") {\n  tobrin_ff_vs_out o;\n";
  h += "  float4x4 worldView = mul(" + G(kFixedWorld) + ", " + G(kFixedView) + ");\n";
  h += "  float4 eye = mul(position, worldView);\n  float3 vpos = eye.xyz;\n";
  h += "  o.position = mul(eye, " + G(kFixedProjection) + ");\n";
  // Normals go through the inverse transpose of world x view: the cofactors over the determinant.
  h += "  float3 r0 = worldView[0].xyz, r1 = worldView[1].xyz, r2 = worldView[2].xyz;\n";
  h += "  float det = dot(r0, cross(r1, r2));\n";
  h += "  float3 normal = (inNormal.x * cross(r1, r2) + inNormal.y * cross(r2, r0) + "
       "inNormal.z * cross(r0, r1)) / (det != 0.0 ? det : 1.0);\n";
  if (config.normalizeNormals) h += "  normal = normalize(normal);\n";
  h += "  float3 toViewer = " +
       std::string(config.localViewer ? "-normalize(vpos)" : "float3(0.0, 0.0, -1.0)") + ";\n";
  if (config.lighting) {
    h += "  float3 ambientSum = 0.0, diffuseSum = 0.0, specularSum = 0.0;\n";
    for (uint32_t l = 0; l < kFixedLights; ++l)
      if (config.lightType[l] >= 1 && config.lightType[l] <= 3)
        h += LightCode(l, config.lightType[l], config.specular);
    h += "  o.diffuse.rgb = " + G(kFixedMaterialEmissive) + ".rgb + " + G(kFixedMaterialAmbient) +
         ".rgb * (" + G(kFixedAmbient) + ".rgb + ambientSum) + " + G(kFixedMaterialDiffuse) +
         ".rgb * diffuseSum;\n";
    h += "  o.diffuse.a = " + G(kFixedMaterialDiffuse) + ".a;\n";
    h += "  o.specular = float4(" + G(kFixedMaterialSpecular) + ".rgb * specularSum, " +
         G(kFixedMaterialSpecular) + ".a);\n";
    h += "  o.diffuse = saturate(o.diffuse);\n  o.specular = saturate(o.specular);\n";
  } else {
    // The meshes carry no vertex colours: unlit vertices are opaque white with no specular.
    h += "  o.diffuse = float4(1.0, 1.0, 1.0, 1.0);\n  o.specular = float4(0.0, 0.0, 0.0, 0.0);\n";
  }
  h += "  float3 reflected = reflect(normalize(vpos), normalize(normal));\n";
  for (uint32_t t = 0; t < kFixedStages; ++t) {
    const std::string out = "o.t" + std::to_string(t);
    const uint32_t index = config.texCoordIndex[t];
    const uint32_t count = config.transformFlags[t] & 0xFF;
    std::string coords;
    switch (index >> 16) {
      case 1: coords = "float4(normal, 1.0)"; break;
      case 2: coords = "float4(vpos, 1.0)"; break;
      case 3: coords = "float4(reflected, 1.0)"; break;
      case 4:
        coords =
            "float4(reflected.xy / (2.0 * sqrt(dot(reflected.xy, reflected.xy) + "
            "(reflected.z + 1.0) * (reflected.z + 1.0))) + 0.5, 0.0, 1.0)";
        break;
      default:
        // Two-component coordinates enter a texture transform as (u, v, 1, 0): the matrix's
        // third row translates them.
        coords = "in" + std::to_string(index & 7);
        if (count) coords = "float4(" + coords + ".xy, 1.0, 0.0)";
        break;
    }
    if (count) coords = "mul(" + coords + ", " + G(kFixedTextureMatrix, t) + ")";
    h += "  " + out + " = " + coords + ";\n";
  }
  h += "  return o;\n}\n";
  *hlsl = std::move(h);
  return true;
}

bool FixedPixelHlsl(const FixedPixelConfig& config, std::string* entry, std::string* hlsl,
                    std::string* why) {
  *entry = "tobrin_ff_ps";
  std::string h = Declare(kFixedTextureFactor) + Declare(kFixedStageConstant);
  std::string body;
  bool sampled[kFixedStages] = {};
  for (uint32_t n = 0; n < kFixedStages; ++n) {
    FixedStageConfig s = config.stages[n];
    if (s.colorOp == 1) break;  // DISABLE ends the cascade
    const std::string sn = std::to_string(n);
    const bool hasTexture = s.unit >= 0;
    // An operation on a texture the stage does not have passes the current colour on.
    if (!hasTexture && UsesTexture(s.colorOp, s.colorArg)) s.colorOp = 2, s.colorArg[1] = 1;
    if (!hasTexture && UsesTexture(s.alphaOp, s.alphaArg)) s.alphaOp = 2, s.alphaArg[1] = 1;
    std::string texture = "float4(1.0, 1.0, 1.0, 1.0)";
    if (hasTexture) {
      const std::string sampler = FixedSamplerName(static_cast<uint32_t>(s.unit));
      if (h.find(sampler + ";") == std::string::npos) h += "sampler2D " + sampler + ";\n";
      std::string coords = "t" + sn + ".xy";
      if (s.transformFlags & 256) {
        const uint32_t count = s.transformFlags & 0xFF;
        const char* q = count == 2 ? "y" : count == 3 ? "z" : "w";
        coords = "(t" + sn + ".xy / t" + sn + "." + q + ")";
      }
      body += "  float4 tex" + sn + " = tex2D(" + sampler + ", " + coords + ");\n";
      texture = "tex" + sn;
      sampled[n] = true;
    }
    std::string colour, alpha;
    const std::string c0 = Argument(s.colorArg[0], texture, n),
                      c1 = Argument(s.colorArg[1], texture, n),
                      c2 = Argument(s.colorArg[2], texture, n);
    if (!Operation(s.colorOp, c0, c1, c2, texture, ".rgb", &colour, why)) return false;
    const std::string a0 = Argument(s.alphaArg[0], texture, n),
                      a1 = Argument(s.alphaArg[1], texture, n),
                      a2 = Argument(s.alphaArg[2], texture, n);
    if (s.alphaOp == 1) {
      alpha = "current.a";  // the alpha of the stage before goes on
    } else if (!Operation(s.alphaOp, a0, a1, a2, texture, ".a", &alpha, why)) {
      return false;
    }
    const std::string target = (s.resultArg & 0xF) == 5 ? "temp" : "current";
    body += "  {\n    float3 c = saturate(" + colour + ");\n    float a = saturate(" + alpha +
            ");\n    " + target + " = float4(c, a);\n  }\n";
  }
  h += "float4 tobrin_ff_ps(float4 inDiffuse : COLOR0, float4 inSpecular : COLOR1";
  for (uint32_t n = 0; n < kFixedStages; ++n)
    if (sampled[n]) h += ", float4 t" + std::to_string(n) + " : TEXCOORD" + std::to_string(n);
  h += ") : COLOR0 {\n  float4 diffuse = saturate(inDiffuse), specular = saturate(inSpecular);\n";
  h += "  float4 current = diffuse, temp = float4(0.0, 0.0, 0.0, 0.0);\n";
  h += body;
  if (config.specular) h += "  current.rgb = saturate(current.rgb + specular.rgb);\n";
  h += "  return current;\n}\n";
  *hlsl = std::move(h);
  return true;
}

}  // namespace compiler
