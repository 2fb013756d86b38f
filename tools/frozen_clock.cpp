// LD_PRELOAD=libtobrin_frozen_clock.so PROGRAM: CLOCK_MONOTONIC stands still at the moment of the
// first read, so every frame the program draws shows the same instant and two builds' frames can
// be compared pixel for pixel (scripts/compare-frames.sh). The other clocks (SDL's
// CLOCK_MONOTONIC_RAW, the wall clock) run on, so waits and timeouts still end.
#include <dlfcn.h>
#include <time.h>

namespace {
using ClockGettime = int (*)(clockid_t, timespec*);
timespec frozen{};
bool started = false;
}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* out) {
  static const ClockGettime real =
      reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
  if (clock != CLOCK_MONOTONIC || !out) return real(clock, out);
  if (!started) {
    const int result = real(clock, &frozen);
    if (result != 0) return result;
    started = true;
  }
  *out = frozen;
  return 0;
}
