// The OpenGL effect on a real context: creation errors point into the effect file, values reach
// the programs, passes apply and End restores their states, null textures read white, and the
// cull modes discard the winding they name. Effect files are written to a temporary folder.
#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/gl/gl_state.hpp"
#include "tests/gl/gl_context.hpp"

namespace {

std::string TempDir() {
  static std::string dir;
  if (dir.empty()) {
    char pattern[] = "/tmp/effect_gl_test_XXXXXX";
    const char* made = mkdtemp(pattern);
    dir = made ? made : "/tmp";
  }
  return dir;
}

std::string WriteEffect(const std::string& name, const std::string& text) {
  const std::string path = TempDir() + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  EXPECT_NE(file, nullptr) << path;
  if (file) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  return path;
}

// 1-based line of the first line holding marker.
int LineOf(const std::string& text, const char* marker) {
  const size_t at = text.find(marker);
  EXPECT_NE(at, std::string::npos) << marker;
  int line = 1;
  for (size_t i = 0; i < at && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

struct Created {
  gfx::HRESULT result;
  gfx::Effect* effect;
  std::string errors;
};

Created Create(const std::string& path) {
  Created created{0, reinterpret_cast<gfx::Effect*>(1), ""};
  gfx::Buffer* errors = reinterpret_cast<gfx::Buffer*>(1);
  created.result = gfx::CreateEffectFromFile(nullptr, path.c_str(), nullptr, nullptr, 0, nullptr,
                                             &created.effect, &errors);
  if (errors) {
    const char* text = static_cast<const char*>(errors->GetBufferPointer());
    EXPECT_EQ(text[errors->GetBufferSize() - 1], '\0');
    created.errors = text;
    errors->Release();
  }
  return created;
}

// Draws a triangle covering the whole target, from gl_VertexID alone; `order` > 0.5 swaps two
// corners and so turns the on-screen winding from clockwise to counter-clockwise.
const char kEffect[] = R"(// test effect
float kAmbient = 0.25;
float3 light_position = {0, 0, 10};
float4 tint = {1, 1, 1, 1};
float order;
float4x4 matWorld;
texture inTexture;
sampler2D baseMap = sampler_state { Texture = inTexture; MinFilter = Nearest; MagFilter = Nearest; };

glsl common {
  vec2 Corner(int i) {
    vec2 c[3] = vec2[3](vec2(-1.0, -1.0), vec2(-1.0, 3.0), vec2(3.0, -1.0));
    if (order > 0.5 && i > 0) i = 3 - i;
    return c[i];
  }
}
vertex_shader FullVS {
  out vec2 uv;
  void main() {
    vec2 p = Corner(gl_VertexID);
    uv = p * 0.5 + 0.5;
    gl_Position = matWorld * vec4(p, 0.0, 1.0);
    gl_Position.z += 1e-6 * (kAmbient + dot(light_position, vec3(1.0)));  // keeps both in use
  }
}
fragment_shader TexturedFS {
  in vec2 uv;
  out vec4 colour;
  void main() { colour = texture(baseMap, uv) * tint; }
}
fragment_shader TintFS {
  in vec2 uv;
  out vec4 colour;
  void main() { colour = tint; }
}
technique Two {
  pass P0 { VertexShader = FullVS; FragmentShader = TexturedFS; }
  pass P1 { VertexShader = FullVS; FragmentShader = TintFS; }
}
technique Three {
  pass A { VertexShader = FullVS; FragmentShader = TintFS; }
  pass B { VertexShader = FullVS; FragmentShader = TintFS; }
  pass C { VertexShader = FullVS; FragmentShader = TintFS; }
}
technique States {
  pass P0 {
    VertexShader = FullVS; FragmentShader = TexturedFS;
    CullMode = CW; ZEnable = false; ZWriteEnable = false; AlphaBlendEnable = true;
    SrcBlend = One; DestBlend = One; FillMode = Wireframe;
  }
}
technique CullCW { pass P0 { VertexShader = FullVS; FragmentShader = TintFS; CullMode = CW; } }
technique CullCCW { pass P0 { VertexShader = FullVS; FragmentShader = TintFS; CullMode = CCW; } }
technique NoPasses { }
)";

class EffectGl : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_GL_CONTEXT();
    const Created created = Create(WriteEffect("good.fx", kEffect));
    ASSERT_EQ(created.result, gfx::S_OK) << created.errors;
    effect_ = created.effect;
    ASSERT_NE(effect_, nullptr);
  }
  void TearDown() override {
    if (effect_) effect_->Release();
  }

