// RenderFrame on the recording fake: the step order, what each pass draws with which texture,
// and where every copy stands, read back from the matWorld matrices the effect received.
#include "render/scene.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "app/app_state.hpp"
#include "tests/fakes/fake_window_system.hpp"
#include "tests/fakes/gfx_fake.hpp"
#include "tests/unit/fixture.hpp"

namespace {

// One DrawSubset as the effect saw it.
struct Draw {
  int64_t pass;
  const void* mesh;
  const void* texture;  // what "inTexture" held
  float x, y, z;        // translation: row 3 of matWorld
  float scale;          // length of row 0
  float yaw, pitch;     // read back from rows 0 and 2, assuming no roll
  float roll;           // the x axis' y component: 0 unless rolled
  bool committed;       // CommitChanges came between the matWorld upload and the draw
};

std::vector<Draw> Draws() {
  std::vector<Draw> draws;
  int64_t pass = -1;
  const void* texture = nullptr;
  std::vector<float> world(16, 0.0f);
  bool committed = false;
  for (const gfxfake::Call& c : gfxfake::Calls()) {
    if (c.op == "BeginPass") pass = c.integer;
    if (c.op == "SetTexture" && c.name == "inTexture") texture = c.pointer;
    if (c.op == "SetMatrix" && c.name == "matWorld") world = c.floats, committed = false;
    if (c.op == "CommitChanges") committed = true;
    if (c.op != "DrawSubset") continue;
    EXPECT_EQ(c.integer, 0) << "only subset 0 is drawn";
    const float scale = std::hypot(world[0], world[1], world[2]);
    draws.push_back(Draw{pass, c.object, texture, world[12], world[13], world[14], scale,
                         std::atan2(-world[2], world[0]),
                         std::atan2(-world[9], std::hypot(world[8], world[10])),
                         world[1] / (scale > 0 ? scale : 1), committed});
  }
  return draws;
}

std::vector<std::string> Ops() {
  std::vector<std::string> ops;
  for (const gfxfake::Call& c : gfxfake::Calls()) ops.push_back(c.op);
  return ops;
}

class Scene : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    AppState.d3d = gfx::Create(gfx::SDK_VERSION);
    gfx::PresentParameters parameters{};
    AppState.d3d->CreateDevice(0, 1, nullptr, 0x20, &parameters, &AppState.device);
    gfx::LoadMeshFromX("modeli\\sphere.x", gfx::MESH_SYSTEMMEM, AppState.device, nullptr, nullptr,
                       &AppState.sphereMesh, nullptr);
    gfx::LoadMeshFromX("modeli\\chair.x", gfx::MESH_SYSTEMMEM, AppState.device, nullptr, nullptr,
                       &AppState.chairMesh, nullptr);
    gfx::CreateTextureFromFile(AppState.device, "tekstura2.bmp", &AppState.sphereTexture);
    gfx::CreateTextureFromFile(AppState.device, "modeli\\chair.png", &AppState.chairTexture);
    gfx::CreateEffectFromFile(AppState.device, "Za_rad_2.fx", nullptr, nullptr, 0, nullptr,
                              &AppState.effect, nullptr);
    AppState.effect->SetTechnique("ColorAnimation");
    gfx::CreateFont(AppState.device, 15, 8, 400, 1, false, 0, 0, 0, 0, "Arial", &AppState.font);
    gfx::MatrixPerspectiveFovLH(&AppState.projection, std::numbers::pi_v<float> / 4.0f, 4.0f / 3.0f,
                                0.1f, 100.0f);
    gfxfake::ClearCalls();
  }

  void ExpectAt(const Draw& d, const void* mesh, float x, float y, float z, float scale) {
    EXPECT_EQ(d.mesh, mesh);
    EXPECT_NEAR(d.x, x, 1e-5f);
    EXPECT_NEAR(d.y, y, 1e-5f);
    EXPECT_NEAR(d.z, z, 1e-4f);
    EXPECT_NEAR(d.scale, scale, 1e-6f);
    EXPECT_TRUE(d.committed);
  }
};

TEST_F(Scene, FrameStepsInOrder) {
  RenderFrame();
  const std::vector<std::string> copy = {"SetMatrix", "SetMatrix", "CommitChanges", "DrawSubset"};
  std::vector<std::string> expected = {"ReadClockMilliseconds", "Clear", "BeginScene",
                                       // frame parameters
                                       "SetMatrix", "SetMatrix", "SetTexture", "SetFloat",
                                       "SetFloat", "SetFloatArray", "SetFloat", "SetFloat",
                                       "SetFloatArray", "SetFloatArray", "CommitChanges", "Begin",
                                       "BeginPass", "SetTexture", "CommitChanges"};
  expected.insert(expected.end(), copy.begin(), copy.end());
  expected.insert(expected.end(), {"SetTexture", "CommitChanges"});
  expected.insert(expected.end(), copy.begin(), copy.end());
  expected.insert(expected.end(), {"EndPass", "BeginPass"});
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), copy.begin(), copy.end());
  expected.insert(expected.end(), {"EndPass", "End", "DrawText", "EndScene", "Present"});
  EXPECT_EQ(Ops(), expected);

  const auto clear = gfxfake::CallsOf("Clear");
  ASSERT_EQ(clear.size(), 1u);
  EXPECT_EQ(clear[0].ints, (std::vector<int64_t>{0, 0}));  // no rectangles, stencil 0
  EXPECT_EQ(clear[0].pointers, std::vector<const void*>{nullptr});
  EXPECT_EQ(clear[0].integer, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER);
  EXPECT_EQ(clear[0].extra, 0xFF000000u);
  EXPECT_EQ(clear[0].floats, std::vector<float>{1.0f});
  EXPECT_EQ(gfxfake::CallsOf("Begin")[0].integer, 0);
  EXPECT_EQ(gfxfake::CallsOf("Present")[0].pointers, std::vector<const void*>(4, nullptr));
}

