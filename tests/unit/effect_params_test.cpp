// Per-frame effect parameters and the object transform, read back from the recording fake.
#include "render/effect_params.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "app/app_state.hpp"
#include "tests/fakes/fake_window_system.hpp"
#include "tests/fakes/gfx_fake.hpp"
#include "tests/unit/fixture.hpp"

namespace {

gfx::Matrix ToMatrix(const std::vector<float>& floats) {
  gfx::Matrix m{};
  EXPECT_EQ(floats.size(), 16u);
  for (size_t i = 0; i < 16 && i < floats.size(); ++i) m.m[i / 4][i % 4] = floats[i];
  return m;
}

void ExpectMatrixEq(const gfx::Matrix& a, const gfx::Matrix& b) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(a.m[r][c], b.m[r][c]) << r << "," << c;
}

// Where a model point lands under a recorded world matrix.
std::array<float, 3> Place(const gfx::Matrix& world, float x, float y, float z) {
  const float in[3] = {x, y, z};
  float out[4];
  gfx::TransformPoint(&world, in, out);
  return {out[0], out[1], out[2]};
}

class EffectParams : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    gfx::CreateEffectFromFile(nullptr, "Za_rad_2.fx", nullptr, nullptr, 0, nullptr,
                              &AppState.effect, nullptr);
    gfx::CreateTextureFromFile(nullptr, "tekstura2.bmp", &AppState.sphereTexture);
    gfx::MatrixPerspectiveFovLH(&AppState.projection, std::numbers::pi_v<float> / 4.0f, 4.0f / 3.0f,
                                0.1f, 100.0f);
    gfxfake::ClearCalls();
  }
  gfx::Matrix Uploaded(const std::string& name) {
    gfx::Matrix last{};
    for (const auto& c : gfxfake::CallsOf("SetMatrix"))
      if (c.name == name) last = ToMatrix(c.floats);
    return last;
  }
};

TEST_F(EffectParams, FrameParametersEveryNameInOrderThenCommit) {
  SceneSettings.light_position[1] = 4.0f;
  SceneSettings.kAmbient = 0.25f;
  SceneSettings.kDifuse = 0.75f;
  AppState.elapsedSeconds = 2.0;
  BindFrameParameters();

  const auto& calls = gfxfake::Calls();
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"SetMatrix", "matViewProjection"},
      {"SetMatrix", "matWorld"},
      {"SetTexture", "inTexture"},
      {"SetFloat", "fCosTime0_X"},
      {"SetFloat", "fSinTime0_X"},
      {"SetFloatArray", "light_position"},
      {"SetFloat", "kAmbient"},
      {"SetFloat", "kDifuse"},
      {"SetFloatArray", "iSource"},
      {"SetFloatArray", "iAmbient"},
      {"CommitChanges", ""}};
  ASSERT_EQ(calls.size(), expected.size());
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].op, expected[i].first) << i;
    EXPECT_EQ(calls[i].name, expected[i].second) << i;
    EXPECT_EQ(calls[i].object, AppState.effect) << i;
  }
  EXPECT_EQ(calls[2].pointer, AppState.sphereTexture);
  EXPECT_EQ(calls[3].floats, std::vector<float>{static_cast<float>(std::cos(2.0))});
  EXPECT_EQ(calls[4].floats, std::vector<float>{static_cast<float>(std::sin(2.0))});
  EXPECT_EQ(calls[5].floats, (std::vector<float>{0.0f, 4.0f, 10.0f}));
  EXPECT_EQ(calls[6].floats, std::vector<float>{0.25f});
  EXPECT_EQ(calls[7].floats, std::vector<float>{0.75f});
  EXPECT_EQ(calls[8].floats, (std::vector<float>{1.0f, 0.7f, 0.7f}));
  EXPECT_EQ(calls[9].floats, (std::vector<float>{0.0f, 0.5f, 0.5f}));
  EXPECT_TRUE(gfxfake::Violations().empty());
}

TEST_F(EffectParams, UnturnedFrameTransformIsAPureTranslationAtTimeZero) {
  BindFrameParameters();
  gfx::Matrix expected;
  gfx::MatrixTranslation(&expected, 1.0f, 0.0f, 5.5f);
  ExpectMatrixEq(Uploaded("matWorld"), expected);
  ExpectMatrixEq(Uploaded("matViewProjection"), AppState.projection);
  const auto floats = gfxfake::CallsOf("SetFloat");
  EXPECT_EQ(floats[0].floats[0], 1.0f);
  EXPECT_EQ(floats[1].floats[0], 0.0f);
}

TEST_F(EffectParams, DegreesTurnIntoSinglePrecisionRadians) {
  AppState.yawDegrees = 180.0f;
  AppState.pitchDegrees = 90.0f;
  BindFrameParameters();
  gfx::Matrix r, t, expected;
  // 180 × 0.0174532924f rounds to the float nearest π.
  gfx::MatrixRotationYawPitchRoll(&r, std::numbers::pi_v<float>, 90.0f * 0.0174532924f, 0.0f);
  gfx::MatrixTranslation(&t, 1.0f, 0.0f, 5.5f);
  gfx::MatrixMultiply(&expected, &r, &t);
  ExpectMatrixEq(Uploaded("matWorld"), expected);
  EXPECT_EQ(180.0f * kDegreesToRadians, std::numbers::pi_v<float>);
}

TEST_F(EffectParams, ObjectTransformScalesAndTurnsAboutTheModelOrigin) {
  AppState.view.m[0][1] = 7.0f;  // whatever was left there, the view is reset to identity
  SetObjectTransform(3.0f, -2.0f, 40.0f, 0.4f, -1.1f, 0.3f, 0.5f);

  ASSERT_EQ(gfxfake::Calls().size(), 2u) << "two uploads and no commit";
  const gfx::Matrix world = Uploaded("matWorld");
  ExpectMatrixEq(world, AppState.world);
  ExpectMatrixEq(Uploaded("matViewProjection"), AppState.projection);
  gfx::Matrix identity;
  ExpectMatrixEq(AppState.view, *gfx::MatrixIdentity(&identity));

  const auto origin = Place(world, 0, 0, 0);
  EXPECT_FLOAT_EQ(origin[0], 3.0f);
  EXPECT_FLOAT_EQ(origin[1], -2.0f);
  EXPECT_FLOAT_EQ(origin[2], 40.0f);
  const auto p = Place(world, 6, 0, 8);  // 10 from the model origin
  const float d = std::hypot(p[0] - 3.0f, p[1] + 2.0f, p[2] - 40.0f);
  EXPECT_NEAR(d, 5.0f, 1e-4f);
}

TEST_F(EffectParams, ScaleZeroCollapsesToThePlacement) {
  SetObjectTransform(-1.0f, 2.0f, 3.0f, 1.0f, 2.0f, 3.0f, 0.0f);
  const auto p = Place(Uploaded("matWorld"), 50, -20, 9);
  EXPECT_FLOAT_EQ(p[0], -1.0f);
  EXPECT_FLOAT_EQ(p[1], 2.0f);
  EXPECT_FLOAT_EQ(p[2], 3.0f);
}

TEST_F(EffectParams, NoEffectMeansNoCalls) {
  AppState.effect = nullptr;
  BindFrameParameters();
  SetObjectTransform(1, 2, 3, 0, 0, 0, 1);
  EXPECT_TRUE(gfxfake::Calls().empty());
}

}  // namespace
