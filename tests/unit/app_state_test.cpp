// The records start at their documented values before any code runs.
#include "app/app_state.hpp"

#include <gtest/gtest.h>

TEST(AppStateTest, SceneSettingsStartAtTheirDefaults) {
  EXPECT_EQ(SceneSettings.number_objects, 1);
  EXPECT_EQ(SceneSettings.number_objects_step, 2);
  EXPECT_FLOAT_EQ(SceneSettings.light_position[0], 0.0f);
  EXPECT_FLOAT_EQ(SceneSettings.light_position[1], 0.0f);
  EXPECT_FLOAT_EQ(SceneSettings.light_position[2], 10.0f);
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 1.0f);
  const float source[3] = {1.0f, 0.7f, 0.7f}, ambient[3] = {0.0f, 0.5f, 0.5f};
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(SceneSettings.intensity_source[i], source[i]);
    EXPECT_FLOAT_EQ(SceneSettings.intensity_ambient[i], ambient[i]);
  }
}

TEST(AppStateTest, AppStateStartsZeroedWithColourAnimationSelected) {
  EXPECT_TRUE(AppState.colorAnimationActive);
  EXPECT_EQ(AppState.window, nullptr);
  EXPECT_EQ(AppState.d3d, nullptr);
  EXPECT_EQ(AppState.device, nullptr);
  EXPECT_EQ(AppState.effect, nullptr);
  EXPECT_EQ(AppState.font, nullptr);
  EXPECT_EQ(AppState.sphereMesh, nullptr);
  EXPECT_EQ(AppState.chairTexture, nullptr);
  EXPECT_EQ(AppState.lastClock, 0);
  EXPECT_EQ(AppState.fps, 0);
  EXPECT_EQ(AppState.elapsedSeconds, 0.0);
  EXPECT_EQ(AppState.yawDegrees, 0.0f);
  EXPECT_FALSE(AppState.leftButtonDown);
  EXPECT_FALSE(AppState.rightButtonDown);
  EXPECT_EQ(AppState.projection.m[0][0], 0.0f);
}
