// Table and JSON output. The JSON is written by hand: flat, few types, and names that match the
// table's columns.
#include "bench/report.hpp"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace bench {
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

std::string SummaryJson(const Summary& s) {
  return "{\"median_ms\": " + Number(s.median) + ", \"p25_ms\": " + Number(s.p25) +
         ", \"p75_ms\": " + Number(s.p75) + ", \"min_ms\": " + Number(s.min) +
         ", \"max_ms\": " + Number(s.max) + ", \"relative_spread\": " + Number(s.relativeSpread()) +
         ", \"frames\": " + std::to_string(s.count) + "}";
}

std::string CallsJson(const std::vector<GlCallCount>& calls) {
  std::string out = "{";
  for (size_t i = 0; i < calls.size(); ++i)
    out += (i ? ", " : "") + Quoted(calls[i].name) +
           ": {\"calls\": " + std::to_string(calls[i].calls) +
           ", \"redundant\": " + std::to_string(calls[i].redundant) + "}";
  return out + "}";
}

uint64_t Total(const std::vector<GlCallCount>& calls, bool redundant) {
  uint64_t sum = 0;
  for (const auto& c : calls) sum += redundant ? c.redundant : c.calls;
  return sum;
}

}  // namespace

static void PrintFrameTable(const Report& r);
static void PrintStartup(const Report& r);

void PrintReport(const Report& r) {
  if (!r.cases.empty()) PrintFrameTable(r);
  PrintStartup(r);
}

static void PrintFrameTable(const Report& r) {
  std::printf("\nTobrin frame cost against a bare-GL baseline (%s)\n", r.renderer.c_str());
  std::printf("%d warm-up frames, %d rounds of %d frames per side, sides alternated%s\n\n",
              r.warmupFrames, r.rounds, r.framesPerBlock, r.smoke ? " (smoke run)" : "");
  std::printf("%-16s %4s | %9s %7s | %9s %7s | %6s %6s %6s %6s | %8s %9s | %9s %9s\n", "technique",
              "n", "tobrin ms", "spread", "base ms", "spread", "ratio", "paired", "cpu", "diff",
              "allocs/f", "driver/f", "GL calls", "redundant");
  for (const CaseResult& c : r.cases)
    std::printf(
        "%-16s %4d | %9.3f %6.1f%% | %9.3f %6.1f%% | %6.3f %6.3f %6.3f %5.2f%% | %8.2f "
        "%9.1f | "
        "%4llu/%-4llu %4llu/%-4llu\n",
        c.technique.c_str(), c.objects, c.tobrin.median, 100 * c.tobrin.relativeSpread(),
        c.baseline.median, 100 * c.baseline.relativeSpread(), c.ratio, c.pairedRatio, c.cpuRatio,
        100 * c.pictureDifference, c.allocsPerFrame, c.driverAllocsPerFrame,
        static_cast<unsigned long long>(Total(c.tobrinCalls, false)),
        static_cast<unsigned long long>(Total(c.baselineCalls, false)),
        static_cast<unsigned long long>(Total(c.tobrinCalls, true)),
        static_cast<unsigned long long>(Total(c.baselineCalls, true)));
  std::printf(
      "(spread = interquartile range / median; cpu = the same ratio of process CPU time; "
      "diff = pixels where a baseline frame differs from a program frame of the same "
      "moment;\n "
      "allocs/f = our code's heap allocations per "
      "steady-state frame;\n driver/f = the GL driver's and the swap's meanwhile; GL calls "
      "and redundant ones: tobrin/baseline, one frame)\n");
}

static void PrintStartup(const Report& r) {
  if (!r.startup.empty()) {
    std::printf("\nStart-up, process start to first presented frame (%s):\n",
                r.startupCommand.c_str());
    std::vector<double> frames;
    for (size_t i = 0; i < r.startup.size(); ++i) {
      std::printf("  run %zu: window %.1f ms, first frame %.1f ms\n", i + 1, r.startup[i].windowMs,
                  r.startup[i].firstFrameMs);
      frames.push_back(r.startup[i].firstFrameMs);
    }
    std::printf("  median first frame: %.1f ms\n", Quantile(frames, 0.5));
  }
  if (!r.inProcessStartup.empty()) {
    std::printf("\nIn-process start-up phases (same code, inside the bench):\n");
    for (const auto& phase : r.inProcessStartup)
      std::printf("  %-28s %8.1f ms\n", phase.name.c_str(), phase.ms);
  }
}

std::string JsonText(const Report& r) {
  std::ostringstream out;
  out << "{\n  \"renderer\": " << Quoted(r.renderer)
      << ",\n  \"smoke\": " << (r.smoke ? "true" : "false")
      << ",\n  \"warmup_frames\": " << r.warmupFrames << ",\n  \"rounds\": " << r.rounds
      << ",\n  \"frames_per_block\": " << r.framesPerBlock << ",\n  \"cases\": [";
  for (size_t i = 0; i < r.cases.size(); ++i) {
    const CaseResult& c = r.cases[i];
    out << (i ? "," : "") << "\n    {\"technique\": " << Quoted(c.technique)
        << ", \"number_objects\": " << c.objects << ",\n     \"tobrin\": " << SummaryJson(c.tobrin)
        << ",\n     \"baseline\": " << SummaryJson(c.baseline)
        << ",\n     \"ratio\": " << Number(c.ratio)
        << ", \"paired_ratio\": " << Number(c.pairedRatio)
        << ",\n     \"tobrin_cpu\": " << SummaryJson(c.tobrinCpu)
        << ",\n     \"baseline_cpu\": " << SummaryJson(c.baselineCpu)
        << ",\n     \"cpu_ratio\": " << Number(c.cpuRatio)
        << ",\n     \"picture_difference\": " << Number(c.pictureDifference)
        << ",\n     \"allocs_per_frame\": " << Number(c.allocsPerFrame)
        << ", \"max_allocs_in_a_frame\": " << c.maxAllocsInFrame
        << ", \"baseline_allocs_per_frame\": " << Number(c.baselineAllocsPerFrame)
        << ",\n     \"driver_allocs_per_frame\": " << Number(c.driverAllocsPerFrame)
        << ", \"baseline_driver_allocs_per_frame\": " << Number(c.baselineDriverAllocsPerFrame)
        << ",\n     \"gl_calls_per_frame\": " << CallsJson(c.tobrinCalls)
        << ",\n     \"baseline_gl_calls_per_frame\": " << CallsJson(c.baselineCalls) << "}";
  }
  out << "\n  ],\n  \"startup\": {\"command\": " << Quoted(r.startupCommand) << ", \"runs\": [";
  std::vector<double> frames;
  for (size_t i = 0; i < r.startup.size(); ++i) {
    out << (i ? ", " : "") << "{\"window_ms\": " << Number(r.startup[i].windowMs)
        << ", \"first_frame_ms\": " << Number(r.startup[i].firstFrameMs)
        << ", \"exit_status\": " << r.startup[i].exitStatus << "}";
    frames.push_back(r.startup[i].firstFrameMs);
  }
  out << "], \"median_first_frame_ms\": " << Number(Quantile(frames, 0.5)) << "},\n";
  out << "  \"in_process_startup_ms\": {";
  for (size_t i = 0; i < r.inProcessStartup.size(); ++i)
    out << (i ? ", " : "") << Quoted(r.inProcessStartup[i].name) << ": "
        << Number(r.inProcessStartup[i].ms);
  out << "}\n}\n";
  return out.str();
}

bool WriteJson(const Report& report, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file << JsonText(report);
  return static_cast<bool>(file);
}

}  // namespace bench
