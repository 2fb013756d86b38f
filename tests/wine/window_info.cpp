// Run under Wine beside the program: reports what only the Win32 side knows of a window of the
// given class (its title bytes as the ANSI functions hold them, its client size and style).
//   window_info.exe CLASS  ->  "title 5A 61 ... client 1024x768 style 0x10CF0000", status 0
// Status 1 when no top-level window of that class exists.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_info CLASS\n");
    return 2;
  }
  HWND window = FindWindowA(argv[1], nullptr);
  if (!window) return 1;
  char title[256] = {};
  const int length = GetWindowTextA(window, title, sizeof title);
  std::printf("title");
  for (int i = 0; i < length; ++i) std::printf(" %02X", static_cast<unsigned char>(title[i]));
  RECT client{};
  GetClientRect(window, &client);
  std::printf(" client %ldx%ld style 0x%08lX\n", client.right - client.left,
              client.bottom - client.top,
              static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
  return 0;
}
