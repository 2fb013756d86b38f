// The D3D9 effect reader's outer layer: real effect files written by others (tests/data/fx,
// SOURCES.md there) each parse with known counts or fail with the message for what they use;
// then one short case per grammar edge, grouped by theme, and a mutation sweep.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "formats/effect_parse.hpp"
#include "formats/file_names.hpp"
#include "formats/fx_effect.hpp"

using namespace formats;

namespace {

struct Read {
  bool ok = false;
  FxEffect effect;
  std::string error;
};

Read ReadFile(const std::string& path) {
  Read r;
  std::string bytes, why;
  if (!ReadWholeFile(path.c_str(), kMaxEffectFileBytes, &bytes, &why)) {
    r.error = path + ": " + why;
    return r;
  }
  FxPreprocessed pre;
  r.ok = PreprocessFx(path, bytes, MakeFolderIncludeReader(path), &pre, &r.error) &&
         ParseFx(pre, &r.effect, &r.error);
  return r;
}

Read Parse(const std::string& text) {
  Read r;
  FxPreprocessed pre;
  r.ok = PreprocessFx("t.fx", text, FxIncludeReader(), &pre, &r.error) &&
         ParseFx(pre, &r.effect, &r.error);
  return r;
}

void ExpectError(const Read& r, int line, const char* fragment) {
  ASSERT_FALSE(r.ok);
  const std::string prefix = "t.fx(" + std::to_string(line) + "): error: ";
  EXPECT_EQ(r.error.rfind(prefix, 0), 0u) << r.error;
  EXPECT_NE(r.error.find(fragment), std::string::npos) << r.error;
}

// Shaders every case can name.
const std::string kFunctions =
    "float4 VS(float4 p : POSITION) : POSITION { return p; }\n"
    "float4 PS() : COLOR0 { return 1; }\n";
const std::string kCompile =
    "VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS();";

Read ParsePass(const std::string& states, const std::string& head = "") {
  return Parse(head + kFunctions + "technique T { pass P { " + kCompile + " " + states + " } }\n");
}

size_t PassCount(const FxEffect& e) {
  size_t n = 0;
  for (const FxTechnique& t : e.techniques) n += t.passes.size();
  return n;
}

// ---- Real effect files ---------------------------------------------------------------------

struct RealFile {
  const char* path;  // under tests/data/fx
  size_t techniques, passes, parameters, samplers;
  const char* error;  // null when it parses; else where it fails and why
};

const RealFile kRealFiles[] = {
    {"fna/AlphaTestEffect.fx", 1, 1, 9, 1, nullptr},
    {"fna/BasicEffect.fx", 1, 1, 23, 1, nullptr},
    {"fna/DualTextureEffect.fx", 1, 1, 8, 2, nullptr},
    {"fna/EnvironmentMapEffect.fx", 1, 1, 22, 2, nullptr},
    {"fna/SkinnedEffect.fx", 1, 1, 24, 1, nullptr},
    {"fna/SpriteEffect.fx", 1, 1, 2, 1, nullptr},
    {"dxsdk/AntiAlias/AntiAlias.fx", 7, 7, 2, 3, nullptr},
    {"dxsdk/BasicHLSL/BasicHLSL.fx", 4, 4, 10, 1, nullptr},
    {"dxsdk/CompiledEffect/CompiledEffect.fx", 1, 1, 10, 2, nullptr},
    {"dxsdk/DepthOfField/DepthOfField.fx", 6, 6, 15, 2, nullptr},
    {"dxsdk/EffectParam/EffectParam.fx", 1, 1, 7, 1, nullptr},
    {"dxsdk/EffectParam/reflect.fx", 1, 1, 13, 2, nullptr},
    {"dxsdk/HDRFormats/HDRFormats.fx", 18, 18, 14, 4, nullptr},
    {"dxsdk/HDRLighting/HDRLighting.fx", 20, 20, 24, 8, nullptr},
    {"dxsdk/Instancing/Instancing.fx", 3, 3, 8, 1, nullptr},
    {"dxsdk/MultiAnimation/MultiAnimation.fx", 2, 2, 10, 1, nullptr},
    {"dxsdk/ParallaxOcclusionMapping/ParallaxOcclusionMapping.fx", 3, 3, 24, 2, nullptr},
    {"dxsdk/PixelMotionBlur/PixelMotionBlur.fx", 3, 4, 18, 4, nullptr},
    {"dxsdk/PostProcess/PP_ColorBloomH.fx", 1, 1, 13, 8, nullptr},
    {"dxsdk/PostProcess/Scene.fx", 10, 19, 6, 3, nullptr},
    {"dxsdk/ShadowMap/shadowmap.fx", 3, 3, 11, 2, nullptr},
    {"dxsdk/ShadowVolume/ShadowVolume.fx", 9, 18, 10, 1, nullptr},
    {"dxsdk/StateManager/AlphaTest.fx", 1, 1, 12, 1, nullptr},
    {"dxsdk/StateManager/snow.fx", 1, 1, 11, 1, nullptr},
    {"dxsdk/Tutorials/PIXGameDebugging/PIXGameDebugging.fx", 3, 3, 11, 2, nullptr},
    {"dxsdk/ConfigSystem/main.fx", 9, 9, 15, 1, nullptr},
    {"dxsdk/IrradianceVolume/PRT.fx", 0, 0, 0, 0,
     "PRT.fx(23): error: the array length 'NUM_CLUSTERS*(1+3*(NUM_PCA/4))' uses 'NUM_CLUSTERS', "
     "which is neither a macro nor a constant"},
    {"dxsdk/SkinnedMesh/skinnedmesh.fx", 1, 1, 8, 0, nullptr},
    {"monogame/stock/AlphaTestEffect.fx", 8, 8, 5, 1, nullptr},
    {"monogame/stock/BasicEffect.fx", 32, 32, 19, 1, nullptr},
    {"monogame/stock/DualTextureEffect.fx", 4, 4, 4, 2, nullptr},
    {"monogame/stock/EnvironmentMapEffect.fx", 16, 16, 17, 2, nullptr},
    {"monogame/stock/SkinnedEffect.fx", 18, 18, 20, 1, nullptr},
    {"monogame/stock/SpriteEffect.fx", 1, 1, 1, 1, nullptr},
    {"monogame/tests/ParserTest.fx", 2, 2, 4, 2, nullptr},
    {"monogame/tests/PreprocessorTest.fx", 0, 0, 0, 0,
     "PreprocessorTest.fx(13): error: unexpected '(' in #if"},
    {"nez/DeferredLighting.fx", 6, 6, 18, 3, nullptr},
    {"nez/GaussianBlur.fx", 1, 1, 2, 1, nullptr},
    {"nez/PolygonLight.fx", 1, 1, 5, 0, nullptr},
    {"nez/Reflection.fx", 2, 2, 13, 3, nullptr},
    {"nez/SpriteLines.fx", 2, 2, 2, 1, nullptr},
    {"nez/StencilLight.fx", 1, 1, 4, 0, nullptr},
    {"nez/TextureWipe.fx", 2, 2, 4, 2, nullptr},
    {"nez/ForwardLighting.fx", 0, 0, 0, 0,
     "ForwardLighting.fx(4): error: 'SamplerState' is a Direct3D 10 type"},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/Deferred/DirectionalLight.fx", 1, 7, 24,
     4, nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/Line.fx", 1, 1, 15, 0, nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/PostProcessing/"
     "ColorCorrectionFilter.fx",
     1, 3, 11, 3, nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/PostProcessing/GodRayFilter.fx", 1, 3,
     17, 3, nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/PostProcessing/ObjectMotionBlur.fx", 1,
     6, 19, 5, nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/PostProcessing/SaoFilter.fx", 1, 4, 21,
     3, nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/Sky/ScatteringSky.fx", 1, 4, 17, 0,
     nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/Sky/Skybox.fx", 1, 6, 17, 1, nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/SpriteEffect.fx", 2, 2, 7, 1, nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/Water/Ocean.fx", 1, 6, 12, 3, nullptr},
    {"digitalrise/Samples/Assets/Fur2/Fur.fx", 1, 2, 27, 5, nullptr},
    {"digitalrise/Source/DigitalRise.Graphics/EffectsSource/Terrain/TerrainMaterial.fx", 1, 3, 41,
     8, nullptr},
    {"omegaengine/Water.fx", 3, 3, 14, 3, nullptr},
    {"omegaengine/General.fx", 14, 74, 24, 4, nullptr},
    {"orbiter/SceneTech.fx", 3, 3, 4, 1, nullptr},
    {"orbiter/Sketchpad.fx", 2, 3, 29, 3, nullptr},
    {"orbiter/BeaconArray.fx", 1, 1, 0, 0, nullptr},
    {"orbiter/D3D9Client.fx", 0, 0, 0, 0,
     "D3D9Client.fx(99): error: the array length 'KERNEL_SIZE' uses 'KERNEL_SIZE', which is "
     "neither a macro nor a constant"},
    {"orbiter/HorizonHaze.fx", 0, 0, 0, 0, "HorizonHaze.fx(7): error: unknown type 'HazeVS'"},
    {"orbiter/Mesh.fx", 0, 0, 0, 0, "Mesh.fx(38): error: unknown type 'MESH_VERTEX'"},
    {"orbiter/Metalness.fx", 0, 0, 0, 0, "Metalness.fx(11): error: unknown type 'PBRData'"},
    {"orbiter/PBR.fx", 0, 0, 0, 0, "PBR.fx(27): error: unknown type 'MESH_VERTEX'"},
    {"orbiter/Particle.fx", 0, 0, 0, 0, "Particle.fx(19): error: unknown type 'NTVERTEX'"},
    {"orbiter/Planet.fx", 0, 0, 0, 0, "Planet.fx(22): error: unknown type 'TILEVERTEX'"},
    {"orbiter/Vessel.fx", 0, 0, 0, 0, "PBR.fx(27): error: unknown type 'MESH_VERTEX'"},
    {"xnafinalengine/Filters/BilateralBlur.fx", 1, 2, 9, 4, nullptr},
    {"xnafinalengine/Filters/Blur.fx", 2, 4, 5, 2, nullptr},
    {"xnafinalengine/Filters/Dilate.fx", 1, 2, 4, 1, nullptr},
    {"xnafinalengine/GBuffer/CombineDepthAndNormals.fx", 1, 1, 5, 4, nullptr},
    {"xnafinalengine/GBuffer/DownsampleGBuffer.fx", 1, 1, 5, 4, nullptr},
    {"xnafinalengine/GBuffer/GBuffer.fx", 5, 5, 21, 4, nullptr},
    {"xnafinalengine/GBuffer/ReconstructZBuffer.fx", 1, 1, 6, 3, nullptr},
    {"xnafinalengine/GlobalIllumination/HorizonBasedAmbientOcclusion.fx", 3, 3, 20, 4, nullptr},
    {"xnafinalengine/GlobalIllumination/RayMarchingAmbientOcclusionShader.fx", 1, 1, 14, 4,
     nullptr},
    {"xnafinalengine/GlobalIllumination/SSDO.fx", 6, 6, 32, 5, nullptr},
    {"xnafinalengine/LightPrePass/AmbientLight.fx", 4, 4, 10, 4, nullptr},
    {"xnafinalengine/LightPrePass/DirectionalLight.fx", 2, 2, 9, 4, nullptr},
    {"xnafinalengine/LightPrePass/PointLight.fx", 3, 3, 15, 4, nullptr},
    {"xnafinalengine/LightPrePass/SpotLight.fx", 4, 4, 17, 5, nullptr},
    {"xnafinalengine/Materials/BlinnPhong.fx", 3, 3, 25, 8, nullptr},
    {"xnafinalengine/Materials/CarPaint.fx", 1, 1, 25, 7, nullptr},
    {"xnafinalengine/Materials/Constant.fx", 2, 2, 5, 1, nullptr},
    {"xnafinalengine/Materials/ForwardBlinnPhong.fx", 1, 1, 40, 3, nullptr},
    {"xnafinalengine/Materials/Ocean.fx", 1, 1, 22, 2, nullptr},
    {"xnafinalengine/Materials/PickerConstant.fx", 1, 1, 2, 0, nullptr},
    {"xnafinalengine/Materials/Terrain.fx", 1, 1, 27, 3, nullptr},
    {"xnafinalengine/Particles/Particles.fx", 2, 2, 24, 4, nullptr},
    {"xnafinalengine/PostProcessing/AnamorphicLensFlare.fx", 1, 6, 17, 7, nullptr},
    {"xnafinalengine/PostProcessing/Bloom.fx", 1, 1, 17, 3, nullptr},
    {"xnafinalengine/PostProcessing/MLAA.fx", 3, 9, 9, 6, nullptr},
    {"xnafinalengine/PostProcessing/PostProcessing.fx", 10, 10, 57, 10, nullptr},
    {"xnafinalengine/ScreenSpaceAlphaMasking/ScreenSpaceAlphaMasking.fx", 2, 2, 9, 5, nullptr},
    {"xnafinalengine/Shadows/CascadedShadowMap.fx", 5, 5, 13, 4, nullptr},
    {"xnafinalengine/Shadows/LightDepthBuffer.fx", 4, 4, 5, 0, nullptr},
    {"xnafinalengine/Shadows/ShadowMap.fx", 5, 5, 11, 4, nullptr},
    {"xnafinalengine/Shadows/TetrahedronShadowMap.fx", 1, 1, 5, 1, nullptr},
    {"xnafinalengine/Sky/Skybox.fx", 2, 2, 6, 1, nullptr},
    {"xnafinalengine/Sky/Skydome.fx", 1, 1, 17, 4, nullptr},
    {"xnafinalengine/Sprites/SpriteEffect.fx", 2, 2, 6, 2, nullptr},
    {"racinggame/LandscapeNormalMapping.fx", 11, 11, 15, 5, nullptr},
    {"racinggame/NormalMapping.fx", 14, 14, 19, 6, nullptr},
    {"racinggame/PostScreenShadowBlur.fx", 2, 4, 10, 2, nullptr},
    {"virtualdub/displaydx9.fx", 35, 55, 27, 12, nullptr},
};

TEST(FxRealFiles, EachParsesWithItsCountsOrFailsWithTheMessageForWhatItUses) {
  for (const RealFile& file : kRealFiles) {
    SCOPED_TRACE(file.path);
    const std::string path = std::string(TOBRIN_SOURCE_DIR "/tests/data/fx/") + file.path;
    std::string bytes, why;
    ASSERT_TRUE(ReadWholeFile(path.c_str(), kMaxEffectFileBytes, &bytes, &why)) << why;
    EXPECT_TRUE(IsFxEffect(bytes.data(), bytes.size()));
    const Read r = ReadFile(path);
    if (file.error) {
      ASSERT_FALSE(r.ok);
      EXPECT_NE(r.error.find(file.error), std::string::npos) << r.error;
      continue;
    }
    ASSERT_TRUE(r.ok) << r.error;
    const FxEffect& e = r.effect;
    EXPECT_EQ(e.techniques.size(), file.techniques);
    EXPECT_EQ(PassCount(e), file.passes);
    EXPECT_EQ(e.parameters.size(), file.parameters);
    EXPECT_EQ(e.samplers.size(), file.samplers);
    // The HLSL keeps every line and byte position, so compiler messages map back.
    EXPECT_EQ(e.hlsl.size(), e.source.text.size());
    EXPECT_EQ(std::count(e.hlsl.begin(), e.hlsl.end(), '\n'),
              static_cast<long>(e.source.origins.size()));
    EXPECT_EQ(e.hlsl.find("technique"), std::string::npos);
    EXPECT_EQ(e.hlsl.find("sampler_state"), std::string::npos);
  }
}

TEST(FxRealFiles, StencilStatesShaderArraysAndMacroTechniquesReadAsWritten) {
  const std::string dir = TOBRIN_SOURCE_DIR "/tests/data/fx/";
  const Read shadow = ReadFile(dir + "dxsdk/ShadowVolume/ShadowVolume.fx");
  ASSERT_TRUE(shadow.ok) << shadow.error;
  const FxPass& twoSided = shadow.effect.techniques[2].passes[0];  // ShowShadowVolume2Sided
  auto state = [](const FxPass& p, uint32_t number) -> int64_t {
    for (const FxRenderState& s : p.renderStates)
      if (s.state == number) return s.value;
    return -1;
  };
  EXPECT_EQ(state(twoSided, 185), 1);           // TwoSidedStencilMode = true
  EXPECT_EQ(state(twoSided, 189), 8);           // Ccw_StencilFunc = Always
  EXPECT_EQ(state(twoSided, 187), 7);           // Ccw_StencilZFail = Incr
  EXPECT_EQ(state(twoSided, 58), 0xFFFFFFFFu);  // StencilMask = 0xFFFFFFFF
  EXPECT_FALSE(shadow.effect.techniques[8].passes[0].vertexShader.present);  // pixel only

  // VertexShader = (vsArray20[CurNumBones]) with int CurNumBones = 2.
  const Read anim = ReadFile(dir + "dxsdk/MultiAnimation/MultiAnimation.fx");
  ASSERT_TRUE(anim.ok) << anim.error;
  const FxShaderBinding& skin = anim.effect.techniques[1].passes[0].vertexShader;
  EXPECT_EQ(skin.entry, "VertSkinning");
  EXPECT_EQ(skin.arguments, std::vector<std::string>{"3"});

  // TECHNIQUE(name, vs, ps) from Macros.fxh, the D3D9 branch of its #if.
  const Read basic = ReadFile(dir + "monogame/stock/BasicEffect.fx");
  ASSERT_TRUE(basic.ok) << basic.error;
  EXPECT_EQ(basic.effect.techniques[0].name, "BasicEffect");
  EXPECT_EQ(basic.effect.techniques[0].passes[0].vertexShader.profile, "vs_2_0");
  EXPECT_EQ(basic.effect.techniques[0].passes[0].vertexShader.entry, "VSBasic");
}

// ---- Parameters ----------------------------------------------------------------------------

TEST(FxParseParameters, TypesModifiersSemanticsAndInitialValues) {
  const Read r = Parse(
      "static const int N = 2;\n"
      "shared float4x4 WorldViewProj : WORLDVIEWPROJECTION < string UIName = \"wvp\"; >;\n"
      "row_major matrix M;\n"
      "vector<float, 3> v = float3(1, 2.5, -3);\n"
      "float4 colours[N] = { {1, 0, 0, 1}, {0, 1, 0, 1} };\n"
      "float4 grey = 0.5;\n"
      "bool flag = true;\n"
      "float half_n = N / 4.0;\n"
      "uniform float3x3 rot : register(c4);\n"
      "float computed = sin(1.0);\n"
      "string Name = \"a string\";\n"
      "struct S { float a; };\n"
      "S s;\n"
      "struct L { float3 d; } light, lights[2];\n" +
      kFunctions + "technique T { pass { " + kCompile + " } }\n");
  ASSERT_TRUE(r.ok) << r.error;
  const std::vector<FxParameter>& p = r.effect.parameters;
  ASSERT_EQ(p.size(), 14u);
  EXPECT_TRUE(p[0].isStatic && p[0].isConst);
  EXPECT_EQ(p[1].semantic, "WORLDVIEWPROJECTION");
  EXPECT_TRUE(p[1].isShared);
  EXPECT_EQ(p[1].type.rows, 4);
  EXPECT_TRUE(p[2].type.rowMajor);
  EXPECT_EQ(p[2].type.columns, 4);
  EXPECT_EQ(p[3].type.columns, 3);
  EXPECT_EQ(p[3].value, (std::vector<float>{1, 2.5f, -3}));
  EXPECT_EQ(p[4].type.elements, 2u);
  EXPECT_EQ(p[4].value.size(), 8u);
  EXPECT_EQ(p[5].value, (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f}));
  EXPECT_EQ(p[6].value, std::vector<float>{1});
  EXPECT_EQ(p[7].value, std::vector<float>{0.5f});
  EXPECT_EQ(p[8].registerName, "c4");
  EXPECT_EQ(p[8].type.rows, 3);
  EXPECT_TRUE(p[9].value.empty());  // left to the compiler
  EXPECT_EQ(p[9].initText, "sin(1.0)");
  EXPECT_EQ(p[10].stringValue, "a string");
  EXPECT_EQ(p[11].type.base, FxBase::Struct);
  EXPECT_EQ(p[13].type.name, "L");
  EXPECT_EQ(p[13].type.elements, 2u);
  EXPECT_EQ(p[1].line, 1);  // 0-based lines of the preprocessed text

