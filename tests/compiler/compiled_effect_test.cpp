// The effect compiler without GL: what both languages compile to, and the binary form the checking
// child hands back, which must refuse every cut or damaged copy with a reason.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "compiler/compile_effect.hpp"
#include "compiler/effect_binary.hpp"
#include "compiler/expression.hpp"
#include "compiler/fixed_function.hpp"
#include "compiler/pass_states.hpp"

namespace {

using namespace compiler;

const std::string kSource = TOBRIN_SOURCE_DIR;

CompiledEffect Compile(const std::string& path) {
  CompiledEffect effect;
  std::string error;
  EXPECT_EQ(CompileEffectFile(path.c_str(), &effect, &error), CompileResult::Compiled) << error;
  return effect;
}

const Parameter* FindParameter(const CompiledEffect& effect, const std::string& name) {
  for (const Parameter& p : effect.parameters)
    if (p.name == name) return &p;
  return nullptr;
}

std::string WriteTemp(const std::string& name, const std::string& text) {
  const std::string path = testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// ---- What the two languages compile to --------------------------------------------------------

TEST(CompiledEffect, TheShippedHlslEffectAndItsGlslTwinDescribeTheSameScene) {
  const CompiledEffect hlsl = Compile(kSource + "/data/Za_rad_2.fx");
  const CompiledEffect glsl = Compile(kSource + "/tests/data/effects/scene_glsl.fx");
  EXPECT_EQ(hlsl.language, SourceLanguage::Hlsl);
  EXPECT_EQ(glsl.language, SourceLanguage::Glsl);
  for (const CompiledEffect* effect : {&hlsl, &glsl}) {
    ASSERT_EQ(effect->techniques.size(), 2u);
    EXPECT_EQ(effect->techniques[0].name, "ColorAnimation");
    EXPECT_EQ(effect->techniques[1].name, "VertexAnimation");
    const Parameter* light = FindParameter(*effect, "light_position");
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->value, (std::vector<float>{0, 0, 10}));
    const Parameter* world = FindParameter(*effect, "matWorld");
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(world->kind, ParameterKind::Matrix);
    ASSERT_EQ(effect->samplers.size(), 1u);
    EXPECT_EQ(effect->parameters[effect->samplers[0].texture].name, "inTexture");
    std::string why;
    EXPECT_TRUE(ValidateCompiledEffect(*effect, &why)) << why;
  }
  // A D3D9 effect's passes face clockwise; ours counter-clockwise only where they name culling.
  EXPECT_EQ(hlsl.techniques[0].passes[0].frontFace, FrontFace::Clockwise);
}

TEST(CompiledEffect, APixelStageBlockHoldsOnlyTheValuesThatStageReads) {
  // The world matrix changes for every object; were it in the pixel stage's block, that block
  // would be sent again for every draw.
  const CompiledEffect effect = Compile(kSource + "/data/Za_rad_2.fx");
  const int world = static_cast<int>(FindParameter(effect, "matWorld") - effect.parameters.data());
  const int light =
      static_cast<int>(FindParameter(effect, "light_position") - effect.parameters.data());
  const Program& program = effect.programs[effect.techniques[0].passes[0].program];
  bool vertexWorld = false, pixelWorld = false, pixelLight = false;
  for (const Block& block : program.blocks)
    for (const BlockMember& member : block.members) {
      const bool vertex = block.binding == 0;
      vertexWorld |= vertex && member.parameter == static_cast<uint32_t>(world);
      pixelWorld |= !vertex && member.parameter == static_cast<uint32_t>(world);
      pixelLight |= !vertex && member.parameter == static_cast<uint32_t>(light);
    }
  EXPECT_TRUE(vertexWorld);
  EXPECT_FALSE(pixelWorld);
  EXPECT_TRUE(pixelLight);
}

TEST(CompiledEffect, OurFormatsStatesBecomeTheOriginalPlatformsNumbers) {
  const std::string path = WriteTemp("states.fx", R"(float4x4 m;
texture t;
sampler2D s = sampler_state { Texture = t; MinFilter = NearestMipmapLinear; MagFilter = Nearest;
                              AddressU = Clamp; AddressV = Mirror; };
vertex_shader vs { void main() { gl_Position = m * vec4(inPosition, 1.0); } }
fragment_shader fs { out vec4 c; void main() { c = texture(s, vec2(0.5)); } }
technique T { pass P { VertexShader = vs; FragmentShader = fs; CullMode = CW; ZWriteEnable = false;
  AlphaBlendEnable = true; SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha; FillMode = Wireframe; } }
)");
  const CompiledEffect effect = Compile(path);
  ASSERT_EQ(effect.techniques.size(), 1u);
  const Pass& pass = effect.techniques[0].passes[0];
  EXPECT_EQ(pass.frontFace, FrontFace::CounterClockwise);
  const std::vector<std::pair<uint32_t, uint32_t>> want = {
      {kRsCullMode, 2}, {kRsZWriteEnable, 0}, {kRsAlphaBlendEnable, 1},
      {kRsSrcBlend, 5}, {kRsDestBlend, 6},    {kRsFillMode, 2}};
  std::vector<std::pair<uint32_t, uint32_t>> got;
  for (const RenderState& state : pass.states) got.push_back({state.state, state.value});
  EXPECT_EQ(got, want);
  // Point, linear mips, point magnification, clamp and mirror.
  std::vector<std::pair<uint32_t, uint32_t>> sampler;
  for (const SamplerState& state : effect.samplers[0].states)
    sampler.push_back({state.state, state.value});
  EXPECT_EQ(sampler, (std::vector<std::pair<uint32_t, uint32_t>>{{kSampMinFilter, 1},
                                                                 {kSampMipFilter, 2},
                                                                 {kSampMagFilter, 1},
                                                                 {kSampAddressU, 3},
                                                                 {kSampAddressV, 2}}));
  // The parameters live in one std140 block: the matrix at 0, its columns 16 bytes apart.
  const Program& program = effect.programs[pass.program];
  ASSERT_EQ(program.blocks.size(), 1u);
  ASSERT_EQ(program.blocks[0].members.size(), 1u);
  EXPECT_EQ(program.blocks[0].size, 64u);
  EXPECT_EQ(program.blocks[0].members[0].rowStride, 16u);
  EXPECT_NE(program.vertex.glsl.find("layout(std140) uniform"), std::string::npos);
}

TEST(CompiledEffect, AnnotationsAndSemanticsAreKeptForTools) {
  const std::string path = WriteTemp("annotated.fx", R"(
float4x4 wvp : WORLDVIEWPROJECTION < string UIName = "World view projection"; >;
float gloss < string UIWidget = "slider"; float UIMin = 0.0; float UIMax = 1.0; > = 0.5;
float4 VS(float4 p : POSITION) : POSITION { return mul(p, wvp); }
float4 PS() : COLOR { return gloss; }
technique T { pass P { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); } }
)");
  const CompiledEffect effect = Compile(path);
  const Parameter* wvp = FindParameter(effect, "wvp");
  const Parameter* gloss = FindParameter(effect, "gloss");
  ASSERT_TRUE(wvp && gloss);
  EXPECT_EQ(wvp->semantic, "WORLDVIEWPROJECTION");
  ASSERT_EQ(wvp->annotations.size(), 1u);
  EXPECT_EQ(wvp->annotations[0].name, "UIName");
  EXPECT_EQ(wvp->annotations[0].value, "\"World view projection\"");
  ASSERT_EQ(gloss->annotations.size(), 3u);
  EXPECT_EQ(gloss->annotations[2].type, "float");
  EXPECT_EQ(gloss->annotations[2].name, "UIMax");
  EXPECT_EQ(gloss->annotations[2].value, "1.0");
  EXPECT_EQ(gloss->value, std::vector<float>{0.5f});
}

