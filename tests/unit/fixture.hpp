// The set-up every unit test of the program shares: both records at their initial values, both
// fakes empty, and no misuse of the fake's objects (a call after the last Release, a leak) by the
// end of the test. Fixtures derive from it and call its SetUp first.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.hpp"
#include "tests/fakes/fake_window_system.hpp"
#include "tests/fakes/gfx_fake.hpp"

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SceneSettings = kInitialSceneSettings;
    AppState = kInitialAppState;
    gfxfake::Reset();
    wsfake::Reset();
  }
  void TearDown() override { EXPECT_EQ(gfxfake::Violations(), std::vector<std::string>{}); }
};
