// Runs the real program from a private copy of data/ on the test's X display and hands the test
// its window. Screenshots of failures are kept under build/tests/e2e-shots/.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/xdriver/x11_driver.hpp"

namespace e2e {

inline const std::string kTitle = "Završni rad - Morvita - Dervan";

class ProgramTest : public ::testing::Test {
 public:
  static void Pause(double seconds) { usleep(static_cast<useconds_t>(seconds * 1e6)); }

 protected:
  void SetUp() override {
    ASSERT_TRUE(xdrv::Connect()) << "the end-to-end tests need an X display (run under Xvfb)";
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    name_ = std::string(info->test_suite_name()) + "." + info->name();
    dir_ = std::filesystem::temp_directory_path() /
           ("tobrin_e2e_" + std::to_string(::getpid()) + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::copy(TOBRIN_SOURCE_DIR "/data", dir_,
                          std::filesystem::copy_options::recursive);
  }

  void TearDown() override {
    xdrv::Kill(process_);
    if (!HasFailure()) std::filesystem::remove_all(dir_);
  }

  // Starts the program and waits for its window; fails the test if none appears.
  unsigned long Launch() {
    process_ = xdrv::Start(TOBRIN_EXE, dir_.string(), (dir_ / "program.log").string());
    window_ = xdrv::WaitForWindow(kTitle, 30);
    EXPECT_NE(window_, 0u) << "no window titled " << kTitle << "; log:\n" << Log();
    if (window_) xdrv::Focus(window_);
    return window_;
  }

  // Captures the client area and keeps it as e2e-shots/<test>.<label>.png.
  xdrv::Image Shot(const std::string& label) {
    xdrv::Image image;
    EXPECT_TRUE(xdrv::Capture(window_, &image));
    const auto out = std::filesystem::path("e2e-shots");
    std::filesystem::create_directories(out);
    xdrv::SavePng(image, (out / (name_ + "." + label + ".png")).string());
    return image;
  }

  int WaitExit(double seconds = 20) { return xdrv::Wait(process_, seconds); }

  std::string Log() const { return Read(dir_ / "program.log"); }

  static std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string name_;
  std::filesystem::path dir_;
  xdrv::Process process_;
  unsigned long window_ = 0;
};

// Where the projection (45° vertical, 4/3, viewer at the origin looking along +z) puts a point.
struct ScreenPoint {
  int x, y;
};
inline ScreenPoint Project(double x, double y, double z) {
  const double yScale = 1.0 / std::tan(3.14159265358979 / 8.0), xScale = yScale / (4.0 / 3.0);
  return {static_cast<int>((x * xScale / z + 1.0) * 0.5 * 1024.0),
          static_cast<int>((1.0 - y * yScale / z) * 0.5 * 768.0)};
}

// Pixels of the box around (x, y) with half-size r that are not black.
inline int CountLit(const xdrv::Image& image, ScreenPoint at, int r) {
  return xdrv::CountLit(image, at.x - r, at.y - r, at.x + r + 1, at.y + r + 1);
}

// Pixels of the box that are lit in one image and black in the other: a change of shape, not of
// colour.
inline int CoverageDifference(const xdrv::Image& a, const xdrv::Image& b, ScreenPoint at, int r) {
  int changed = 0;
  for (int y = std::max(0, at.y - r); y <= std::min(a.height - 1, at.y + r); ++y)
    for (int x = std::max(0, at.x - r); x <= std::min(a.width - 1, at.x + r); ++x)
      changed += (a.At(x, y) != 0) != (b.At(x, y) != 0);
  return changed;
}

}  // namespace e2e
