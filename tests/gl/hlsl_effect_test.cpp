// D3D9 effects (HLSL bodies) on the GL effect, checked by rendering: matrices keep the original
// platform's meaning for both packings, vertex inputs, varyings and pixel outputs are wired by
// semantic, globals are found by name and shared by every pass, uniform arguments are bound, and
// render and sampler states take effect. Effects are described by hand, as the file reader would.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "compiler/compile_effect.hpp"
#include "formats/fx_effect.hpp"
#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/device_gl.hpp"
#include "render/gfx/gl/effect_gl.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/gl/gl_state.hpp"
#include "tests/gl/gl_context.hpp"

namespace {

using namespace formats;

constexpr int kSize = 8;

// One line of preprocessed text per line of `hlsl`, all from test.fx.
FxEffect Describe(const std::string& hlsl) {
  FxEffect fx;
  fx.source.text = fx.hlsl = hlsl;
  fx.source.files = {"test.fx"};
  int line = 1;
  fx.source.origins.push_back({0, line});
  for (char c : hlsl)
    if (c == '\n') fx.source.origins.push_back({0, ++line});
  return fx;
}

// 0-based line of the first line holding marker.
int LineOf(const std::string& text, const char* marker) {
  const size_t at = text.find(marker);
  EXPECT_NE(at, std::string::npos) << marker;
  int line = 0;
  for (size_t i = 0; i < at && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

void AddParameter(FxEffect* fx, const std::string& name, FxBase base, int rows, int columns,
                  std::vector<float> value = {}, bool rowMajor = false, uint32_t elements = 0) {
  FxParameter p;
  p.name = name;
  p.type.base = base;
  p.type.rows = static_cast<uint8_t>(rows);
  p.type.columns = static_cast<uint8_t>(columns);
  p.type.rowMajor = rowMajor;
  p.type.elements = elements;
  p.type.name = base == FxBase::Texture ? "texture"
                : base == FxBase::Int   ? "int"
                : base == FxBase::Bool  ? "bool"
                : rows > 1    ? "float" + std::to_string(rows) + "x" + std::to_string(columns)
                : columns > 1 ? "float" + std::to_string(columns)
                              : "float";
  p.value = std::move(value);
  p.line = LineOf(fx->hlsl, (" " + name).c_str());
  fx->parameters.push_back(p);
}

FxShaderBinding Shader(const char* profile, const std::string& entry,
                       std::vector<std::string> arguments = {}) {
  FxShaderBinding binding;
  binding.present = !entry.empty();
  binding.profile = profile;
  binding.entry = entry;
  binding.arguments = std::move(arguments);
  return binding;
}

// A technique of one pass: vertex entry (empty for none), pixel entry and render states.
void AddTechnique(FxEffect* fx, const std::string& name, const std::string& vs,
                  const std::string& ps, std::vector<FxRenderState> states = {}) {
  FxPass pass;
  pass.name = "P0";
  pass.vertexShader = Shader("vs_2_0", vs);
  pass.pixelShader = Shader("ps_2_0", ps);
  pass.renderStates = std::move(states);
  fx->techniques.push_back({name, {pass}, 0});
}

// A vertex stage most tests share: position through, texture coordinates on.
const char kThrough[] = R"(
struct VsOut { float4 position : POSITION; float2 uv : TEXCOORD0; };
VsOut Through(float4 position : POSITION, float2 uv : TEXCOORD0) {
  VsOut o; o.position = position; o.uv = uv; return o;
}
)";

class HlslEffect : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_GL_CONTEXT();
    glGenTextures(2, colour_);
    for (GLuint texture : colour_) {
      glBindTexture(GL_TEXTURE_2D, texture);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }
    glGenTextures(1, &depth_);
    glBindTexture(GL_TEXTURE_2D, depth_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, kSize, kSize, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_INT, nullptr);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_[0], 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, colour_[1], 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth_, 0);
    const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, buffers);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, kSize, kSize);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_BLEND);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    // A quad over the whole target, clockwise on screen as the mesh corners run; the normal is
    // one constant, texture coordinates run 0..1 left to right and top to bottom.
    const float vertices[] = {
        // x, y, z,  nx, ny, nz,  u, v
        -1, 1,  0.5f, 0.25f, 0.5f, 0.75f, 0, 0,  // top left
        1,  1,  0.5f, 0.25f, 0.5f, 0.75f, 1, 0,  // top right
        1,  -1, 0.5f, 0.25f, 0.5f, 0.75f, 1, 1,  // bottom right
        -1, 1,  0.5f, 0.25f, 0.5f, 0.75f, 0, 0,  // top left
        1,  -1, 0.5f, 0.25f, 0.5f, 0.75f, 1, 1,  // bottom right
        -1, -1, 0.5f, 0.25f, 0.5f, 0.75f, 0, 1,  // bottom left
    };
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glGenBuffers(1, &vertexBuffer_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, sizeof vertices, vertices, GL_STATIC_DRAW);
    const int sizes[3] = {3, 3, 2}, offsets[3] = {0, 3, 6};
    for (GLuint a = 0; a < 3; ++a) {
      glEnableVertexAttribArray(a);
      glVertexAttribPointer(a, sizes[a], GL_FLOAT, GL_FALSE, 8 * sizeof(float),
                            reinterpret_cast<const void*>(offsets[a] * sizeof(float)));
    }
    gfx::gl::SyncStateFromGl();  // set behind the backend's back
  }
  void TearDown() override {
    if (effect_) effect_->Release();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindVertexArray(0);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteTextures(2, colour_);
    glDeleteTextures(1, &depth_);
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
    gfx::gl::SyncStateFromGl();
  }

  bool Build(const FxEffect& fx) {
    if (effect_) effect_->Release();
    effect_ = nullptr;
    error_.clear();
    compiler::CompiledEffect compiled;
    return compiler::CompileFxEffect("test.fx", fx, &compiled, &error_) &&
           gfx::gl::LoadCompiledEffect(compiled, &effect_, &error_);
  }

  // Reads the effect from its text, as the program reads a file, and builds it.
  bool BuildText(const std::string& text) {
    FxPreprocessed source;
    FxEffect fx;
    return PreprocessFx("test.fx", text, FxIncludeReader(), &source, &error_) &&
           ParseFx(source, &fx, &error_) && Build(fx);
  }

  // Clears colour to opaque black and depth to 1, draws every pass of the technique, returns
  // the pixel at (x, y), y from the top, of draw buffer `buffer` as 0xRRGGBBAA.
  uint32_t Draw(const char* technique, int x = kSize / 2, int y = kSize / 2, int buffer = 0) {
    EXPECT_EQ(effect_->SetTechnique(technique), gfx::S_OK) << technique;
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    uint32_t passes = 0;
    EXPECT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
    for (uint32_t p = 0; p < passes; ++p) {
      EXPECT_EQ(effect_->BeginPass(p), gfx::S_OK);
      glDrawArrays(GL_TRIANGLES, 0, 6);
      effect_->EndPass();
    }
    effect_->End();
    return Read(x, y, buffer);
  }

  uint32_t Read(int x, int y, int buffer = 0) {
    glReadBuffer(GL_COLOR_ATTACHMENT0 + buffer);
    uint8_t p[4] = {};
    glReadPixels(x, kSize - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  }

  GLuint colour_[2] = {}, depth_ = 0, framebuffer_ = 0, vertexArray_ = 0, vertexBuffer_ = 0;
  gfx::Effect* effect_ = nullptr;
  std::string error_;
};

// Bytes of 0xRRGGBBAA within one step of the expected ones (GPUs round differently).
::testing::AssertionResult Near(uint32_t expected, uint32_t actual) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int e = (expected >> shift) & 255, a = (actual >> shift) & 255;
    if (e - a > 1 || a - e > 1)
      return ::testing::AssertionFailure()
             << std::hex << "expected 0x" << expected << ", got 0x" << actual;
  }
  return ::testing::AssertionSuccess();
}

// ---- Matrices -------------------------------------------------------------------------------

