// Start-up measurement by pixels. Before the first Present the client area shows whatever the X
// server had there (the window has no background of its own): black, or the root window's
// black-and-white weave. The first frame puts the overlay's grey, anti-aliased text in the top
// left corner, so the first read of that corner showing several grey levels between black and
// white is the first presented frame.
#include "bench/startup.hpp"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tools/xdriver/x11_driver.hpp"

namespace bench {
namespace {

const std::string kTitle = "Završni rad - Morvita - Dervan";
constexpr double kTimeoutSeconds = 30;
constexpr auto kPollInterval = std::chrono::microseconds(500);
// The first line of the overlay ("FPS: 0") starts at (6, 6) in a 15-pixel cell.
constexpr int kProbeWidth = 48, kProbeHeight = 22;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// True when the corner holds at least a few grey (r = g = b), neither black nor white, pixels.
bool CornerShowsText(Display* display, Window window) {
  XImage* image = XGetImage(display, window, 0, 0, kProbeWidth, kProbeHeight, AllPlanes, ZPixmap);
  if (!image) return false;
  int grey = 0;
  for (int y = 0; y < kProbeHeight; ++y)
    for (int x = 0; x < kProbeWidth; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      const unsigned long r = (pixel & image->red_mask) >> 16, g = (pixel & image->green_mask) >> 8,
                          b = pixel & image->blue_mask;
      if (r == g && g == b && r > 0x20 && r < 0xF0) ++grey;
    }
  XDestroyImage(image);
  return grey >= 6;
}

bool MeasureOnce(Display* display, const std::string& exe, const std::string& dir, StartupRun* run,
                 std::string* error) {
  const Clock::time_point start = Clock::now();
  xdrv::Process process = xdrv::Start(exe, dir, dir + "/program.log");
  if (process.pid < 0) {
    *error = "could not start " + exe;
    return false;
  }
  Window window = 0;
  while (MillisecondsSince(start) < kTimeoutSeconds * 1000) {
    if (!window) {
      window = xdrv::FindWindow(kTitle);
      if (window) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window, &attributes) ||
            attributes.map_state != IsViewable)
          window = 0;
        else
          run->windowMs = MillisecondsSince(start);
      }
    }
    if (window && CornerShowsText(display, window)) {
      run->firstFrameMs = MillisecondsSince(start);
      break;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  if (window) xdrv::RequestClose(window);
  run->exitStatus = xdrv::Wait(process, 10);
  if (run->exitStatus < 0) xdrv::Kill(process);
  if (run->firstFrameMs < 0) {
    *error = "no frame from " + exe + " within " + std::to_string(int(kTimeoutSeconds)) +
             " s (see " + dir + "/program.log)";
    return false;
  }
  return true;
}

}  // namespace

bool MeasureStartup(const std::string& exe, const std::string& dataDir, int runs,
                    std::vector<StartupRun>* out, std::string* error) {
  if (!xdrv::Connect()) {
    *error = "no X display (run under scripts/with-xvfb.sh)";
    return false;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    *error = "cannot open the X display";
    return false;
  }
  XSetErrorHandler(IgnoreXErrors);  // the window may go away between two reads
  const auto dir =
      std::filesystem::temp_directory_path() / ("tobrin_bench_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::copy(dataDir, dir, std::filesystem::copy_options::recursive);
  bool ok = true;
  for (int i = 0; i < runs && ok; ++i) {
    StartupRun run;
    ok = MeasureOnce(display, exe, dir.string(), &run, error);
    out->push_back(run);
    // The next run must not find this run's window.
    xdrv::WaitForWindowGone(kTitle, 5);
  }
  XCloseDisplay(display);
  if (ok) std::filesystem::remove_all(dir);
  return ok;
}

}  // namespace bench