  // The value of a parameter as the program in use reads it: its member of the uniform block, in
  // the buffer bound to the block's binding point (up to 16 floats).
  static void Uniform(const char* name, float* out) {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    ASSERT_NE(program, 0);
    GLuint index = GL_INVALID_INDEX;
    glGetUniformIndices(static_cast<GLuint>(program), 1, &name, &index);
    ASSERT_NE(index, GL_INVALID_INDEX) << name;
    GLint block = -1, offset = 0, binding = 0, buffer = 0, size = 0;
    glGetActiveUniformsiv(static_cast<GLuint>(program), 1, &index, GL_UNIFORM_BLOCK_INDEX, &block);
    glGetActiveUniformsiv(static_cast<GLuint>(program), 1, &index, GL_UNIFORM_OFFSET, &offset);
    ASSERT_GE(block, 0) << name;
    glGetActiveUniformBlockiv(static_cast<GLuint>(program), static_cast<GLuint>(block),
                              GL_UNIFORM_BLOCK_BINDING, &binding);
    glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, static_cast<GLuint>(binding), &buffer);
    ASSERT_NE(buffer, 0) << name;
    GLint bound = 0;
    glGetIntegerv(GL_UNIFORM_BUFFER_BINDING, &bound);
    glBindBuffer(GL_UNIFORM_BUFFER, static_cast<GLuint>(buffer));
    glGetBufferParameteriv(GL_UNIFORM_BUFFER, GL_BUFFER_SIZE, &size);
    const GLint bytes = std::min<GLint>(16 * sizeof(float), size - offset);
    glGetBufferSubData(GL_UNIFORM_BUFFER, offset, bytes, out);
    glBindBuffer(GL_UNIFORM_BUFFER, static_cast<GLuint>(bound));
  }
  static float Uniform1(const char* name) {
    float value[16] = {};
    Uniform(name, value);
    return value[0];
  }

  gfx::Effect* effect_ = nullptr;
};

// ---- Creation errors -----------------------------------------------------------------------

TEST(EffectGlCreate, MissingFileNamesTheFile) {
  REQUIRE_GL_CONTEXT();
  const Created created = Create(TempDir() + "/no_such.fx");
  EXPECT_TRUE(gfx::Failed(created.result));
  EXPECT_EQ(created.effect, nullptr);
  EXPECT_NE(created.errors.find("no_such.fx"), std::string::npos) << created.errors;
  EXPECT_NE(created.errors.find("could not open"), std::string::npos) << created.errors;
  // The error buffer is optional.
  gfx::Effect* effect = nullptr;
  EXPECT_TRUE(gfx::Failed(gfx::CreateEffectFromFile(nullptr, "no\\such.fx", nullptr, nullptr, 0,
                                                    nullptr, &effect, nullptr)));
  EXPECT_EQ(effect, nullptr);
}

TEST(EffectGlCreate, BackslashedNamesOpen) {
  REQUIRE_GL_CONTEXT();
  std::string path = WriteEffect("slashes.fx", kEffect);
  for (char& c : path)
    if (c == '/') c = '\\';
  const Created created = Create(path);
  ASSERT_EQ(created.result, gfx::S_OK) << created.errors;
  created.effect->Release();
}

TEST(EffectGlCreate, OuterSyntaxErrorNamesFileAndLine) {
  REQUIRE_GL_CONTEXT();
  const std::string text =
      std::string(kEffect) + "\n\ntechnique Broken { pass P0 { CullMode = Sideways; } }\n";
  const Created created = Create(WriteEffect("outer.fx", text));
  EXPECT_TRUE(gfx::Failed(created.result));
  EXPECT_EQ(created.effect, nullptr);
  const std::string expected =
      TempDir() + "/outer.fx(" + std::to_string(LineOf(text, "Sideways")) + "): error: ";
  EXPECT_EQ(created.errors.rfind(expected, 0), 0u) << created.errors;
}

// The driver's "0:LINE(COL)" must come back as lines of the effect file, for an error on the
// first line of a body, deep inside one, in the common block, and in every failing stage at once.
TEST(EffectGlCreate, GlslErrorsNameEffectFileLines) {
  REQUIRE_GL_CONTEXT();
  const std::string text =
      "float k;\n"
      "glsl common {\n"
      "  float Helper() { return k; }\n"
      "  float Broken() { return undeclared_in_common; }\n"
      "}\n"
      "vertex_shader VS { void main() { gl_Position = vec4(inPosition, missing_on_first_line); }\n"
      "}\n"
      "fragment_shader FS {\n"
      "  out vec4 colour;\n"
      "\n"
      "  void main() {\n"
      "    colour = vec4(1.0) * undeclared_deep_inside;\n"
      "  }\n"
      "}\n"
      "technique T { pass P { VertexShader = VS; FragmentShader = FS; } }\n";
  const std::string path = WriteEffect("Za_rad_2.fx", text);
  const Created created = Create(path);
  EXPECT_TRUE(gfx::Failed(created.result));
  EXPECT_EQ(created.effect, nullptr);
  for (const char* marker :
       {"undeclared_in_common", "missing_on_first_line", "undeclared_deep_inside"}) {
    const std::string expected = path + "(" + std::to_string(LineOf(text, marker)) + "): error: ";
    const size_t at = created.errors.find(expected);
    ASSERT_NE(at, std::string::npos) << marker << " not at " << expected << " in\n"
                                     << created.errors;
    const size_t end = created.errors.find('\n', at);
    EXPECT_NE(created.errors.substr(at, end - at).find(marker), std::string::npos)
        << created.errors;
  }
  EXPECT_EQ(created.errors.find("0:"), std::string::npos) << created.errors;
}

