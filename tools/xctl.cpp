// A tiny X11 remote for the program's window, used by `make run` on a machine without a display:
//   tobrin_xctl wait TITLE SECONDS | shot TITLE FILE.png | close TITLE
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/xdriver/x11_driver.hpp"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s wait TITLE SECONDS | shot TITLE FILE.png | close TITLE\n",
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
  if (command == "shot" && argc == 4) {
    xdrv::Image image;
    return xdrv::Capture(window, &image) && xdrv::SavePng(image, argv[3]) ? 0 : 1;
  }
  if (command == "close") return xdrv::RequestClose(window) ? 0 : 1;
  std::fprintf(stderr, "unknown command %s\n", command.c_str());
  return 2;
}