TEST(CompiledEffect, ErrorsNameTheFileAndLineAndAMissingFileIsToldApart) {
  CompiledEffect effect;
  std::string error;
  EXPECT_EQ(CompileEffectFile((testing::TempDir() + "/none.fx").c_str(), &effect, &error),
            CompileResult::FileMissing);
  EXPECT_NE(error.find("could not open"), std::string::npos) << error;
  const std::string path = WriteTemp("broken.fx", R"(float4 PS() : COLOR { return undeclared; }
technique T { pass P { PixelShader = compile ps_2_0 PS(); } }
)");
  EXPECT_EQ(CompileEffectFile(path.c_str(), &effect, &error), CompileResult::Failed);
  EXPECT_NE(error.find("broken.fx(1): error:"), std::string::npos) << error;
  EXPECT_NE(error.find("undeclared"), std::string::npos) << error;
}

TEST(CompiledEffect, ShaderModelOneBuildsAndPixelShadersOfItSayTheyAreCompiledAsTwo) {
  const std::string body = R"(float4x4 WVP;
float4 VS(float4 p : POSITION) : POSITION { return mul(p, WVP); }
float4 PS() : COLOR { return float4(1, 0.5, 0.25, 1); }
)";
  const std::string one = WriteTemp("sm1.fx", body + R"(technique T {
  pass A { VertexShader = compile vs_1_1 VS(); PixelShader = compile ps_2_0 PS(); }
  pass B { VertexShader = compile vs_1_1 VS();
           PixelShader = compile ps_1_4 PS(); }
  pass C { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_1_1 PS(); }
}
)");
  const CompiledEffect effect = Compile(one);
  ASSERT_EQ(effect.techniques.size(), 1u);
  EXPECT_EQ(effect.techniques[0].passes.size(), 3u);
  // One line for the file, at the first pixel shader of model 1, whatever else follows.
  ASSERT_EQ(effect.warnings.size(), 1u);
  EXPECT_NE(effect.warnings[0].find("sm1.fx(7): warning: ps_1_4 is compiled as ps_2_0"),
            std::string::npos)
      << effect.warnings[0];
  // vs_1_1 alone is no reason to warn.
  const std::string two = WriteTemp("sm1_vertex.fx", body + R"(technique T {
  pass A { VertexShader = compile vs_1_1 VS(); PixelShader = compile ps_2_0 PS(); }
}
)");
  EXPECT_TRUE(Compile(two).warnings.empty());
  // Profiles the original compiler never had are still refused, with the line.
  CompiledEffect refused;
  std::string error;
  const std::string bad = WriteTemp("sm1_bad.fx", body + R"(technique T {
  pass A { VertexShader = compile vs_1_0 VS(); PixelShader = compile ps_2_0 PS(); }
}
)");
  EXPECT_EQ(CompileEffectFile(bad.c_str(), &refused, &error), CompileResult::Failed);
  EXPECT_NE(error.find("sm1_bad.fx(5): error:"), std::string::npos) << error;
  EXPECT_NE(error.find("'vs_1_0' is not a Direct3D 9 vertex shader profile"), std::string::npos)
      << error;
}