// A parameter whose name GLSL reserves breaks the generated declaration, which carries the line
// of the parameter.
TEST(EffectGlCreate, GlslErrorInADeclarationNamesTheDeclaration) {
  REQUIRE_GL_CONTEXT();
  const std::string text =
      "float k;\n"
      "\n"
      "float4 output;\n"
      "vertex_shader VS { void main() { gl_Position = vec4(inPosition, 1.0); } }\n"
      "fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }\n"
      "technique T { pass P { VertexShader = VS; FragmentShader = FS; } }\n";
  const std::string path = WriteEffect("keyword.fx", text);
  const Created created = Create(path);
  EXPECT_TRUE(gfx::Failed(created.result));
  EXPECT_EQ(created.errors.rfind(path + "(3): error: ", 0), 0u) << created.errors;
  EXPECT_NE(created.errors.find("output"), std::string::npos) << created.errors;
}

// Every stage is compiled from its own copy of the common block: a file well under the size limit
// can still ask for far more text than any effect needs, and is refused before compiling.
TEST(EffectGlCreate, GeneratedShaderTextIsBounded) {
  REQUIRE_GL_CONTEXT();
  std::string text = "glsl common {\n/*" + std::string(600000, ' ') + "*/\n}\n";
  text += "fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }\n";
  for (int t = 0; t < 2; ++t) {
    text += "technique T" + std::to_string(t) + " {\n";
    for (int p = 0; p < 16; ++p) {
      const std::string vs = "VS" + std::to_string(t * 16 + p);
      text = "vertex_shader " + vs + " { void main() { gl_Position = vec4(0.0); } }\n" + text;
      text +=
          "  pass P" + std::to_string(p) + " { VertexShader = " + vs + "; FragmentShader = FS; }\n";
    }
    text += "}\n";
  }
  const std::string path = WriteEffect("huge_common.fx", text);
  const Created created = Create(path);
  EXPECT_TRUE(gfx::Failed(created.result));
  EXPECT_EQ(created.errors,
            path + ": error: the effect's generated shader text would exceed 16777216 bytes\n");
}

TEST(EffectGlCreate, LinkErrorNamesThePass) {
  REQUIRE_GL_CONTEXT();
  const std::string text =
      "vertex_shader VS { void main() { gl_Position = vec4(inPosition, 1.0); } }\n"
      "fragment_shader FS { out vec4 c; float never_defined();\n"
      "  void main() { c = vec4(never_defined()); } }\n"
      "technique T {\n"
      "  pass Bad { VertexShader = VS; FragmentShader = FS; }\n"
      "}\n";
  const std::string path = WriteEffect("link.fx", text);
  const Created created = Create(path);
  EXPECT_TRUE(gfx::Failed(created.result));
  EXPECT_EQ(created.effect, nullptr);
  EXPECT_EQ(created.errors.rfind(path + "(5): ", 0), 0u) << created.errors;
  EXPECT_NE(created.errors.find("never_defined"), std::string::npos) << created.errors;
}

// The backend calls the stage's main under a name of its own; the author hears of main.
TEST(EffectGlCreate, AVertexStageWithoutMainIsToldSo) {
  REQUIRE_GL_CONTEXT();
  const std::string text =
      "vertex_shader VS { void mane() { gl_Position = vec4(inPosition, 1.0); } }\n"
      "fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }\n"
      "technique T { pass P0 { VertexShader = VS; FragmentShader = FS; } }\n";
  const std::string path = WriteEffect("no_main.fx", text);
  const Created created = Create(path);
  EXPECT_TRUE(gfx::Failed(created.result));
  EXPECT_EQ(created.errors.rfind(path + "(3): error: the vertex shader has no main()", 0), 0u)
      << created.errors;
}

// The example in the format's documentation must stay a working effect.
TEST(EffectGlCreate, DocumentedExampleBuilds) {
  REQUIRE_GL_CONTEXT();
  FILE* doc = std::fopen(TOBRIN_SOURCE_DIR "/docs/effect-format.md", "rb");
  ASSERT_NE(doc, nullptr);
  std::string text, example;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, doc)) > 0) text.append(chunk, got);
  std::fclose(doc);
  const size_t start = text.find("## Example");
  ASSERT_NE(start, std::string::npos);
  // The indented block after the heading, with its indentation taken off.
  for (size_t at = text.find('\n', start) + 1; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    if (line.rfind("    ", 0) == 0)
      example += line.substr(4) + "\n";
    else if (!line.empty() && !example.empty())
      break;
    else
      example += "\n";
    at = end + 1;
  }
  ASSERT_NE(example.find("technique"), std::string::npos) << example;
  const Created created = Create(WriteEffect("example.fx", example));
  ASSERT_EQ(created.result, gfx::S_OK) << created.errors;
  uint32_t passes = 0;
  EXPECT_EQ(created.effect->Begin(&passes, 0), gfx::S_OK);
  EXPECT_EQ(passes, 1u);
  created.effect->End();
  created.effect->Release();
}

// The effect we ship (where it has been generated) and the scene's effect in our GLSL format build
// and declare the names the program sets.
class EffectGlContract : public ::testing::TestWithParam<const char*> {};

INSTANTIATE_TEST_SUITE_P(Scene, EffectGlContract,
                         ::testing::Values(TOBRIN_SOURCE_DIR "/data/Za_rad_2.fx",
                                           TOBRIN_SOURCE_DIR "/tests/data/effects/scene_glsl.fx"));

