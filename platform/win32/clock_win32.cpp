// The program's elapsed-time clock on Windows: the performance counter, monotonic and 64-bit, in
// whole milliseconds. GetTickCount64 would also be monotonic but moves in 10-16 ms steps, so at a
// few hundred frames per second most frames would see no time pass and the animation would jump.
#include "render/gfx/gfx.hpp"

namespace gfx {

int64_t ReadClockMilliseconds() {
  LARGE_INTEGER count, frequency;
  // Both calls cannot fail on Windows XP and later; the frequency is fixed at boot.
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  // Split so that count * 1000 cannot overflow however long the machine has been up.
  const int64_t whole = count.QuadPart / frequency.QuadPart;
  const int64_t rest = count.QuadPart % frequency.QuadPart;
  return whole * 1000 + rest * 1000 / frequency.QuadPart;
}

}  // namespace gfx