TEST_F(Scene, OneObjectDrawsFiveCopies) {
  SceneSettings.light_position[0] = 2.0f;
  SceneSettings.light_position[1] = -3.0f;
  RenderFrame();
  const auto draws = Draws();
  ASSERT_EQ(draws.size(), 5u);
  ExpectAt(draws[0], AppState.chairMesh, -14, -10, 30, 1);
  ExpectAt(draws[1], AppState.sphereMesh, -7.5f, -10, 30, 0.09f);
  ExpectAt(draws[2], AppState.sphereMesh, -10, 10, 30, 0.02f);
  ExpectAt(draws[3], AppState.chairMesh, 14, -10, 30, 0.3f);
  ExpectAt(draws[4], AppState.sphereMesh, 2, -3, 10.3f, 0.003f);
  const int64_t passes[] = {0, 0, 1, 1, 1};
  // Later passes bind no texture: their chairs too are drawn with the sphere texture.
  const void* textures[] = {AppState.chairTexture, AppState.sphereTexture, AppState.sphereTexture,
                            AppState.sphereTexture, AppState.sphereTexture};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(draws[i].pass, passes[i]) << i;
    EXPECT_EQ(draws[i].texture, textures[i]) << i;
  }
}

TEST_F(Scene, FifthCopyStartsTheSecondRow) {
  SceneSettings.number_objects = 5;
  RenderFrame();
  const auto draws = Draws();
  ASSERT_EQ(draws.size(), 21u);
  ExpectAt(draws[3], AppState.chairMesh, -14, 5, 30, 1);  // j = 3: top of the first column set
  ExpectAt(draws[4], AppState.chairMesh, -13.3f, -10, 38.5f, 1);
  ExpectAt(draws[5 + 4], AppState.sphereMesh, -7.5f, -9.7f, 37, 0.09f);
  ExpectAt(draws[10 + 4], AppState.sphereMesh, -10, 9.7f, 39, 0.02f);
  ExpectAt(draws[15 + 4], AppState.chairMesh, 13.3f, -10, 38.5f, 0.3f);
}

TEST_F(Scene, FiftyObjectsEndInAHalfRow) {
  SceneSettings.number_objects = 50;
  RenderFrame();
  const auto draws = Draws();
  ASSERT_EQ(draws.size(), 201u);
  ExpectAt(draws[49], AppState.chairMesh, -5.6f, -5, 132, 1);
  ExpectAt(draws[50 + 49], AppState.sphereMesh, -2.5f, -6.4f, 114, 0.09f);
  ExpectAt(draws[100 + 49], AppState.sphereMesh, -5, 6.4f, 138, 0.02f);
  ExpectAt(draws[150 + 49], AppState.chairMesh, 5.6f, -5, 132, 0.3f);
  ExpectAt(draws[200], AppState.sphereMesh, 0, 0, 10.3f, 0.003f);
}

TEST_F(Scene, CopiesTurnByTheirIndexAndTheMarkerNever) {
  SceneSettings.number_objects = 4;
  AppState.yawDegrees = 10.0f;
  AppState.pitchDegrees = 20.0f;
  RenderFrame();
  const auto draws = Draws();
  ASSERT_EQ(draws.size(), 17u);
  for (int list = 0; list < 4; ++list) {
    const Draw& first = draws[list * 4];
    const Draw& fourth = draws[list * 4 + 3];
    EXPECT_NEAR(first.yaw, 0.0f, 1e-6f) << list;
    EXPECT_NEAR(first.pitch, 0.0f, 1e-6f) << list;
    EXPECT_NEAR(fourth.yaw, -0.523599f, 1e-5f) << list;
    EXPECT_NEAR(fourth.pitch, 1.047198f, 1e-5f) << list;
    EXPECT_NEAR(fourth.roll, 0.0f, 1e-6f) << list;
  }
  EXPECT_NEAR(draws[16].yaw, 0.0f, 1e-6f);
  EXPECT_NEAR(draws[16].pitch, 0.0f, 1e-6f);
}

