// tobrin_bench: frame cost of RenderFrame against a bare-GL baseline of the same scene, heap
// allocations per steady-state frame, and start-up time of the real executable. Runs the
// program's own code (window system, settings, device, resources, RenderFrame) on the current X
// display; `make bench` runs it under Xvfb. --smoke runs a few frames for CTest and fails when a
// steady-state frame allocates.
#include <epoxy/gl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.hpp"
#include "app/window_proc.hpp"
#include "app/window_system.hpp"
#include "bench/alloc_count.hpp"
#include "bench/baseline.hpp"
#include "bench/gl_probe.hpp"
#include "bench/report.hpp"
#include "bench/startup.hpp"
#include "bench/stats.hpp"
#include "render/device.hpp"
#include "render/gfx/gl/device_gl.hpp"
#include "render/gfx/gl/effect_check.hpp"
#include "render/scene.hpp"
#include "settings/settings.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// The two frames are a millisecond apart at most; the animation moves less than that in colour.
constexpr double kMaxPictureDifference = 0.001;

struct Options {
  bool smoke = false;
  bool traceAllocs = false;
  bool startup = true;
  bool startupOnly = false;
  int warmup = 30, rounds = 12, frames = 8, startupRuns = 7;
  std::string json, dataDir = TOBRIN_SOURCE_DIR "/data", exe = TOBRIN_EXE;
};

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

void Usage() {
  std::fprintf(stderr,
               "usage: tobrin_bench [--smoke] [--json FILE] [--data DIR] [--exe FILE]\n"
               "                    [--warmup N] [--rounds N] [--frames N] [--startup-runs N]\n"
               "                    [--no-startup | --startup-only] [--trace-allocs]\n");
}

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--smoke") {
      o->smoke = true;
      o->warmup = 3;
      o->rounds = 2;
      o->frames = 2;
      o->startupRuns = 1;
    } else if (a == "--trace-allocs") {
      o->traceAllocs = true;
    } else if (a == "--no-startup") {
      o->startup = false;
    } else if (a == "--startup-only") {
      o->startupOnly = true;
    } else if (a == "--json" && hasValue) {
      o->json = argv[++i];
    } else if (a == "--data" && hasValue) {
      o->dataDir = argv[++i];
    } else if (a == "--exe" && hasValue) {
      o->exe = argv[++i];
    } else if ((a == "--warmup" || a == "--rounds" || a == "--frames" || a == "--startup-runs") &&
               hasValue) {
      const int value = std::atoi(argv[++i]);
      if (value < (a == "--warmup" ? 0 : 1)) return false;
      (a == "--warmup"   ? o->warmup
       : a == "--rounds" ? o->rounds
       : a == "--frames" ? o->frames
                         : o->startupRuns) = value;
    } else {
      return false;
    }
  }
  return true;
}

// The messages the X server sends (expose, focus) go through the program's own procedure, as in
// its loop; none of them is timed.
void PumpMessages() {
  MSG message{};
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessage(&message);
  }
}

