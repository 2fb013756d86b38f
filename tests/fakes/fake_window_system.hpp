// Scripted fake of the window-system seam (app/window_system.hpp): a message queue the test fills,
// a log of every call, settable failures, and a hook that runs before each PeekMessage so a test
// can inject messages at a given turn of the loop.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/window_system.hpp"

namespace wsfake {

struct Event {
  std::string op;  // "RegisterClassEx", "CreateWindowEx", "ShowWindow", "UpdateWindow", "Peek",
                   // "Translate", "Dispatch", "PostQuitMessage", "DefWindowProc", "MessageBox",
                   // "UnregisterClass"
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  bool removed = false;  // Peek: a message was removed
  std::string text;      // class name, window title, message-box text
  std::string caption;   // message-box caption
  UINT type = 0;         // message-box style, window style
};

void Reset();
void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
const std::vector<Event>& Log();
std::vector<Event> EventsOf(const std::string& op);
void FailRegisterClass(bool fail);
void FailCreateWindow(bool fail);
// Called with the 0-based turn number before each PeekMessage looks at the queue.
void SetPeekHook(std::function<void(int turn)> hook);
// The window procedure registered with RegisterClassEx (null before).
WNDPROC RegisteredProc();
HWND MainWindow();

}  // namespace wsfake
