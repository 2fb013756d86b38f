// The window system on SDL2: one window, its events translated into the window messages the
// window procedure expects, a quit request, and the modal message box.
// LIMITATIONS: one window and one class at a time; keys without a virtual-key equivalent are not
// delivered; icons, cursors and brushes are the platform's defaults.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "app/window_system.hpp"

namespace {

// A fixed ring, so the loop's polling never allocates. Overflow drops the newest event, as a full
// platform queue would.
constexpr int kQueueCapacity = 1024;

struct Platform {
  bool videoStarted;
  WNDPROC proc;
  char className[64];
  SDL_Window* window;
  MSG queue[kQueueCapacity];
  int head, count;
};
Platform platform;

// The program's text is Windows-1250, as the original platform's ANSI calls take it; SDL takes
// UTF-8. Bytes 0x80-0xFF map through the code page (the five it leaves undefined become U+FFFD).
constexpr uint16_t kWindows1250High[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

std::string Utf8FromWindows1250(const char* text) {
  std::string out;
  for (const char* p = text ? text : ""; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const uint16_t u = kWindows1250High[c - 0x80];
    if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
  return out;
}

HWND AsHandle(SDL_Window* window) { return reinterpret_cast<HWND>(window); }

// SDL's X11 driver opens the display more than once while it starts, and an X server under a
// burst of connections now and then refuses one; SDL then falls back to a driver that draws
// nowhere. So a named display is tried again for about a second before it counts as unreachable.
constexpr std::chrono::milliseconds kDisplayPatience{1000};

bool Named(const char* variable) {
  const char* value = SDL_getenv(variable);
  return value && *value;
}

bool StartVideo() {
  // Without a display SDL offers drivers that draw nowhere: the program would run unseen at full
  // speed for ever. They are for tests, which ask for them by name.
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  const bool displayNamed = Named("DISPLAY") || Named("WAYLAND_DISPLAY");
  const auto start = std::chrono::steady_clock::now();
  std::chrono::milliseconds pause{10};
  for (;;) {
    std::string why;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      why = SDL_GetError();
    } else {
      const char* driver = SDL_GetCurrentVideoDriver();
      const bool invisible =
          driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
      if (!invisible || (asked && std::strcmp(asked, driver) == 0)) return true;
      why = std::string(
                "DISPLAY and WAYLAND_DISPLAY name none that can be opened; SDL offers "
                "only its invisible \"") +
            driver + "\" driver";
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    if (!displayNamed || std::chrono::steady_clock::now() - start >= kDisplayPatience) {
      std::fprintf(stderr, "Cannot start the window system: no display (%s)\n", why.c_str());
      return false;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds{200});
  }
}

void Enqueue(UINT message, WPARAM wParam, LPARAM lParam) {
  if (platform.count == kQueueCapacity) return;
  MSG& slot = platform.queue[(platform.head + platform.count) % kQueueCapacity];
  slot = MSG{AsHandle(platform.window), message, wParam, lParam, SDL_GetTicks()};
  ++platform.count;
}

WPARAM VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + (key - SDLK_F1);
  switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return 0x10;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return 0x11;
    case SDLK_LALT:
    case SDLK_RALT: return 0x12;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    default: return 0;
  }
}

// Positions are packed as 16-bit fields, as the window procedure unpacks them; a position left of
// or above the client area wraps the way the original packing does.
LPARAM Position(int x, int y) {
  return MakeMouseLParam(static_cast<uint16_t>(x), static_cast<uint16_t>(y));
}

void Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: Enqueue(WM_CLOSE, 0, 0); break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) Enqueue(WM_CLOSE, 0, 0);
      if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
        Enqueue(WM_SIZE, 0, Position(event.window.data1, event.window.data2));
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (WPARAM vk = VirtualKey(event.key.keysym.sym))
        Enqueue(event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, vk, event.key.repeat ? 1 : 0);
      break;
    case SDL_MOUSEMOTION: Enqueue(WM_MOUSEMOVE, 0, Position(event.motion.x, event.motion.y)); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool down = event.type == SDL_MOUSEBUTTONDOWN;
      const LPARAM at = Position(event.button.x, event.button.y);
      // The class has no double-click style: a double click is two press/release pairs.
      if (event.button.button == SDL_BUTTON_LEFT)
        Enqueue(down ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, at);
      if (event.button.button == SDL_BUTTON_RIGHT)
        Enqueue(down ? WM_RBUTTONDOWN : WM_RBUTTONUP, 0, at);
      break;
    }
    default: break;
  }
}

}  // namespace

