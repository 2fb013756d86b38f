// Passes without shaders, or without one of the two, drawn by the generated fixed-function stages
// and checked by their pixels against the original platform's formulas: transforms from the device
// and from the pass, per-vertex lighting (directional and point lights, ambient), the texture stage
// cascade, and each generated stage joined to a shader of the file.
#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/matrix.hpp"
#include "tests/gl/sphere_fixture.hpp"

namespace {

class FixedFunction : public SphereDeviceTest {
 protected:
  void SetUp() override {
    SphereDeviceTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    dir_ = MakeTempDirectory();
  }
  void TearDown() override {
    if (!dir_.empty()) std::system(("rm -rf " + dir_).c_str());
    SphereDeviceTest::TearDown();
  }

  void Load(const std::string& text) {
    const std::string path = dir_ + "/ff.fx";
    WriteFile(path, text);
    gfx::Buffer* errors = nullptr;
    gfx::CreateEffectFromFile(nullptr, path.c_str(), nullptr, nullptr, 0, nullptr, &effect_,
                              &errors);
    std::string messages;
    if (errors) {
      messages = static_cast<const char*>(errors->GetBufferPointer());
      errors->Release();
    }
    ASSERT_NE(effect_, nullptr) << messages;
  }

  // The pixel at the sphere's centre.
  uint32_t Centre() { return Pixel(kWidth / 2, kHeight / 2); }

  static void ExpectColour(uint32_t rgba, int r, int g, int b, int tolerance = 3) {
    EXPECT_NEAR(static_cast<int>(rgba >> 24), r, tolerance) << std::hex << rgba;
    EXPECT_NEAR(static_cast<int>(rgba >> 16 & 255), g, tolerance) << std::hex << rgba;
    EXPECT_NEAR(static_cast<int>(rgba >> 8 & 255), b, tolerance) << std::hex << rgba;
  }

