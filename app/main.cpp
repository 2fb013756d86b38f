// The entry function: the window, the start-up guard, the message loop that renders whenever no
// message waits, and shutdown. The loop never waits; it renders back to back.
#include "app/main.hpp"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "app/app_state.hpp"
#include "app/window_proc.hpp"
#include "render/device.hpp"
#include "render/scene.hpp"
#include "settings/settings.hpp"

namespace {
constexpr const char* kClassName = "MY_WINDOWS_CLASS";
// Single-byte Windows-1250, as the platform's ANSI functions take it: \x9A is š.
constexpr const char* kTitle =
    "Zavr\x9A"
    "ni rad - Morvita - Dervan";
constexpr int kIconResource = 107;

// The log holds one line: bytes of a user's file inside the reason (a CR LF, escape sequences)
// must not start a second "Iznimka:" line or drive the terminal, so they are written as \xNN.
std::string Printable(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x20 && c != 0x7f) {
      out += *p;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}
}  // namespace

int AppMain(HINSTANCE instance, int showCommand) {
  WNDCLASSEX windowClass{};
  windowClass.cbSize = sizeof(WNDCLASSEX);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIcon(instance, kIconResource);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  windowClass.hIconSm = LoadIcon(instance, kIconResource);
  if (!RegisterClassEx(&windowClass)) return E_FAIL_CODE;

  AppState.window = CreateWindowEx(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   1024, 768, nullptr, nullptr, instance, nullptr);
  if (!AppState.window) return E_FAIL_CODE;
  ShowWindow(AppState.window, showCommand);
  UpdateWindow(AppState.window);

  try {
    LoadSettings();
    InitDevice();
    LoadResources();
  } catch (const std::exception& e) {
    const std::string what = Printable(e.what());
    {
      std::ofstream log("ERR_LOG.txt");
      log << "Iznimka: " << what;
      log.close();
      if (!log)
        std::fprintf(stderr,
                     "Cannot write ERR_LOG.txt in the working directory; the reason is "
                     "only here.\n");
    }
    // Started from a terminal, the user sees the reason at once.
    std::fprintf(stderr, "Iznimka: %s\n", what.c_str());
    ReleaseResources();
    return -1;
  }

  MSG message{};
  while (message.message != WM_QUIT) {
    if (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessage(&message);
    } else {
      RenderFrame();
    }
  }

  ReleaseResources();
  UnregisterClass(kClassName, instance);
  return static_cast<int>(message.wParam);
}