HINSTANCE GetModuleHandle(const char*) {
  static int instance;
  return reinterpret_cast<HINSTANCE>(&instance);
}

HICON LoadIcon(HINSTANCE, int) { return nullptr; }      // no icon resources: the default icon shows
HCURSOR LoadCursor(HINSTANCE, int) { return nullptr; }  // SDL's arrow is the default
HBRUSH GetStockObject(int) { return nullptr; }

ATOM RegisterClassEx(const WNDCLASSEX* windowClass) {
  if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName) return 0;
  if (std::strlen(windowClass->lpszClassName) >= sizeof(platform.className)) return 0;
  if (!platform.videoStarted) {
    // The program never captures the mouse: a button released outside the window is not seen.
    SDL_SetHintWithPriority(SDL_HINT_MOUSE_AUTO_CAPTURE, "0", SDL_HINT_OVERRIDE);
    if (!StartVideo()) return 0;
    platform.videoStarted = true;
  }
  platform.proc = windowClass->lpfnWndProc;
  std::strcpy(platform.className, windowClass->lpszClassName);
  return 1;
}

bool UnregisterClass(const char* className, HINSTANCE) {
  if (!className || std::strcmp(className, platform.className) != 0) return false;
  platform.className[0] = '\0';
  platform.proc = nullptr;
  return true;
}

HWND CreateWindowEx(uint32_t, const char* className, const char* title, uint32_t style, int x,
                    int y, int width, int height, HWND, void*, HINSTANCE, void*) {
  if (!className || !platform.proc || std::strcmp(className, platform.className) != 0)
    return nullptr;
  // The GL visual is chosen when the window is made, so the context's needs are stated here.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
  if (!(style & WS_VISIBLE)) flags |= SDL_WINDOW_HIDDEN;
  const std::string utf8Title = Utf8FromWindows1250(title);
  platform.window = SDL_CreateWindow(utf8Title.c_str(), x, y, width, height, flags);
  if (!platform.window) {
    const std::string why = SDL_GetError();
    // SDL's words ("Couldn't find matching GLX visual") do not say what the user lacks. A plain
    // window that can be made shows that the display lacks OpenGL, not windows.
    SDL_Window* plain = SDL_CreateWindow(utf8Title.c_str(), x, y, 1, 1, SDL_WINDOW_HIDDEN);
    if (plain) {
      SDL_DestroyWindow(plain);
      std::fprintf(stderr,
                   "Cannot create the window: the display offers no OpenGL 3.3 core visual "
                   "(SDL: %s)\n",
                   why.c_str());
    } else {
      std::fprintf(stderr, "Cannot create the window: %s\n", why.c_str());
    }
    return nullptr;
  }
  return AsHandle(platform.window);
}

bool ShowWindow(HWND window, int) {
  if (!window) return false;
  SDL_ShowWindow(reinterpret_cast<SDL_Window*>(window));
  return true;
}

bool UpdateWindow(HWND window) { return window != nullptr; }

bool PeekMessage(MSG* message, HWND, UINT, UINT, UINT removeFlags) {
  if (platform.count == 0) {
    SDL_Event event;
    while (platform.count < kQueueCapacity && SDL_PollEvent(&event)) Translate(event);
  }
  if (platform.count == 0) return false;
  *message = platform.queue[platform.head];
  if (removeFlags & PM_REMOVE) {
    platform.head = (platform.head + 1) % kQueueCapacity;
    --platform.count;
  }
  return true;
}

bool TranslateMessage(const MSG*) { return false; }  // no character messages are needed

LRESULT DispatchMessage(const MSG* message) {
  // The quit message belongs to the loop, not to a window.
  if (!message || message->message == WM_QUIT || !platform.proc) return 0;
  return platform.proc(message->hwnd, message->message, message->wParam, message->lParam);
}

void PostQuitMessage(int exitCode) { Enqueue(WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

int MessageBox(HWND owner, const char* text, const char* caption, UINT) {
  SDL_Window* parent = reinterpret_cast<SDL_Window*>(owner);
  const std::string utf8Text = Utf8FromWindows1250(text);
  const std::string utf8Caption = Utf8FromWindows1250(caption);
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, utf8Caption.c_str(), utf8Text.c_str(),
                               parent) != 0) {
    // Without a way to show the box the user still needs the text.
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
  }
  return 1;
}
