// Real D3D9 effect files written by others (tests/data/fx, sources in SOURCES.md there) on the GL
// effect: each builds, or fails with a message naming its file and line; several draw the sphere
// with known parameters and are checked by their pixels (the lit side brighter, the texture's
// colour where it is sampled).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/matrix.hpp"
#include "tests/gl/device_fixture.hpp"
#include "tests/gl/sphere_fixture.hpp"

namespace {

namespace fs = std::filesystem;

const std::string kCorpus = TOBRIN_SOURCE_DIR "/tests/data/fx/";

struct Built {
  gfx::Effect* effect = nullptr;
  std::string errors;
};

Built Build(const std::string& path) {
  Built built;
  gfx::Buffer* errors = nullptr;
  gfx::CreateEffectFromFile(nullptr, path.c_str(), nullptr, nullptr, 0, nullptr, &built.effect,
                            &errors);
  if (errors) {
    built.errors = static_cast<const char*>(errors->GetBufferPointer());
    errors->Release();
  }
  return built;
}

// What the compile side refuses, by the construct; the reader's own refusals (shader model 1,
// fixed-function passes, Direct3D 10 types...) are the reader's tests' to pin down.
const std::map<std::string, std::string> kRefusedHere = {};

class HlslCorpus : public GlDeviceTest {};

TEST_F(HlslCorpus, EachFileBuildsOrSaysWhereAndWhy) {
  if (access(kCorpus.c_str(), R_OK) != 0) GTEST_SKIP() << kCorpus << " is not here";
  std::vector<std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kCorpus))
    if (entry.path().extension() == ".fx") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 101u);
  int builds = 0;
  for (const std::string& path : files) {
    const std::string name = path.substr(kCorpus.size());
    const Built built = Build(path);
    const auto refused = kRefusedHere.find(name);
    if (built.effect) {
      ++builds;
      EXPECT_EQ(refused, kRefusedHere.end()) << name << " built";
      uint32_t passes = 0;
      EXPECT_EQ(built.effect->Begin(&passes, 0), gfx::S_OK) << name;
      built.effect->End();
      built.effect->Release();
      continue;
    }
    // A message names a file of the effect and a line, and never a line of generated code.
    EXPECT_NE(built.errors.find(".fx"), std::string::npos) << name << ": " << built.errors;
    EXPECT_NE(built.errors.find("): error: "), std::string::npos) << name << ": " << built.errors;
    EXPECT_EQ(built.errors.find("0:"), std::string::npos) << name << ": " << built.errors;
    if (refused != kRefusedHere.end()) {
      EXPECT_NE(built.errors.find(refused->second), std::string::npos)
          << name << ": " << built.errors;
    }
  }
  std::printf("%d of %zu real effect files build\n", builds, files.size());
  // 94 of the 107 built when this was written; the rest use what the original compiler refuses
  // too (a type or macro the application provides, a name never declared, SamplerState, a
  // malformed #if).
  EXPECT_GE(builds, 94) << "of " << files.size();
}

// Draws the sphere mesh (radius 20, centred) scaled to half the target's width, in front of the
// camera, through every pass of the technique.
class HlslCorpusPicture : public SphereDeviceTest {
 protected:
  void SetUp() override {
    SphereDeviceTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    if (access(kCorpus.c_str(), R_OK) != 0) GTEST_SKIP() << kCorpus << " is not here";
  }

  void Load(const char* file) {
    const Built built = Build(kCorpus + file);
    ASSERT_NE(built.effect, nullptr) << built.errors;
    effect_ = built.effect;
  }

  static int Brightness(uint32_t rgba) {
    return static_cast<int>((rgba >> 24) + (rgba >> 16 & 255) + (rgba >> 8 & 255));
  }
};

