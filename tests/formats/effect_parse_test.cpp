// Effect parser: one short case per syntax edge, grouped by theme, plus a mutation sweep that
// feeds truncated and corrupted files to make sure hostile input only ever yields an error.
#include "formats/effect_parse.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

using namespace formats;

namespace {

// A minimal complete effect, in pieces, to which each case adds what it is about.
const std::string kVertex =
    "vertex_shader VS { void main() { gl_Position = vec4(inPosition, 1.0); } }\n";
const std::string kFragment = "fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }\n";
const std::string kTechnique =
    "technique T { pass P { VertexShader = VS; FragmentShader = FS; } }\n";
const std::string kShaders = kVertex + kFragment;  // two lines
const std::string kTail = kShaders + kTechnique;

struct Result {
  bool ok;
  EffectDescription effect;
  std::string error;
};

Result Parse(const std::string& text) {
  Result result;
  result.ok = ParseEffect("t.fx", text.data(), text.size(), &result.effect, &result.error);
  return result;
}

Result ParseWithTail(const std::string& head) { return Parse(head + kTail); }

// The error must be exactly at this line, in the documented shape.
void ExpectError(const Result& result, int line, const char* fragment) {
  ASSERT_FALSE(result.ok);
  const std::string prefix = "t.fx(" + std::to_string(line) + "): error: ";
  EXPECT_EQ(result.error.rfind(prefix, 0), 0u) << result.error;
  EXPECT_NE(result.error.find(fragment), std::string::npos) << result.error;
}

// ---- Lexical -------------------------------------------------------------------------------

TEST(EffectParseLexical, CommentsAreSkippedAndLinesStillCount) {
  const Result r = ParseWithTail("// one\n/* two\nthree */ float a; /* x */ float b = 2; // y\n");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.effect.parameters.size(), 2u);
  EXPECT_EQ(r.effect.parameters[0].line, 3);
  EXPECT_EQ(r.effect.parameters[1].value[0], 2.0f);
}

TEST(EffectParseLexical, UnclosedBlockCommentNamesWhereItOpened) {
  ExpectError(Parse("float a;\n\n/* never\nclosed\n"), 3, "never closed");
}

TEST(EffectParseLexical, StrayCharacterIsNamedEscaped) {
  ExpectError(Parse("float a;\nfloat b @;\n"), 2, "'@'");
  ExpectError(Parse("\xff"), 1, "'\\xFF'");
}

TEST(EffectParseLexical, NulByteIsRejected) {
  const std::string text = std::string("float a;\nfloat b;\0\n", 19) + kTail;
  ExpectError(Parse(text), 2, "NUL");
}

TEST(EffectParseLexical, CrLfLineEndsCountOnce) {
  const Result r = Parse("float a;\r\n\r\nfloat b = ;\r\n");
  ExpectError(r, 3, "found ';'");
}

TEST(EffectParseLexical, NumberForms) {
  const Result r = ParseWithTail(
      "float4x4 m = {1, -2, .5, 2e-3, 1.5f, -.25, 3E+2, 0, 0, 0, 0, 0, 0, 0, 0, 7};\n");
  ASSERT_TRUE(r.ok) << r.error;
  const float* v = r.effect.parameters[0].value;
  EXPECT_EQ(v[0], 1.0f);
  EXPECT_EQ(v[1], -2.0f);
  EXPECT_EQ(v[2], 0.5f);
  EXPECT_FLOAT_EQ(v[3], 0.002f);
  EXPECT_EQ(v[4], 1.5f);
  EXPECT_EQ(v[5], -0.25f);
  EXPECT_EQ(v[6], 300.0f);
  EXPECT_EQ(v[15], 7.0f);
}

TEST(EffectParseLexical, MalformedNumbers) {
  ExpectError(Parse("float a = 1e;\n"), 1, "malformed number");
  ExpectError(Parse("float a = 12abc;\n"), 1, "malformed number");
  ExpectError(Parse("float a = 1e99;\n"), 1, "out of range");
  ExpectError(Parse("float a = -;\n"), 1, "'-'");
}

// ---- Parameters ----------------------------------------------------------------------------

TEST(EffectParseParameters, TypesAndDefaults) {
  const Result r =
      ParseWithTail("float a; float2 b; float3 c = {0, 0, 10}; float4 d; float4x4 e; texture t;\n");
  ASSERT_TRUE(r.ok) << r.error;
  const auto& p = r.effect.parameters;
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0].type, ParamType::Float);
  EXPECT_EQ(p[1].type, ParamType::Float2);
  EXPECT_EQ(p[2].type, ParamType::Float3);
  EXPECT_EQ(p[3].type, ParamType::Float4);
  EXPECT_EQ(p[4].type, ParamType::Float4x4);
  EXPECT_EQ(p[5].type, ParamType::Texture);
  EXPECT_EQ(p[0].value[0], 0.0f);
  EXPECT_EQ(p[2].value[2], 10.0f);
  EXPECT_EQ(p[2].name, "c");
}

