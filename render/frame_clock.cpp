// Frame timing: the running time that animates the effect and the once-a-second FPS figure.
// The clock is a 64-bit monotonic millisecond count, so no wrap needs handling.
#include "render/frame_clock.hpp"

#include <cstdint>

#include "app/app_state.hpp"
#include "render/gfx/gfx.hpp"

void AdvanceFrameClock() {
  // Counted before the test, so the frame that publishes is part of its own figure.
  ++AppState.frameCount;
  const int64_t now = gfx::ReadClockMilliseconds();
  const int64_t interval = now - AppState.lastClock;
  AppState.lastClock = now;
  const double seconds = static_cast<double>(interval) / 1000.0;
  AppState.elapsedSeconds += seconds;
  AppState.fpsTimer += seconds;
  // Subtracting one second (not zeroing) keeps the remainder, so the second boundaries do not
  // drift with the frame rate.
  if (AppState.fpsTimer > 1.0) {
    AppState.fps = AppState.frameCount;
    AppState.frameCount = 0;
    AppState.fpsTimer -= 1.0;
  }
}