  // What HLSL sees: FX-only syntax blanked, every line where it was.
  const std::string& hlsl = r.effect.hlsl;
  EXPECT_EQ(hlsl.find("shared"), std::string::npos);
  EXPECT_EQ(hlsl.find("UIName"), std::string::npos);
  EXPECT_EQ(hlsl.find("WORLDVIEWPROJECTION"), std::string::npos);
  EXPECT_EQ(hlsl.find("register"), std::string::npos);
  EXPECT_EQ(hlsl.find("a string"), std::string::npos);
  EXPECT_NE(hlsl.find("float4x4 WorldViewProj"), std::string::npos);
  EXPECT_NE(hlsl.find("float4 colours[N] = { {1, 0, 0, 1}, {0, 1, 0, 1} };"), std::string::npos);
}

TEST(FxParseParameters, OlderTypesAndArraysOfArraysReadAsTheOriginalCompilerTookThem) {
  const Read r = Parse(
      "static const float d[2][3] = { {1, 2, 3}, {4, 5, 6} };\n"
      "float4 m[2][2];\n"
      "vector v;\nmatrix<float, 3, 3> r3;\nvector<int, 2> i2 = {1, 2};\n"
      "static const float pick = d[1][2];\n" +
      kFunctions + "technique T { pass { " + kCompile + " } }\n");
  ASSERT_TRUE(r.ok) << r.error;
  const std::vector<FxParameter>& p = r.effect.parameters;
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0].type.elements, 6u);  // the inner arrays one after another
  EXPECT_EQ(p[0].value, (std::vector<float>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(p[1].type.elements, 4u);
  EXPECT_EQ(p[1].type.columns, 4);
  EXPECT_EQ(p[2].type.columns, 4);  // bare vector is float4, bare matrix float4x4
  EXPECT_EQ(p[3].type.rows, 3);
  EXPECT_EQ(p[3].type.columns, 3);
  EXPECT_EQ(p[4].type.base, FxBase::Int);
  EXPECT_EQ(p[4].value, (std::vector<float>{1, 2}));
  EXPECT_TRUE(p[5].value.empty());  // d[1] is an array: left to the compiler
  ExpectError(Parse("float big[300][300];\n"), 1, "more than 65536 elements");
}

TEST(FxParseParameters, FunctionSignaturesAreRecorded) {
  const Read r = Parse(
      "struct VS_OUT { float4 pos : POSITION; };\n"
      "VS_OUT Main(in float3 p : POSITION, out float2 uv : TEXCOORD0, inout float x,\n"
      "            uniform bool lit = true) { VS_OUT o; o.pos = float4(p, 1); uv = 0; return o; }\n"
      "float4 PS(VS_OUT i) : COLOR0 { return 1; }\n"
      "technique T { pass { VertexShader = compile vs_3_0 Main(false); PixelShader = compile "
      "ps_3_0 PS(); } }\n");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.effect.functions.size(), 2u);
  const FxFunction& f = r.effect.functions[0];
  EXPECT_EQ(f.returnTypeText, "VS_OUT");
  ASSERT_EQ(f.parameters.size(), 4u);
  EXPECT_EQ(f.parameters[0].semantic, "POSITION");
  EXPECT_TRUE(f.parameters[1].out && !f.parameters[1].in);
  EXPECT_TRUE(f.parameters[2].out && f.parameters[2].in);
  EXPECT_TRUE(f.parameters[3].uniform);
  EXPECT_EQ(r.effect.functions[1].returnSemantic, "COLOR0");
  EXPECT_EQ(r.effect.techniques[0].passes[0].vertexShader.arguments,
            std::vector<std::string>{"false"});
}