TEST_F(HlslCorpusPicture, BasicHlslLightsTheSideFacingItsLightAndModulatesItsTexture) {
  Load("dxsdk/BasicHLSL/BasicHLSL.fx");
  const float toLight[3] = {1, 0, 0}, white[4] = {1, 1, 1, 1}, dim[4] = {0.1f, 0.1f, 0.1f, 1};
  ASSERT_EQ(effect_->SetMatrix("g_mWorld", &place_), gfx::S_OK);
  ASSERT_EQ(effect_->SetMatrix("g_mWorldViewProjection", &place_), gfx::S_OK);
  effect_->SetFloatArray("g_LightDir", toLight, 3);
  effect_->SetFloatArray("g_LightDiffuse", white, 4);
  effect_->SetFloatArray("g_MaterialDiffuseColor", white, 4);
  effect_->SetFloatArray("g_MaterialAmbientColor", white, 4);
  effect_->SetFloatArray("g_LightAmbient", dim, 4);
  // The vertices swell with sin(g_fTime + 5.5) + 0.5: zero at this time.
  effect_->SetFloat("g_fTime", 7.0f * 3.14159265f / 6.0f - 5.5f);

  Draw("RenderSceneNoTexture");
  const uint32_t lit = Pixel(kWidth / 2 + 16, kHeight / 2),
                 shaded = Pixel(kWidth / 2 - 16, kHeight / 2);
  EXPECT_GT(Brightness(lit), 400) << std::hex << lit;
  EXPECT_LT(Brightness(shaded), 100) << std::hex << shaded;
  EXPECT_EQ(Pixel(2, 2), 0x000000FFu) << "the sphere stays in the middle";

  ASSERT_EQ(effect_->SetTexture("g_MeshTexture", red_), gfx::S_OK);
  Draw("RenderSceneWithTexture1Light");
  const uint32_t red = Pixel(kWidth / 2 + 16, kHeight / 2);
  EXPECT_GT(red >> 24, 150u) << std::hex << red;
  EXPECT_LT(red >> 16 & 255, 30u) << std::hex << red;
  EXPECT_LT(red >> 8 & 255, 30u) << std::hex << red;
}

TEST_F(HlslCorpusPicture, PostProcessSceneLightsTowardsItsViewSpaceLight) {
  Load("dxsdk/PostProcess/Scene.fx");
  // Its normals go through the world-view matrix unnormalised: keep that one a plain move and
  // let the projection do the scaling.
  gfx::Matrix worldView, projection;
  gfx::MatrixTranslation(&worldView, 0, 0, 25);
  gfx::MatrixScaling(&projection, 0.024f, 0.024f * kWidth / kHeight, 0.024f);
  ASSERT_EQ(effect_->SetMatrix("g_mWorldView", &worldView), gfx::S_OK);
  ASSERT_EQ(effect_->SetMatrix("g_mProj", &projection), gfx::S_OK);
  const float fromLeft[3] = {-1, 0, 0};
  ASSERT_EQ(effect_->SetFloatArray("g_vLightDirView", fromLeft, 3), gfx::S_OK);
  ASSERT_EQ(effect_->SetTexture("g_txScene", red_), gfx::S_OK);
  Draw("RenderScene");
  const uint32_t lit = Pixel(kWidth / 2 - 16, kHeight / 2),
                 dark = Pixel(kWidth / 2 + 16, kHeight / 2);
  EXPECT_GT(lit >> 24, 80u) << std::hex << lit;
  EXPECT_LT(lit >> 16 & 255, 10u) << std::hex << lit;  // red texture times a grey light
  EXPECT_EQ(dark >> 8, 0u) << std::hex << dark;        // the light's dot product is negative there
}