TEST(CompiledEffect, MessagesOfStagesCompiledSideBySideComeInOneOrderEachOnce) {
  // Every stage compiles the whole text, so the fault fails each of them; the stages run on
  // threads of their own, and what they report must not depend on which finished first.
  const std::string path = WriteTemp("two_broken.fx", R"(float4 VS(float4 p : POSITION) : POSITION {
  return p * first_missing;
}
float4 PS() : COLOR { return 1; }
float4 Other() : COLOR { return 0.5; }
technique A { pass P { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); } }
technique B { pass P { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 Other(); } }
)");
  std::string first;
  for (int run = 0; run < 8; ++run) {
    CompiledEffect effect;
    std::string error;
    ASSERT_EQ(CompileEffectFile(path.c_str(), &effect, &error), CompileResult::Failed);
    ASSERT_NE(error.find("two_broken.fx(2): error: 'first_missing'"), std::string::npos) << error;
    if (run == 0) first = error;
    EXPECT_EQ(error, first) << "run " << run;
    std::vector<std::string> seen;
    for (size_t at = 0, end; (end = error.find('\n', at)) != std::string::npos; at = end + 1)
      seen.push_back(error.substr(at, end - at));
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end()) << error;
  }
}

// ---- Shaders picked by an index over parameters ----------------------------------------------

// The parameters' initial values, but for one scalar the test sets.
struct Values {
  const CompiledEffect* effect;
  uint32_t overridden;
  float value;
};
float ReadValue(const void* context, uint32_t parameter, float index) {
  const Values& v = *static_cast<const Values*>(context);
  const Parameter& p = v.effect->parameters[parameter];
  if (parameter == v.overridden) return v.value;
  return p.value[IndexOf(index, std::max(p.elements, 1u)) * p.rows * p.columns];
}