TEST(FxParseParameters, BadDeclarationsAreNamed) {
  ExpectError(Parse("float a;\nfloat a;\n"), 2, "'a' is declared twice");
  ExpectError(Parse("\nfloat5 a;\n"), 2, "unknown type 'float5'");
  ExpectError(Parse("cbuffer C { float a; };\n"), 1, "Direct3D 10");
  ExpectError(Parse("Texture2D t;\nSamplerState s;\n"), 2, "'SamplerState' is a Direct3D 10 type");
  ExpectError(Parse("float a[0];\n"), 1, "not a constant from 1 to 65536");
  ExpectError(Parse("float " + std::string(65, 'n') + ";\n"), 1, "longer than 64 characters");
  ExpectError(Parse("float a = \"x\n"), 1, "never closed");
  ExpectError(Parse("float a = 1 @ 2;\n"), 1, "unexpected character '@'");
}

// ---- Samplers ------------------------------------------------------------------------------

TEST(FxParseSamplers, StatesAreStoredWithTheirNumbers) {
  const Read r = Parse(
      "texture2D tex;\ntextureCUBE cube;\n"
      "sampler2D a = sampler_state { Texture = <tex>; MINFILTER = anisotropic; MagFilter = Point;\n"
      "  MipFilter = NONE; AddressU = Border; AddressV = mirror; AddressW = Clamp;\n"
      "  BorderColor = 0xFF00FF00; MipMapLODBias = -0.5; MaxAnisotropy = 8; };\n"
      "samplerCUBE b = sampler_state { Texture = (cube); BorderColor = float4(1, 0, 0, 1); };\n"
      "sampler c = sampler_state { texture = tex; };\n"
      "sampler d : register(s3);\n" +
      kFunctions + "technique T { pass { " + kCompile + " } }\n");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.effect.samplers.size(), 4u);
  const FxSampler& a = r.effect.samplers[0];
  EXPECT_EQ(a.texture, "tex");
  float bias = -0.5f;
  uint32_t biasBits = 0;
  std::memcpy(&biasBits, &bias, 4);
  const std::vector<std::pair<uint32_t, uint32_t>> want = {
      {6, 3}, {5, 1}, {7, 0}, {1, 4}, {2, 2}, {3, 3}, {4, 0xFF00FF00u}, {8, biasBits}, {10, 8}};
  ASSERT_EQ(a.states.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(a.states[i].state, want[i].first) << i;
    EXPECT_EQ(a.states[i].value, want[i].second) << i;
  }
  EXPECT_EQ(r.effect.samplers[1].texture, "cube");
  EXPECT_EQ(r.effect.samplers[1].states[0].value, 0xFFFF0000u);  // ARGB
  EXPECT_EQ(r.effect.samplers[2].texture, "tex");
  EXPECT_EQ(r.effect.samplers[3].registerName, "s3");
  EXPECT_EQ(r.effect.hlsl.find("tex;"), std::string::npos);  // texture declarations blanked
  EXPECT_NE(r.effect.hlsl.find("sampler2D a"), std::string::npos);
}

