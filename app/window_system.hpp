// Window-system seam: the window, its message queue and the one modal message box.
// Speaks the message vocabulary the window procedure is written against (WM_* numbers, VK_* codes,
// lParam packed with x in the low 16 bits and y in the high 16 bits). On Windows these are the
// platform's own names (platform/win32/); elsewhere they are declared here and implemented on SDL2
// in window_system_sdl.cpp and by a scripted fake for unit tests (tests/fakes/).
// Text is single-byte Windows-1250, as the platform's ANSI functions take it.
#pragma once
#ifdef _WIN32
#include "platform/win32/window_system_win32.hpp"
#else
#include <cstdint>

struct WindowObject;
struct InstanceObject;
struct IconObject;
struct CursorObject;
struct BrushObject;
using HWND = WindowObject*;
using HINSTANCE = InstanceObject*;
using HICON = IconObject*;
using HCURSOR = CursorObject*;
using HBRUSH = BrushObject*;
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

constexpr int32_t E_FAIL_CODE = static_cast<int32_t>(0x80004005u);

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_SIZE = 0x0005;

constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 27;
constexpr WPARAM VK_SPACE = 32;
constexpr WPARAM VK_LEFT = 37;
constexpr WPARAM VK_UP = 38;
constexpr WPARAM VK_RIGHT = 39;
constexpr WPARAM VK_DOWN = 40;

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr int IDC_ARROW = 32512;
constexpr int BLACK_BRUSH = 4;
constexpr int SW_SHOWDEFAULT = 10;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_ICONWARNING = 0x0030;

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  uint32_t time;
};

struct WNDCLASSEX {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  const char* lpszMenuName;
  const char* lpszClassName;
  HICON hIconSm;
};

// Mouse messages carry the client-area position packed the way the window procedure unpacks it.
constexpr LPARAM MakeMouseLParam(uint16_t x, uint16_t y) {
  return static_cast<LPARAM>(static_cast<uint32_t>(x) | (static_cast<uint32_t>(y) << 16));
}

HINSTANCE GetModuleHandle(const char* moduleName);
HICON LoadIcon(HINSTANCE instance, int resourceId);
HCURSOR LoadCursor(HINSTANCE instance, int cursorId);
HBRUSH GetStockObject(int objectId);
// 0 on failure; afterwards every message of a window of the class reaches lpfnWndProc.
ATOM RegisterClassEx(const WNDCLASSEX* windowClass);
bool UnregisterClass(const char* className, HINSTANCE instance);
// Width and height are the client area; the window manager adds its own frame around it.
HWND CreateWindowEx(uint32_t exStyle, const char* className, const char* title, uint32_t style,
                    int x, int y, int width, int height, HWND parent, void* menu,
                    HINSTANCE instance, void* param);
bool ShowWindow(HWND window, int showCommand);
bool UpdateWindow(HWND window);
// Never blocks; true when a message was removed into *message.
bool PeekMessage(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
bool TranslateMessage(const MSG* message);
LRESULT DispatchMessage(const MSG* message);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Modal: returns when the user dismisses the box.
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);

#endif  // _WIN32
