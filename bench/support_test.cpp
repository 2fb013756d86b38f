// Tests of the bench's own machinery: quantiles, the allocation counter (every allocator entry
// point, on and off, thread attribution) and the JSON text the figures are kept in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "bench/alloc_count.hpp"
#include "bench/report.hpp"
#include "bench/stats.hpp"

namespace {

TEST(Stats, QuantilesInterpolateBetweenRanksAndIgnoreOrder) {
  EXPECT_DOUBLE_EQ(bench::Quantile({5, 1, 3}, 0.5), 3);
  EXPECT_DOUBLE_EQ(bench::Quantile({4, 1, 3, 2}, 0.5), 2.5);
  EXPECT_DOUBLE_EQ(bench::Quantile({1, 2, 3, 4, 5}, 0.25), 2);
  EXPECT_DOUBLE_EQ(bench::Quantile({10, 20}, 0.75), 17.5);
  EXPECT_DOUBLE_EQ(bench::Quantile({7}, 0.9), 7);
  EXPECT_DOUBLE_EQ(bench::Quantile({}, 0.5), 0);
  EXPECT_DOUBLE_EQ(bench::Quantile({1, 2}, 2.0), 2);  // clamped
}

TEST(Stats, SummaryReportsSpreadRelativeToMedian) {
  const bench::Summary s = bench::Summarise({9, 10, 10, 11, 100, 10, 10, 9});
  EXPECT_EQ(s.count, 8);
  EXPECT_DOUBLE_EQ(s.median, 10);
  EXPECT_DOUBLE_EQ(s.min, 9);
  EXPECT_DOUBLE_EQ(s.max, 100);
  // One stalled frame moves neither the median nor the quartiles much.
  EXPECT_NEAR(s.relativeSpread(), (s.p75 - s.p25) / 10, 1e-12);
  EXPECT_LT(s.relativeSpread(), 0.2);
  EXPECT_EQ(bench::Summarise({}).relativeSpread(), 0);
}

// Keeps the compiler from eliding an allocation whose result is only freed again.
void* volatile sink;
template <class T>
T* Keep(T* pointer) {
  sink = const_cast<void*>(static_cast<const volatile void*>(pointer));
  return pointer;
}

TEST(AllocCount, CountsEveryEntryPointOnlyWhileOn) {
  bench::MarkMainThread();
  bench::ResetAllocCounts();
  std::free(Keep(std::malloc(16)));
  EXPECT_EQ(bench::ReadAllocCounts().total(), 0u);

  bench::AllocCountingOn();
  void* a = Keep(std::malloc(16));
  void* b = Keep(std::calloc(4, 4));
  a = Keep(std::realloc(a, 64));
  void* c = Keep(std::aligned_alloc(64, 128));
  void* d = nullptr;
  ASSERT_EQ(posix_memalign(&d, 64, 32), 0);
  Keep(d);
  auto* e = Keep(new int(3));
  auto* f = Keep(new int[8]);
  auto* g = Keep(new (std::align_val_t{64}) double);
  auto* h = Keep(new (std::nothrow) char[3]);
  bench::AllocCountingOff();
  const bench::AllocCounts counts = bench::ReadAllocCounts();
  std::free(a);
  std::free(b);
  std::free(c);
  std::free(d);
  delete e;
  delete[] f;
  ::operator delete (g, std::align_val_t{64});
  delete[] h;

  EXPECT_EQ(counts.mallocCalls, 5u);
  EXPECT_EQ(counts.newCalls, 4u);
  EXPECT_EQ(counts.mainThread, 9u);
  EXPECT_EQ(counts.ownCode, 9u);
  EXPECT_EQ(bench::ReadAllocCounts().total(), 9u)
      << "the frees after counting stopped were counted";
  bench::ResetAllocCounts();
  EXPECT_EQ(bench::ReadAllocCounts().total(), 0u);
}

TEST(AllocCount, AllocationsInsideDriverCallsAreNotOurs) {
  bench::MarkMainThread();
  bench::ResetAllocCounts();
  bench::AllocCountingOn();
  void* ours = Keep(std::malloc(8));
  bench::EnterDriver();
  void* driver = Keep(std::malloc(8));
  bench::EnterDriver();  // a driver call that calls back into another one
  auto* nested = Keep(new int(1));
  bench::LeaveDriver();
  void* stillDriver = Keep(std::calloc(1, 8));
  bench::LeaveDriver();
  void* oursAgain = Keep(std::malloc(8));
  bench::EnterBench();  // the bench's own bookkeeping is not counted at all
  void* bookkeeping = Keep(std::malloc(8));
  bench::LeaveBench();
  bench::AllocCountingOff();
  const bench::AllocCounts counts = bench::ReadAllocCounts();
  std::free(ours);
  std::free(driver);
  delete nested;
  std::free(stillDriver);
  std::free(oursAgain);
  std::free(bookkeeping);
  EXPECT_EQ(counts.total(), 5u);
  EXPECT_EQ(counts.mainThread, 5u);
  EXPECT_EQ(counts.ownCode, 2u);
}

TEST(AllocCount, AttributesOtherThreadsSeparately) {
  bench::MarkMainThread();
  std::thread worker;  // created before counting: thread start-up allocates too
  bench::ResetAllocCounts();
  bench::AllocCountingOn();
  worker = std::thread([] { Keep(std::malloc(8)); });
  worker.join();
  bench::AllocCountingOff();
  std::free(sink);
  const bench::AllocCounts counts = bench::ReadAllocCounts();
  EXPECT_GE(counts.total(), 1u);
  // The worker's malloc is not the main thread's; what std::thread itself allocated here is.
  EXPECT_EQ(counts.total() - counts.mainThread, 1u);
  EXPECT_EQ(counts.ownCode, counts.mainThread);
}

TEST(Report, JsonCarriesTheFiguresAndEscapesText) {
  bench::Report report;
  report.renderer = "llvmpipe \"quoted\"\n";
  report.rounds = 3;
  bench::CaseResult c;
  c.technique = "ColorAnimation";
  c.objects = 50;
  c.tobrin = bench::Summarise({10.2, 10.4});
  c.baseline = bench::Summarise({10.0, 10.0});
  c.ratio = 1.03;
  c.allocsPerFrame = 0;
  c.tobrinCalls = {{"glDrawElements", 402, 0}, {"glUseProgram", 4, 1}};
  report.cases.push_back(c);
  report.startup = {{120.5, 250.25, 0}, {110, 240, 0}, {130, 260, 0}};
  const std::string json = bench::JsonText(report);
  EXPECT_NE(json.find("\"renderer\": \"llvmpipe \\\"quoted\\\"\\u000a\""), std::string::npos)
      << json;
  EXPECT_NE(json.find("\"number_objects\": 50"), std::string::npos);
  EXPECT_NE(json.find("\"ratio\": 1.0300"), std::string::npos);
  EXPECT_NE(json.find("\"tobrin\": {\"median_ms\": 10.3000"), std::string::npos);
  EXPECT_NE(json.find("\"glUseProgram\": {\"calls\": 4, \"redundant\": 1}"), std::string::npos);
  EXPECT_NE(json.find("\"median_first_frame_ms\": 250.2500"), std::string::npos);
  // Balanced braces and brackets: the file is at least structurally whole.
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < json.size(); ++i) {
    if (json[i] == '\\') {
      ++i;
      continue;
    }
    if (json[i] == '"') inString = !inString;
    if (inString) continue;
    if (json[i] == '{' || json[i] == '[') ++depth;
    if (json[i] == '}' || json[i] == ']') {
      ASSERT_GE(--depth, 0);
    }
  }
  EXPECT_EQ(depth, 0);
  EXPECT_FALSE(inString);
}

}  // namespace