TEST_F(Scene, PassCountDecidesTheArrangements) {
  gfxfake::SetPassCount("ColorAnimation", 1);
  RenderFrame();
  auto draws = Draws();
  ASSERT_EQ(draws.size(), 2u) << "one pass: left chairs and lower spheres, no marker";
  EXPECT_EQ(draws[1].mesh, AppState.sphereMesh);
  // The overlay's counts are fixed formulas, whatever the pass count.
  EXPECT_NE(gfxfake::CallsOf("DrawText")[0].name.find("Broj objekata: 5\n"), std::string::npos);

  gfxfake::ClearCalls();
  gfxfake::SetPassCount("ColorAnimation", 3);
  RenderFrame();
  draws = Draws();
  ASSERT_EQ(draws.size(), 8u);
  for (int i = 2; i < 8; ++i) {
    EXPECT_EQ(draws[i].pass, i < 5 ? 1 : 2) << i;
    EXPECT_EQ(draws[i].texture, AppState.sphereTexture) << i;
  }
  ExpectAt(draws[4], AppState.sphereMesh, 0, 0, 10.3f, 0.003f);
  ExpectAt(draws[7], AppState.sphereMesh, 0, 0, 10.3f, 0.003f);
  EXPECT_NE(gfxfake::CallsOf("DrawText")[0].name.find("Broj objekata: 5\n"), std::string::npos);

  gfxfake::ClearCalls();
  gfxfake::SetPassCount("ColorAnimation", 0);
  RenderFrame();
  EXPECT_TRUE(Draws().empty());
  EXPECT_TRUE(gfxfake::CallsOf("BeginPass").empty());
  EXPECT_EQ(gfxfake::CallsOf("End").size(), 1u);
  EXPECT_EQ(gfxfake::CallsOf("DrawText").size(), 1u);
  EXPECT_EQ(gfxfake::CallsOf("Present").size(), 1u);
}

TEST_F(Scene, OverlayCountsAreWhatATwoPassFrameDraws) {
  for (int32_t n : {1, 3, 50}) {
    SceneSettings.number_objects = n;
    gfxfake::ClearCalls();
    RenderFrame();
    const auto draws = Draws();
    int64_t vertices = 0, faces = 0;
    for (const Draw& d : draws) {
      gfx::Mesh* mesh = d.mesh == AppState.sphereMesh ? AppState.sphereMesh : AppState.chairMesh;
      vertices += mesh->GetNumVertices();
      faces += mesh->GetNumFaces();
    }
    const std::string expected = "FPS: 0\nBroj objekata: " + std::to_string(draws.size()) +
                                 "\nBroj vrhova: " + std::to_string(vertices) +
                                 "\nBroj poligona: " + std::to_string(faces);
    EXPECT_EQ(gfxfake::CallsOf("DrawText")[0].name, expected) << n;
  }
}

TEST_F(Scene, TheTechniqueSwitchReachesTheNextFrame) {
  gfxfake::SetPassCount("VertexAnimation", 1);
  AppState.effect->SetTechnique("VertexAnimation");
  RenderFrame();
  EXPECT_EQ(Draws().size(), 2u);
}

TEST_F(Scene, NoCopiesStillDrawTheMarker) {
  SceneSettings.number_objects = 0;
  RenderFrame();
  const auto draws = Draws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].pass, 1);
  ExpectAt(draws[0], AppState.sphereMesh, 0, 0, 10.3f, 0.003f);
}

TEST_F(Scene, MarkerAndLightParameterMoveTogether) {
  RenderFrame();
  SceneSettings.light_position[1] = 6.0f;
  SceneSettings.light_position[2] = 20.0f;
  gfxfake::ClearCalls();
  RenderFrame();
  ExpectAt(Draws().back(), AppState.sphereMesh, 0, 6, 20.3f, 0.003f);
  const auto light = gfxfake::CallsOf("SetFloatArray")[0];
  EXPECT_EQ(light.name, "light_position");
  EXPECT_EQ(light.floats, (std::vector<float>{0, 6, 20}));
}

TEST_F(Scene, WithoutAnEffectOnlyBackgroundAndOverlay) {
  AppState.effect = nullptr;
  RenderFrame();
  EXPECT_EQ(Ops(), (std::vector<std::string>{"ReadClockMilliseconds", "Clear", "BeginScene",
                                             "DrawText", "EndScene", "Present"}));
}

TEST_F(Scene, FailedBeginDrawsNoPassAndEndsNothing) {
  gfxfake::FailBegin(true);
  RenderFrame();
  EXPECT_TRUE(gfxfake::CallsOf("BeginPass").empty());
  EXPECT_TRUE(gfxfake::CallsOf("End").empty());
  EXPECT_TRUE(Draws().empty());
  EXPECT_EQ(gfxfake::CallsOf("DrawText").size(), 1u);
  EXPECT_EQ(gfxfake::CallsOf("Present").size(), 1u);
  // The next frame, with Begin working again, draws in full.
  gfxfake::FailBegin(false);
  gfxfake::ClearCalls();
  RenderFrame();
  EXPECT_EQ(Draws().size(), 5u);
}

}  // namespace
