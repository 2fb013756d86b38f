// Assembly shaders of D3D9 effects on the GL effect, checked by rendering: one pair of stages per
// shader model, read from effect text as a file would be, fed through the passes'
// VertexShaderConstant and PixelShaderConstant states with parameters the program sets.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "compiler/compile_effect.hpp"
#include "formats/fx_effect.hpp"
#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/effect_gl.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/gl/gl_state.hpp"
#include "tests/gl/gl_context.hpp"

namespace {

constexpr int kSize = 8;

class AsmEffect : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_GL_CONTEXT();
    glGenTextures(1, &colour_);
    glBindTexture(GL_TEXTURE_2D, colour_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, kSize, kSize);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    // A quad over the whole target, clockwise on screen; texture coordinates 0..1 from the top
    // left.
    const float vertices[] = {
        -1, 1, 0.5f, 0, 0, 1, 1,  0.5f, 1, 0, 1,  -1, 0.5f, 1, 1,
        -1, 1, 0.5f, 0, 0, 1, -1, 0.5f, 1, 1, -1, -1, 0.5f, 0, 1,
    };
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glGenBuffers(1, &vertexBuffer_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, sizeof vertices, vertices, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), nullptr);
    glEnableVertexAttribArray(2);  // TEXCOORD0
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float),
                          reinterpret_cast<const void*>(3 * sizeof(float)));
    gfx::gl::SyncStateFromGl();
  }
  void TearDown() override {
    if (effect_) effect_->Release();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindVertexArray(0);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteTextures(1, &colour_);
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
    gfx::gl::SyncStateFromGl();
  }

  bool Build(const std::string& text) {
    if (effect_) effect_->Release();
    effect_ = nullptr;
    formats::FxPreprocessed pre;
    formats::FxEffect fx;
    compiler::CompiledEffect compiled;
    return formats::PreprocessFx("asm.fx", text, formats::FxIncludeReader(), &pre, &error_) &&
           formats::ParseFx(pre, &fx, &error_) &&
           compiler::CompileFxEffect("asm.fx", fx, &compiled, &error_) &&
           gfx::gl::LoadCompiledEffect(compiled, &effect_, &error_);
  }

  // Clears to opaque black, draws the first technique's pass, returns pixel (x, y) from the top
  // as 0xRRGGBBAA.
  uint32_t Draw(int x, int y) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    uint32_t passes = 0;
    EXPECT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
    EXPECT_EQ(effect_->BeginPass(0), gfx::S_OK);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    effect_->EndPass();
    effect_->End();
    return Read(x, y);
  }

  uint32_t Read(int x, int y) {
    uint8_t p[4] = {};
    glReadPixels(x, kSize - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  }

  GLuint colour_ = 0, framebuffer_ = 0, vertexArray_ = 0, vertexBuffer_ = 0;
  gfx::Effect* effect_ = nullptr;
  std::string error_;
};

::testing::AssertionResult Near(uint32_t expected, uint32_t actual) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int e = (expected >> shift) & 255, a = (actual >> shift) & 255;
    if (e - a > 1 || a - e > 1)
      return ::testing::AssertionFailure()
             << std::hex << "expected 0x" << expected << ", got 0x" << actual;
  }
  return ::testing::AssertionSuccess();
}