TEST(EffectParseParameters, ScalarMayBeBracedOrBare) {
  const Result r = ParseWithTail("float a = 0.1; float b = {0.2};\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.effect.parameters[0].value[0], 0.1f);
  EXPECT_EQ(r.effect.parameters[1].value[0], 0.2f);
}

TEST(EffectParseParameters, WrongValueCounts) {
  ExpectError(Parse("float3 v = {1, 2};\n"), 1, "needs 3 values, found 2");
  ExpectError(Parse("float3 v = {1, 2, 3, 4};\n"), 1, "found more");
  ExpectError(Parse("float3 v = 1;\n"), 1, "expected '{'");
  ExpectError(Parse("texture t = 1;\n"), 1, "no initial value");
}

TEST(EffectParseParameters, NamesMustBeFreshAndNotReserved) {
  ExpectError(Parse("float a;\nfloat3 a;\n"), 2, "declared twice");
  ExpectError(Parse("float inPosition;\n"), 1, "reserves");
  ExpectError(Parse("float gl_Thing;\n"), 1, "reserves");
  ExpectError(Parse("float a\nfloat b;\n"), 2, "expected ';' after parameter 'a'");
}

TEST(EffectParseParameters, LongNamesAreRejected) {
  ExpectError(Parse("float " + std::string(65, 'x') + ";\n"), 1, "longer than 64");
}

// ---- Samplers ------------------------------------------------------------------------------

TEST(EffectParseSamplers, DefaultsWhenStatesAreLeftOut) {
  const Result r = ParseWithTail("texture t;\nsampler2D s = sampler_state { Texture = t; };\n");
  ASSERT_TRUE(r.ok) << r.error;
  const EffectSampler& s = r.effect.samplers.at(0);
  EXPECT_EQ(s.texture, 0u);
  EXPECT_EQ(s.minFilter, Filter::Linear);
  EXPECT_EQ(s.magFilter, Filter::Linear);
  EXPECT_EQ(s.addressU, Address::Wrap);
  EXPECT_EQ(s.addressV, Address::Wrap);
}

TEST(EffectParseSamplers, AllStatesAndAngledTexture) {
  const Result r = ParseWithTail(
      "float f; texture t;\n"
      "sampler2D s = sampler_state { Texture = <t>; MinFilter = LinearMipmapLinear;\n"
      "  MagFilter = Nearest; AddressU = Clamp; AddressV = Mirror; }\n");  // no ';': optional
  ASSERT_TRUE(r.ok) << r.error;
  const EffectSampler& s = r.effect.samplers.at(0);
  EXPECT_EQ(s.texture, 1u);
  EXPECT_EQ(s.minFilter, Filter::LinearMipmapLinear);
  EXPECT_EQ(s.magFilter, Filter::Nearest);
  EXPECT_EQ(s.addressU, Address::Clamp);
  EXPECT_EQ(s.addressV, Address::Mirror);
}

TEST(EffectParseSamplers, TextureMustBeADeclaredTexture) {
  ExpectError(ParseWithTail("\nsampler2D s = sampler_state { Texture = t; };\n"), 2,
              "not a declared parameter");
  ExpectError(ParseWithTail("float t;\nsampler2D s = sampler_state { Texture = t; };\n"), 2,
              "not a texture");
  ExpectError(Parse("texture t;\nsampler2D s = sampler_state { MinFilter = Linear; };\n"), 2,
              "names no Texture");
}

TEST(EffectParseSamplers, BadStatesAndValues) {
  ExpectError(Parse("texture t;\nsampler2D s = sampler_state { Filter = Linear; };\n"), 2,
              "unknown sampler state 'Filter'");
  ExpectError(Parse("texture t;\nsampler2D s = sampler_state {\n AddressU = Border; };\n"), 3,
              "allowed: Wrap, Clamp, Mirror");
  ExpectError(Parse("texture t;\nsampler2D s = sampler_state { MagFilter = LinearMipmapLinear; };"),
              2, "allowed: Nearest, Linear");
  ExpectError(Parse("texture t;\nsampler2D s = sampler_state { Texture = t; Texture = t; };"), 2,
              "given twice");
  ExpectError(Parse("texture t;\nsampler2D s = { Texture = t; };"), 2, "sampler_state");
}

TEST(EffectParseSamplers, ShareTheUniformNamespaceWithParameters) {
  ExpectError(Parse("texture t;\nsampler2D t = sampler_state { Texture = t; };"), 2,
              "declared twice");
}

// ---- Shader bodies -------------------------------------------------------------------------

TEST(EffectParseShaders, BodyKeepsNestedBracesCommentsAndStrings) {
  const std::string body = " void main() { if (true) { /* } */ } } // }\n #define S \"}\"\n ";
  const Result r = Parse("vertex_shader VS {" + body + "}\n" + kFragment + kTechnique);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.effect.shaders.at(0).body, body);
}

