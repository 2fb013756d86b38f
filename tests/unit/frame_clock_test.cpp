// Frame clock on the fake's settable millisecond clock: publication strictly above one second,
// the remainder kept, the publishing frame counted in its own figure.
#include "render/frame_clock.hpp"

#include <gtest/gtest.h>

#include "app/app_state.hpp"
#include "tests/fakes/fake_window_system.hpp"
#include "tests/fakes/gfx_fake.hpp"
#include "tests/unit/fixture.hpp"

namespace {

class FrameClock : public ProgramTest {
 protected:
  // One frame that took ms milliseconds.
  void Frame(int64_t ms) {
    gfxfake::AdvanceClock(ms);
    AdvanceFrameClock();
  }
};

TEST_F(FrameClock, QuarterSecondFramesPublishFiveThenFour) {
  for (int i = 0; i < 4; ++i) Frame(250);
  EXPECT_EQ(AppState.fps, 0) << "a timer of exactly 1.0 publishes nothing";
  EXPECT_EQ(AppState.fpsTimer, 1.0);
  EXPECT_EQ(AppState.frameCount, 4);

  Frame(250);
  EXPECT_EQ(AppState.fps, 5);
  EXPECT_EQ(AppState.frameCount, 0);
  EXPECT_EQ(AppState.fpsTimer, 0.25);

  for (int i = 0; i < 3; ++i) Frame(250);
  EXPECT_EQ(AppState.fps, 5);
  Frame(250);
  EXPECT_EQ(AppState.fps, 4);
  EXPECT_EQ(AppState.fpsTimer, 0.25);
  EXPECT_DOUBLE_EQ(AppState.elapsedSeconds, 2.25);
  EXPECT_EQ(AppState.lastClock, 2250);
}

TEST_F(FrameClock, ExactlyOneSecondPublishesNothing) {
  Frame(1000);
  EXPECT_EQ(AppState.fps, 0);
  EXPECT_EQ(AppState.frameCount, 1);
  Frame(1);
  EXPECT_EQ(AppState.fps, 2);
  EXPECT_NEAR(AppState.fpsTimer, 0.001, 1e-12);
}

TEST_F(FrameClock, LongFrameKeepsTheRemainderAndPublishesAgain) {
  AppState.fpsTimer = 0.2;
  AppState.frameCount = 2;
  Frame(2500);
  EXPECT_EQ(AppState.fps, 3);
  EXPECT_NEAR(AppState.fpsTimer, 1.7, 1e-12);
  Frame(16);
  EXPECT_EQ(AppState.fps, 1);
  EXPECT_NEAR(AppState.fpsTimer, 0.716, 1e-12);
  EXPECT_EQ(AppState.frameCount, 0);
}

TEST_F(FrameClock, SameMillisecondFramesCountWithoutTime) {
  Frame(0);
  Frame(0);
  EXPECT_EQ(AppState.frameCount, 2);
  EXPECT_EQ(AppState.elapsedSeconds, 0.0);
  EXPECT_EQ(gfxfake::CallsOf("ReadClockMilliseconds").size(), 2u);
}

TEST_F(FrameClock, MeasuresFromTheStartUpReadingAcrossTheOld32BitWrap) {
  // The start-up reading sits past 2^31 ms: a 32-bit clock would have wrapped by now.
  const int64_t start = 3'000'000'000;
  gfxfake::SetClock(start);
  AppState.lastClock = start;
  Frame(40);
  EXPECT_EQ(AppState.lastClock, start + 40);
  EXPECT_DOUBLE_EQ(AppState.elapsedSeconds, 0.04);
}

}  // namespace