// mul(v, M) with a row vector takes row k of M for v = e_k, and mul(M, v) column k, with M as the
// program sets it (row i, column j = m[i][j]), whatever the packing the shader declares.
TEST_F(HlslEffect, MatricesMeanWhatTheyMeanOnTheOriginalPlatformInBothPackings) {
  FxEffect fx = Describe(std::string(R"(
float4x4 M;
row_major float4x4 R;
float4x3 M43;
float4x4 matWorld;
float4 RowOfM(float2 uv : TEXCOORD0) : COLOR0 { return mul(float4(0, 1, 0, 0), M); }
float4 ColumnOfM(float2 uv : TEXCOORD0) : COLOR0 { return mul(M, float4(0, 1, 0, 0)); }
float4 RowOfR(float2 uv : TEXCOORD0) : COLOR0 { return mul(float4(0, 0, 1, 0), R); }
float4 ColumnOfR(float2 uv : TEXCOORD0) : COLOR0 { return mul(R, float4(0, 0, 1, 0)); }
float4 Element(float2 uv : TEXCOORD0) : COLOR0 { return float4(M[1][2], M._m30, R[2].x, 1); }
float4 Small(float2 uv : TEXCOORD0) : COLOR0 { return float4(mul(float4(0, 0, 0, 1), M43), 1); }
float4 Moved(float4 p : POSITION) : POSITION { return mul(float4(p.xy * 0.25, p.z, 1), matWorld); }
float4 White() : COLOR0 { return 1; }
)") + kThrough);
  AddParameter(&fx, "M", FxBase::Float, 4, 4);
  AddParameter(&fx, "R", FxBase::Float, 4, 4, {}, true);
  AddParameter(&fx, "M43", FxBase::Float, 4, 3);
  AddParameter(&fx, "matWorld", FxBase::Float, 4, 4);
  for (const char* entry : {"RowOfM", "ColumnOfM", "RowOfR", "ColumnOfR", "Element", "Small"})
    AddTechnique(&fx, entry, "Through", entry);
  AddTechnique(&fx, "Moved", "Moved", "White");
  ASSERT_TRUE(Build(fx)) << error_;

  gfx::Matrix m{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m.m[i][j] = (i * 4 + j) * 16 / 255.0f;  // byte 16 * (4i + j)
  ASSERT_EQ(effect_->SetMatrix("M", &m), gfx::S_OK);
  ASSERT_EQ(effect_->SetMatrix("R", &m), gfx::S_OK);
  ASSERT_EQ(effect_->SetMatrix("M43", &m), gfx::S_OK);
  EXPECT_TRUE(Near(0x40506070u, Draw("RowOfM")));     // row 1: 64 80 96 112
  EXPECT_TRUE(Near(0x105090D0u, Draw("ColumnOfM")));  // column 1: 16 80 144 208
  EXPECT_TRUE(Near(0x8090A0B0u, Draw("RowOfR")));     // row 2: 128 144 160 176
  EXPECT_TRUE(Near(0x2060A0E0u, Draw("ColumnOfR")));  // column 2: 32 96 160 224
  EXPECT_TRUE(Near(0x60C080FFu, Draw("Element")));    // M[1][2] = 96, M._m30 = 192, R[2].x = 128
  EXPECT_TRUE(Near(0xC0D0E0FFu, Draw("Small")));      // row 3 of the 4x3 part: 192 208 224

  // The translation sits in the fourth row: the quarter-size quad moves to the top-right corner.
  gfx::Matrix move{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0.75f, 0.75f, 0, 1}}};
  ASSERT_EQ(effect_->SetMatrix("matWorld", &move), gfx::S_OK);
  EXPECT_EQ(Draw("Moved", kSize - 1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Read(kSize / 2 - 1, kSize / 2), 0x000000FFu);
}

// ---- Inputs, varyings, outputs ----------------------------------------------------------------

TEST_F(HlslEffect, VertexInputsFollowTheirSemanticsNotTheirOrder) {
  FxEffect fx = Describe(R"(
struct VsIn { float2 uv : TEXCOORD0; float4 colour : COLOR0; float3 n : NORMAL; float4 p : POSITION;
              float4 extra : TEXCOORD5; };
struct VsOut { float4 p : POSITION; float4 value : TEXCOORD0; };
VsOut Normal(VsIn i) { VsOut o; o.p = i.p; o.value = float4(i.n, 1); return o; }
VsOut Uv(VsIn i) { VsOut o; o.p = i.p; o.value = float4(i.uv, 0, 1); return o; }
VsOut Defaults(VsIn i) { VsOut o; o.p = i.p; o.value = i.colour * 0.5 + i.extra * 0.25; return o; }
float4 Show(float4 value : TEXCOORD0) : COLOR { return value; }
)");
  for (const char* entry : {"Normal", "Uv", "Defaults"}) AddTechnique(&fx, entry, entry, "Show");
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_TRUE(Near(0x4080BFFFu, Draw("Normal")));
  const uint32_t topLeft = Draw("Uv", 0, 0);
  EXPECT_LT(topLeft >> 24, 0x20u);
  EXPECT_LT(topLeft >> 16 & 255, 0x20u);
  // u grows to the right, v downwards, to 7/8 at the last pixel's centre on the original platform.
  EXPECT_GT(Read(kSize - 1, 0) >> 24, 0xD8u);
  EXPECT_LT(Read(kSize - 1, 0) >> 16 & 255, 0x20u);
  EXPECT_GT(Read(0, kSize - 1) >> 16 & 255, 0xD8u);
  // A colour the mesh lacks reads opaque white; any other input (0, 0, 0, 1).
  EXPECT_TRUE(Near(0x808080BFu, Draw("Defaults")));
}

TEST_F(HlslEffect, VaryingsMeetBySemanticAcrossOrdersStructsAndSizes) {
  FxEffect fx = Describe(R"(
struct VsOut { float4 a : TEXCOORD1; float4 p : POSITION; float2 b : TEXCOORD0; float4 c : COLOR0; };
VsOut Vs(float4 p : POSITION) {
  VsOut o; o.p = p; o.a = float4(0.25, 0.5, 0.75, 1); o.b = float2(1, 0.5); o.c = float4(0, 0, 1, 1);
  return o;
}
struct PsIn { float4 c : COLOR0; float3 a : TEXCOORD1; };
float4 Ps(PsIn i, float2 b : TEXCOORD0) : COLOR0 { return float4(i.a.z, b.y, i.c.b * 0.25, 1); }
float4 Padded(float4 b : TEXCOORD0) : COLOR0 { return b; }
struct ArrayOut { float4 p : POSITION; float2 pair[2] : TEXCOORD3; };
ArrayOut ArrayVs(float4 p : POSITION) {
  ArrayOut o; o.p = p; o.pair[0] = float2(0.25, 0.5); o.pair[1] = float2(0.75, 1); return o;
}
float4 ArrayPs(float2 second : TEXCOORD4, float2 pair[2] : TEXCOORD3) : COLOR0 {
  return float4(second, pair[0]);
}
struct FrameOut { float4 p : POSITION; float3x3 frame : TEXCOORD2; };
FrameOut FrameVs(float4 p : POSITION) {
  FrameOut o; o.p = p;
  o.frame = float3x3(0.25, 0.5, 0, 0.25, 0.75, 0, 1, 0, 0.5);
  return o;
}
float4 FramePs(float3x3 frame : TEXCOORD2, float3 second : TEXCOORD3) : COLOR0 {
  return float4(mul(float3(1, 0, 0), frame).y, second.x, frame[2].z, frame._31);
}
)");
  AddTechnique(&fx, "Mixed", "Vs", "Ps");
  AddTechnique(&fx, "Padded", "Vs", "Padded");
  AddTechnique(&fx, "Arrays", "ArrayVs", "ArrayPs");
  AddTechnique(&fx, "Matrix", "FrameVs", "FramePs");
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_TRUE(Near(0xBF8040FFu, Draw("Mixed")));
  // A float2 written and a float4 read: the missing components read 0 and 1.
  EXPECT_TRUE(Near(0xFF8000FFu, Draw("Padded")));
  // An array takes one register per element, from its semantic's index on.
  EXPECT_TRUE(Near(0xBFFF4080u, Draw("Arrays")));
  // A matrix takes one register per row: TEXCOORD3 carries row 1.
  EXPECT_TRUE(Near(0x804080FFu, Draw("Matrix")));
}

TEST_F(HlslEffect, PixelOutputsGoToTheirDrawBuffersAndBuiltIns) {
  FxEffect fx = Describe(std::string(kThrough) + R"(
struct Out { float4 second : COLOR1; float4 first : COLOR0; float depth : DEPTH; };
Out Two(float2 uv : TEXCOORD0) {
  Out o; o.first = float4(1, 0, 0, 1); o.second = float4(0, 1, 0, 1); o.depth = 0.25; return o;
}
float4 Position(float2 vpos : VPOS) : COLOR0 { return float4(vpos / 255.0, 0, 1); }
// Declared `in` beside a struct, glslang would take VPOS for its own four-component built-in.
float4 InPosition(VsOut i, in float2 vpos : vPos) : COLOR0 { return float4(0, vpos.yx / 255.0, 1); }
float4 Face(float face : VFACE) : COLOR0 { return face > 0 ? float4(1, 0, 0, 1) : float4(0, 1, 0, 1); }
)");
  AddTechnique(&fx, "Two", "Through", "Two", {{7, 1}, {23, 8}});  // ZEnable, ZFunc ALWAYS
  AddTechnique(&fx, "Position", "Through", "Position");
  AddTechnique(&fx, "InPosition", "Through", "InPosition");
  AddTechnique(&fx, "Face", "Through", "Face");
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_EQ(Draw("Two"), 0xFF0000FFu);
  EXPECT_EQ(Read(1, 1, 1), 0x00FF00FFu);
  float depth = 0;
  glReadPixels(1, 1, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_NEAR(depth, 0.25f, 1e-3f);
  // VPOS counts whole pixels from the top-left corner.
  EXPECT_EQ(Draw("Position", 3, 5), 0x030500FFu);
  EXPECT_EQ(Read(0, 0), 0x000000FFu);
  EXPECT_EQ(Draw("InPosition", 3, 5), 0x000503FFu);
  // The quad runs clockwise on screen: the original platform's front face.
  EXPECT_EQ(Draw("Face"), 0xFF0000FFu);
}

// ---- Globals, arguments, rewrites --------------------------------------------------------------

TEST_F(HlslEffect, GlobalsOfEveryTypeAreSetByNameAndSharedByEveryPass) {
  FxEffect fx = Describe(std::string(R"(
float k = 0.5;
float2 pair;
float4 list[3];
int count = 2;
bool flag;
float4 UsesAll(float2 uv : TEXCOORD0) : COLOR0 {
  return float4(k, pair.y, list[count].z, flag ? 1 : 0);
}
float4 OnlyK(float2 uv : TEXCOORD0) : COLOR0 { return float4(0, 0, 0, k); }
)") + kThrough);
  AddParameter(&fx, "k", FxBase::Float, 1, 1, {0.5f});
  AddParameter(&fx, "pair", FxBase::Float, 1, 2);
  AddParameter(&fx, "list", FxBase::Float, 1, 4, {}, false, 3);
  AddParameter(&fx, "count", FxBase::Int, 1, 1, {2});
  AddParameter(&fx, "flag", FxBase::Bool, 1, 1);
  AddTechnique(&fx, "All", "Through", "UsesAll");
  fx.techniques[0].passes.push_back(fx.techniques[0].passes[0]);
  fx.techniques[0].passes[1].name = "P1";
  fx.techniques[0].passes[1].pixelShader = Shader("ps_2_0", "OnlyK");
  // The second pass adds its alpha to the first pass's colour.
  fx.techniques[0].passes[1].renderStates = {{27, 1}, {19, 2}, {20, 2}};
  ASSERT_TRUE(Build(fx)) << error_;
  // Initial values hold before anything is set.
  EXPECT_TRUE(Near(0x80000080u, Draw("All")));
  const float pair[2] = {0, 0.25f}, list[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.75f, 0};
  EXPECT_EQ(effect_->SetFloatArray("pair", pair, 2), gfx::S_OK);
  EXPECT_EQ(effect_->SetFloatArray("list", list, 12), gfx::S_OK);
  EXPECT_EQ(effect_->SetFloat("flag", 1.0f), gfx::S_OK);
  EXPECT_EQ(effect_->SetFloat("k", 0.25f), gfx::S_OK);
  EXPECT_TRUE(Near(0x4040BFFFu, Draw("All")));  // k = 0.25 reaches both passes
  EXPECT_EQ(effect_->SetFloat("count", 0.0f), gfx::S_OK);
  EXPECT_TRUE(Near(0x404000FFu, Draw("All")));
  EXPECT_EQ(effect_->SetFloat("undeclared", 1.0f), gfx::E_NOTFOUND);
  EXPECT_EQ(effect_->SetTexture("k", nullptr), gfx::E_INVALIDARG);
}

TEST_F(HlslEffect, UniformArgumentsAreBoundAndLegacyHlslCompiles) {
  FxEffect fx = Describe(std::string(R"(
float4 g = {0, 0.5, 0, 1};
float4 Tinted(float2 uv : TEXCOORD0, uniform float4 tint, uniform bool half) : COLOR0 {
  return half ? tint * 0.5 : tint;
}
float4 Writes(float2 uv : TEXCOORD0) : COLOR0 { g.x = 1; g.z += 0.25; return g; }
float4 Split(float2 uv : TEXCOORD0) : COLOR0 {
  float2 a, b;
  float4(a, b) = float4(0.25, 0.5, 0.75, 1);
  return float4(b, a);
}
float3 L = normalize(float3(0, 3, 4));
float4 Computed(float2 uv : TEXCOORD0) : COLOR0 { return float4(L, 1); }
float4 Cast(float2 uv : TEXCOORD0) : COLOR0 { float w[3] = (float[3]) g.yxw; return float4(w[2], w[1], w[0], 1); }
float4 Weighed(float2 uv : TEXCOORD0, uniform float3 c) : COLOR0 {
  return float4(c + dot(c, float3(0.299, 0.587, 0.114)), 1);
}
)") + kThrough);
  AddParameter(&fx, "g", FxBase::Float, 1, 4, {0, 0.5f, 0, 1});
  FxFunction tinted{"Tinted", "float4", "COLOR0", {}, 0};
  tinted.parameters.push_back({"uv", "float2", "TEXCOORD0", true, false, false});
  tinted.parameters.push_back({"tint", "float4", "", true, false, true});
  tinted.parameters.push_back({"half", "bool", "", true, false, true});
  fx.functions.push_back(tinted);
  AddTechnique(&fx, "Full", "Through", "Tinted");
  fx.techniques[0].passes[0].pixelShader.arguments = {"float4(0, 1, 0, 1)", "false"};
  AddTechnique(&fx, "Half", "Through", "Tinted");
  fx.techniques[1].passes[0].pixelShader.arguments = {"float4(1, 1, 0, 1)", "true"};
  FxFunction weighed{"Weighed", "float4", "COLOR0", {}, 0};
  weighed.parameters.push_back({"uv", "float2", "TEXCOORD0", true, false, false});
  weighed.parameters.push_back({"c", "float3", "", true, false, true});
  fx.functions.push_back(weighed);
  // A scalar for a vector parameter: 0.25 in each component, plus their weighted sum.
  AddTechnique(&fx, "Scalar", "Through", "Weighed");
  fx.techniques.back().passes[0].pixelShader.arguments = {"0.25"};
  // A longer vector for it: g's first three components.
  AddTechnique(&fx, "Truncated", "Through", "Weighed");
  fx.techniques.back().passes[0].pixelShader.arguments = {"g"};
  AddTechnique(&fx, "Writes", "Through", "Writes");
  AddTechnique(&fx, "Cast", "Through", "Cast");
  AddTechnique(&fx, "Computed", "Through", "Computed");
  AddTechnique(&fx, "Split", "Through", "Split");
  AddParameter(&fx, "L", FxBase::Float, 1, 3);
  fx.parameters.back().initText = "normalize(float3(0, 3, 4))";  // not evaluated by the reader
  ASSERT_TRUE(Build(fx)) << error_;
  // An initialiser the reader left as text holds until the program sets the parameter.
  EXPECT_TRUE(Near(0x0099CCFFu, Draw("Computed")));
  const float x[3] = {1, 0, 0};
  EXPECT_EQ(effect_->SetFloatArray("L", x, 3), gfx::S_OK);
  EXPECT_EQ(Draw("Computed"), 0xFF0000FFu);
  EXPECT_TRUE(Near(0xFF0080FFu, Draw("Cast")));   // a vector cast to an array keeps its order
  EXPECT_TRUE(Near(0xBFFF4080u, Draw("Split")));  // an assignment to a constructor fills each part
  EXPECT_EQ(Draw("Full"), 0x00FF00FFu);
  EXPECT_TRUE(Near(0x808080FFu, Draw("Scalar")));
  EXPECT_TRUE(Near(0x4BCA4BFFu, Draw("Truncated")));
  EXPECT_TRUE(Near(0x80800080u, Draw("Half")));
  // Each draw starts from the parameter's value, whatever the shader wrote before.
  EXPECT_TRUE(Near(0xFF8040FFu, Draw("Writes")));
  EXPECT_TRUE(Near(0xFF8040FFu, Draw("Writes")));
  const float g[4] = {0, 0, 0.5f, 1};
  EXPECT_EQ(effect_->SetFloatArray("g", g, 4), gfx::S_OK);
  EXPECT_TRUE(Near(0xFF00BFFFu, Draw("Writes")));

  // A static initialised by a call to a function of the file, which glslang refuses as written:
  // every entry runs the initialiser first.
  fx = Describe(std::string(kThrough) + R"(
float Twice(float x) { return 2 * x; }
static float twice = Twice(0.25);
float4 Called() : COLOR0 { return float4(twice, 0, 0, 1); }
)");
  AddParameter(&fx, "twice", FxBase::Float, 1, 1);
  fx.parameters[0].isStatic = true;
  fx.parameters[0].initText = "Twice(0.25)";
  FxFunction through{"Through", "VsOut", "", {}, 0};
  through.parameters.push_back({"position", "float4", "POSITION", true, false, false});
  through.parameters.push_back({"uv", "float2", "TEXCOORD0", true, false, false});
  fx.functions = {through,
                  {"Twice", "float", "", {{"x", "float", "", true, false, false}}, 0},
                  {"Called", "float4", "COLOR0", {}, 0}};
  AddTechnique(&fx, "Called", "Through", "Called");
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_EQ(Draw("Called"), 0x800000FFu);
}

// The whole way from text, as the program reads a file: older type names, arrays of arrays and
// shader variables compiled with uniform arguments.
TEST_F(HlslEffect, OlderSyntaxDrawsAsTheOriginalCompilerTookIt) {
  const std::string text = R"(
matrix World;
vector Tint = {1, 0.5, 0.25, 1};
matrix<float, 3, 3> Swap = {0, 1, 0,  1, 0, 0,  0, 0, 1};
vector<float, 3> Add3 = {0, 0, 0.25};
static const float Table[2][3] = { {0.1, 0.2, 0.3}, {0.4, 0.6, 0.8} };
float Grid[2][3] = { {0, 0.25, 0.5}, {0.75, 1, 0.125} };
struct VsOut { float4 p : POSITION; float2 uv : TEXCOORD0; };
VsOut Vs(float4 p : POSITION, float2 uv : TEXCOORD0, uniform float scale, uniform bool flip) {
  VsOut o; o.p = mul(p, World) * float4(scale, scale, 1, 1); o.uv = flip ? 1 - uv : uv; return o;
}
float4 Types() : COLOR0 { vector c = Tint; c.rgb = mul(c.rgb, Swap) + Add3; return c; }
float4 Row(uniform int row) : COLOR0 {
  float local[2][2] = { {Table[row][0], Table[row][1]}, {Table[row][2], 1} };
  return float4(local[0][0], local[0][1], local[1][0], local[1][1]);
}
float4 Cells() : COLOR0 { return float4(Grid[0][2], Grid[1][0], Grid[1][1], 1); }
float4 U(float2 uv : TEXCOORD0) : COLOR0 { return float4(uv.x, 0, 0, 1); }
float4 Loops() : COLOR0 {
  float sum = 0;
  [unroll(3)] for (int i = 0; i < 3; i++) sum += 0.125;
  for (int i = 0; i < 2; i++)
    if (sum > 0) sum += 0.125;
  if (sum > 0) for (int k = 0; k < 1; k++) sum += 0.25;
  return float4(sum, i * 0.25, 0, 1);
}
const static int Two = 2;
const static float Halves[Two + 1] = {0.5, 0.25, 1};
float4 Constants() : COLOR0 { return float4(Halves[0], Halves[1], Halves[Two], 1); }
float4 Pick(float2 uv : TEXCOORD0, uniform float k) : COLOR0 { return float4(k, 0, 0, 1); }
float4 Pick(float2 uv : TEXCOORD0) : COLOR0 { return Pick(uv, 0.5); }
VertexShader vs = compile vs_2_0 Vs(1, true);
PixelShader rows[2] = { compile ps_2_0 Row(0), compile ps_2_0 Row(1) };
technique Types { pass { VertexShader = vs; PixelShader = compile ps_2_0 Types(); } }
technique Row0 { pass { VertexShader = (vs); PixelShader = (rows[0]); } }
technique Row1 { pass { VertexShader = (vs); PixelShader = rows[1]; } }
technique Cells { pass { VertexShader = (vs); PixelShader = compile ps_2_0 Cells(); } }
technique Flipped { pass { VertexShader = (vs); PixelShader = compile ps_2_0 U(); } }
technique Loops { pass { VertexShader = (vs); PixelShader = compile ps_2_0 Loops(); } }
technique Constants { pass { VertexShader = (vs); PixelShader = compile ps_2_0 Constants(); } }
technique Pick { pass { VertexShader = (vs); PixelShader = compile ps_2_0 Pick(); } }
technique PickOne { pass { VertexShader = (vs); PixelShader = compile ps_2_0 Pick(1); } }
)";
  ASSERT_TRUE(BuildText(text)) << error_;
  const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  ASSERT_EQ(effect_->SetFloatArray("World", identity, 16), gfx::S_OK);  // a bare matrix is 4x4
  EXPECT_TRUE(Near(0x80FF80FFu, Draw("Types")));  // (1, 0.5, 0.25) with red and green swapped
  EXPECT_TRUE(Near(0x1A334DFFu, Draw("Row0")));
  EXPECT_TRUE(Near(0x6699CCFFu, Draw("Row1")));
  EXPECT_TRUE(Near(0x80BFFFFFu, Draw("Cells")));
  const float grid[6] = {0, 0, 1, 0.25f, 0.5f, 0};  // set flat, the inner arrays one after another
  ASSERT_EQ(effect_->SetFloatArray("Grid", grid, 6), gfx::S_OK);
  EXPECT_TRUE(Near(0xFF4080FFu, Draw("Cells")));
  // flip = true runs u from 1 on the left to 0 on the right.
  EXPECT_GT(Draw("Flipped", 0, kSize / 2) >> 24, Draw("Flipped", kSize - 1, kSize / 2) >> 24);
  EXPECT_GT(Draw("Flipped", 0, kSize / 2) >> 24, 200u);
  // A loop's variable outlives the loop, and a later loop of the block may declare it again.
  EXPECT_TRUE(Near(0xDF8000FFu, Draw("Loops")));
  EXPECT_TRUE(Near(0x8040FFFFu, Draw("Constants")));  // "const static" is a constant too
  // An overloaded entry: the one whose uniform parameters the arguments fill.
  EXPECT_TRUE(Near(0x800000FFu, Draw("Pick")));
  EXPECT_TRUE(Near(0xFF0000FFu, Draw("PickOne")));
}

// State values over parameters the program sets follow the values it sets, when the pass begins
// and when changes are committed inside it.
TEST_F(HlslEffect, StateValuesOverParametersAreEvaluatedWhenThePassBegins) {
  const std::string text = std::string(kThrough) + R"(
float Alpha = 1;
bool bAdd = false;
int cull = 1;
float4 Red() : COLOR0 { return float4(1, 0, 0, Alpha); }
technique T { pass { VertexShader = compile vs_2_0 Through(); PixelShader = compile ps_2_0 Red();
  AlphaBlendEnable = (Alpha < 1); SrcBlend = (bAdd ? One : SrcAlpha);
  DestBlend = (bAdd ? One : InvSrcAlpha); CullMode = <cull>; } }
)";
  ASSERT_TRUE(BuildText(text)) << error_;
  glClearColor(0, 0, 1, 1);
  const auto draw = [&] {
    glClear(GL_COLOR_BUFFER_BIT);
    uint32_t passes = 0;
    EXPECT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
    EXPECT_EQ(effect_->BeginPass(0), gfx::S_OK);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    effect_->EndPass();
    effect_->End();
    return Read(kSize / 2, kSize / 2);
  };
  EXPECT_EQ(draw(), 0xFF0000FFu);  // Alpha = 1: no blending
  effect_->SetFloat("Alpha", 0.25f);
  EXPECT_TRUE(Near(0x4000BFCFu, draw()));  // a quarter red over blue, alpha blended too
  effect_->SetFloat("bAdd", 1);
  EXPECT_EQ(draw(), 0xFF00FFFFu);  // One, One: red added to blue
  // The quad runs clockwise on screen: CW culls it, CCW keeps it.
  effect_->SetFloat("Alpha", 1);
  effect_->SetFloat("cull", 2);
  EXPECT_EQ(draw(), 0x0000FFFFu);
  effect_->SetFloat("cull", 3);
  EXPECT_EQ(draw(), 0xFF0000FFu);

  // Committed inside the pass, a new value changes the draws after it.
  glClear(GL_COLOR_BUFFER_BIT);
  uint32_t passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  effect_->SetFloat("cull", 2);
  ASSERT_EQ(effect_->CommitChanges(), gfx::S_OK);
  glDrawArrays(GL_TRIANGLES, 0, 6);
  effect_->EndPass();
  effect_->End();
  EXPECT_EQ(Read(kSize / 2, kSize / 2), 0x0000FFFFu);
}

TEST_F(HlslEffect, APixelOnlyPassPassesPositionAndTextureCoordinatesThrough) {
  FxEffect fx =
      Describe("float4 Uv(float2 uv : TEXCOORD0) : COLOR0 { return float4(uv, 1, 1); }\n");
  AddTechnique(&fx, "PixelOnly", "", "Uv");
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_GT(Draw("PixelOnly", kSize - 1, 0) >> 24, 0xD8u);  // 7/8 at the last column's centre
  EXPECT_LT(Read(kSize - 1, 0) >> 16 & 255, 0x20u);
  EXPECT_LT(Read(0, kSize - 1) >> 24, 0x20u);
}

// ---- States and samplers -----------------------------------------------------------------------

TEST_F(HlslEffect, RenderStatesTakeEffect) {
  FxEffect fx = Describe(std::string(R"(
float4 Faint(float2 uv : TEXCOORD0) : COLOR0 { return float4(1, 1, 1, 0.25); }
float4 Strong(float2 uv : TEXCOORD0) : COLOR0 { return float4(1, 1, 1, 0.75); }
)") + kThrough);
  // AlphaTestEnable, AlphaFunc GREATER, AlphaRef 128.
  const std::vector<FxRenderState> alpha = {{15, 1}, {25, 5}, {24, 128}};
  AddTechnique(&fx, "FaintTested", "Through", "Faint", alpha);
  AddTechnique(&fx, "StrongTested", "Through", "Strong", alpha);
  AddTechnique(&fx, "RedOnly", "Through", "Strong", {{168, 1}});  // ColorWriteEnable RED
  AddTechnique(&fx, "CullCW", "Through", "Strong", {{22, 2}});    // CullMode CW
  AddTechnique(&fx, "CullCCW", "Through", "Strong", {{22, 3}});   // CullMode CCW
  // Reverse subtraction of SrcAlpha * source from One * destination.
  AddTechnique(&fx, "Subtract", "Through", "Faint", {{27, 1}, {19, 5}, {20, 2}, {171, 3}});
  // StencilEnable with StencilFunc NEVER: without stencil bits in the depth buffer the test passes.
  AddTechnique(&fx, "StencilNever", "Through", "Strong", {{52, 1}, {56, 1}});
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_EQ(Draw("FaintTested"), 0x000000FFu);
  EXPECT_EQ(Draw("StrongTested"), 0xFFFFFFBFu);
  EXPECT_EQ(Draw("RedOnly"), 0xFF0000FFu);
  EXPECT_EQ(Draw("CullCW"), 0x000000FFu);  // the quad is clockwise on screen
  EXPECT_EQ(Draw("CullCCW"), 0xFFFFFFBFu);
  // Black less a quarter of white stays black; alpha 1 - 0.25 * 0.25. Unblended it would be white.
  EXPECT_TRUE(Near(0x000000EFu, Draw("Subtract")));
  EXPECT_EQ(Draw("StencilNever"), 0xFFFFFFBFu);
  // End put the states back.
  GLboolean mask[4] = {};
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  EXPECT_TRUE(mask[1] && mask[2] && mask[3]);
  GLint equation = 0;
  glGetIntegerv(GL_BLEND_EQUATION_RGB, &equation);
  EXPECT_EQ(equation, GL_FUNC_ADD);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

uint32_t Bits(float f) {
  uint32_t bits = 0;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

// The device's back buffer is sRGB-encoded (render/gfx/gl/context_gl.cpp); this target is too.
// Flat shading takes a triangle's colours from its first vertex, as the platform does (GL's default
// is the last), and leaves texture coordinates interpolated. Both triangles of the quad start at
// the top-left corner, u = v = 0; they end at (1, 1) and (0, 1).
TEST_F(HlslEffect, FlatShadingColoursEachTriangleFromItsFirstVertex) {
  FxEffect fx = Describe(R"(
struct VsOut { float4 p : POSITION; float4 c : COLOR0; float2 uv : TEXCOORD0; };
VsOut Vs(float4 p : POSITION, float2 uv : TEXCOORD0) {
  VsOut o; o.p = p; o.c = float4(uv, 0, 1); o.uv = uv; return o;
}
float4 Ps(float4 c : COLOR0, float2 uv : TEXCOORD0) : COLOR0 { return float4(c.rg, uv.x, 1); }
)");
  AddTechnique(&fx, "Gouraud", "Vs", "Ps");
  AddTechnique(&fx, "Flat", "Vs", "Ps", {{9, 1}});
  // A later pass keeps the shade mode an earlier one set, as the device state does.
  AddTechnique(&fx, "Inherited", "Vs", "Ps", {{9, 1}});
  fx.techniques.back().passes.push_back(fx.techniques.back().passes[0]);
  fx.techniques.back().passes[1].renderStates.clear();
  AddTechnique(&fx, "BackToGouraud", "Vs", "Ps", {{9, 1}});
  fx.techniques.back().passes.push_back(fx.techniques.back().passes[0]);
  fx.techniques.back().passes[1].renderStates = {{9, 2}};
  ASSERT_TRUE(Build(fx)) << error_;
  const int right = kSize - 1, bottom = kSize - 1;  // u or v = 7/8 there
  for (const char* flat : {"Flat", "Inherited"}) {
    EXPECT_EQ(Draw(flat, right, 1) & 0xFFFF0000u, 0u) << flat;   // upper-right triangle
    EXPECT_EQ(Draw(flat, 1, bottom) & 0xFFFF0000u, 0u) << flat;  // lower-left triangle
    EXPECT_GT(Draw(flat, right, 1) >> 8 & 255, 200u) << flat;    // u still interpolated
  }
  for (const char* smooth : {"Gouraud", "BackToGouraud"}) {
    EXPECT_GT(Draw(smooth, right, 1) >> 24, 200u) << smooth;
    EXPECT_GT(Draw(smooth, 1, bottom) >> 16 & 255, 200u) << smooth;
  }
}

// Fog blends the colour towards the fog colour after the pixel stage: by the vertex stage's FOG
// value, or under FogTableMode by the distance along the view axis (1 here, the quad's w). Model 3
// pixel shaders are not fogged; a later pass keeps the fog an earlier one set.
TEST_F(HlslEffect, FogBlendsTowardsTheFogColourAfterThePixelStage) {
  FxEffect fx = Describe(std::string(kThrough) + R"(
struct FogOut { float4 p : POSITION; float2 uv : TEXCOORD0; float fog : FOG; };
FogOut FogVs(float4 p : POSITION, float2 uv : TEXCOORD0) {
  FogOut o; o.p = p; o.uv = uv; o.fog = uv.x; return o;
}
float4 Blue() : COLOR0 { return float4(0, 0, 1, 0.5); }
)");
  const uint32_t on = 28, colour = 34, table = 35, start = 36, end = 37, density = 38;
  const uint32_t red = 0x00FF0000;
  AddTechnique(&fx, "Vertex", "FogVs", "Blue", {{on, 1}, {colour, red}});
  AddTechnique(&fx, "Unwritten", "Through", "Blue", {{on, 1}, {colour, red}});
  AddTechnique(&fx, "Linear", "Through", "Blue",
               {{on, 1},
                {colour, red},
                {table, 3},
                {start, std::bit_cast<uint32_t>(0.0f)},
                {end, std::bit_cast<uint32_t>(2.0f)}});
  AddTechnique(
      &fx, "Exp", "Through", "Blue",
      {{on, 1}, {colour, red}, {table, 1}, {density, std::bit_cast<uint32_t>(0.6931472f)}});
  AddTechnique(&fx, "Model3", "FogVs", "Blue", {{on, 1}, {colour, red}});
  fx.techniques.back().passes[0].vertexShader.profile = "vs_3_0";
  fx.techniques.back().passes[0].pixelShader.profile = "ps_3_0";
  AddTechnique(&fx, "Inherited", "Through", "Blue", {{on, 1}, {colour, red}});
  fx.techniques.back().passes.push_back(fx.techniques.back().passes[0]);
  fx.techniques.back().passes[1].renderStates.clear();
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_TRUE(Near(0xFF00007Fu, Draw("Vertex", 0, kSize / 2)));          // u = 0: all fog
  EXPECT_TRUE(Near(0x2000DF7Fu, Draw("Vertex", kSize - 1, kSize / 2)));  // u = 7/8
  EXPECT_TRUE(Near(0xFF00007Fu, Draw("Unwritten")));  // no FOG written: 0, all fog
  EXPECT_TRUE(Near(0x8000807Fu, Draw("Linear")));     // (2 - 1) / (2 - 0)
  EXPECT_TRUE(Near(0x8000807Fu, Draw("Exp")));        // e^-(ln 2 * 1)
  EXPECT_TRUE(Near(0x0000FF7Fu, Draw("Model3")));
  EXPECT_TRUE(Near(0xFF00007Fu, Draw("Inherited")));
}

TEST_F(HlslEffect, SrgbWritesEncodeAMidGreyAsTheSrgbCurveSays) {
  GLuint srgb = 0;
  glGenTextures(1, &srgb);
  glBindTexture(GL_TEXTURE_2D, srgb);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_SRGB8_ALPHA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               nullptr);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, srgb, 0);
  FxEffect fx = Describe(std::string(R"(
float4 Grey(float2 uv : TEXCOORD0) : COLOR0 { return float4(0.5, 0.5, 0.5, 0.5); }
)") + kThrough);
  AddTechnique(&fx, "Linear", "Through", "Grey", {{194, 0}});
  AddTechnique(&fx, "Encoded", "Through", "Grey", {{194, 1}});
  // Blending reads the target back through the same curve: half of 0.5 over black is 0.25.
  AddTechnique(&fx, "EncodedBlend", "Through", "Grey", {{194, 1}, {27, 1}, {19, 5}, {20, 1}});
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_TRUE(Near(0x80808080u, Draw("Linear")));
  // 1.055 * 0.5^(1/2.4) - 0.055 = 0.7354 of 255 is 187.5; alpha is never encoded.
  const uint32_t encoded = Draw("Encoded");
  EXPECT_TRUE(Near(0xBCBCBC80u, encoded)) << std::hex << encoded;
  EXPECT_TRUE(Near(0x89898940u, Draw("EncodedBlend")));  // 0.25 encodes as 0.5371
  EXPECT_FALSE(glIsEnabled(GL_FRAMEBUFFER_SRGB)) << "End puts sRGB writes back off";
  // Reading sRGB textures is another matter: the build warns that they are read as stored.
  fx.samplers.push_back({});
  fx.samplers[0].name = "decoded";
  fx.samplers[0].states = {{11, 1}};
  compiler::CompiledEffect compiled;
  ASSERT_TRUE(compiler::CompileFxEffect("test.fx", fx, &compiled, &error_)) << error_;
  ASSERT_EQ(compiled.warnings.size(), 1u);
  EXPECT_NE(compiled.warnings[0].find("sampler 'decoded' sets SRGBTexture"), std::string::npos);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_[0], 0);
  glDeleteTextures(1, &srgb);
}

// 0.25 white blended over opaque black, with the alpha channel's own factors and operation.
TEST_F(HlslEffect, SeparateAlphaBlendingAndColourMasksReachTheTarget) {
  FxEffect fx = Describe(std::string(R"(
float4 Faint(float2 uv : TEXCOORD0) : COLOR0 { return float4(1, 1, 1, 0.25); }
)") + kThrough);
  const std::vector<FxRenderState> over = {{27, 1}, {19, 5}, {20, 6}};  // SrcAlpha, InvSrcAlpha
  std::vector<FxRenderState> ownAlpha = over;
  // One, One, RevSubtract: the target's alpha less the source's.
  ownAlpha.insert(ownAlpha.end(), {{206, 1}, {207, 2}, {208, 2}, {209, 3}});
  std::vector<FxRenderState> notSeparate = over;
  notSeparate.insert(notSeparate.end(), {{206, 0}, {207, 1}, {208, 2}, {209, 3}});
  AddTechnique(&fx, "OwnAlpha", "Through", "Faint", ownAlpha);
  AddTechnique(&fx, "NotSeparate", "Through", "Faint", notSeparate);
  AddTechnique(&fx, "GreenAlpha", "Through", "Faint", {{168, 10}});
  AddTechnique(&fx, "OtherTargets", "Through", "Faint", {{190, 0}, {191, 0}, {192, 0}});
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_TRUE(Near(0x404040BFu, Draw("OwnAlpha")));  // 1 * 1 - 1 * 0.25
  // Off, the alpha factors are the colour's: 0.25 * 0.25 + 1 * 0.75.
  EXPECT_TRUE(Near(0x404040CFu, Draw("NotSeparate")));
  EXPECT_EQ(Draw("GreenAlpha"), 0x00FF0040u);
  EXPECT_EQ(Draw("OtherTargets"), 0xFFFFFF40u) << "masks of targets 1 to 3 leave target 0 be";
  GLint alphaSource = 0;
  glGetIntegerv(GL_BLEND_SRC_ALPHA, &alphaSource);
  EXPECT_EQ(alphaSource, GL_ONE) << "End puts the alpha factors back";
}

// Pass 0 draws red at depth 0.25, pass 1 green 10 steps of the 16-bit depth buffer behind it.
// D3D's DepthBias is a fraction of the depth range added to the pass's depth: -20 steps bring it
// in front, -5 leave it behind; 2 steps push a coplanar pass behind a LessEqual test.
TEST_F(HlslEffect, DepthBiasMovesAPassBySteps) {
  GLuint depth16 = 0;
  glGenTextures(1, &depth16);
  glBindTexture(GL_TEXTURE_2D, depth16);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, kSize, kSize, 0, GL_DEPTH_COMPONENT,
               GL_UNSIGNED_SHORT, nullptr);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth16, 0);
  FxEffect fx = Describe(std::string(kThrough) + R"(
float4 Red(float2 uv : TEXCOORD0) : COLOR0 { return float4(1, 0, 0, 1); }
float4 Green(float2 uv : TEXCOORD0) : COLOR0 { return float4(0, 1, 0, 1); }
VsOut AtDepth(float4 position : POSITION, float2 uv : TEXCOORD0, uniform float z) {
  VsOut o; o.position = float4(position.xy, z, 1); o.uv = uv; return o;
}
)");
  FxFunction atDepth{"AtDepth", "VsOut", "", {}, 0};
  atDepth.parameters.push_back({"position", "float4", "POSITION", true, false, false});
  atDepth.parameters.push_back({"uv", "float2", "TEXCOORD0", true, false, false});
  atDepth.parameters.push_back({"z", "float", "", true, false, true});
  fx.functions.push_back(atDepth);
  const float step = 1.0f / 65535.0f;
  const auto technique = [&](const char* name, float behind, float bias, uint32_t zFunc) {
    FxPass first, second;
    first.name = "P0";
    first.vertexShader = Shader("vs_2_0", "AtDepth", {"0.25"});
    first.pixelShader = Shader("ps_2_0", "Red");
    first.renderStates = {{7, 1}, {14, 1}, {23, zFunc}};
    second = first;
    second.name = "P1";
    second.vertexShader = Shader("vs_2_0", "AtDepth", {std::to_string(0.25f + behind * step)});
    second.pixelShader = Shader("ps_2_0", "Green");
    second.renderStates.push_back({195, Bits(bias * step)});
    fx.techniques.push_back({name, {first, second}, 0});
  };
  technique("InFront", 10, -20, 2);     // Less
  technique("StillBehind", 10, -5, 2);  // Less
  technique("Coplanar", 0, 0, 4);       // LessEqual
  technique("PushedBack", 0, 2, 4);     // LessEqual
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_EQ(Draw("InFront"), 0x00FF00FFu);
  EXPECT_EQ(Draw("StillBehind"), 0xFF0000FFu);
  EXPECT_EQ(Draw("Coplanar"), 0x00FF00FFu);
  EXPECT_EQ(Draw("PushedBack"), 0xFF0000FFu);
  EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL)) << "End puts the offset back off";
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth_, 0);
  glDeleteTextures(1, &depth16);
}