TEST(FxParseSamplers, BadSamplersAreNamed) {
  ExpectError(Parse("float f;\nsampler s = sampler_state {\n Texture = <f>; };\n"), 3,
              "sampler 's' reads 'f', which is not a texture parameter");
  ExpectError(
      Parse("texture t;\nsampler s = sampler_state { Texture = <t>;\nMinFilter = Cubic; };\n"), 3,
      "'Cubic' is not a value of state 'MinFilter'");
  ExpectError(Parse("sampler s = sampler_state { Colour = 1; };\n"), 1,
              "unknown sampler state 'Colour'");
}

// ---- Techniques and passes -----------------------------------------------------------------

TEST(FxParsePasses, RenderStatesTakeD3DNamesAndNumbersInAnyCase) {
  const Read r = ParsePass(
      "CullMode = cw; ZEnable = TRUE; ZWriteEnable = false; ZFunc = LessEqual;\n"
      "AlphaBlendEnable = True; SrcBlend = SRCALPHA; DestBlend = InvSrcAlpha; BlendOp = "
      "RevSubtract;\n"
      "AlphaTestEnable = 1; AlphaRef = 0x80; AlphaFunc = Greater; ColorWriteEnable = Red | Blue;\n"
      "FillMode = Wireframe; StencilEnable = true; StencilFunc = NotEqual; StencilPass = Replace;\n"
      "StencilFail = Keep; StencilZFail = DecrSat; StencilRef = 3; StencilMask = 255;\n"
      "StencilWriteMask = 0x0F; TwoSidedStencilMode = true; CCW_StencilPass = Invert;\n"
      "Lighting = false; FogEnable = false;\n"
      "MinFilter[1] = Linear; Sampler[0] = (s);\n",
      "texture t; sampler s = sampler_state { Texture = <t>; };\n");
  ASSERT_TRUE(r.ok) << r.error;
  const FxPass& p = r.effect.techniques[0].passes[0];
  const std::vector<std::pair<uint32_t, uint32_t>> want = {
      {22, 2},   {7, 1},    {14, 0},  {23, 4},  {27, 1},  {19, 5},  {20, 6}, {171, 3}, {15, 1},
      {24, 128}, {25, 5},   {168, 5}, {8, 2},   {52, 1},  {56, 6},  {55, 3}, {53, 1},  {54, 5},
      {57, 3},   {58, 255}, {59, 15}, {185, 1}, {188, 6}, {137, 0}, {28, 0}};
  ASSERT_EQ(p.renderStates.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(p.renderStates[i].state, want[i].first) << i;
    EXPECT_EQ(p.renderStates[i].value, want[i].second) << i;
  }
  ASSERT_EQ(p.samplerStates.size(), 1u);
  EXPECT_EQ(p.samplerStates[0].sampler, 1u);
  EXPECT_EQ(p.samplerStates[0].state.state, 6u);
  EXPECT_EQ(p.samplerStates[0].state.value, 2u);
  ASSERT_EQ(p.samplerBindings.size(), 1u);
  EXPECT_EQ(p.samplerBindings[0].name, "s");
}

