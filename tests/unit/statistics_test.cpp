// The overlay text, rectangle, colour and count for a few object counts, and no font, no overlay.
#include "render/statistics.hpp"

#include <gtest/gtest.h>

#include "app/app_state.hpp"
#include "tests/fakes/fake_window_system.hpp"
#include "tests/fakes/gfx_fake.hpp"
#include "tests/unit/fixture.hpp"

namespace {

class Statistics : public ProgramTest {
 protected:
  // The overlay is drawn inside the frame's scene, as RenderFrame draws it.
  void SetUp() override {
    ProgramTest::SetUp();
    AppState.d3d = gfx::Create(gfx::SDK_VERSION);
    gfx::PresentParameters parameters{};
    AppState.d3d->CreateDevice(0, 1, nullptr, 0x20, &parameters, &AppState.device);
    gfx::CreateFont(AppState.device, 15, 8, 400, 1, false, 0, 0, 0, 0, "Arial", &AppState.font);
    AppState.device->BeginScene();
    gfxfake::ClearCalls();
  }
  void TearDown() override {
    AppState.device->EndScene();
    if (AppState.font) AppState.font->Release();
    AppState.device->Release();
    AppState.d3d->Release();
    ProgramTest::TearDown();
  }
  std::string DrawnText() {
    DrawStatistics();
    const auto calls = gfxfake::CallsOf("DrawText");
    return calls.size() == 1 ? calls[0].name : "(drawn " + std::to_string(calls.size()) + " times)";
  }
};

TEST_F(Statistics, CountsFollowNumberObjects) {
  EXPECT_EQ(DrawnText(), "FPS: 0\nBroj objekata: 5\nBroj vrhova: 8199\nBroj poligona: 11488");

  gfxfake::ClearCalls();
  SceneSettings.number_objects = 3;
  AppState.fps = 61;
  EXPECT_EQ(DrawnText(), "FPS: 61\nBroj objekata: 13\nBroj vrhova: 23475\nBroj poligona: 32544");

  gfxfake::ClearCalls();
  SceneSettings.number_objects = 50;
  AppState.fps = 2147483647;
  EXPECT_EQ(DrawnText(),
            "FPS: 2147483647\nBroj objekata: 201\nBroj vrhova: 382461\nBroj poligona: 527360");
}

TEST_F(Statistics, DrawnTopLeftInLightGreyWithoutSprite) {
  DrawStatistics();
  const auto calls = gfxfake::CallsOf("DrawText");
  ASSERT_EQ(calls.size(), 1u);
  const gfxfake::Call& c = calls[0];
  EXPECT_EQ(c.object, AppState.font);
  EXPECT_EQ(c.pointers, std::vector<const void*>{nullptr});  // the font's own sprite
  EXPECT_EQ(c.integer, -1);
  EXPECT_EQ(c.extra, 0xFFC8C8C8u);
  EXPECT_EQ(c.ints, std::vector<int64_t>{0});
  EXPECT_EQ(c.rect.left, 6);
  EXPECT_EQ(c.rect.top, 6);
  EXPECT_EQ(c.rect.right, 500);
  EXPECT_EQ(c.rect.bottom, 200);
}

TEST_F(Statistics, NoFontDrawsNothing) {
  AppState.font = nullptr;
  DrawStatistics();
  EXPECT_TRUE(gfxfake::Calls().empty());
}

}  // namespace
