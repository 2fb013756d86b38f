// The figures one bench run produces, printed as a table and written as JSON with the same names.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "bench/gl_probe.hpp"
#include "bench/startup.hpp"
#include "bench/stats.hpp"

namespace bench {

struct CaseResult {
  std::string technique;
  int objects = 0;
  Summary tobrin, baseline;        // frame times in milliseconds
  double ratio = 0;                // median Tobrin / median baseline over all measured frames
  double pairedRatio = 0;          // median over rounds of the round's own ratio
  Summary tobrinCpu, baselineCpu;  // process CPU milliseconds per frame
  double cpuRatio = 0;
  int frames = 0;                // measured frames on each side
  double pictureDifference = 0;  // share of pixels where baseline and program frames differ
  // Steady state. Our own code's allocations: main thread, outside any call into the driver.
  double allocsPerFrame = 0, baselineAllocsPerFrame = 0;
  uint64_t maxAllocsInFrame = 0;
  // What the GL driver and the swap allocated meanwhile (every thread); not ours to remove, but
  // the same on both sides when the program adds no driver work.
  double driverAllocsPerFrame = 0, baselineDriverAllocsPerFrame = 0;
  std::vector<GlCallCount> tobrinCalls, baselineCalls;  // one steady-state frame each
};

struct StartupPhase {
  std::string name;
  double ms = 0;
};

struct Report {
  std::string renderer;  // GL_RENDERER
  bool smoke = false;
  int warmupFrames = 0, rounds = 0, framesPerBlock = 0;
  std::vector<CaseResult> cases;
  std::vector<StartupRun> startup;
  std::string startupCommand;
  std::vector<StartupPhase> inProcessStartup;  // the bench's own start-up of the program code
};

void PrintReport(const Report& report);
// False when the file cannot be written.
bool WriteJson(const Report& report, const std::string& path);
std::string JsonText(const Report& report);

}  // namespace bench
