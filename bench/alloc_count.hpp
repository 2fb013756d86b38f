// Heap allocation counting for the benchmark: the bench binary replaces the global operator new
// family and defines malloc, calloc, realloc and the aligned allocators on top of glibc's own
// entry points, so every allocation in the process (drivers included) passes through here.
// Counting is off until AllocCountingOn(); it costs one relaxed atomic add per allocation.
#pragma once
#include <cstddef>
#include <cstdint>

namespace bench {

struct AllocCounts {
  uint64_t newCalls;     // operator new / new[] (all forms)
  uint64_t mallocCalls;  // malloc, calloc, realloc, aligned forms, called directly
  uint64_t mainThread;   // of both, those made on the thread that called MarkMainThread
  // Of those, the ones made outside any call into the driver (see EnterDriver): the allocations
  // of the program and its graphics layer themselves.
  uint64_t ownCode;
  uint64_t total() const { return newCalls + mallocCalls; }
};

// The thread whose allocations count as "main thread" (the one that renders).
void MarkMainThread();
// Brackets a call into the GL driver or the window system's swap, so that what the driver
// allocates inside is told apart from what our own code allocates. Nests.
void EnterDriver();
void LeaveDriver();
// Brackets the bench's own bookkeeping inside a measured frame: not counted at all.
void EnterBench();
void LeaveBench();
void AllocCountingOn();
void AllocCountingOff();
AllocCounts ReadAllocCounts();
void ResetAllocCounts();

// While tracing, the call stacks of the first kMaxTracedAllocs allocations of our own code (main
// thread, outside the driver) are kept;
// PrintAllocTraces writes them symbolised to standard error (no allocation while printing).
constexpr int kMaxTracedAllocs = 16;
void AllocTracingOn(bool on);
void PrintAllocTraces();

}  // namespace bench