TEST(CompiledEffect, AShaderIndexOverParametersGivesEachIndexTheProgramOfItsPair) {
  const CompiledEffect effect = Compile(kSource + "/tests/data/fx/fna/BasicEffect.fx");
  const Pass& pass = effect.techniques[0].passes[0];
  ASSERT_EQ(pass.vertexShaders, 20u);
  ASSERT_EQ(pass.pixelShaders, 10u);
  ASSERT_EQ(pass.programs.size(), 200u);
  const Parameter* shaderIndex = FindParameter(effect, "ShaderIndex");
  const Parameter* vsIndices = FindParameter(effect, "VSIndices");
  const Parameter* psIndices = FindParameter(effect, "PSIndices");
  ASSERT_TRUE(shaderIndex && vsIndices && psIndices);
  ASSERT_EQ(vsIndices->elements, 32u);
  Values values{&effect, static_cast<uint32_t>(shaderIndex - effect.parameters.data()), 0};
  const auto programOf = [&](float index, uint32_t* v, uint32_t* p) {
    values.value = index;
    *v = IndexOf(EvaluateExpression(pass.vertexIndex, ReadValue, &values), pass.vertexShaders);
    *p = IndexOf(EvaluateExpression(pass.pixelIndex, ReadValue, &values), pass.pixelShaders);
    return pass.programs[*v * pass.pixelShaders + *p];
  };
  // Every index picks the shaders the file's tables name for it, in a program of those two
  // stages: programs share a vertex stage exactly when their vertex indices agree.
  std::vector<std::pair<uint32_t, uint32_t>> pairs;
  std::vector<uint32_t> programs;
  for (int i = 0; i < 32; ++i) {
    uint32_t v = 0, p = 0;
    const uint32_t program = programOf(static_cast<float>(i), &v, &p);
    EXPECT_EQ(v, static_cast<uint32_t>(vsIndices->value[i])) << i;
    EXPECT_EQ(p, static_cast<uint32_t>(psIndices->value[i])) << i;
    for (size_t k = 0; k < pairs.size(); ++k) {
      const Program& a = effect.programs[program];
      const Program& b = effect.programs[programs[k]];
      EXPECT_EQ(a.vertex.glsl == b.vertex.glsl, pairs[k].first == v) << i << " and " << k;
      EXPECT_EQ(a.fragment.glsl == b.fragment.glsl, pairs[k].second == p) << i << " and " << k;
    }
    pairs.push_back({v, p});
    programs.push_back(program);
  }
  EXPECT_EQ(pass.program, programs[0]);  // ShaderIndex starts at 0
  // Out of range, the index clamps into the tables; between whole numbers it rounds.
  uint32_t v = 0, p = 0;
  EXPECT_EQ(programOf(-5, &v, &p), programs[0]);
  EXPECT_EQ(programOf(1000, &v, &p), programs[31]);
  EXPECT_EQ(programOf(6.6f, &v, &p), programs[7]);
  std::string why;
  EXPECT_TRUE(ValidateCompiledEffect(effect, &why)) << why;
}

