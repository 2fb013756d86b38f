// The two window-system entries whose contract differs from the platform's call; everything else
// in the seam is the platform's own function, reached through its ANSI macro.
#include "app/window_system.hpp"

HICON LoadIcon(HINSTANCE instance, int resourceId) {
  return LoadIconA(instance, MAKEINTRESOURCEA(resourceId));
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    void* param) {
  RECT frame{0, 0, width, height};
  // On failure the sizes stay the client's, which only makes the client area smaller.
  AdjustWindowRect(&frame, style, menu != nullptr);
  return CreateWindowExA(exStyle, className, title, style, x, y, frame.right - frame.left,
                         frame.bottom - frame.top, parent, menu, instance, param);
}
