// The replaced allocators behind alloc_count.hpp. glibc 2.34 removed __malloc_hook, so malloc and
// friends are defined here and forward to glibc's __libc_* entry points; the executable's
// definitions take precedence over libc's for every shared library as well.
// Limits: frees are not counted; allocations made by glibc internally without going through the
// public malloc symbol (rare: early start-up, dlopen bookkeeping) are not seen.
#include "bench/alloc_count.hpp"

#include <execinfo.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void __libc_free(void* pointer);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace bench {
namespace {

std::atomic<bool> counting{false};
std::atomic<bool> tracing{false};
std::atomic<uint64_t> newCalls{0}, mallocCalls{0}, mainThreadCalls{0}, ownCodeCalls{0};
thread_local bool isMainThread = false;
thread_local int driverDepth = 0;
thread_local int benchDepth = 0;
thread_local bool insideTrace = false;

constexpr int kTraceDepth = 24;
struct Trace {
  int depth;
  void* frames[kTraceDepth];
};
Trace traces[kMaxTracedAllocs];
std::atomic<int> traceCount{0};

void Note(std::atomic<uint64_t>& kind) {
  if (!counting.load(std::memory_order_relaxed) || benchDepth > 0) return;
  kind.fetch_add(1, std::memory_order_relaxed);
  if (!isMainThread) return;
  mainThreadCalls.fetch_add(1, std::memory_order_relaxed);
  if (driverDepth > 0) return;
  ownCodeCalls.fetch_add(1, std::memory_order_relaxed);
  // Only our own code's allocations are traced: those are the ones to find and remove.
  // backtrace() may allocate on its first use (it loads the unwinder); the flag keeps that
  // allocation from recursing into another trace.
  if (tracing.load(std::memory_order_relaxed) && !insideTrace) {
    const int slot = traceCount.fetch_add(1, std::memory_order_relaxed);
    if (slot < kMaxTracedAllocs) {
      insideTrace = true;
      traces[slot].depth = backtrace(traces[slot].frames, kTraceDepth);
      insideTrace = false;
    }
  }
}

}  // namespace

void MarkMainThread() { isMainThread = true; }
void EnterDriver() { ++driverDepth; }
void LeaveDriver() { --driverDepth; }
void EnterBench() { ++benchDepth; }
void LeaveBench() { --benchDepth; }
void AllocCountingOn() { counting.store(true, std::memory_order_seq_cst); }
void AllocCountingOff() { counting.store(false, std::memory_order_seq_cst); }

AllocCounts ReadAllocCounts() {
  return AllocCounts{newCalls.load(), mallocCalls.load(), mainThreadCalls.load(),
                     ownCodeCalls.load()};
}

void ResetAllocCounts() {
  newCalls = 0;
  mallocCalls = 0;
  mainThreadCalls = 0;
  ownCodeCalls = 0;
  traceCount = 0;
}

void AllocTracingOn(bool on) {
  if (on) {
    // Warm the unwinder up now, outside any counted region.
    void* frames[2];
    insideTrace = true;
    backtrace(frames, 2);
    insideTrace = false;
  }
  tracing = on;
}

void PrintAllocTraces() {
  const int count = std::min(traceCount.load(), kMaxTracedAllocs);
  for (int i = 0; i < count; ++i) {
    const char header[] = "--- counted allocation ---\n";
    if (write(STDERR_FILENO, header, sizeof header - 1) < 0) return;
    backtrace_symbols_fd(traces[i].frames, traces[i].depth, STDERR_FILENO);
  }
}

}  // namespace bench

using bench::Note;

extern "C" {

void* malloc(size_t size) {
  Note(bench::mallocCalls);
  return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
  Note(bench::mallocCalls);
  return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) {
  Note(bench::mallocCalls);
  return __libc_realloc(pointer, size);
}

void free(void* pointer) { __libc_free(pointer); }

void* memalign(size_t alignment, size_t size) {
  Note(bench::mallocCalls);
  return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
  Note(bench::mallocCalls);
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  Note(bench::mallocCalls);
  void* pointer = __libc_memalign(alignment, size);
  if (!pointer) return ENOMEM;
  *out = pointer;
  return 0;
}

void* valloc(size_t size) {
  Note(bench::mallocCalls);
  return __libc_memalign(static_cast<size_t>(sysconf(_SC_PAGESIZE)), size);
}

}  // extern "C"

namespace {

void* NewBytes(size_t size) {
  Note(bench::newCalls);
  void* pointer = __libc_malloc(size ? size : 1);
  if (!pointer) throw std::bad_alloc();
  return pointer;
}

void* NewAligned(size_t size, std::align_val_t alignment) {
  Note(bench::newCalls);
  void* pointer = __libc_memalign(static_cast<size_t>(alignment), size ? size : 1);
  if (!pointer) throw std::bad_alloc();
  return pointer;
}

}  // namespace

void* operator new(size_t size) { return NewBytes(size); }
void* operator new[](size_t size) { return NewBytes(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  Note(bench::newCalls);
  return __libc_malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  Note(bench::newCalls);
  return __libc_malloc(size ? size : 1);
}
void* operator new(size_t size, std::align_val_t alignment) { return NewAligned(size, alignment); }
void* operator new[](size_t size, std::align_val_t alignment) {
  return NewAligned(size, alignment);
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  Note(bench::newCalls);
  return __libc_memalign(static_cast<size_t>(alignment), size ? size : 1);
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  Note(bench::newCalls);
  return __libc_memalign(static_cast<size_t>(alignment), size ? size : 1);
}

void operator delete(void* pointer) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, size_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, size_t) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, size_t, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, size_t, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
  __libc_free(pointer);
}
void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
  __libc_free(pointer);
}