TEST(EffectParseShaders, BodyLineIsTheLineAfterTheOpeningBrace) {
  const Result r = Parse(
      "\nvertex_shader VS {\n  void main() { gl_Position = vec4(0.0); }\n}\n"
      "fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }\n"
      "glsl common\n{\n}\n"
      "technique T { pass P { VertexShader = VS; FragmentShader = FS; } }\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.effect.shaders[0].line, 2);
  EXPECT_EQ(r.effect.shaders[0].bodyLine, 2);  // the body starts with the rest of line 2
  EXPECT_EQ(r.effect.shaders[0].body[0], '\n');
  EXPECT_EQ(r.effect.shaders[1].bodyLine, 5);
  EXPECT_TRUE(r.effect.hasCommon);
  EXPECT_EQ(r.effect.commonLine, 7);
  EXPECT_EQ(r.effect.shaders[1].stage, ShaderStage::Fragment);
}

TEST(EffectParseShaders, UnclosedBodyNamesItsOpeningLine) {
  ExpectError(Parse("float a;\nvertex_shader VS {\n void main() {\n}\n"), 2,
              "shader 'VS' is never closed");
  ExpectError(Parse("vertex_shader VS { /* \n"), 1, "never closed");
}

TEST(EffectParseShaders, DuplicatesAndMisnamedBlocks) {
  ExpectError(Parse("vertex_shader A { }\nfragment_shader A { }\n"), 2, "declared twice");
  ExpectError(Parse("glsl common { }\nglsl common { }\n"), 2, "declared twice");
  ExpectError(Parse("glsl vertex { }\n"), 1, "expected 'common'");
  ExpectError(Parse("vertex_shader VS void main() {}\n"), 1, "expected '{'");
}

// ---- Techniques and passes -----------------------------------------------------------------

TEST(EffectParseTechniques, PassesInOrderWithOnlyNamedStates) {
  const Result r =
      Parse(kShaders +
            "technique A {\n"
            "  pass P0 { VertexShader = VS; FragmentShader = FS; CullMode = CCW;\n"
            "    ZEnable = FALSE; ZWriteEnable = True; AlphaBlendEnable = true;\n"
            "    SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha; FillMode = Wireframe; }\n"
            "  pass P1 { FragmentShader = FS; VertexShader = VS; }\n"
            "}\n"
            "technique B { }\n");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.effect.techniques.size(), 2u);
  const EffectTechnique& a = r.effect.techniques[0];
  EXPECT_EQ(a.name, "A");
  ASSERT_EQ(a.passes.size(), 2u);
  EXPECT_EQ(a.passes[0].name, "P0");
  EXPECT_EQ(a.passes[1].name, "P1");
  const EffectPass& p0 = a.passes[0];
  EXPECT_EQ(p0.stateMask, uint32_t(kStateCull | kStateZEnable | kStateZWrite | kStateBlendEnable |
                                   kStateSrcBlend | kStateDestBlend | kStateFill));
  EXPECT_EQ(p0.cull, CullMode::CCW);
  EXPECT_FALSE(p0.zEnable);
  EXPECT_TRUE(p0.zWrite);
  EXPECT_TRUE(p0.blendEnable);
  EXPECT_EQ(p0.srcBlend, Blend::SrcAlpha);
  EXPECT_EQ(p0.destBlend, Blend::InvSrcAlpha);
  EXPECT_EQ(p0.fill, FillMode::Wireframe);
  EXPECT_EQ(p0.vertexShader, 0u);
  EXPECT_EQ(p0.fragmentShader, 1u);
  EXPECT_EQ(a.passes[1].stateMask, 0u);
  EXPECT_TRUE(r.effect.techniques[1].passes.empty());
}

TEST(EffectParseTechniques, PassMustNameTwoStagesOfTheRightKind) {
  const std::string& shaders = kShaders;
  ExpectError(Parse(shaders + "technique A {\n pass P { VertexShader = VS; } }"), 4,
              "names no FragmentShader");
  ExpectError(
      Parse(shaders + "technique A {\n pass P { VertexShader = FS; FragmentShader = FS; } }"), 4,
      "'FS' is not a vertex_shader");
  ExpectError(
      Parse(shaders + "technique A {\n pass P { VertexShader = X; FragmentShader = FS; } }"), 4,
      "'X' is not declared");
}