TEST_P(EffectGlContract, BuildsAndDeclaresTheContract) {
  REQUIRE_GL_CONTEXT();
  const std::string path = GetParam();
  if (access(path.c_str(), R_OK) != 0) GTEST_SKIP() << path << " not generated yet";
  const Created created = Create(path);
  ASSERT_EQ(created.result, gfx::S_OK) << created.errors;
  gfx::Effect* effect = created.effect;
  const float three[3] = {1, 2, 3};
  const gfx::Matrix identity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  for (const char* technique : {"VertexAnimation", "ColorAnimation"}) {
    EXPECT_EQ(effect->SetTechnique(technique), gfx::S_OK) << technique;
    uint32_t passes = 0;
    EXPECT_EQ(effect->Begin(&passes, 0), gfx::S_OK);
    EXPECT_EQ(passes, 2u) << technique;
    effect->End();
  }
  EXPECT_EQ(effect->SetTexture("inTexture", nullptr), gfx::S_OK);
  for (const char* name : {"fCosTime0_X", "fSinTime0_X", "kAmbient", "kDifuse"})
    EXPECT_EQ(effect->SetFloat(name, 0.5f), gfx::S_OK) << name;
  for (const char* name : {"light_position", "iSource", "iAmbient"})
    EXPECT_EQ(effect->SetFloatArray(name, three, 3), gfx::S_OK) << name;
  for (const char* name : {"matViewProjection", "matWorld"})
    EXPECT_EQ(effect->SetMatrix(name, &identity), gfx::S_OK) << name;
  effect->Release();
}

// ---- What an effect declares, by handle ----------------------------------------------------

// A tool's view of a D3D9 effect: parameters in file order with their semantics and annotations,
// techniques with their pass counts. Two parameters carry annotations of the same name, which
// their handles must keep apart.
TEST(EffectGlCreate, DescribesParametersAnnotationsAndTechniquesByHandle) {
  REQUIRE_GL_CONTEXT();
  const Created created = Create(WriteEffect("described.fx", R"(
float4x4 Wvp : WorldViewProjection < string UIName = "Transform"; float UIMin = -2.5; >;
float3 Light < string UIName = "Light \"A\""; int3 Version = {1, 0, 1}; > = {1, 2, 3};
float Shine = 7;
texture Tex < string ResourceName = "a.png"; >;
sampler S = sampler_state { Texture = <Tex>; };
float4 VS(float4 p : POSITION) : POSITION { return mul(p, Wvp); }
float4 PS() : COLOR { return tex2D(S, float2(0, 0)) * float4(Light, Shine); }
technique First { pass P { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); } }
technique Second {
  pass A { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); }
  pass B { VertexShader = compile vs_2_0 VS(); PixelShader = compile ps_2_0 PS(); }
}
)"));
  ASSERT_EQ(created.result, gfx::S_OK) << created.errors;
  gfx::Effect* effect = created.effect;
  gfx::EffectDesc desc{};
  ASSERT_EQ(effect->GetDesc(&desc), gfx::S_OK);
  EXPECT_EQ(desc.Techniques, 2u);
  ASSERT_EQ(desc.Parameters, 4u);
  std::string names;
  for (uint32_t i = 0; i < desc.Parameters; ++i)
    names += effect->GetParameter(nullptr, i) + std::string(" ");
  EXPECT_EQ(names, "Wvp Light Shine Tex ");
  EXPECT_EQ(effect->GetParameter(nullptr, desc.Parameters), nullptr);

  const gfx::Handle wvp = effect->GetParameter(nullptr, 0);
  gfx::ParameterDesc p{};
  ASSERT_EQ(effect->GetParameterDesc(wvp, &p), gfx::S_OK);
  EXPECT_STREQ(p.Semantic, "WorldViewProjection");
  EXPECT_EQ(p.Class, gfx::PC_MATRIX_ROWS);
  ASSERT_EQ(p.Annotations, 2u);
  const gfx::Handle label = effect->GetAnnotation(wvp, 0), minimum = effect->GetAnnotation(wvp, 1);
  EXPECT_EQ(effect->GetAnnotation(wvp, 2), nullptr);
  gfx::ParameterDesc a{};
  ASSERT_EQ(effect->GetParameterDesc(label, &a), gfx::S_OK);
  EXPECT_STREQ(a.Name, "UIName");
  EXPECT_EQ(a.Type, gfx::PT_STRING);
  const char* text = nullptr;
  ASSERT_EQ(effect->GetString(label, &text), gfx::S_OK);
  EXPECT_STREQ(text, "Transform");
  float value = 0;
  EXPECT_TRUE(gfx::Failed(effect->GetString(minimum, &text)));
  ASSERT_EQ(effect->GetFloat(minimum, &value), gfx::S_OK);
  EXPECT_EQ(value, -2.5f);

  ASSERT_EQ(effect->GetParameterDesc("Light", &p), gfx::S_OK);  // a name does as a handle
  EXPECT_EQ(p.Semantic, nullptr);
  EXPECT_EQ(p.Class, gfx::PC_VECTOR);
  const gfx::Handle lightLabel = effect->GetAnnotation("Light", 0);
  EXPECT_NE(lightLabel, label);
  ASSERT_EQ(effect->GetString(lightLabel, &text), gfx::S_OK);
  EXPECT_STREQ(text, "Light \"A\"");
  const gfx::Handle version = effect->GetAnnotation("Light", 1);
  ASSERT_EQ(effect->GetParameterDesc(version, &a), gfx::S_OK);
  EXPECT_EQ(a.Type, gfx::PT_INT);
  EXPECT_EQ(a.Columns, 3u);
  EXPECT_EQ(effect->GetFloat(version, &value), gfx::S_OK);
  EXPECT_EQ(value, 1.0f);
  EXPECT_EQ(effect->GetFloat("Shine", &value), gfx::S_OK);
  EXPECT_EQ(value, 7.0f);
  EXPECT_TRUE(gfx::Failed(effect->GetString("Shine", &text)));
  ASSERT_EQ(effect->GetParameterDesc("Tex", &p), gfx::S_OK);
  EXPECT_EQ(p.Class, gfx::PC_OBJECT);
  EXPECT_EQ(p.Type, gfx::PT_TEXTURE);
  ASSERT_EQ(effect->GetString(effect->GetAnnotation("Tex", 0), &text), gfx::S_OK);
  EXPECT_STREQ(text, "a.png");

  gfx::TechniqueDesc t{};
  const gfx::Handle second = effect->GetTechnique(1);
  ASSERT_EQ(effect->GetTechniqueDesc(second, &t), gfx::S_OK);
  EXPECT_STREQ(t.Name, "Second");
  EXPECT_EQ(t.Passes, 2u);
  EXPECT_EQ(effect->GetTechnique(2), nullptr);
  EXPECT_EQ(effect->ValidateTechnique(effect->GetTechnique(0)), gfx::S_OK);
  EXPECT_TRUE(gfx::Failed(effect->ValidateTechnique("Third")));
  ASSERT_EQ(effect->SetTechnique(second), gfx::S_OK);
  uint32_t passes = 0;
  ASSERT_EQ(effect->Begin(&passes, 0), gfx::S_OK);
  EXPECT_EQ(passes, 2u);
  effect->End();
  effect->Release();
}