TEST(FxParsePasses, ShaderVariablesAndArraysResolveToOneShader) {
  const Read r = Parse(
      "static const int Lights = 1;\n" + kFunctions +
      "float4 VS2(float4 p : POSITION, uniform int n) : POSITION { return p * n; }\n"
      "VertexShader arr[3] = { compile vs_2_0 VS2(1), compile vs_2_0 VS2(2), compile vs_2_0 "
      "VS2(3) };\n"
      "PixelShader ps = compile ps_2_a PS();\n"
      "technique A { pass { VertexShader = (arr[Lights + 1]); PixelShader = (ps); } }\n"
      "TECHNIQUE B < string s = \"x\"; > { pass P0 < int a = 1; > { VERTEXSHADER = arr[0];\n"
      "  PixelShader = compile ps_3_0 PS(); } pass P1 { PixelShader = compile ps_2_0 PS(); } }\n");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.effect.techniques.size(), 2u);
  const FxPass& a = r.effect.techniques[0].passes[0];
  EXPECT_EQ(a.vertexShader.arguments, std::vector<std::string>{"3"});
  EXPECT_EQ(a.pixelShader.profile, "ps_2_a");
  EXPECT_EQ(r.effect.techniques[1].passes[0].vertexShader.arguments, std::vector<std::string>{"1"});
  EXPECT_FALSE(r.effect.techniques[1].passes[1].vertexShader.present);  // pixel only: allowed
  EXPECT_EQ(r.effect.hlsl.find("compile"), std::string::npos);

  const std::string arr =
      kFunctions + "VertexShader arr[2] = { compile vs_2_0 VS(), compile vs_2_0 VS() };\n";
  ExpectError(Parse(arr + "technique T { pass { VertexShader = (arr[2]);\n } }\n"), 4,
              "index 2 is outside shader array 'arr' of 2");
  ExpectError(Parse(arr + "float k;\ntechnique T { pass { VertexShader = (arr[max(k, 1)]); } }\n"),
              5, "the index 'max(k, 1)' of 'arr' is not an expression over parameters");
  ExpectError(Parse(arr + "technique T { pass { VertexShader = (arr[q]); } }\n"), 4,
              "the index 'q' of 'arr' is not a constant the effect can evaluate");
  ExpectError(Parse(arr + "technique T { pass { PixelShader = (arr[0]); } }\n"), 4,
              "'arr' holds vertex shaders, but this is the PixelShader");
}

TEST(FxParsePasses, FixedFunctionStatesKeepTheirIndicesParametersAndValues) {
  const std::string head =
      "float4x4 W; float4 Pos[2]; texture t;\n"
      "technique T { pass P {\n";
  const Read r =
      Parse(head +
            "WorldTransform[0] = <W>; LightPosition[1] = (Pos[1]); LightType[1] = spot;\n"
            "ColorArg1[2] = Texture | Complement | AlphaReplicate; Texture[2] = t;\n"
            "TexCoordIndex[1] = 1 | CameraSpaceNormal; MaterialDiffuse = float3(1, 0.5, "
            "0);\nLighting = FALSE; } }\n");
  ASSERT_TRUE(r.ok) << r.error;
  const FxPass& p = r.effect.techniques[0].passes[0];
  EXPECT_FALSE(p.vertexShader.present || p.pixelShader.present);
  ASSERT_EQ(p.fixedStates.size(), 7u);
  const FxFixedState* s = p.fixedStates.data();
  EXPECT_EQ(s[0].state, FxFixed::WorldTransform);
  EXPECT_EQ(s[0].parameter, "W");
  EXPECT_EQ(s[1].parameter, "Pos");
  EXPECT_EQ(s[1].index * 10 + s[1].element, 11u);
  EXPECT_EQ(s[2].number, 2u);  // D3DLIGHT_SPOT
  EXPECT_EQ(s[3].index * 1000 + s[3].number, 2000u + 0x32);
  EXPECT_EQ(s[4].parameter, "t");
  EXPECT_EQ(s[5].number, 0x10001u);
  EXPECT_EQ(s[6].value, (std::vector<float>{1, 0.5f, 0, 1}));  // alpha 1 when not given
  ExpectError(Parse(head + "LightEnable[8] = TRUE; } }\n"), 3,
              "the index of state 'LightEnable' is not a constant from 0 to 7");
  ExpectError(Parse(head + "Texture[0] = <W>; } }\n"), 3, "state 'Texture' cannot take");
  ExpectError(Parse(head + "ColorOp[0] = Sideways; } }\n"), 3,
              "'Sideways' is not a value of state 'ColorOp'");
  ExpectError(Parse(head + "LightPosition[0] = <Pos[2]>; } }\n"), 3, "is outside the array");
  ExpectError(Parse(head + "ViewTransform[1] = <W>; } }\n"), 3, "takes no index");
}