// States whose GL counterpart changes nothing a filled quad shows still reach GL, and End puts
// them back: the scissor box is the whole target, whatever the program left.
TEST_F(HlslEffect, ScissorPointSizeLineAndDitherStatesAreSetAndPutBack) {
  FxEffect fx = Describe(std::string(R"(
float4 White(float2 uv : TEXCOORD0) : COLOR0 { return 1; }
)") + kThrough);
  // ScissorTestEnable, PointSize 100 under PointSize_Max 80, AntialiasedLineEnable, DitherEnable.
  AddTechnique(&fx, "States", "Through", "White",
               {{174, 1}, {154, Bits(100.0f)}, {166, Bits(80.0f)}, {176, 1}, {26, 0}});
  // The fixed-function stages' states are the generated stages' business; a shader pass draws
  // as it would without them.
  AddTechnique(&fx, "FixedFunction", "Through", "White",
               {{137, 1}, {28, 0}, {9, 3}, {136, 0}, {151, 1}, {60, 0xFF00FF00u}, {139, 1}});
  ASSERT_TRUE(Build(fx)) << error_;
  glScissor(0, 0, 1, 1);
  gfx::gl::SyncStateFromGl();
  ASSERT_EQ(effect_->SetTechnique("States"), gfx::S_OK);
  uint32_t passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  float pointSize = 0;
  glGetFloatv(GL_POINT_SIZE, &pointSize);
  EXPECT_EQ(pointSize, 80.0f);
  EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
  EXPECT_FALSE(glIsEnabled(GL_DITHER));
  glDrawArrays(GL_TRIANGLES, 0, 6);
  effect_->EndPass();
  effect_->End();
  EXPECT_EQ(Read(kSize - 1, 0), 0xFFFFFFFFu) << "the scissor box covers the whole target";
  GLint box[4] = {};
  glGetIntegerv(GL_SCISSOR_BOX, box);
  EXPECT_EQ(box[2], 1);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
  EXPECT_TRUE(glIsEnabled(GL_DITHER));
  glGetFloatv(GL_POINT_SIZE, &pointSize);
  EXPECT_EQ(pointSize, 1.0f);
  EXPECT_EQ(Draw("FixedFunction"), 0xFFFFFFFFu);
}

// The device's default culls counter-clockwise triangles; a D3D9 pass faces clockwise as the
// original platform does, and without a CullMode of its own it must cull what the device culls.
TEST_F(HlslEffect, APassWithoutACullModeCullsWhatTheDeviceCulls) {
  FxEffect fx = Describe(std::string(R"(
float4 Strong(float2 uv : TEXCOORD0) : COLOR0 { return float4(1, 1, 1, 0.75); }
)") + kThrough);
  AddTechnique(&fx, "Plain", "Through", "Strong");
  ASSERT_TRUE(Build(fx)) << error_;
  gfx::gl::ApplyCullMode(gfx::CULL_CCW);
  EXPECT_EQ(Draw("Plain"), 0xFFFFFFBFu) << "the quad is clockwise on screen";
  gfx::gl::ApplyCullMode(gfx::CULL_CW);
  EXPECT_EQ(Draw("Plain"), 0x000000FFu);
  gfx::gl::ApplyCullMode(gfx::CULL_NONE);
}

gfx::gl::GlTexture* Texture(int width, int height, const uint8_t* rgba) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return new gfx::gl::GlTexture(name, width, height);
}

TEST_F(HlslEffect, SamplersUseTheirStatesAndTheirTexture) {
  FxEffect fx = Describe(std::string(R"(
// texture image;
// texture green;
sampler2D pointWrap;
sampler2D linearClamp;
samplerCUBE cube;
sampler2D solid;
float4 At(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(pointWrap, float2(1.25, 0.5)); }
float4 Clamped(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(linearClamp, float2(1.25, 0.5)); }
float4 Middle(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(linearClamp, float2(0.5, 0.5)); }
float4 Cube(float2 uv : TEXCOORD0) : COLOR0 { return texCUBE(cube, float3(1, 0, 0)); }
)") + kThrough);
  AddParameter(&fx, "image", FxBase::Texture, 1, 1);
  AddParameter(&fx, "green", FxBase::Texture, 1, 1);
  const auto sampler = [](const char* name, const char* texture,
                          std::vector<FxSamplerState> states) {
    FxSampler s;
    s.name = name;
    s.texture = texture;
    s.states = std::move(states);
    return s;
  };
  // Point, wrap; linear, clamp; a cube sampler with no texture.
  fx.samplers = {sampler("pointWrap", "image", {{5, 1}, {6, 1}, {1, 1}}),
                 sampler("linearClamp", "image", {{5, 2}, {6, 2}, {1, 3}}), sampler("cube", "", {}),
                 sampler("solid", "green", {})};
  for (const char* entry : {"At", "Clamped", "Middle", "Cube"})
    AddTechnique(&fx, entry, "Through", entry);
  ASSERT_TRUE(Build(fx)) << error_;
  const uint8_t texels[8] = {255, 0, 0, 255, 0, 0, 255, 255};  // red | blue
  auto* texture = Texture(2, 1, texels);
  ASSERT_EQ(effect_->SetTexture("image", texture), gfx::S_OK);
  EXPECT_EQ(Draw("At"), 0xFF0000FFu);       // wraps to u = 0.25: the red texel
  EXPECT_EQ(Draw("Clamped"), 0x0000FFFFu);  // clamps to the blue edge
  EXPECT_TRUE(Near(0x800080FFu, Draw("Middle")));
  // No cube textures, and a null texture: opaque black, as a stage without a texture samples on
  // the original platform.
  EXPECT_EQ(Draw("Cube"), 0x000000FFu);
  ASSERT_EQ(effect_->SetTexture("image", nullptr), gfx::S_OK);
  EXPECT_EQ(Draw("At"), 0x000000FFu);
  ASSERT_EQ(effect_->SetTexture("image", texture), gfx::S_OK);
  // A pass's own AddressU[0] = Clamp, on the first sampler for this pass alone.
  FxEffect clamped = fx;
  AddTechnique(&clamped, "AtClamped", "Through", "At");
  clamped.techniques.back().passes[0].samplerStates = {{0, {1, 3}}};
  ASSERT_TRUE(Build(clamped)) << error_;
  ASSERT_EQ(effect_->SetTexture("image", texture), gfx::S_OK);
  EXPECT_EQ(Draw("AtClamped"), 0x0000FFFFu);
  EXPECT_EQ(Draw("At"), 0xFF0000FFu);
  // Sampler[0] = (s): for that pass stage 0 reads s's states, or s's texture.
  FxEffect rebound = fx;
  AddTechnique(&rebound, "AtLinearClamp", "Through", "At");
  rebound.techniques.back().passes[0].samplerBindings = {{0, "linearClamp"}};
  AddTechnique(&rebound, "AtSolid", "Through", "At");
  rebound.techniques.back().passes[0].samplerBindings = {{0, "solid"}};
  ASSERT_TRUE(Build(rebound)) << error_;
  const uint8_t green[4] = {0, 255, 0, 255};
  auto* greenTexture = Texture(1, 1, green);
  ASSERT_EQ(effect_->SetTexture("image", texture), gfx::S_OK);
  ASSERT_EQ(effect_->SetTexture("green", greenTexture), gfx::S_OK);
  EXPECT_EQ(Draw("AtLinearClamp"), 0x0000FFFFu);
  EXPECT_EQ(Draw("AtSolid"), 0x00FF00FFu);
  EXPECT_EQ(Draw("At"), 0xFF0000FFu);
  FxEffect unknown = fx;
  AddTechnique(&unknown, "AtNothing", "Through", "At");
  unknown.techniques.back().passes[0].samplerBindings = {{0, "nothing"}};
  EXPECT_FALSE(Build(unknown));
  EXPECT_NE(error_.find("Sampler[0] names 'nothing', which is no sampler"), std::string::npos)
      << error_;
  greenTexture->Release();
  texture->Release();
}

// ---- Errors -----------------------------------------------------------------------------------

// An effect may declare more samplers than a pass reads, and its fixed-function stages add more:
// each takes a unit of its own, past the 16 one stage can read.
TEST_F(HlslEffect, AnEffectMayDeclareMoreSamplersThanAPassReads) {
  std::string text = std::string(kThrough) + "texture t;\n";
  for (int i = 0; i < 20; ++i)
    text += "sampler2D s" + std::to_string(i) + " = sampler_state { Texture = <t>; };\n";
  text += R"(
float4 Last(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(s19, uv) * 0.5; }
technique Last { pass { VertexShader = compile vs_2_0 Through(); PixelShader = compile ps_2_0 Last(); } }
)";
  ASSERT_TRUE(BuildText(text)) << error_;
  const uint8_t green[4] = {0, 255, 0, 255};
  auto* texture = Texture(1, 1, green);
  ASSERT_EQ(effect_->SetTexture("t", texture), gfx::S_OK);
  EXPECT_TRUE(Near(0x0080007Fu, Draw("Last")));
  texture->Release();
}

TEST_F(HlslEffect, ErrorsNameTheFileAndLineOfEveryFailingStage) {
  // glslang stops at the first error of the text, which every stage reads: one message, though
  // both stages fail on it, at the line of the include it came from.
  FxEffect fx = Describe(R"(float4 k;
float4 Vs(float4 p : POSITION) : POSITION { return p; }
float4 Ps() : COLOR0 {
  return k * undeclared;
}
)");
  fx.source.files.push_back("include.fxh");
  fx.source.origins[3] = {1, 17};
  AddTechnique(&fx, "T", "Vs", "Ps");
  ASSERT_FALSE(Build(fx));
  EXPECT_EQ(effect_, nullptr);
  EXPECT_EQ(error_.rfind("include.fxh(17): error: ", 0), 0u) << error_;
  EXPECT_NE(error_.find("undeclared"), std::string::npos) << error_;
  EXPECT_EQ(error_.find("(pixel shader"), std::string::npos) << error_;
  EXPECT_EQ(error_.find("0:"), std::string::npos) << error_;

  // Faults of the two stages of one pass, each at its own binding.
  fx = Describe(R"(float4 Vs(float4 p : POSITION) : POSITION { return p; }
struct Out { float4 c : COLOR0; float4 n : NORMAL; };
Out Ps() { Out o; o.c = 1; o.n = 0; return o; }
)");
  AddTechnique(&fx, "T", "NoSuchEntry", "Ps");
  fx.techniques[0].passes[0].vertexShader.line = 1;
  fx.techniques[0].passes[0].pixelShader.line = 2;
  ASSERT_FALSE(Build(fx));
  EXPECT_NE(error_.find("test.fx(2): error: "), std::string::npos) << error_;
  EXPECT_NE(error_.find("vertex shader 'NoSuchEntry'"), std::string::npos) << error_;
  EXPECT_NE(error_.find("test.fx(3): error: pixel output"), std::string::npos) << error_;
}

TEST_F(HlslEffect, WhatWeDoNotRunIsRefusedAtItsPass) {
  FxEffect fx = Describe(std::string("float4 White() : COLOR0 { return 1; }\n") + kThrough);
  // PointSpriteEnable: on triangles it changes nothing; on triangles drawn as points it would.
  // ClipPlaneEnable: the planes stay (0, 0, 0, 0), which clip nothing.
  AddTechnique(&fx, "Sprites", "Through", "White", {{156, 1}});
  AddTechnique(&fx, "Planes", "Through", "White", {{152, 63}});
  ASSERT_TRUE(Build(fx)) << error_;
  EXPECT_TRUE(Near(0xFFFFFFFFu, Draw("Sprites")));
  EXPECT_TRUE(Near(0xFFFFFFFFu, Draw("Planes", 0, 0)));
  EXPECT_TRUE(Near(0xFFFFFFFFu, Draw("Planes", kSize - 1, kSize - 1)));
  fx.techniques.clear();
  AddTechnique(&fx, "Sprites", "Through", "White", {{156, 1}, {8, 1}});
  fx.techniques[0].passes[0].line = 1;
  ASSERT_FALSE(Build(fx));
  EXPECT_NE(error_.find("test.fx(2): error: pass 'P0' of technique 'Sprites'"), std::string::npos)
      << error_;
  EXPECT_NE(error_.find("point sprites"), std::string::npos) << error_;
  fx.techniques.clear();
  AddTechnique(&fx, "Wrapped", "Through", "White", {{199, 3}});  // Wrap9 U|V
  AddTechnique(&fx, "Fogged", "", "White", {{28, 1}});  // fog the fixed-function vertex stage makes
  ASSERT_FALSE(Build(fx));
  EXPECT_NE(error_.find("Wrap9 (cylindrical texture wrapping)"), std::string::npos) << error_;
  EXPECT_NE(error_.find("fog computed by the fixed-function vertex stage"), std::string::npos)
      << error_;

  // What shapes a generated fixed-function stage must be known when the effect compiles.
  fx.techniques.clear();
  AddTechnique(&fx, "OperationFromAParameter", "Through", "");
  FxFixedState op;
  op.state = FxFixed::ColorOp;
  op.parameter = "Op";
  op.line = 1;
  fx.techniques[0].passes[0].fixedStates.push_back(op);
  ASSERT_FALSE(Build(fx));
  EXPECT_NE(error_.find("test.fx(2): error: this fixed-function state takes its value from "
                        "parameter 'Op'"),
            std::string::npos)
      << error_;

  fx.techniques.clear();
  AddTechnique(&fx, "Arguments", "Through", "White");
  fx.techniques[0].passes[0].pixelShader.arguments = {"1"};
  ASSERT_FALSE(Build(fx));
  EXPECT_NE(error_.find("no function 'White' takes 1 uniform arguments"), std::string::npos)
      << error_;

  // Semantics come from the file: a number too long for any register is refused, not thrown.
  fx = Describe(std::string(kThrough) + "float4 Odd() : COLOR99999999999999999999 { return 1; }\n");
  AddTechnique(&fx, "T", "Through", "Odd");
  ASSERT_FALSE(Build(fx));
  EXPECT_NE(error_.find("only COLOR0 to COLOR7 and DEPTH"), std::string::npos) << error_;

  // A number beyond float's range, as our format treats it.
  fx = Describe("float tooLarge = 1e99;\n" + std::string(kThrough) +
                "float4 White() : COLOR0 { return tooLarge; }\n");
  AddParameter(&fx, "tooLarge", FxBase::Float, 1, 1, {std::numeric_limits<float>::infinity()});
  AddTechnique(&fx, "T", "Through", "White");
  ASSERT_FALSE(Build(fx));
  EXPECT_EQ(error_, "test.fx(1): error: the initial value of 'tooLarge' is out of range\n");
  fx.parameters[0].value.clear();  // as the reader leaves it: the initialiser as text
  fx.parameters[0].initText = "1e99";
  ASSERT_FALSE(Build(fx));
  EXPECT_EQ(error_, "test.fx(1): error: the initial value of 'tooLarge' is out of range\n");

  // A struct-typed global would read 0 whatever its initialiser says; without one, 0 is right.
  fx = Describe("struct Light { float4 colour; };\nLight light = { float4(1, 0, 0, 1) };\n" +
                std::string(kThrough) + "float4 Lit() : COLOR0 { return light.colour; }\n");
  AddParameter(&fx, "light", FxBase::Struct, 1, 1);
  fx.parameters[0].type.name = "Light";
  fx.parameters[0].initText = "{ float4(1, 0, 0, 1) }";
  AddTechnique(&fx, "T", "Through", "Lit");
  ASSERT_FALSE(Build(fx));
  EXPECT_EQ(error_.rfind("test.fx(2): error: 'light' is a global of struct type 'Light' with an "
                         "initial value",
                         0),
            0u)
      << error_;
  fx.parameters[0].initText.clear();
  EXPECT_TRUE(Build(fx)) << error_;
}

}  // namespace