// ---- Techniques and passes -----------------------------------------------------------------

TEST_F(EffectGl, PassCountsFollowTheCurrentTechnique) {
  uint32_t passes = 99;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);  // the first technique is current
  EXPECT_EQ(passes, 2u);
  EXPECT_EQ(effect_->End(), gfx::S_OK);
  ASSERT_EQ(effect_->SetTechnique("Three"), gfx::S_OK);
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  EXPECT_EQ(passes, 3u);
  for (uint32_t p = 0; p < passes; ++p) {
    EXPECT_EQ(effect_->BeginPass(p), gfx::S_OK);
    EXPECT_EQ(effect_->EndPass(), gfx::S_OK);
  }
  EXPECT_TRUE(gfx::Failed(effect_->BeginPass(3)));
  EXPECT_EQ(effect_->End(), gfx::S_OK);
  ASSERT_EQ(effect_->SetTechnique("NoPasses"), gfx::S_OK);
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  EXPECT_EQ(passes, 0u);
  EXPECT_EQ(effect_->End(), gfx::S_OK);
}

TEST_F(EffectGl, UnknownTechniqueFailsAndKeepsTheCurrentOne) {
  ASSERT_EQ(effect_->SetTechnique("Three"), gfx::S_OK);
  EXPECT_TRUE(gfx::Failed(effect_->SetTechnique("VertexAnimation")));
  EXPECT_TRUE(gfx::Failed(effect_->SetTechnique("")));
  EXPECT_TRUE(gfx::Failed(effect_->SetTechnique(nullptr)));
  uint32_t passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  EXPECT_EQ(passes, 3u);
  EXPECT_EQ(effect_->End(), gfx::S_OK);
}

TEST_F(EffectGl, CallsOutOfOrderFail) {
  uint32_t passes = 0;
  EXPECT_TRUE(gfx::Failed(effect_->BeginPass(0)));
  EXPECT_TRUE(gfx::Failed(effect_->EndPass()));
  EXPECT_TRUE(gfx::Failed(effect_->End()));
  EXPECT_EQ(effect_->CommitChanges(), gfx::S_OK);  // outside a pass it only keeps the values
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  EXPECT_TRUE(gfx::Failed(effect_->Begin(&passes, 0)));
  EXPECT_EQ(effect_->End(), gfx::S_OK);
}

// ---- Parameter values ----------------------------------------------------------------------

TEST_F(EffectGl, InitialValuesAndValuesSetBeforeBeginReachTheProgram) {
  uint32_t passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  EXPECT_EQ(Uniform1("kAmbient"), 0.25f);
  float light[16];
  Uniform("light_position", light);
  EXPECT_EQ(light[2], 10.0f);
  effect_->EndPass();
  effect_->End();

  const float position[3] = {1.5f, -2.0f, 3.25f};
  EXPECT_EQ(effect_->SetFloat("kAmbient", 0.75f), gfx::S_OK);
  EXPECT_EQ(effect_->SetFloatArray("light_position", position, 3), gfx::S_OK);
  gfx::Matrix world{};
  for (int i = 0; i < 16; ++i) world.m[i / 4][i % 4] = static_cast<float>(i + 1);
  EXPECT_EQ(effect_->SetMatrix("matWorld", &world), gfx::S_OK);
  effect_->CommitChanges();  // as the frame does before Begin
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  EXPECT_EQ(Uniform1("kAmbient"), 0.75f);
  Uniform("light_position", light);
  EXPECT_EQ(light[0], 1.5f);
  EXPECT_EQ(light[1], -2.0f);
  EXPECT_EQ(light[2], 3.25f);
  // Row-major row-vector storage is GLSL's column-major column-vector matrix: same floats.
  float read[16];
  Uniform("matWorld", read);
  EXPECT_EQ(std::memcmp(read, &world, sizeof read), 0);
  effect_->EndPass();
  effect_->End();
}