// The assembly is kept as written for the compiler, and blanked from the HLSL it is given.
TEST(FxParsePasses, AssemblyShadersAndShaderConstantStatesAreKept) {
  const Read r = Parse(
      "float4x4 WVP;\nfloat4 Tint = {1, 0, 0, 1};\n"
      "VertexShader Shared = asm {\n  vs.1.1\n  dcl_position v0\n  m4x4 oPos, v0, c0\n};\n"
      "technique T { pass P {\n"
      "  VertexShader = (Shared);\n"
      "  PixelShader = asm { ps_2_0\n  mov oC0, c1 };\n"
      "  VertexShaderConstant4[0] = <WVP>;\n"
      "  PixelShaderConstantF[1] = (Tint);\n"
      "  VertexShaderConstant[200] = float4(1, 2, 3, 4);\n"
      "  PixelShaderConstant1[2] = {0.5, 0.25};\n"
      "} }\n");
  ASSERT_TRUE(r.ok) << r.error;
  const FxPass& pass = r.effect.techniques[0].passes[0];
  EXPECT_EQ(pass.vertexShader.profile, "vs_1_1");
  EXPECT_EQ(pass.vertexShader.assembly, "\n  vs.1.1\n  dcl_position v0\n  m4x4 oPos, v0, c0\n");
  EXPECT_EQ(pass.vertexShader.assemblyLine, 2);
  EXPECT_EQ(pass.pixelShader.profile, "ps_2_0");
  EXPECT_EQ(pass.pixelShader.assemblyLine, 9);
  EXPECT_TRUE(pass.pixelShader.entry.empty());
  EXPECT_EQ(r.effect.hlsl.find("m4x4"), std::string::npos);
  EXPECT_EQ(r.effect.hlsl.find("oC0"), std::string::npos);
  ASSERT_EQ(pass.shaderConstants.size(), 4u);
  const FxShaderConstant& wvp = pass.shaderConstants[0];
  EXPECT_FALSE(wvp.pixel);
  EXPECT_EQ(wvp.reg, 0u);
  EXPECT_EQ(wvp.count, 4u);
  EXPECT_EQ(wvp.parameter, "WVP");
  EXPECT_TRUE(pass.shaderConstants[1].pixel);
  EXPECT_EQ(pass.shaderConstants[1].count, 0u);
  EXPECT_EQ(pass.shaderConstants[1].parameter, "Tint");
  EXPECT_EQ(pass.shaderConstants[2].reg, 200u);
  EXPECT_EQ(pass.shaderConstants[2].value, (std::vector<float>{1, 2, 3, 4}));
  // A literal is whole registers of four.
  EXPECT_EQ(pass.shaderConstants[3].count, 1u);
  EXPECT_EQ(pass.shaderConstants[3].value, (std::vector<float>{0.5f, 0.25f, 0, 0}));
}

// Steps as "op:parameter" (or "op:value" for constants), for comparing a whole expression at once.
std::vector<std::string> StepsOf(const std::vector<FxExprStep>& steps) {
  std::vector<std::string> out;
  for (const FxExprStep& step : steps) {
    std::string text = std::to_string(static_cast<int>(step.op)) + ":";
    if (step.op == FxOp::Constant) text += std::to_string(static_cast<int>(step.value));
    text += step.parameter;
    for (const float v : step.table) text += std::to_string(static_cast<int>(v)) + ",";
    out.push_back(text);
  }
  return out;
}

TEST(FxParsePasses, ShaderIndicesOverSettableParametersAreKeptForThePassToEvaluate) {
  // The stock effects pick both stages through index tables by one parameter.
  const Read basic = ReadFile(TOBRIN_SOURCE_DIR "/tests/data/fx/fna/BasicEffect.fx");
  ASSERT_TRUE(basic.ok) << basic.error;
  const FxPass& pass = basic.effect.techniques[0].passes[0];
  ASSERT_EQ(pass.vertexSelect.shaders.size(), 20u);
  ASSERT_EQ(pass.pixelSelect.shaders.size(), 10u);
  EXPECT_EQ(pass.vertexSelect.shaders[19].entry, "VSBasicPixelLightingTxVc");
  const std::vector<std::string> vsSteps = {"1:ShaderIndex", "2:VSIndices"};
  EXPECT_EQ(StepsOf(pass.vertexSelect.index), vsSteps);
  EXPECT_EQ(pass.vertexSelect.text, "VSIndices[ShaderIndex]");
  EXPECT_EQ(pass.vertexShader.entry, "VSBasic");  // ShaderIndex = 0 picks it

  // Static arrays become tables and static scalars constants; comparisons, logic and ?: are kept
  // with C's precedence. Mode = 1 and Alpha = 0.5 pick map[1] = 2.
  const std::string head =
      kFunctions +
      "float4 VS2(float4 p : POSITION, uniform int n) : POSITION { return p; }\n"
      "VertexShader arr[3] = { compile vs_2_0 VS2(0), compile vs_2_0 VS2(1), "
      "compile vs_2_0 VS2(2) };\n"
      "static const int map[3] = { 1, 2, 0 };\nstatic const float Two = 2;\n"
      "float Alpha = 0.5;\nint Mode = 1;\n";
  const Read r = Parse(head +
                       "technique T { pass { VertexShader = (arr[Alpha < 1 && !(Mode >= Two) ? "
                       "map[Mode] : Mode * 2 - 1]); PixelShader = compile ps_2_0 PS(); } }\n");
  ASSERT_TRUE(r.ok) << r.error;
  const FxPass& p = r.effect.techniques[0].passes[0];
  const std::vector<std::string> steps = {"1:Alpha", "0:1", "10:",    "1:Mode",   "0:2",    "13:",
                                          "5:",      "16:", "1:Mode", "3:1,2,0,", "1:Mode", "0:2",
                                          "8:",      "0:1", "7:",     "18:"};
  EXPECT_EQ(StepsOf(p.vertexSelect.index), steps);
  EXPECT_EQ(p.vertexShader.arguments, std::vector<std::string>{"2"});
  EXPECT_TRUE(p.pixelSelect.shaders.empty());

  // Two-character operators are two adjacent tokens: "< =" is no "<=". An index over statics
  // alone is still a constant, resolved once.
  EXPECT_FALSE(Parse(head + "technique T { pass { VertexShader = (arr[Mode < = 1]); } }\n").ok);
  const Read fixed = Parse(head +
                           "technique T { pass { VertexShader = (arr[map[Two]]); "
                           "PixelShader = compile ps_2_0 PS(); } }\n");
  ASSERT_TRUE(fixed.ok) << fixed.error;
  EXPECT_TRUE(fixed.effect.techniques[0].passes[0].vertexSelect.shaders.empty());
  EXPECT_EQ(fixed.effect.techniques[0].passes[0].vertexShader.arguments,
            std::vector<std::string>{"0"});
}