TEST(EffectParseTechniques, BadStates) {
  const std::string& shaders = kShaders;
  ExpectError(Parse(shaders + "technique A { pass P {\n CullMode = Back; } }"), 4,
              "allowed: None, CW, CCW");
  ExpectError(Parse(shaders + "technique A { pass P {\n ZEnable = 1; } }"), 4, "expected a value");
  ExpectError(Parse(shaders + "technique A { pass P {\n Lighting = false; } }"), 4,
              "unknown pass state 'Lighting'");
  ExpectError(Parse(shaders + "technique A { pass P {\n FillMode = Solid; FillMode = Point; } }"),
              4, "given twice");
  ExpectError(Parse(shaders + "technique A { pass P {\n VertexShader = compile vs_3_0 VS(); } }"),
              4, "referred to by name");
}

TEST(EffectParseTechniques, NamesAreUniqueInTheirScope) {
  const std::string& shaders = kShaders;
  ExpectError(Parse(shaders + "technique A { }\ntechnique A { }"), 4, "declared twice");
  ExpectError(Parse(shaders + "technique A { pass P { }\n pass P { } }"), 4, "declared twice");
  // The same pass name in two techniques is fine.
  EXPECT_TRUE(Parse(shaders + "technique A { pass P { VertexShader = VS; FragmentShader = FS; } }"
                              "technique B { pass P { VertexShader = VS; FragmentShader = FS; } }")
                  .ok);
}

TEST(EffectParseTechniques, AFileWithoutTechniqueFails) {
  ExpectError(Parse("float a;\n\n"), 3, "no technique");
  ExpectError(Parse(""), 1, "no technique");
}

TEST(EffectParseTechniques, StrayTopLevelWord) {
  ExpectError(Parse("float a;\nuniform float b;\n"), 2, "found 'uniform'");
}

// ---- Limits and hostile input --------------------------------------------------------------

TEST(EffectParseLimits, CountsAndSizeAreBounded) {
  std::string many;
  for (int i = 0; i <= 256; ++i) many += "float p" + std::to_string(i) + ";\n";
  ExpectError(Parse(many), 257, "too many parameters");
  std::string passes = kShaders + "technique A {\n";
  for (int i = 0; i <= 32; ++i)
    passes += "pass P" + std::to_string(i) + " { VertexShader = VS; FragmentShader = FS; }\n";
  ExpectError(Parse(passes + "}"), 36, "too many passes");
  ExpectError(Parse(std::string(kMaxEffectFileBytes + 1, ' ')), 1, "larger than");
}

TEST(EffectParseLimits, NullTextIsAnEmptyFile) {
  EffectDescription effect;
  std::string error;
  EXPECT_FALSE(ParseEffect(nullptr, nullptr, 100, &effect, &error));
  EXPECT_NE(error.find("no technique"), std::string::npos) << error;
}

// Every prefix of a full file and many random corruptions of it: each must either parse or give
// an error in the documented shape; a crash or an out-of-bounds read (under the sanitizer build)
// fails the test run.
TEST(EffectParseLimits, TruncatedAndCorruptedFilesOnlyEverFail) {
  const std::string full =
      "float a = 1; float3 b = {1, 2, 3}; texture t; /* c */\n"
      "sampler2D s = sampler_state { Texture = <t>; MinFilter = Nearest; };\n"
      "glsl common { float f() { return 1.0; } }\n" +
      kTail + "technique U { pass Q { CullMode = CW; VertexShader = VS; FragmentShader = FS; } }\n";
  for (size_t n = 0; n < full.size(); ++n) {
    const Result r = Parse(full.substr(0, n));
    if (!r.ok) {
      EXPECT_EQ(r.error.rfind("t.fx(", 0), 0u) << r.error;
    }
  }
  std::mt19937 random(1234);
  const char alphabet[] = "{}/*;=<>\"\n\\-.0e \xff";
  for (int round = 0; round < 3000; ++round) {
    std::string text = full;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % text.size();
      switch (random() % 3) {
        case 0: text[at] = alphabet[random() % (sizeof alphabet - 1)]; break;
        case 1: text.erase(at, 1 + random() % 8); break;
        default: text.insert(at, 1, static_cast<char>(random() % 256)); break;
      }
      if (text.empty()) text = "{";
    }
    const Result r = Parse(text);
    if (!r.ok) {
      EXPECT_EQ(r.error.rfind("t.fx(", 0), 0u) << r.error;
    }
  }
  EXPECT_TRUE(Parse(full).ok) << Parse(full).error;
}

}  // namespace
