// Real D3D9 effect files written by others (tests/data/fx, sources in SOURCES.md there) on the GL
// effect: each builds, or fails with a message naming its file and line; several draw the sphere
// with known parameters and are checked by their pixels (the lit side brighter, the texture's
// colour where it is sampled).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/matrix.hpp"
#include "tests/gl/device_fixture.hpp"

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
  ASSERT_GE(files.size(), 97u);
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
  // 70 of the 97 built when this was written (32 of the first 38, 38 of the 59 added from
  // DigitalRise, Orbiter, OmegaEngine and XNA Final Engine); the rest use what the reader or the
  // compile side refuses.
  EXPECT_GE(builds, 70) << "of " << files.size();
}

// Draws the sphere mesh (radius 20, centred) scaled to half the target's width, in front of the
// camera, through every pass of the technique.
class HlslCorpusPicture : public GlDeviceTest {
 protected:
  void SetUp() override {
    GlDeviceTest::SetUp();
    if (HasFatalFailure()) return;
    if (access(kCorpus.c_str(), R_OK) != 0) GTEST_SKIP() << kCorpus << " is not here";
    const std::string sphere = TOBRIN_SOURCE_DIR "/data/modeli/sphere.x";
    if (access(sphere.c_str(), R_OK) != 0) GTEST_SKIP() << sphere << " not generated yet";
    ASSERT_EQ(gfx::LoadMeshFromX(sphere.c_str(), 0, device, nullptr, nullptr, &mesh_, nullptr),
              gfx::S_OK);
    gfx::Matrix scale, move;
    gfx::MatrixScaling(&scale, 0.024f, 0.024f * kWidth / kHeight, 0.024f);
    gfx::MatrixTranslation(&move, 0, 0, 0.5f);
    gfx::MatrixMultiply(&place_, &scale, &move);
    const uint8_t red[4] = {255, 0, 0, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, red);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    red_ = new gfx::gl::GlTexture(name, 1, 1);
  }
  void TearDown() override {
    if (effect_) effect_->Release();
    if (red_) red_->Release();
    if (mesh_) mesh_->Release();
    GlDeviceTest::TearDown();
  }

  void Load(const char* file) {
    const Built built = Build(kCorpus + file);
    ASSERT_NE(built.effect, nullptr) << built.errors;
    effect_ = built.effect;
  }

  void Draw(const char* technique) {
    ASSERT_EQ(effect_->SetTechnique(technique), gfx::S_OK) << technique;
    device->SetRenderState(gfx::RS_ZENABLE, 1);
    device->SetRenderState(gfx::RS_CULLMODE, 1);  // none
    device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    uint32_t passes = 0;
    ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
    for (uint32_t p = 0; p < passes; ++p) {
      ASSERT_EQ(effect_->BeginPass(p), gfx::S_OK);
      mesh_->DrawSubset(0);
      effect_->EndPass();
    }
    effect_->End();
  }

  static int Brightness(uint32_t rgba) {
    return static_cast<int>((rgba >> 24) + (rgba >> 16 & 255) + (rgba >> 8 & 255));
  }

  gfx::Mesh* mesh_ = nullptr;
  gfx::Effect* effect_ = nullptr;
  gfx::gl::GlTexture* red_ = nullptr;
  gfx::Matrix place_{};
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

}  // namespace