TEST(CompiledEffect, IndexExpressionsEvaluateWithCsPrecedenceAndRefuseAnUnevenStack) {
  // (Alpha < 1 && !(Mode >= 2)) ? table[Mode] : Mode * 2 - 1, in postfix.
  Expression e;
  e.table = {7, 8, 9};
  e.steps = {{ExprOp::Parameter, 0, 0, 0}, {ExprOp::Constant, 0, 0, 1},
             {ExprOp::Less, 0, 0, 0},      {ExprOp::Parameter, 1, 0, 0},
             {ExprOp::Constant, 0, 0, 2},  {ExprOp::GreaterEqual, 0, 0, 0},
             {ExprOp::Not, 0, 0, 0},       {ExprOp::And, 0, 0, 0},
             {ExprOp::Parameter, 1, 0, 0}, {ExprOp::TableElement, 0, 3, 0},
             {ExprOp::Parameter, 1, 0, 0}, {ExprOp::Constant, 0, 0, 2},
             {ExprOp::Multiply, 0, 0, 0},  {ExprOp::Constant, 0, 0, 1},
             {ExprOp::Subtract, 0, 0, 0},  {ExprOp::Select, 0, 0, 0}};
  std::vector<Parameter> parameters(2);
  float alphaAndMode[2] = {0.5f, 1};
  const auto read = [](const void* context, uint32_t parameter, float) {
    return static_cast<const float*>(context)[parameter];
  };
  std::string why;
  ASSERT_TRUE(CheckExpression(e, parameters, &why)) << why;
  EXPECT_EQ(EvaluateExpression(e, read, alphaAndMode), 8);
  alphaAndMode[1] = 5;  // Mode >= 2: the other branch
  EXPECT_EQ(EvaluateExpression(e, read, alphaAndMode), 9);
  alphaAndMode[0] = 1;
  alphaAndMode[1] = -1;  // the table clamps, but Alpha < 1 fails first
  EXPECT_EQ(EvaluateExpression(e, read, alphaAndMode), -3);

  Expression bad = e;
  bad.steps.pop_back();
  EXPECT_FALSE(CheckExpression(bad, parameters, &why));  // three values left
  bad.steps = {{ExprOp::Add, 0, 0, 0}};
  EXPECT_FALSE(CheckExpression(bad, parameters, &why));
  bad.steps = {{ExprOp::Constant, 0, 0, 0}, {ExprOp::TableElement, 2, 2, 0}};
  EXPECT_FALSE(CheckExpression(bad, parameters, &why));  // past the table's end
  bad.steps.assign(kMaxExpressionStack + 1, {ExprOp::Constant, 0, 0, 0});
  EXPECT_FALSE(CheckExpression(bad, parameters, &why));
  parameters[1].kind = ParameterKind::Texture;
  bad.steps = {{ExprOp::Parameter, 1, 0, 0}};
  EXPECT_FALSE(CheckExpression(bad, parameters, &why));

  EXPECT_EQ(IndexOf(2.49f, 4), 2u);
  EXPECT_EQ(IndexOf(2.5f, 4), 3u);
  EXPECT_EQ(IndexOf(9, 4), 3u);
  EXPECT_EQ(IndexOf(-0.4f, 4), 0u);
  EXPECT_EQ(IndexOf(std::nanf(""), 4), 0u);
}

// ---- The binary form ------------------------------------------------------------------------

// A fixed-function pass: values from parameters (one an array's element) and constants.
const char kFixedFunction[] = R"(float4x4 World;
float4 LightPos[2] = { float4(1, 2, 3, 1), float4(4, 5, 6, 1) };
texture Tex;
technique T { pass P {
  WorldTransform[0] = <World>; LightEnable[1] = TRUE; LightType[1] = Point;
  LightPosition[1] = <LightPos[1]>; MaterialDiffuse = float4(1, 0, 0, 1);
  Texture[0] = <Tex>; ColorOp[0] = Modulate; } }
)";

TEST(CompiledEffectBinary, ReadsBackWhatWasWrittenForBothLanguages) {
  for (const std::string& file :
       {kSource + "/data/Za_rad_2.fx", kSource + "/tests/data/effects/scene_glsl.fx",
        WriteTemp("fixed.fx", kFixedFunction), kSource + "/tests/data/fx/fna/BasicEffect.fx"}) {
    const CompiledEffect effect = Compile(file);
    const std::string bytes = WriteCompiledEffect(effect);
    CompiledEffect read;
    std::string why;
    ASSERT_TRUE(ReadCompiledEffect(bytes, &read, &why)) << file << ": " << why;
    EXPECT_EQ(WriteCompiledEffect(read), bytes) << file;
    EXPECT_EQ(read.programs[0].fragment.glsl, effect.programs[0].fragment.glsl);
  }
}

TEST(CompiledEffectBinary, EveryCutAndEveryFlippedByteOfTheHeaderIsRefused) {
  const std::string bytes = WriteCompiledEffect(Compile(kSource + "/data/Za_rad_2.fx"));
  CompiledEffect read;
  std::string why;
  for (size_t size = 0; size < bytes.size(); ++size) {
    why.clear();
    ASSERT_FALSE(ReadCompiledEffect(bytes.substr(0, size), &read, &why)) << size;
    ASSERT_FALSE(why.empty()) << size;
  }
  EXPECT_FALSE(ReadCompiledEffect(bytes + "x", &read, &why));
  for (size_t at = 0; at < 16; ++at) {
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x40);
    EXPECT_FALSE(ReadCompiledEffect(damaged, &read, &why)) << at;
  }
  std::string newer = bytes;
  newer[8] = static_cast<char>(kCompiledEffectVersion + 1);
  EXPECT_FALSE(ReadCompiledEffect(newer, &read, &why));
  EXPECT_NE(why.find("version"), std::string::npos) << why;
}