TEST(FxParsePasses, StateValuesOverSettableParametersAreKeptWithTheirInitialValue) {
  const Read r = ParsePass(
      "AlphaBlendEnable = (Alpha < 1); SrcBlend = (bAdd ? One : SrcAlpha); CullMode = <cull>;"
      "ZEnable = (Fixed > 1);",
      "float Alpha = 0.5;\nbool bAdd = false;\nint cull = 3;\nstatic const float Fixed = 2;\n");
  ASSERT_TRUE(r.ok) << r.error;
  const std::vector<FxRenderState>& states = r.effect.techniques[0].passes[0].renderStates;
  ASSERT_EQ(states.size(), 4u);
  EXPECT_EQ(states[0].value, 1u);  // what the initial values give
  EXPECT_EQ(StepsOf(states[0].expression), (std::vector<std::string>{"1:Alpha", "0:1", "10:"}));
  EXPECT_EQ(states[1].value, 5u);  // D3DBLEND_SRCALPHA
  // The state's own value names are constants: One is 2, SrcAlpha 5.
  EXPECT_EQ(StepsOf(states[1].expression),
            (std::vector<std::string>{"1:bAdd", "0:2", "0:5", "18:"}));
  EXPECT_EQ(states[2].value, 3u);
  EXPECT_EQ(StepsOf(states[2].expression), std::vector<std::string>{"1:cull"});
  EXPECT_EQ(states[3].value, 1u);  // statics alone: a constant, as before
  EXPECT_TRUE(states[3].expression.empty());
}

TEST(FxParsePasses, ConstructsWeDoNotRunAreRefusedByName) {
  ExpectError(ParsePass("\nCullMode = Sideways;"), 4,
              "'Sideways' is not a value of state 'CullMode'");
  ExpectError(ParsePass("\nPointSizeLimit = 2;"), 4, "state 'PointSizeLimit' is not supported");
  ExpectError(Parse(kFunctions + "technique T { pass P {\n VertexShader = asm { ps_1_1 mov r0, "
                                 "v0 }; } }\n"),
              4, "ps_1_1 is no VertexShader version");
  ExpectError(
      Parse(kFunctions + "technique T { pass P {\n PixelShader = asm { mov r0, v0 }; } }\n"), 4,
      "an asm block starts with a Direct3D 9 shader version");
  ExpectError(ParsePass("\nVertexShaderConstant[256] = {1, 2, 3, 4};"), 4,
              "is not a constant from 0 to 255");
  ExpectError(ParsePass("\nPixelShaderConstant[0] = <NoSuch>;"), 4,
              "names 'NoSuch', which is no numeric parameter");
  ExpectError(ParsePass("\nVertexShaderConstantB[0] = TRUE;"), 4,
              "state 'VertexShaderConstantB' is not supported");
  ExpectError(
      Parse(kFunctions + "technique T { pass P {\n PixelShader = compile ps_4_0 PS(); } }\n"), 4,
      "'ps_4_0' is not a Direct3D 9 pixel shader profile");
  ExpectError(
      Parse(kFunctions + "technique T { pass P {\n PixelShader = compile ps_2_0 Nope(); } }\n"), 4,
      "the shader entry 'Nope' is not a function of the effect");
  ExpectError(Parse(kFunctions + "technique10 T { pass P { } }\n"), 3,
              "'technique10' is a Direct3D 10/11 construct");
  ExpectError(Parse(kFunctions), 2, "the effect declares no technique");
}

// ---- Every state of the format -------------------------------------------------------------

// The pass-state names of the effect format's render states, as its reference lists them.
const char kRenderStateNames[] =
    "ZEnable FillMode ShadeMode ZWriteEnable AlphaTestEnable LastPixel SrcBlend DestBlend "
    "CullMode ZFunc AlphaRef AlphaFunc DitherEnable AlphaBlendEnable FogEnable "
    "SpecularEnable FogColor FogTableMode FogStart FogEnd FogDensity RangeFogEnable "
    "StencilEnable StencilFail StencilZFail StencilPass StencilFunc StencilRef StencilMask "
    "StencilWriteMask TextureFactor Wrap0 Wrap1 Wrap2 Wrap3 Wrap4 Wrap5 Wrap6 Wrap7 Clipping "
    "Lighting Ambient FogVertexMode ColorVertex LocalViewer NormalizeNormals "
    "DiffuseMaterialSource SpecularMaterialSource AmbientMaterialSource "
    "EmissiveMaterialSource VertexBlend ClipPlaneEnable PointSize PointSize_Min "
    "PointSpriteEnable PointScaleEnable PointScale_A PointScale_B PointScale_C "
    "MultiSampleAntialias MultiSampleMask PatchEdgeStyle DebugMonitorToken PointSize_Max "
    "IndexedVertexBlendEnable ColorWriteEnable TweenFactor BlendOp PositionDegree "
    "NormalDegree ScissorTestEnable SlopeScaleDepthBias AntialiasedLineEnable "
    "MinTessellationLevel MaxTessellationLevel AdaptiveTess_X AdaptiveTess_Y AdaptiveTess_Z "
    "AdaptiveTess_W EnableAdaptiveTessellation TwoSidedStencilMode CCW_StencilFail "
    "CCW_StencilZFail CCW_StencilPass CCW_StencilFunc ColorWriteEnable1 ColorWriteEnable2 "
    "ColorWriteEnable3 BlendFactor SRGBWriteEnable DepthBias Wrap8 Wrap9 Wrap10 Wrap11 "
    "Wrap12 Wrap13 Wrap14 Wrap15 SeparateAlphaBlendEnable SrcBlendAlpha DestBlendAlpha "
    "BlendOpAlpha ";