TEST_F(EffectGl, ValuesSetInsideAPassReachItAtCommitAndLaterPassesAtBeginPass) {
  uint32_t passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  const float tint[4] = {0.5f, 0.25f, 0.125f, 1.0f};
  EXPECT_EQ(effect_->SetFloatArray("tint", tint, 4), gfx::S_OK);
  EXPECT_EQ(effect_->SetFloat("kAmbient", 2.0f), gfx::S_OK);
  EXPECT_EQ(effect_->CommitChanges(), gfx::S_OK);
  float read[16];
  Uniform("tint", read);
  EXPECT_EQ(read[1], 0.25f);
  // Pass 1 runs another program; the values set during pass 0 must reach it too.
  effect_->EndPass();
  ASSERT_EQ(effect_->BeginPass(1), gfx::S_OK);
  Uniform("tint", read);
  EXPECT_EQ(read[2], 0.125f);
  EXPECT_EQ(Uniform1("kAmbient"), 2.0f);
  EXPECT_EQ(effect_->SetFloat("kAmbient", 3.0f), gfx::S_OK);
  EXPECT_EQ(effect_->CommitChanges(), gfx::S_OK);
  EXPECT_EQ(Uniform1("kAmbient"), 3.0f);
  effect_->EndPass();
  // Back in pass 0's program, which last saw 2.0.
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  EXPECT_EQ(Uniform1("kAmbient"), 3.0f);
  effect_->EndPass();
  effect_->End();
}

TEST_F(EffectGl, UndeclaredNamesAndWrongKindsAreRefusedAndChangeNothing) {
  const float three[3] = {7, 8, 9};
  const gfx::Matrix identity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  EXPECT_TRUE(gfx::Failed(effect_->SetFloat("fCosTime0_X", 1.0f)));
  EXPECT_TRUE(gfx::Failed(effect_->SetFloatArray("iSource", three, 3)));
  EXPECT_TRUE(gfx::Failed(effect_->SetMatrix("matViewProjection", &identity)));
  EXPECT_TRUE(gfx::Failed(effect_->SetTexture("chairTexture", nullptr)));
  EXPECT_TRUE(gfx::Failed(effect_->SetFloat(nullptr, 1.0f)));
  EXPECT_TRUE(gfx::Failed(effect_->SetMatrix("kAmbient", &identity)));
  EXPECT_TRUE(gfx::Failed(effect_->SetTexture("kAmbient", nullptr)));
  EXPECT_TRUE(gfx::Failed(effect_->SetFloat("inTexture", 1.0f)));
  EXPECT_TRUE(gfx::Failed(effect_->SetFloat("baseMap", 1.0f)));  // samplers are not parameters
  // A longer array than the parameter holds stores what fits.
  EXPECT_EQ(effect_->SetFloatArray("kAmbient", three, 3), gfx::S_OK);
  uint32_t passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  EXPECT_EQ(Uniform1("kAmbient"), 7.0f);
  float light[16];
  Uniform("light_position", light);
  EXPECT_EQ(light[2], 10.0f);
  effect_->EndPass();
  effect_->End();
}

// ---- Render states -------------------------------------------------------------------------

struct StateSnapshot {
  GLboolean cull, depthTest, depthMask, blend;
  GLint cullFace, frontFace, blendSrc, blendDst, polygonMode[2], program, texture0, sampler0,
      activeTexture;
  bool operator==(const StateSnapshot&) const = default;
};

void PrintTo(const StateSnapshot& s, std::ostream* out) {
  *out << "cull " << int(s.cull) << " face " << s.cullFace << " front " << s.frontFace << " depth "
       << int(s.depthTest) << " mask " << int(s.depthMask) << " blend " << int(s.blend) << " "
       << s.blendSrc << "/" << s.blendDst << " fill " << s.polygonMode[0] << " program "
       << s.program << " texture0 " << s.texture0 << " sampler0 " << s.sampler0 << " active "
       << s.activeTexture;
}

StateSnapshot Snapshot() {
  StateSnapshot s{};
  s.cull = glIsEnabled(GL_CULL_FACE);
  s.depthTest = glIsEnabled(GL_DEPTH_TEST);
  s.blend = glIsEnabled(GL_BLEND);
  glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depthMask);
  glGetIntegerv(GL_CULL_FACE_MODE, &s.cullFace);
  glGetIntegerv(GL_FRONT_FACE, &s.frontFace);
  glGetIntegerv(GL_BLEND_SRC_RGB, &s.blendSrc);
  glGetIntegerv(GL_BLEND_DST_RGB, &s.blendDst);
  glGetIntegerv(GL_POLYGON_MODE, s.polygonMode);
  glGetIntegerv(GL_CURRENT_PROGRAM, &s.program);
  glGetIntegerv(GL_ACTIVE_TEXTURE, &s.activeTexture);
  glActiveTexture(GL_TEXTURE0);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.texture0);
  glGetIntegerv(GL_SAMPLER_BINDING, &s.sampler0);
  glActiveTexture(static_cast<GLenum>(s.activeTexture));
  return s;
}