// A matrix given to registers c0..c3 holds its columns there, so m4x4 applies it as mul(v, M)
// and the translation in its fourth row moves the quarter-size quad to the top-right corner.
// The colour output is clamped to 0..1, a ...Constant1 state fills one register of a matrix,
// the co-issued alpha reads a replicated blue, and the pixel stage's constants are literals.
TEST_F(AsmEffect, ShaderModel1DrawsWithMatrixAndColourConstants) {
  ASSERT_TRUE(Build(R"(
float4x4 Move;
float4 Tint;
float4x4 Half;
technique T { pass P {
  VertexShader = asm {
    vs.1.1
    dcl_position v0
    def c8, 0.25, 0.25, 1, 1
    mul r0, v0, c8
    mov r0.w, c8.w
    m4x4 oPos, r0, c0
    add oD0, c4, c5
  };
  PixelShader = asm {
    ps.1.1
    mul r0.rgb, v0, c0
    +mov r0.a, c1.b
  };
  VertexShaderConstant4[0] = <Move>;
  VertexShaderConstant[4] = <Tint>;
  VertexShaderConstant1[5] = <Half>;
  PixelShaderConstant[0] = {1, 0.5, 0.25, 1};
  PixelShaderConstant[1] = float4(0, 0, 0.75, 0);
} }
)")) << error_;
  gfx::Matrix move{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0.75f, 0.75f, 0, 1}}};
  ASSERT_EQ(effect_->SetMatrix("Move", &move), gfx::S_OK);
  const float tint[4] = {2, 0.25f, 1, 1};
  ASSERT_EQ(effect_->SetFloatArray("Tint", tint, 4), gfx::S_OK);
  // Only the first column reaches c5; the others would land in registers the shader never reads.
  gfx::Matrix half{{{0, 9, 9, 9}, {0.25f, 9, 9, 9}, {0, 9, 9, 9}, {0, 9, 9, 9}}};
  ASSERT_EQ(effect_->SetMatrix("Half", &half), gfx::S_OK);
  // oD0 = saturate(2, 0.5, 1, 1) = (1, 0.5, 1, 1); r0 = (1, 0.25, 0.25) with alpha 0.75.
  EXPECT_TRUE(Near(0xFF4040BFu, Draw(kSize - 1, 0)));
  EXPECT_EQ(Read(kSize / 2 - 1, kSize / 2), 0x000000FFu);
}

