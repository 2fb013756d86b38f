// The program's elapsed-time clock: monotonic milliseconds since an arbitrary start, in 64 bits so
// it never wraps in practice (the original 32-bit count wrapped after 24.8 days).
#include <chrono>

#include "render/gfx/gfx.hpp"

namespace gfx {

int64_t ReadClockMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace gfx
