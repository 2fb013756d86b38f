// Start-up time of the real program: from just before the process is created to the moment its
// first presented frame is on the X display, seen from outside by reading the window's pixels.
// Limits: the resolution is the polling interval plus one small image read (about 1 ms); the
// program runs on the current DISPLAY, in a private copy of the data directory.
#pragma once
#include <string>
#include <vector>

#include "render/gfx/gfx.hpp"

namespace bench {

struct StartupPhase;  // report.hpp

struct StartupRun {
  double windowMs = -1;      // process start to the window being mapped
  double firstFrameMs = -1;  // process start to the first presented frame
  int exitStatus = -1;       // after the close request
};

// Runs exe `runs` times from a copy of dataDir; false (with the reason) when a run shows no frame.
bool MeasureStartup(const std::string& exe, const std::string& dataDir, int runs,
                    std::vector<StartupRun>* out, std::string* error);

// Texture loads at start-up: a 2048 x 2048 JPEG, TGA and DXT5 DDS (with its mip chain), made in a
// temporary directory; for each, the file read alone, read + decode, and the whole
// CreateTextureFromFile on `device` (read, decode, upload, mip chain) as three phases.
bool MeasureTextureLoads(gfx::Device* device, std::vector<StartupPhase>* phases,
                         std::string* error);

}  // namespace bench
