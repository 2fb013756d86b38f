// Start-up measurement by pixels. Before the first Present the client area shows whatever the X
// server had there (the window has no background of its own): black, or the root window's
// black-and-white weave. The first frame puts the overlay's grey, anti-aliased text in the top
// left corner, so the first read of that corner showing several grey levels between black and
// white is the first presented frame.
#include "bench/startup.hpp"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <epoxy/gl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "bench/report.hpp"
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "formats/file_names.hpp"
#include "formats/image_decode.hpp"
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

constexpr int kTextureSide = 2048;

// A picture with detail at every scale (so no coder has it easy): smooth gradients under a fine
// pseudo-random grain.
void PicturePixel(int x, int y, unsigned char* rgb) {
  const uint32_t grain = (uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u) >> 27;
  rgb[0] = static_cast<unsigned char>((x >> 3) + grain);
  rgb[1] = static_cast<unsigned char>((y >> 3) + grain);
  rgb[2] = static_cast<unsigned char>(((x + y) >> 4) + grain);
}

std::string JpegFile() {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = cinfo.image_height = kTextureSide;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(kTextureSide * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    for (int x = 0; x < kTextureSide; ++x)
      PicturePixel(x, static_cast<int>(cinfo.next_scanline), &row[x * 3]);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string bytes(reinterpret_cast<char*>(out), size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

// Uncompressed 24-bit, bottom-up: the common TGA as painting programs save it.
std::string TgaFile() {
  std::string out(18, '\0');
  out[2] = 2, out[16] = 24;
  out[12] = kTextureSide & 0xFF, out[13] = kTextureSide >> 8;
  out[14] = kTextureSide & 0xFF, out[15] = kTextureSide >> 8;
  out.reserve(18 + size_t{kTextureSide} * kTextureSide * 3);
  unsigned char rgb[3];
  for (int y = kTextureSide - 1; y >= 0; --y)
    for (int x = 0; x < kTextureSide; ++x) {
      PicturePixel(x, y, rgb);
      out += {char(rgb[2]), char(rgb[1]), char(rgb[0])};
    }
  return out;
}

// DXT5 with the whole mip chain, blocks of varied colours and alpha.
std::string DdsFile() {
  std::string out(128, '\0');
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&out[at], &v, 4); };
  std::memcpy(&out[0], "DDS ", 4);
  put32(4, 124), put32(8, 0x21007), put32(12, kTextureSide), put32(16, kTextureSide);
  put32(28, 12), put32(76, 32), put32(80, 4), put32(108, 0x401008);
  std::memcpy(&out[84], "DXT5", 4);
  uint32_t seed = 1;
  for (int side = kTextureSide; side >= 1; side /= 2)
    for (int i = 0; i < ((side + 3) / 4) * ((side + 3) / 4); ++i)
      for (int k = 0; k < 4; ++k) {
        seed = seed * 1664525u + 1013904223u;
        out.append(reinterpret_cast<const char*>(&seed), 4);
      }
  return out;
}

}  // namespace

bool MeasureTextureLoads(gfx::Device* device, std::vector<StartupPhase>* phases,
                         std::string* error) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("tobrin_bench_tex_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {{"jpeg", JpegFile()}, {"tga", TgaFile()}, {"dds", DdsFile()}};
  bool ok = true;
  for (const auto& f : files) {
    const std::string path = (dir / (std::string("texture.") + f.name)).string();
    std::ofstream(path, std::ios::binary) << f.bytes;
    const std::string label = std::string("texture 2048x2048 ") + f.name + ": ";
    std::string bytes, why;
    auto t = Clock::now();
    ok = ok && formats::ReadWholeFile(path.c_str(), size_t{256} << 20, &bytes, &why);
    phases->push_back({label + "read the file", MillisecondsSince(t)});
    formats::DecodedImage image;
    t = Clock::now();
    ok = ok && formats::DecodeImage(bytes, &image, &why);
    phases->push_back({label + "read + decode", phases->back().ms + MillisecondsSince(t)});
    gfx::Texture* texture = nullptr;
    t = Clock::now();
    ok = ok && gfx::CreateTextureFromFile(device, path.c_str(), &texture) == gfx::S_OK;
    glFinish();
    phases->push_back({label + "load (read, decode, upload)", MillisecondsSince(t)});
    if (texture) texture->Release();
    if (!ok) {
      *error = path + ": " + why;
      break;
    }
  }
  std::filesystem::remove_all(dir);
  return ok;
}

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