TEST_F(EffectGl, PassAppliesItsStatesAndEndRestoresThem) {
  // A device state unlike every pass state, including a texture on unit 0.
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glActiveTexture(GL_TEXTURE3);
  glBindTexture(GL_TEXTURE_2D, 0);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture);
  glActiveTexture(GL_TEXTURE3);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);
  glFrontFace(GL_CW);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glUseProgram(0);
  gfx::gl::SyncStateFromGl();  // set behind the backend's back, as another library might
  const StateSnapshot before = Snapshot();

  ASSERT_EQ(effect_->SetTechnique("States"), gfx::S_OK);
  uint32_t passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  const StateSnapshot during = Snapshot();
  EXPECT_TRUE(during.cull);
  EXPECT_EQ(during.frontFace, GL_CCW);
  EXPECT_EQ(during.cullFace, GL_BACK);
  EXPECT_FALSE(during.depthTest);
  EXPECT_FALSE(during.depthMask);
  EXPECT_TRUE(during.blend);
  EXPECT_EQ(during.blendSrc, GL_ONE);
  EXPECT_EQ(during.blendDst, GL_ONE);
  EXPECT_EQ(during.polygonMode[0], GL_LINE);
  EXPECT_NE(during.program, 0);
  EXPECT_NE(during.texture0, static_cast<GLint>(texture));
  EXPECT_NE(during.sampler0, 0);
  effect_->EndPass();
  ASSERT_EQ(effect_->End(), gfx::S_OK);

  EXPECT_EQ(Snapshot(), before);
  glActiveTexture(GL_TEXTURE0);
  glDeleteTextures(1, &texture);
  glDisable(GL_CULL_FACE);
  glFrontFace(GL_CCW);
  gfx::gl::SyncStateFromGl();
}

TEST_F(EffectGl, StatesAPassDoesNotNameAreLeftAlone) {
  glEnable(GL_BLEND);
  glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
  uint32_t passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  const StateSnapshot during = Snapshot();
  EXPECT_TRUE(during.blend);
  EXPECT_EQ(during.polygonMode[0], GL_POINT);
  effect_->EndPass();
  effect_->End();
  glDisable(GL_BLEND);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// ---- Pictures ------------------------------------------------------------------------------

// A 4x4 offscreen target to draw the full-screen triangle into and read back.
class EffectGlPicture : public EffectGl {
 protected:
  void SetUp() override {
    EffectGl::SetUp();
    if (HasFatalFailure()) return;
    glGenTextures(1, &colour_);
    glBindTexture(GL_TEXTURE_2D, colour_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, 4, 4);
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    const gfx::Matrix identity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    effect_->SetMatrix("matWorld", &identity);
  }
  void TearDown() override {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteTextures(1, &colour_);
    glDeleteVertexArrays(1, &vertexArray_);
    EffectGl::TearDown();
  }

  // Clears to opaque black, draws one pass of the current technique, returns the centre pixel
  // as 0xRRGGBBAA.
  uint32_t Draw(uint32_t pass = 0) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    uint32_t passes = 0;
    EXPECT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
    EXPECT_EQ(effect_->BeginPass(pass), gfx::S_OK);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    effect_->EndPass();
    effect_->End();
    uint8_t pixel[4] = {};
    glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return uint32_t(pixel[0]) << 24 | uint32_t(pixel[1]) << 16 | uint32_t(pixel[2]) << 8 | pixel[3];
  }

  GLuint framebuffer_ = 0, colour_ = 0, vertexArray_ = 0;
};

TEST_F(EffectGlPicture, NullTextureReadsOpaqueWhiteAndARealTextureReadsItself) {
  EXPECT_EQ(Draw(), 0xFFFFFFFFu);  // never set

  const uint8_t red[4] = {255, 0, 0, 255};
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, red);
  auto* texture = new gfx::gl::GlTexture(name, 1, 1);
  ASSERT_EQ(effect_->SetTexture("inTexture", texture), gfx::S_OK);
  texture->Release();  // the effect holds its own reference now
  EXPECT_EQ(Draw(), 0xFF0000FFu);

  ASSERT_EQ(effect_->SetTexture("inTexture", nullptr), gfx::S_OK);
  EXPECT_EQ(Draw(), 0xFFFFFFFFu);
}

TEST_F(EffectGlPicture, TextureChangedInsideAPassIsBoundAtCommit) {
  const uint8_t green[4] = {0, 255, 0, 255};
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, green);
  auto* texture = new gfx::gl::GlTexture(name, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  uint32_t passes = 0;
  effect_->Begin(&passes, 0);
  effect_->BeginPass(0);
  effect_->SetTexture("inTexture", texture);
  effect_->CommitChanges();
  glDrawArrays(GL_TRIANGLES, 0, 3);
  effect_->EndPass();
  effect_->End();
  uint8_t pixel[4] = {};
  glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 0);
  EXPECT_EQ(pixel[1], 255);
  texture->Release();
}