// The stock BasicEffect picks both shaders by ShaderIndex: +1 without fog, +2 vertex colour, +4
// texture, +8 three lights per vertex, +16 one light per vertex, +24 lights per pixel. With the fog
// factor forced to 1 the fogged half is the fog colour; the others show which stages run.
TEST_F(HlslCorpusPicture, TheStockBasicEffectDrawsWithTheShadersEachShaderIndexPicks) {
  Load("fna/BasicEffect.fx");
  gfx::Matrix identity;
  gfx::MatrixIdentity(&identity);
  ASSERT_EQ(effect_->SetMatrix("World", &place_), gfx::S_OK);
  ASSERT_EQ(effect_->SetMatrix("WorldViewProj", &place_), gfx::S_OK);
  ASSERT_EQ(effect_->SetMatrix("WorldInverseTranspose", &identity), gfx::S_OK);
  const float diffuse[4] = {0.2f, 0.4f, 0.6f, 1}, zero[3] = {0, 0, 0}, white[3] = {1, 1, 1};
  const float fogAll[4] = {0, 0, 0, 1} /* dot((x, y, z, 1), FogVector) = 1 */,
              magenta[3] = {1, 0, 1}, towardsMinusX[3] = {-1, 0, 0};
  const float eye[3] = {0, 0, -10}, noFog[4] = {0, 0, 0, 0};
  effect_->SetFloatArray("DiffuseColor", diffuse, 4);
  effect_->SetFloatArray("EmissiveColor", zero, 3);
  effect_->SetFloatArray("SpecularColor", zero, 3);
  effect_->SetFloat("SpecularPower", 16);
  effect_->SetFloatArray("FogColor", magenta, 3);
  effect_->SetFloatArray("DirLight0Direction", towardsMinusX, 3);  // lights the +x side
  effect_->SetFloatArray("DirLight0DiffuseColor", white, 3);
  for (const char* dark :
       {"DirLight1DiffuseColor", "DirLight2DiffuseColor", "DirLight0SpecularColor",
        "DirLight1SpecularColor", "DirLight2SpecularColor"})
    effect_->SetFloatArray(dark, zero, 3);
  effect_->SetFloatArray("EyePosition", eye, 3);
  ASSERT_EQ(effect_->SetTexture("Texture", red_), gfx::S_OK);

  const auto near = [](uint32_t rgba, int r, int g, int b) {
    return std::abs(static_cast<int>(rgba >> 24) - r) <= 3 &&
           std::abs(static_cast<int>(rgba >> 16 & 255) - g) <= 3 &&
           std::abs(static_cast<int>(rgba >> 8 & 255) - b) <= 3;
  };
  for (int index = 0; index < 32; ++index) {
    SCOPED_TRACE(index);
    ASSERT_EQ(effect_->SetFloat("ShaderIndex", static_cast<float>(index)), gfx::S_OK);
    // Lighting per pixel has no fogless shaders: its "no fog" indices expect FogVector zero.
    effect_->SetFloatArray("FogVector", index >= 24 && index % 2 ? noFog : fogAll, 4);
    Draw("BasicEffect");
    const uint32_t right = Pixel(kWidth / 2 + 16, kHeight / 2),
                   left = Pixel(kWidth / 2 - 16, kHeight / 2);
    EXPECT_EQ(Pixel(2, 2), 0x000000FFu) << "the sphere stays in the middle";
    if (index % 2 == 0) {
      EXPECT_TRUE(near(right, 255, 0, 255) && near(left, 255, 0, 255))
          << std::hex << right << " " << left;
      continue;
    }
    // Vertex colour multiplies by the mesh's missing colour, white; the texture is red.
    const bool textured = index & 4;
    const int r = 51, g = textured ? 0 : 102, b = textured ? 0 : 153;
    if (index < 8) {
      EXPECT_TRUE(near(right, r, g, b) && near(left, r, g, b)) << std::hex << right << " " << left;
      continue;
    }
    // Lit: the diffuse colour scaled by N.L on the right, nothing but the emissive black on the
    // left.
    EXPECT_TRUE(near(left, 0, 0, 0)) << std::hex << left;
    const int red = static_cast<int>(right >> 24);
    EXPECT_GT(red, 15) << std::hex << right;
    EXPECT_LT(red, 52) << std::hex << right;
    const float scale = static_cast<float>(red) / r;
    EXPECT_TRUE(
        near(right, red, static_cast<int>(g * scale + 0.5f), static_cast<int>(b * scale + 0.5f)))
        << std::hex << right;
  }

  // A new index committed inside the pass changes the shaders of the draws after it.
  ASSERT_EQ(effect_->SetFloat("ShaderIndex", 1), gfx::S_OK);
  device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
  uint32_t passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
  ASSERT_EQ(effect_->BeginPass(0), gfx::S_OK);
  ASSERT_EQ(effect_->SetFloat("ShaderIndex", 5), gfx::S_OK);
  ASSERT_EQ(effect_->CommitChanges(), gfx::S_OK);
  mesh_->DrawSubset(0);
  effect_->EndPass();
  effect_->End();
  const uint32_t textured = Pixel(kWidth / 2, kHeight / 2);
  EXPECT_TRUE(near(textured, 51, 0, 0)) << std::hex << textured;
}