// The program's start-up path as AppMain runs it, phase by phase.
bool StartProgram(std::vector<bench::StartupPhase>* phases) {
  auto t = Clock::now();
  const auto phase = [&](const char* name) {
    const auto now = Clock::now();
    phases->push_back({name, Ms(t, now)});
    t = now;
  };
  WNDCLASSEX windowClass{};
  windowClass.cbSize = 48;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandle(nullptr);
  windowClass.lpszClassName = "MY_WINDOWS_CLASS";
  if (!RegisterClassEx(&windowClass)) return false;
  AppState.window =
      CreateWindowEx(0, "MY_WINDOWS_CLASS", "tobrin_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                     1024, 768, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!AppState.window) return false;
  ShowWindow(AppState.window, SW_SHOWDEFAULT);
  UpdateWindow(AppState.window);
  phase("window");
  try {
    LoadSettings();
    phase("LoadSettings");
    InitDevice();
    phase("InitDevice");
    LoadResources();
    phase("LoadResources");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tobrin_bench: start-up failed: %s\n", e.what());
    return false;
  }
  RenderFrame();
  glFinish();
  phase("first RenderFrame");
  return true;
}

void SelectTechnique(const char* name) {
  AppState.effect->SetTechnique(name);
  AppState.colorAnimationActive = std::strcmp(name, "ColorAnimation") == 0;
}

struct Side {
  std::vector<double> ms;
  std::vector<double> cpuMs;  // CPU time of the whole process (rasteriser threads included)
  bench::AllocCounts allocs{};
  uint64_t maxOwnInFrame = 0;  // the most our own code allocated in one frame
  int frames = 0;
};

void Frame(bool tobrin) {
  if (tobrin)
    RenderFrame();
  else
    bench::DrawBaselineFrame();
}

// One timed frame: the frame's own work and glFinish, so the GPU work is inside the figure.
// The CPU figure is what the frame cost this process, whatever else the machine ran meanwhile;
// it is the steadier of the two on a shared machine.
double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void TimedFrame(bool tobrin, Side* side) {
  const double cpu = ProcessCpuMs();
  const auto start = Clock::now();
  Frame(tobrin);
  glFinish();
  side->ms.push_back(Ms(start, Clock::now()));
  side->cpuMs.push_back(ProcessCpuMs() - cpu);
}

void TimedBlock(bool tobrin, int frames, Side* side) {
  for (int i = 0; i < frames; ++i) {
    TimedFrame(tobrin, side);
    PumpMessages();
  }
  if (!tobrin) bench::RestoreProgramState();
}

// Steady-state frames with every allocation counted and attributed (driver or our code). Kept
// apart from the timed frames so the wrappers that attribute cost nothing there.
void CountedBlock(bool tobrin, int frames, bool trace, Side* side) {
  bench::GlCountingOn();
  for (int i = 0; i < frames; ++i) {
    const bench::AllocCounts before = bench::ReadAllocCounts();
    if (trace) bench::AllocTracingOn(true);
    bench::AllocCountingOn();
    Frame(tobrin);
    bench::AllocCountingOff();
    if (trace) bench::AllocTracingOn(false);
    const bench::AllocCounts after = bench::ReadAllocCounts();
    side->allocs.newCalls += after.newCalls - before.newCalls;
    side->allocs.mallocCalls += after.mallocCalls - before.mallocCalls;
    side->allocs.mainThread += after.mainThread - before.mainThread;
    side->allocs.ownCode += after.ownCode - before.ownCode;
    side->maxOwnInFrame = std::max(side->maxOwnInFrame, after.ownCode - before.ownCode);
    ++side->frames;
    glFinish();
    PumpMessages();
  }
  bench::GlCountingOff();
  if (!tobrin) bench::RestoreProgramState();
}

std::vector<bench::GlCallCount> ProfileCalls(bool tobrin) {
  bench::GlCountingOn();
  Frame(tobrin);
  bench::ResetGlCounts();
  Frame(tobrin);
  auto calls = bench::GlCountingOff();
  if (!tobrin) bench::RestoreProgramState();
  glFinish();
  return calls;
}

// Share of pixels that differ by more than a rounding step between a program frame and a baseline
// frame of the same moment: the check that the baseline draws the same picture.
double PictureDifference() {
  std::vector<uint8_t> tobrin, baseline;
  int width = 0, height = 0;
  // The program's clock is left to advance: the effect uploads only values that changed since
  // its own last frame, while the baseline frames in between wrote their time into the same
  // programs. A frame at an unchanged time would show the baseline's time, not the program's.
  RenderFrame();
  glFinish();
  if (!gfx::gl::ReadBackBuffer(AppState.device, &tobrin, &width, &height)) return 1;
  bench::SyncBaselineClock(AppState.elapsedSeconds);
  bench::DrawBaselineFrame();
  glFinish();
  bench::RestoreProgramState();
  if (!gfx::gl::ReadBackBuffer(AppState.device, &baseline, &width, &height)) return 1;
  if (tobrin.size() != baseline.size() || tobrin.empty()) return 1;
  size_t differing = 0;
  for (size_t i = 0; i < tobrin.size(); i += 4)
    for (size_t c = 0; c < 3; ++c)
      if (std::abs(int{tobrin[i + c]} - int{baseline[i + c]}) > 2) {
        ++differing;
        break;
      }
  return static_cast<double>(differing) / static_cast<double>(tobrin.size() / 4);
}

double PerFrame(uint64_t count, int frames) {
  return frames > 0 ? static_cast<double>(count) / frames : 0;
}

bench::CaseResult RunCase(const Options& o, const char* technique, int objects) {
  SelectTechnique(technique);
  SceneSettings.number_objects = objects;
  Side warm;
  TimedBlock(true, o.warmup, &warm);
  TimedBlock(false, o.warmup, &warm);

  bench::CaseResult result;
  result.technique = technique;
  result.objects = objects;
  result.pictureDifference = PictureDifference();
  result.tobrinCalls = ProfileCalls(true);
  result.baselineCalls = ProfileCalls(false);

  Side counted, baseCounted;
  bench::ResetAllocCounts();
  CountedBlock(true, o.frames * 2, o.traceAllocs, &counted);
  if (o.traceAllocs) bench::PrintAllocTraces();
  CountedBlock(false, o.frames * 2, false, &baseCounted);
  result.allocsPerFrame = PerFrame(counted.allocs.ownCode, counted.frames);
  result.maxAllocsInFrame = counted.maxOwnInFrame;
  result.baselineAllocsPerFrame = PerFrame(baseCounted.allocs.ownCode, baseCounted.frames);
  result.driverAllocsPerFrame =
      PerFrame(counted.allocs.total() - counted.allocs.ownCode, counted.frames);
  result.baselineDriverAllocsPerFrame =
      PerFrame(baseCounted.allocs.total() - baseCounted.allocs.ownCode, baseCounted.frames);

  // Alternate the order round by round (ABBA...), so slow drifts of the machine fall on both.
  Side tobrin, baseline;
  std::vector<double> roundRatios;
  for (int round = 0; round < o.rounds; ++round) {
    const size_t t0 = tobrin.ms.size(), b0 = baseline.ms.size();
    const bool tobrinFirst = round % 2 == 0;
    TimedBlock(tobrinFirst, o.frames, tobrinFirst ? &tobrin : &baseline);
    TimedBlock(!tobrinFirst, o.frames, tobrinFirst ? &baseline : &tobrin);
    const double t = bench::Quantile({tobrin.ms.begin() + long(t0), tobrin.ms.end()}, 0.5);
    const double b = bench::Quantile({baseline.ms.begin() + long(b0), baseline.ms.end()}, 0.5);
    if (b > 0) roundRatios.push_back(t / b);
  }
  result.frames = static_cast<int>(tobrin.ms.size());
  result.tobrin = bench::Summarise(tobrin.ms);
  result.baseline = bench::Summarise(baseline.ms);
  result.ratio = result.baseline.median > 0 ? result.tobrin.median / result.baseline.median : 0;
  result.pairedRatio = bench::Quantile(roundRatios, 0.5);
  result.tobrinCpu = bench::Summarise(tobrin.cpuMs);
  result.baselineCpu = bench::Summarise(baseline.cpuMs);
  result.cpuRatio =
      result.baselineCpu.median > 0 ? result.tobrinCpu.median / result.baselineCpu.median : 0;
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  gfx::gl::EnterEffectCheckIfAsked(argc, argv);
  bench::MarkMainThread();
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    Usage();
    return 2;
  }
  if (!o.json.empty()) o.json = std::filesystem::absolute(o.json).string();
  o.dataDir = std::filesystem::absolute(o.dataDir).string();
  o.exe = std::filesystem::absolute(o.exe).string();

  bench::Report report;
  report.smoke = o.smoke;
  report.warmupFrames = o.warmup;
  report.rounds = o.rounds;
  report.framesPerBlock = o.frames;

  // Before the bench opens a window of its own, so the program has the display to itself.
  if (o.startup) {
    report.startupCommand = o.exe + " (in a copy of " + o.dataDir + ")";
    std::string error;
    if (!bench::MeasureStartup(o.exe, o.dataDir, o.startupRuns, &report.startup, &error)) {
      std::fprintf(stderr, "tobrin_bench: start-up measurement failed: %s\n", error.c_str());
      return 1;
    }
  }

  if (o.startupOnly) {
    bench::PrintReport(report);
    if (!o.json.empty() && !bench::WriteJson(report, o.json)) return 1;
    return 0;
  }

  if (chdir(o.dataDir.c_str()) != 0) {
    std::fprintf(stderr, "tobrin_bench: cannot enter the data directory %s\n", o.dataDir.c_str());
    return 1;
  }
  if (!StartProgram(&report.inProcessStartup)) return 1;
  if (!AppState.effect) {
    std::fprintf(stderr, "tobrin_bench: the effect did not build; nothing to measure\n");
    ReleaseResources();
    return 1;
  }
  report.renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  std::string error;
  if (!bench::MeasureTextureLoads(AppState.device, &report.inProcessStartup, &error))
    std::fprintf(stderr, "tobrin_bench: texture load measurement failed: %s\n", error.c_str());
  if (!bench::SetUpBaseline(TOBRIN_SOURCE_DIR "/tests/data/effects/scene_glsl.fx", &error)) {
    std::fprintf(stderr, "tobrin_bench: baseline set-up failed: %s\n", error.c_str());
    ReleaseResources();
    return 1;
  }

  for (const char* technique : {"ColorAnimation", "VertexAnimation"})
    for (const int objects : {1, 10, 50}) {
      report.cases.push_back(RunCase(o, technique, objects));
      const bench::CaseResult& c = report.cases.back();
      std::fprintf(stderr,
                   "%s n=%d: tobrin %.3f ms, baseline %.3f ms, ratio %.3f (cpu %.3f), "
                   "allocs %.2f\n",
                   technique, objects, c.tobrin.median, c.baseline.median, c.ratio, c.cpuRatio,
                   c.allocsPerFrame);
    }

  bench::TearDownBaseline();
  ReleaseResources();
  bench::PrintReport(report);
  if (!o.json.empty()) {
    if (!bench::WriteJson(report, o.json)) {
      std::fprintf(stderr, "tobrin_bench: cannot write %s\n", o.json.c_str());
      return 1;
    }
    std::printf("\nFigures written to %s\n", o.json.c_str());
  }

  // A baseline that draws something else, or a frame that allocates, makes the figures void:
  // both fail the run. Timings never do; they are for reading, not for gating.
  int status = 0;
  for (const bench::CaseResult& c : report.cases) {
    if (c.maxAllocsInFrame > 0) {
      std::printf("FAIL: %s with %d objects allocates %.2f times per frame\n", c.technique.c_str(),
                  c.objects, c.allocsPerFrame);
      status = 1;
    }
    if (c.pictureDifference > kMaxPictureDifference) {
      std::printf("FAIL: %s with %d objects: the baseline's picture differs in %.2f%% of pixels\n",
                  c.technique.c_str(), c.objects, 100 * c.pictureDifference);
      status = 1;
    }
  }
  return status;
}