  std::string dir_;
};

TEST_F(FixedFunction, LightsAsTheOriginalFormulasSay) {
  Load(R"(
float4x4 World;
technique Directional {
  pass P {
    WorldTransform[0] = <World>;
    LightEnable[0] = TRUE;
    LightType[0] = Directional;
    LightDiffuse[0] = float4(1, 0.5, 0.25, 1);
    LightDirection[0] = float3(0, 0, 1);
    NormalizeNormals = TRUE;
    MaterialDiffuse = float4(1, 1, 1, 1);
    MaterialAmbient = float4(0.5, 0.5, 0.5, 1);
    Ambient = 0xFF404040;
    VertexShader = NULL;
    PixelShader = NULL;
  }
}
technique Point {
  pass P {
    LightEnable[0] = TRUE;
    LightType[0] = Point;
    LightDiffuse[0] = float4(1, 1, 1, 1);
    LightPosition[0] = float3(0, 0, -0.98);
    LightRange[0] = 10;
    LightAttenuation0[0] = 0;
    LightAttenuation1[0] = 2;
    LightAttenuation2[0] = 0;
    NormalizeNormals = TRUE;
    MaterialDiffuse = float4(0, 1, 0, 1);
    MaterialAmbient = float4(0, 0, 0, 0);
  }
}
technique Unlit {
  pass P { Lighting = FALSE; }
}
)");
  ASSERT_EQ(effect_->SetMatrix("World", &place_), gfx::S_OK);
  // Facing the light head-on: diffuse (1, 0.5, 0.25) plus ambient 0.25 times material 0.5.
  Draw("Directional");
  ExpectColour(Centre(), 255, 160, 96);
  const uint32_t side = Pixel(kWidth / 2 + 24, kHeight / 2);
  EXPECT_LT(static_cast<int>(side >> 16 & 255), 150) << std::hex << side << " turned from it";
  EXPECT_EQ(Pixel(2, 2), 0x000000FFu) << "the world transform of the pass placed the sphere";

  // A point light one unit away, attenuated by 1 / (2 d): half its colour, in the material's green.
  // End put the device's own world back (identity), so the program places the sphere itself.
  ASSERT_EQ(device->SetTransform(gfx::TS_WORLD, &place_), gfx::S_OK);
  Draw("Point");
  ExpectColour(Centre(), 0, 128, 0);

  Draw("Unlit");
  ExpectColour(Centre(), 255, 255, 255, 0);
}

TEST_F(FixedFunction, TextureStagesCascade) {
  Load(R"(
texture Tex;
technique ModulateThenAdd {
  pass P {
    Lighting = FALSE;
    TextureFactor = 0xFF0000FF;
    Texture[0] = <Tex>;
    ColorOp[0] = Modulate;
    ColorArg1[0] = Texture;
    ColorArg2[0] = Diffuse;
    ColorOp[1] = Add;
    ColorArg1[1] = Current;
    ColorArg2[1] = TFactor;
  }
}
technique Complement {
  pass P {
    Lighting = FALSE;
    Texture[0] = <Tex>;
    ColorOp[0] = SelectArg1;
    ColorArg1[0] = Texture | Complement;
  }
}
technique NoTexture {
  pass P {
    Lighting = FALSE;
    Texture[0] = NULL;
    ColorOp[0] = Modulate;
  }
}
)");
  ASSERT_EQ(device->SetTransform(gfx::TS_WORLD, &place_), gfx::S_OK);
  ASSERT_EQ(effect_->SetTexture("Tex", red_), gfx::S_OK);
  Draw("ModulateThenAdd");
  ExpectColour(Centre(), 255, 0, 255, 0);
  Draw("Complement");
  ExpectColour(Centre(), 0, 255, 255, 0);
  // Modulating a texture the stage does not have passes the diffuse colour on.
  Draw("NoTexture");
  ExpectColour(Centre(), 255, 255, 255, 0);
}

TEST_F(FixedFunction, EachGeneratedStageJoinsAShaderOfTheFile) {
  Load(R"(
float4 Tint = float4(0, 0, 1, 1);
float4 Tinted() : COLOR0 { return Tint; }
struct VsOut { float4 position : POSITION; float4 colour : COLOR0; };
float4x4 Place;
VsOut Green(float4 position : POSITION) {
  VsOut o;
  o.position = mul(position, Place);
  o.colour = float4(0, 1, 0, 1);
  return o;
}
technique PixelOnly { pass P { PixelShader = compile ps_2_0 Tinted(); } }
technique VertexOnly { pass P { VertexShader = compile vs_2_0 Green(); } }
)");
  // The pixel shader's pass is placed by the device's transforms, as the fixed-function vertex
  // stage does, not passed through.
  ASSERT_EQ(device->SetTransform(gfx::TS_WORLD, &place_), gfx::S_OK);
  Draw("PixelOnly");
  ExpectColour(Centre(), 0, 0, 255, 0);
  EXPECT_EQ(Pixel(2, 2), 0x000000FFu);
  EXPECT_EQ(Pixel(kWidth / 2 + 40, kHeight / 2), 0x000000FFu);
  gfx::Matrix twice, scale, move;
  gfx::MatrixScaling(&scale, 0.048f, 0.048f * kWidth / kHeight, 0.048f);
  gfx::MatrixTranslation(&move, 0, 0, 1.0f);
  gfx::MatrixMultiply(&twice, &scale, &move);
  ASSERT_EQ(device->SetTransform(gfx::TS_WORLD, &twice), gfx::S_OK);
  Draw("PixelOnly");
  EXPECT_EQ(Pixel(kWidth / 2 + 40, kHeight / 2), 0x0000FFFFu) << "a sphere twice as large";

  // The vertex shader's colour through the default texture stages (no texture: diffuse).
  ASSERT_EQ(effect_->SetMatrix("Place", &place_), gfx::S_OK);
  Draw("VertexOnly");
  ExpectColour(Centre(), 0, 255, 0, 0);
  EXPECT_EQ(Pixel(2, 2), 0x000000FFu);
}

// Shader model 1 assembly samples stage n's texture, which the pass gives with Texture[n]: the
// file declares no sampler at all.
TEST_F(FixedFunction, AssemblyReadsTheTextureOfItsStage) {
  Load(R"(
texture Tex;
technique T {
  pass P {
    Texture[0] = <Tex>;
    MagFilter[0] = Point;
    PixelShader = asm { ps_1_1
      tex t0
      mov r0, t0 };
  }
}
)");
  ASSERT_EQ(device->SetTransform(gfx::TS_WORLD, &place_), gfx::S_OK);
  ASSERT_EQ(effect_->SetTexture("Tex", red_), gfx::S_OK);
  Draw("T");
  ExpectColour(Centre(), 255, 0, 0, 0);
  EXPECT_EQ(Pixel(2, 2), 0x000000FFu);
}

}  // namespace