// The full-screen triangle is clockwise on screen as drawn, counter-clockwise with order = 1.
TEST_F(EffectGlPicture, CullModeDiscardsTheWindingItNames) {
  const float white[4] = {1, 1, 1, 1};
  effect_->SetFloatArray("tint", white, 4);
  ASSERT_EQ(effect_->SetTechnique("CullCW"), gfx::S_OK);
  effect_->SetFloat("order", 0.0f);
  EXPECT_EQ(Draw(), 0x000000FFu) << "clockwise triangle drawn under CullMode = CW";
  effect_->SetFloat("order", 1.0f);
  EXPECT_EQ(Draw(), 0xFFFFFFFFu) << "counter-clockwise triangle culled under CullMode = CW";
  ASSERT_EQ(effect_->SetTechnique("CullCCW"), gfx::S_OK);
  EXPECT_EQ(Draw(), 0x000000FFu) << "counter-clockwise triangle drawn under CullMode = CCW";
  effect_->SetFloat("order", 0.0f);
  EXPECT_EQ(Draw(), 0xFFFFFFFFu) << "clockwise triangle culled under CullMode = CCW";
}

// ---- What a frame sends ----------------------------------------------------------------------

// Counts the calls that send or bind a uniform buffer while it lives.
struct BufferCalls {
  static inline int subData = 0, bind = 0, bindBase = 0;
  decltype(epoxy_glBufferSubData) oldSubData = epoxy_glBufferSubData;
  decltype(epoxy_glBindBuffer) oldBind = epoxy_glBindBuffer;
  decltype(epoxy_glBindBufferBase) oldBindBase = epoxy_glBindBufferBase;
  static inline decltype(epoxy_glBufferSubData) realSubData = nullptr;
  static inline decltype(epoxy_glBindBuffer) realBind = nullptr;
  static inline decltype(epoxy_glBindBufferBase) realBindBase = nullptr;
  BufferCalls() {
    subData = bind = bindBase = 0;
    realSubData = oldSubData, realBind = oldBind, realBindBase = oldBindBase;
    epoxy_glBufferSubData = [](GLenum t, GLintptr o, GLsizeiptr n, const void* d) {
      ++subData;
      realSubData(t, o, n, d);
    };
    epoxy_glBindBuffer = [](GLenum t, GLuint b) {
      bind += t == GL_UNIFORM_BUFFER;
      realBind(t, b);
    };
    epoxy_glBindBufferBase = [](GLenum t, GLuint i, GLuint b) {
      ++bindBase;
      realBindBase(t, i, b);
    };
  }
  ~BufferCalls() {
    epoxy_glBufferSubData = oldSubData, epoxy_glBindBuffer = oldBind;
    epoxy_glBindBufferBase = oldBindBase;
  }
};

TEST(EffectGlUploads, AnObjectSendsOnlyTheBlockItsNewValueIsIn) {
  REQUIRE_GL_CONTEXT();
  const Created created = Create(std::string(TOBRIN_SOURCE_DIR) + "/data/Za_rad_2.fx");
  ASSERT_EQ(created.result, gfx::S_OK) << created.errors;
  gfx::Effect* effect = created.effect;
  gfx::Matrix world{}, viewProjection{};
  for (int i = 0; i < 4; ++i) world.m[i][i] = viewProjection.m[i][i] = 1.0f;
  effect->SetMatrix("matViewProjection", &viewProjection);
  effect->SetMatrix("matWorld", &world);
  effect->SetFloat("kAmbient", 0.25f);
  uint32_t passes = 0;
  ASSERT_EQ(effect->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect->BeginPass(0), gfx::S_OK);
  {
    BufferCalls calls;
    // The frame sets the same view-projection, light and factors for every object.
    effect->SetMatrix("matViewProjection", &viewProjection);
    effect->SetFloat("kAmbient", 0.25f);
    effect->CommitChanges();
    EXPECT_EQ(BufferCalls::subData, 0) << "values set to what they hold were sent";
    // A new world matrix: the vertex stage's block alone, and its buffer is bound once.
    world.m[3][0] = 1.0f;
    effect->SetMatrix("matWorld", &world);
    effect->CommitChanges();
    world.m[3][0] = 2.0f;
    effect->SetMatrix("matWorld", &world);
    effect->CommitChanges();
    EXPECT_EQ(BufferCalls::subData, 2);
    EXPECT_LE(BufferCalls::bind, 1);
    // kAmbient is read by the pixel stage only.
    effect->SetFloat("kAmbient", 0.5f);
    effect->CommitChanges();
    EXPECT_EQ(BufferCalls::subData, 3);
    // The same pass again finds its buffers bound.
    effect->EndPass();
    ASSERT_EQ(effect->BeginPass(0), gfx::S_OK);
    EXPECT_EQ(BufferCalls::bindBase, 0);
    EXPECT_EQ(BufferCalls::subData, 3);
  }
  effect->EndPass();
  effect->End();
  effect->Release();
}

}  // namespace
