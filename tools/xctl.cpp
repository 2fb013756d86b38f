// A tiny X11 remote for the program's window, used by `make run` on a machine without a display:
//   tobrin_xctl wait TITLE SECONDS | drawn TITLE SECONDS | shot TITLE FILE.png | scene TITLE |
//               close TITLE
// `drawn` waits until the overlay shows, that is until the first frame is presented.
// `scene` tells whether the window shows a drawn scene rather than only the background and the
// overlay, so that a run on a machine nobody looks at still says whether it drew.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tools/xdriver/x11_driver.hpp"

namespace {

// The overlay's text stays inside this top-left rectangle; the light marker sits at the centre of
// the window whatever the copy count, and the copies around it cover thousands of pixels.
constexpr int kOverlayRight = 500, kOverlayBottom = 200;
constexpr int kLitOutsideOverlay = 1000, kLitMarker = 5;

int LitInOverlay(const xdrv::Image& image) {
  return xdrv::CountLit(image, 0, 0, kOverlayRight, kOverlayBottom);
}

int JudgeScene(const xdrv::Image& image) {
  const int lit = xdrv::CountLit(image, 0, 0, image.width, image.height) - LitInOverlay(image);
  const int cx = image.width / 2, cy = image.height / 2;
  const int marker = xdrv::CountLit(image, cx - 3, cy - 3, cx + 4, cy + 4);
  if (lit >= kLitOutsideOverlay && marker >= kLitMarker) {
    std::printf(
        "The window shows the scene: %d lit pixels outside the overlay, the light marker "
        "at the centre.\n",
        lit);
    return 0;
  }
  std::printf(
      "The window shows no scene: %d lit pixels outside the overlay (%d expected at "
      "least), %d of the marker's 49 (%d expected at least).\n",
      lit, kLitOutsideOverlay, marker, kLitMarker);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: %s wait TITLE SECONDS | drawn TITLE SECONDS | shot TITLE FILE.png | "
                 "scene TITLE | close TITLE | key TITLE KEYSYM\n",
                 argv[0]);
    return 2;
  }
  const std::string command = argv[1], title = argv[2];
  if (!xdrv::Connect()) {
    std::fprintf(stderr, "no X display\n");
    return 1;
  }
  if (command == "wait" && argc == 4) return xdrv::WaitForWindow(title, std::atof(argv[3])) ? 0 : 1;
  const unsigned long window = xdrv::FindWindow(title);
  if (!window) {
    std::fprintf(stderr, "no window titled \"%s\"\n", title.c_str());
    return 1;
  }
  if (command == "drawn" && argc == 4) {
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[3]));
    xdrv::Image image;
    while (std::chrono::steady_clock::now() < end) {
      if (xdrv::Capture(window, &image) && LitInOverlay(image) > 0) return 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 1;
  }
  if (command == "shot" && argc == 4) {
    xdrv::Image image;
    return xdrv::Capture(window, &image) && xdrv::SavePng(image, argv[3]) ? 0 : 1;
  }
  if (command == "scene") {
    xdrv::Image image;
    if (!xdrv::Capture(window, &image)) return 1;
    return JudgeScene(image);
  }
  if (command == "close") return xdrv::RequestClose(window) ? 0 : 1;
  if (command == "key" && argc == 4) {
    xdrv::Focus(window);
    xdrv::TapKey(argv[3]);
    xdrv::Sync();
    return 0;
  }
  std::fprintf(stderr, "unknown command %s\n", command.c_str());
  return 2;
}
