// The window-system seam on Windows: the platform's own <windows.h> names, taken through its ANSI
// ("A") functions, plus the few entries whose contract differs from the raw call. Included only
// through app/window_system.hpp.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX  // the program's std::min/std::max must stay functions
#endif
#ifdef UNICODE
#error "The program's text is single-byte (Windows-1250); build without UNICODE."
#endif
#include <windows.h>

#include <cstdint>

// WinMain's failure result, spelt for the program's int return.
constexpr int32_t E_FAIL_CODE = static_cast<int32_t>(0x80004005u);

// Mouse messages carry the client-area position packed the way the window procedure unpacks it.
constexpr LPARAM MakeMouseLParam(uint16_t x, uint16_t y) {
  return static_cast<LPARAM>(static_cast<uint32_t>(x) | (static_cast<uint32_t>(y) << 16));
}

// The seam's icons are numbered resources; the platform's call takes them as names.
#undef LoadIcon
HICON LoadIcon(HINSTANCE instance, int resourceId);

// As on every system the program runs on, width and height are the client area: the frame the
// window manager adds is put around them (AdjustWindowRect), so the device gets 1024 x 768.
#undef CreateWindowEx
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    void* param);