// RacingGame's Diffuse pass is ps_1_1 assembly: n = the normal map's agb (lrp), bump =
// dp3_sat(n_bx2, light_bx2), (bump * c1 + c0) * diffuse texture, with c0 and c1 the ambient and
// diffuse colours through PixelShaderConstant1. The sphere has no tangents, so its vertex shader's
// tangent-space light is (0, 0, +-1): the lit side is ambient + diffuse and the other side ambient
// alone.
TEST_F(HlslCorpusPicture, RacingGameAssemblyPassLightsWithItsPixelShaderConstants) {
  Load("racinggame/NormalMapping.fx");
  const auto texture = OneTexelTexture;
  // The normal (a, g, b) unpacks to (0, 1, 1). Its y shows only if the light loses its _bx2, and
  // its z is 1 only if the lrp keeps b (a would give 0).
  gfx::gl::GlTexture* normal = texture(0, 255, 255, 128);
  gfx::gl::GlTexture* magenta = texture(255, 128, 255, 255);
  const float toLight[3] = {1, 0, 0}, ambient[4] = {0, 0.2f, 0.4f, 1}, diffuse[4] = {0.8f, 0, 0, 1};
  gfx::Matrix identity;
  gfx::MatrixIdentity(&identity);
  ASSERT_EQ(effect_->SetMatrix("world", &place_), gfx::S_OK);
  ASSERT_EQ(effect_->SetMatrix("viewProj", &identity), gfx::S_OK);
  ASSERT_EQ(effect_->SetFloatArray("lightDir", toLight, 3), gfx::S_OK);
  ASSERT_EQ(effect_->SetFloatArray("ambientColor", ambient, 4), gfx::S_OK);
  ASSERT_EQ(effect_->SetFloatArray("diffuseColor", diffuse, 4), gfx::S_OK);
  ASSERT_EQ(effect_->SetTexture("diffuseTexture", magenta), gfx::S_OK);
  ASSERT_EQ(effect_->SetTexture("normalTexture", normal), gfx::S_OK);
  Draw("Diffuse");
  const auto near = [](uint32_t rgba, int r, int g, int b) {
    return std::abs(static_cast<int>(rgba >> 24) - r) <= 4 &&
           std::abs(static_cast<int>(rgba >> 16 & 255) - g) <= 4 &&
           std::abs(static_cast<int>(rgba >> 8 & 255) - b) <= 4;
  };
  const uint32_t lit = Pixel(kWidth / 2 + 16, kHeight / 2),
                 dark = Pixel(kWidth / 2 - 16, kHeight / 2);
  EXPECT_TRUE(near(lit, 204, 26, 102)) << std::hex << lit;  // (0.8, 0.2, 0.4) * (1, 0.5, 1)
  EXPECT_TRUE(near(dark, 0, 26, 102)) << std::hex << dark;  // (0, 0.2, 0.4) * (1, 0.5, 1)
  EXPECT_EQ(Pixel(2, 2), 0x000000FFu) << "the sphere stays in the middle";
  normal->Release();
  magenta->Release();
}

}  // namespace