TEST(CompiledEffectBinary, IndicesAndExtentsThatPointNowhereAreRefused) {
  const CompiledEffect good = Compile(kSource + "/data/Za_rad_2.fx");
  const auto refused = [](const CompiledEffect& effect, const char* what) {
    CompiledEffect read;
    std::string why;
    EXPECT_FALSE(ReadCompiledEffect(WriteCompiledEffect(effect), &read, &why)) << what;
    EXPECT_NE(why.find("damaged"), std::string::npos) << what << ": " << why;
  };
  CompiledEffect e = good;
  e.techniques[1].passes[0].program = static_cast<uint32_t>(e.programs.size());
  refused(e, "a pass naming a program past the end");
  e = good;
  e.programs[0].blocks[0].members[0].offset = e.programs[0].blocks[0].size;
  refused(e, "a member outside its block");
  e = good;
  e.programs[0].blocks[0].members[0].parameter = static_cast<uint32_t>(e.parameters.size());
  refused(e, "a member reading no parameter");
  e = good;
  e.samplers[0].texture = 0;  // a numeric parameter
  refused(e, "a sampler reading a number");
  e = good;
  e.parameters[0].value.push_back(1.0f);
  refused(e, "a parameter with more values than its shape");
  e = good;
  e.samplerSets[0].source[0] = 7;
  refused(e, "a sampler set reading no sampler");

  const CompiledEffect picking = Compile(kSource + "/tests/data/fx/fna/AlphaTestEffect.fx");
  ASSERT_FALSE(picking.techniques[0].passes[0].programs.empty());
  e = picking;
  e.techniques[0].passes[0].programs.pop_back();
  refused(e, "a table short of one pair of indices");
  e = picking;
  e.techniques[0].passes[0].programs[0] = static_cast<uint32_t>(e.programs.size());
  refused(e, "a table naming a program past the end");
  e = picking;
  e.techniques[0].passes[0].vertexIndex.steps.push_back({ExprOp::Add, 0, 0, 0});
  refused(e, "an index that pops more than it pushed");
  e = picking;
  e.techniques[0].passes[0].pixelIndex.steps[0] = {ExprOp::Parameter, 0, 0, 0};  // the texture
  refused(e, "an index reading a texture");
  e = good;
  e.techniques[0].passes[0].vertexIndex.steps.push_back({ExprOp::Constant, 0, 0, 1});
  refused(e, "an index with no table to pick from");
  e = good;
  StateExpression value;
  value.state = static_cast<uint32_t>(e.techniques[0].passes[0].states.size());
  value.value.steps = {{ExprOp::Constant, 0, 0, 1}};
  e.techniques[0].passes[0].stateValues.push_back(value);
  refused(e, "a state value for a state the pass does not set");

  const CompiledEffect fixed = Compile(WriteTemp("fixed.fx", kFixedFunction));
  ASSERT_EQ(fixed.techniques[0].passes[0].fixed.size(), 3u);
  e = fixed;
  e.techniques[0].passes[0].fixed[0].slot = kFixedSlotCount;
  refused(e, "a fixed-function value that does not exist");
  e = fixed;
  e.techniques[0].passes[0].fixed[1].parameterElement = 2;
  refused(e, "a fixed-function value from past the end of its array");
  e = fixed;
  for (compiler::Block& block : e.programs[0].blocks)
    for (compiler::BlockMember& m : block.members)
      if (m.fixed) m.parameter = kFixedSlotCount;
  refused(e, "a member reading no fixed-function value");
}

TEST(CompiledEffectBinary, AHugeCountIsRefusedBeforeAnythingIsReserved) {
  // The parameter count sits right after the header, the language and the file name.
  const CompiledEffect good = Compile(kSource + "/data/Za_rad_2.fx");
  std::string bytes = WriteCompiledEffect(good);
  const size_t count = 16 + 1 + 4 + good.file.size();
  for (int i = 0; i < 4; ++i) bytes[count + i] = static_cast<char>(0xff);
  CompiledEffect read;
  std::string why;
  EXPECT_FALSE(ReadCompiledEffect(bytes, &read, &why));
  EXPECT_NE(why.find("a count of 4294967295"), std::string::npos) << why;
}

}  // namespace
