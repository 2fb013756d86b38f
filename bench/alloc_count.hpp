// Heap allocation counting for the benchmark: the bench binary replaces the global operator new
// family and defines malloc, calloc, realloc and the aligned allocators on top of glibc's own
// entry points, so every allocation in the process (drivers included) passes through here.
// Counting is off until AllocCountingOn(); it costs one relaxed atomic add per allocation.
#pragma once
#include <cstddef>
#include <cstdint>

namespace bench {

struct AllocCounts {
  uint64_t newCalls;      // operator new / new[] (all forms)
  uint64_t mallocCalls;   // malloc, calloc, realloc, aligned forms, called directly
  uint64_t mainThread;    // of both, those made on the thread that called MarkMainThread
  uint64_t total() const { return newCalls + mallocCalls; }
};

// The thread whose allocations count as "main thread" (the one that renders).
void MarkMainThread();
void AllocCountingOn();
void AllocCountingOff();
AllocCounts ReadAllocCounts();
void ResetAllocCounts();

// While tracing, the call stacks of the first kMaxTracedAllocs counted allocations are kept;
// PrintAllocTraces writes them symbolised to standard error (no allocation while printing).
constexpr int kMaxTracedAllocs = 16;
void AllocTracingOn(bool on);
void PrintAllocTraces();

}  // namespace bench
