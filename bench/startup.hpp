// Start-up time of the real program: from just before the process is created to the moment its
// first presented frame is on the X display, seen from outside by reading the window's pixels.
// Limits: the resolution is the polling interval plus one small image read (about 1 ms); the
// program runs on the current DISPLAY, in a private copy of the data directory.
#pragma once
#include <string>
#include <vector>

namespace bench {

struct StartupRun {
  double windowMs = -1;      // process start to the window being mapped
  double firstFrameMs = -1;  // process start to the first presented frame
  int exitStatus = -1;       // after the close request
};

// Runs exe `runs` times from a copy of dataDir; false (with the reason) when a run shows no frame.
bool MeasureStartup(const std::string& exe, const std::string& dataDir, int runs,
                    std::vector<StartupRun>* out, std::string* error);

}  // namespace bench