std::vector<std::string> Words(const char* text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Each name reaches the pass with a number of its own, in the order written, whatever the
// backend later does with it; D3DRENDERSTATETYPE runs 7 to 209 in the same order.
TEST(FxParseStates, EveryRenderAndSamplerStateNameIsRead) {
  const std::vector<std::string> names = Words(kRenderStateNames);
  std::string states;
  for (const std::string& name : names) states += name + " = 1;\n";
  const Read r = ParsePass(states);
  ASSERT_TRUE(r.ok) << r.error;
  const std::vector<FxRenderState>& read = r.effect.techniques[0].passes[0].renderStates;
  ASSERT_EQ(read.size(), names.size());
  EXPECT_EQ(read.front().state, 7u);
  EXPECT_EQ(read.back().state, 209u);
  for (size_t i = 1; i < read.size(); ++i) EXPECT_GT(read[i].state, read[i - 1].state) << names[i];

  const std::vector<std::string> samplerNames = Words(
      "AddressU AddressV AddressW BorderColor MagFilter MinFilter MipFilter MipMapLODBias "
      "MaxMipLevel MaxAnisotropy SRGBTexture ElementIndex DMapOffset");
  std::string sampler = "sampler s = sampler_state {";
  for (const std::string& name : samplerNames) sampler += " " + name + " = 1;";
  const Read withSampler = ParsePass("", sampler + " };\n");
  ASSERT_TRUE(withSampler.ok) << withSampler.error;
  const std::vector<FxSamplerState>& kept = withSampler.effect.samplers[0].states;
  ASSERT_EQ(kept.size(), samplerNames.size());
  for (size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(kept[i].state, i + 1) << samplerNames[i];
}

TEST(FxParseStates, ValueNamesOfEachKind) {
  const Read r = ParsePass(
      "VertexBlend = 1Weights; VertexBlend = Tweening; VertexBlend = 0WEIGHTS;\n"
      "Wrap0 = U | V; Wrap15 = Coord_3; ClipPlaneEnable = ClipPlane0 | ClipPlane2;\n"
      "AmbientMaterialSource = Color2; PatchEdgeStyle = Continuous; NormalDegree = Quadratic;\n"
      "ColorWriteEnable = All; ColorWriteEnable1 = None; DepthBias = -0.5;\n"
      "Ambient = float4(1, 0, 0, 1); ShadeMode = Flat; FogEnable = TRUE;\n");
  ASSERT_TRUE(r.ok) << r.error;
  const std::vector<std::pair<uint32_t, uint32_t>> want = {
      {151, 1},           {151, 255}, {151, 256}, {128, 3},
      {205, 8},           {152, 5},   {147, 2},   {163, 1},
      {173, 2},           {168, 15},  {190, 0},   {195, 0xBF000000u /* -0.5 */},
      {139, 0xFFFF0000u}, {9, 1},     {28, 1}};
  const std::vector<FxRenderState>& read = r.effect.techniques[0].passes[0].renderStates;
  ASSERT_EQ(read.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(read[i].state, want[i].first) << i;
    EXPECT_EQ(read[i].value, want[i].second) << i;
  }
  // A name belongs to its own kind only, and only the masks join names.
  ExpectError(ParsePass("\nPatchEdgeStyle = Quadratic;"), 4,
              "'Quadratic' is not a value of state 'PatchEdgeStyle'");
  ExpectError(ParsePass("\nVertexBlend = 1Weights | 2Weights;"), 4,
              "'1Weights | 2Weights' is not a value of state 'VertexBlend'");
  ExpectError(ParsePass("\nWrap3 = ClipPlane0;"), 4,
              "'ClipPlane0' is not a value of state 'Wrap3'");
}

TEST(FxParsePasses, ErrorsInsideIncludesNameTheIncludeFile) {
  const FxIncludeReader reader = [](const std::string& name, bool, const std::string&,
                                    std::string* bytes, std::string* label, std::string*) {
    *bytes = "float4 PS() : COLOR0 { return 1; }\ntechnique T { pass {\n  CullMode = Upward; } }\n";
    *label = name;
    return true;
  };
  FxPreprocessed pre;
  FxEffect effect;
  std::string error;
  ASSERT_TRUE(PreprocessFx("main.fx", "float a;\n#include \"techs.fxh\"\n", reader, &pre, &error));
  EXPECT_FALSE(ParseFx(pre, &effect, &error));
  EXPECT_EQ(error.rfind("techs.fxh(3): error: 'Upward'", 0), 0u) << error;
}

TEST(FxParseLimits, CountsAreBounded) {
  std::string many = kFunctions;
  for (size_t i = 0; i <= kMaxFxTechniques; ++i)
    many += "technique T" + std::to_string(i) + " { pass { " + kCompile + " } }\n";
  ExpectError(Parse(many), static_cast<int>(kMaxFxTechniques) + 3, "more than 64 techniques");
  std::string passes = kFunctions + "technique T {\n";
  for (size_t i = 0; i <= kMaxFxPasses; ++i) passes += "pass { " + kCompile + " }\n";
  ExpectError(Parse(passes + "}\n"), static_cast<int>(kMaxFxPasses) + 4, "more than 32 passes");
  std::string samplers;
  for (size_t i = 0; i <= kMaxFxSamplers; ++i) samplers += "sampler s" + std::to_string(i) + ";\n";
  ExpectError(Parse(samplers), static_cast<int>(kMaxFxSamplers) + 1, "more than 32 samplers");
}

// ---- Telling the languages apart -----------------------------------------------------------

TEST(FxDetect, OurGlslFormatAndHlslEffectsAreToldApartByContent) {
  auto is = [](const std::string& s) { return IsFxEffect(s.data(), s.size()); };
  EXPECT_FALSE(
      is("float4x4 m;\nvertex_shader VS { void main() {} }\n"
         "fragment_shader FS { out vec4 c; void main() { c = vec4(1); } }\n"
         "technique T { pass P { VertexShader = VS; FragmentShader = FS; } }\n"));
  EXPECT_FALSE(is("glsl common { float f(float x) { return x; } }\n"));
  EXPECT_FALSE(is(""));
  EXPECT_FALSE(is(std::string("BM\0\0", 4)));
  EXPECT_TRUE(is("// vertex_shader in a comment\nfloat4x4 m : WORLD;\n"));
  EXPECT_TRUE(is("#include \"x.fxh\"\n"));
  EXPECT_TRUE(is("technique T { pass { PixelShader = compile ps_2_0 PS(); } }\n"));
  // A fixed-function pass has no shader to tell it by, only the original format's states.
  EXPECT_TRUE(is("texture t;\ntechnique T { pass { Texture[0] = <t>; Lighting = FALSE; } }\n"));
  EXPECT_FALSE(
      is("vertex_shader V { void main() {} }\nfragment_shader F { void main() {} }\n"
         "technique T { pass P { VertexShader = V; FragmentShader = F; ZEnable = "
         "TRUE; CullMode = None; } }\n"));
  std::string shipped, why;
  ASSERT_TRUE(
      ReadWholeFile(TOBRIN_SOURCE_DIR "/data/Za_rad_2.fx", kMaxEffectFileBytes, &shipped, &why));
  EffectDescription glsl;
  std::string error;
  // Whichever language the shipped effect is in, exactly one reader takes it.
  EXPECT_NE(is(shipped), ParseEffect("Za_rad_2.fx", shipped.data(), shipped.size(), &glsl, &error));
}

// ---- Hostile input -------------------------------------------------------------------------

TEST(FxParseLimits, TruncatedAndCorruptedRealFilesOnlyEverFailInShape) {
  const std::string path = TOBRIN_SOURCE_DIR "/tests/data/fx/dxsdk/ShadowVolume/ShadowVolume.fx";
  std::string bytes, why;
  ASSERT_TRUE(ReadWholeFile(path.c_str(), kMaxEffectFileBytes, &bytes, &why));
  std::mt19937 random(14);
  for (int round = 0; round < 300; ++round) {
    std::string text = bytes.substr(0, random() % bytes.size());
    if (round % 2)
      for (int k = 0; k < 4; ++k) text[random() % text.size()] = static_cast<char>(random());
    FxPreprocessed pre;
    FxEffect effect;
    std::string error;
    if (PreprocessFx("t.fx", text, FxIncludeReader(), &pre, &error) &&
        ParseFx(pre, &effect, &error))
      continue;
    EXPECT_EQ(error.rfind("t.fx(", 0), 0u) << error;
    EXPECT_NE(error.find("): error: "), std::string::npos) << error;
  }
}

}  // namespace
