// The window system on SDL2: one window, its events translated into the window messages the
// window procedure expects, a quit request, and the modal message box.
// LIMITATIONS: one window and one class at a time; keys without a virtual-key equivalent are not
// delivered; icons, cursors and brushes are the platform's defaults.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

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

HWND AsHandle(SDL_Window* window) { return reinterpret_cast<HWND>(window); }

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
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      std::fprintf(stderr, "Cannot start the window system: no display (%s)\n", SDL_GetError());
      return 0;
    }
    // Without a display SDL falls back to drivers that draw nowhere: the program would run
    // unseen at full speed for ever. They are for tests, which ask for them by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
        !(asked && std::strcmp(asked, driver) == 0)) {
      SDL_Quit();
      std::fprintf(stderr,
                   "Cannot start the window system: no display (DISPLAY and WAYLAND_DISPLAY name "
                   "none that can be opened; SDL offers only its invisible \"%s\" driver)\n",
                   driver);
      return 0;
    }
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
  platform.window = SDL_CreateWindow(title, x, y, width, height, flags);
  if (!platform.window) {
    const std::string why = SDL_GetError();
    // SDL's words ("Couldn't find matching GLX visual") do not say what the user lacks. A plain
    // window that can be made shows that the display lacks OpenGL, not windows.
    SDL_Window* plain = SDL_CreateWindow(title, x, y, 1, 1, SDL_WINDOW_HIDDEN);
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
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, parent) != 0) {
    // Without a way to show the box the user still needs the text.
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  }
  return 1;
}