// A rep loop adds a literal three times, mova rounds 1.6 to 2 for a relative read, the pixel
// stage's rcp, rsq and cmp, and a parameter set on a pixel register.
TEST_F(AsmEffect, ShaderModel2LoopsAddressesAndScalarOps) {
  ASSERT_TRUE(Build(R"(
float4 Gain;
technique T { pass P {
  VertexShader = asm {
    vs_2_0
    dcl_position v0
    dcl_texcoord0 v1
    defi i0, 3, 0, 0, 0
    def c20, 0, 0, 0, 0
    mov oPos, v0
    mov r0, c20
    rep i0
      add r0, r0, c10
    endrep
    mova a0.x, c11.x
    add oT0, r0, c[a0.x + 12]
  };
  PixelShader = asm {
    ps_2_0
    dcl t0
    def c3, 0.25, 4, 0, 1
    rcp r1.x, c3.y
    rsq r1.y, c3.y
    add r0.x, t0.x, r1.x
    mov r0.y, t0.y
    mul r0.z, t0.z, c0.x
    mul r0.z, r0.z, r1.y
    cmp r0.w, -t0.w, c3.z, c3.w
    mov oC0, r0
  };
  VertexShaderConstant[10] = {0.1, 0.2, 0.05, 0};
  VertexShaderConstant[11] = {1.6, 0, 0, 0};
  VertexShaderConstant[14] = {0, 0, 0, 0.5};
  PixelShaderConstant[0] = <Gain>;
} }
)")) << error_;
  const float gain[4] = {0.5f, 0, 0, 0};
  ASSERT_EQ(effect_->SetFloatArray("Gain", gain, 4), gfx::S_OK);
  // t0 = (0.3, 0.6, 0.15, 0.5): (0.3 + 0.25, 0.6, 0.15 * 0.5 * 0.5, 1).
  EXPECT_TRUE(Near(0x8C990AFFu, Draw(3, 3)));
}

// Two semantics share one output register, lit shapes a parameter, sincos writes cosine and
// sine, and the front face reads a positive vFace.
TEST_F(AsmEffect, ShaderModel3PackedOutputsLitSincosAndFace) {
  ASSERT_TRUE(Build(R"(
float4 LightIn;
technique T { pass P {
  VertexShader = asm {
    vs_3_0
    dcl_position v0
    dcl_texcoord0 v1
    dcl_position o0
    dcl_texcoord0 o1.xy
    dcl_texcoord1 o1.zw
    dcl_color0 o2
    mov o0, v0
    mov o1.xy, v1
    mov o1.zw, c0.xxxy
    lit o2, c1
  };
  PixelShader = asm {
    ps_3_0
    dcl_texcoord1 v0.xy
    dcl_color0 v1
    dcl vFace
    def c0, 0, 1, 0, 0
    sincos r0.xy, c0.x
    mul r1.xy, v0, r0.x
    add r1.y, r1.y, r0.y
    mov r1.z, v1.z
    cmp r1.w, vFace, c0.y, c0.z
    mov oC0, r1
  };
  VertexShaderConstant[0] = {0.25, 0.75, 0, 0};
  VertexShaderConstant[1] = <LightIn>;
} }
)")) << error_;
  const float light[4] = {0.5f, 0.25f, 0, 2};
  ASSERT_EQ(effect_->SetFloatArray("LightIn", light, 4), gfx::S_OK);
  // lit: (1, 0.5, 0.25 ^ 2, 1); cos 0 = 1, sin 0 = 0.
  EXPECT_TRUE(Near(0x40BF10FFu, Draw(2, 5)));
}

// ps_1_1's dependent reads: texbeml moves stage 1's coordinates by its bump-environment matrix
// times t0's red and green and scales the result by t0's blue times the luminance scale plus its
// offset; texm3x2pad and texm3x2tex sample stage 2 at (T1 . t0, T2 . t0). The image is red on its
// left half and green on its right.
TEST_F(AsmEffect, ShaderModel1DependentReadsUseTheBumpMatrixAndTheTextureRows) {
  const std::string head = R"(
texture Bump;
texture Image;
sampler sBump = sampler_state { Texture = <Bump>; MinFilter = Point; MagFilter = Point; };
sampler sFree = sampler_state { Texture = <Image>; };
sampler sImage = sampler_state {
  Texture = <Image>; MinFilter = Point; MagFilter = Point; AddressU = Clamp; AddressV = Clamp;
};
VertexShader Through = asm {
  vs.1.1
  dcl_position v0
  dcl_texcoord v1
  def c0, 0, 1, 0, 0
  mov oPos, v0
  mov oT0, v1
  mov oT1, v1
  mov oT2, c0
};
)";
  const auto texture = [](int width, const uint8_t* rgba) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    return new gfx::gl::GlTexture(name, width, 1);
  };
  const uint8_t bumpTexel[4] = {255, 0, 128, 255},
                imageTexels[8] = {255, 0, 0, 255, 0, 255, 0, 255};
  gfx::gl::GlTexture* bump = texture(1, bumpTexel);
  gfx::gl::GlTexture* image = texture(2, imageTexels);
  const auto bind = [&] {
    ASSERT_EQ(effect_->SetTexture("Bump", bump), gfx::S_OK);
    ASSERT_EQ(effect_->SetTexture("Image", image), gfx::S_OK);
  };

  // A pass of the vertex stage above and a ps_1_1 block.
  const auto pass = [&](const std::string& instructions, const std::string& states) {
    return head + "technique T { pass P {\n  VertexShader = (Through);\n" +
           "  PixelShader = asm {\n    ps.1.1\n    tex t0\n" + instructions + "  };\n" + states +
           "} }\n";
  };

  ASSERT_TRUE(Build(pass("    texbeml t1, t0\n    mov r0, t1\n",
                         "  BumpEnvMat00[1] = 0.5;\n  BumpEnvMat01[1] = 0.0;\n"
                         "  BumpEnvMat10[1] = 0.0;\n  BumpEnvMat11[1] = 0.0;\n"
                         "  BumpEnvLScale[1] = 1.0;\n  BumpEnvLOffset[1] = 0.25;\n")))
      << error_;
  bind();
  // u = 1/8 + 0.5 * 1 lands on the green texel; blue 0.5 * 1 + 0.25 scales it to 0.75.
  EXPECT_TRUE(Near(0x00BF00BFu, Draw(1, 4)));

  ASSERT_TRUE(Build(pass("    texm3x2pad t1, t0\n    texm3x2tex t2, t0\n    mov r0, t2\n", "")))
      << error_;
  bind();
  // T1 is the quad's own coordinates and T2 (0, 1, 0): u = T1.x * 1, v = 0 (t0's green).
  EXPECT_TRUE(Near(0xFF0000FFu, Draw(1, 4)));
  EXPECT_TRUE(Near(0x00FF00FFu, Draw(kSize - 1, 4)));
  bump->Release();
  image->Release();
}

}  // namespace
