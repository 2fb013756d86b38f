#include "tests/fakes/fake_window_system.hpp"

#include <deque>

namespace wsfake {
namespace {

struct State {
  std::deque<MSG> queue;
  std::vector<Event> log;
  bool failRegister = false;
  bool failCreate = false;
  std::function<void(int)> peekHook;
  int turn = 0;
  WNDPROC proc = nullptr;
  std::string className;
  HWND window = nullptr;
};

State& S() {
  static State state;
  return state;
}

// Distinct non-null handles that are never dereferenced.
int windowToken;
int instanceToken;

void Record(Event event) { S().log.push_back(std::move(event)); }

Event Named(const char* op) {
  Event e;
  e.op = op;
  return e;
}

}  // namespace

void Reset() { S() = State{}; }

void Post(UINT message, WPARAM wParam, LPARAM lParam) {
  S().queue.push_back(MSG{S().window, message, wParam, lParam, 0});
}

const std::vector<Event>& Log() { return S().log; }

std::vector<Event> EventsOf(const std::string& op) {
  std::vector<Event> out;
  for (const Event& e : S().log)
    if (e.op == op) out.push_back(e);
  return out;
}

void FailRegisterClass(bool fail) { S().failRegister = fail; }
void FailCreateWindow(bool fail) { S().failCreate = fail; }
void SetPeekHook(std::function<void(int)> hook) { S().peekHook = std::move(hook); }
WNDPROC RegisteredProc() { return S().proc; }
HWND MainWindow() { return S().window; }

}  // namespace wsfake

using wsfake::Event;
using wsfake::Named;

HINSTANCE GetModuleHandle(const char*) {
  return reinterpret_cast<HINSTANCE>(&wsfake::instanceToken);
}
HICON LoadIcon(HINSTANCE, int) { return nullptr; }
HCURSOR LoadCursor(HINSTANCE, int) { return nullptr; }
HBRUSH GetStockObject(int) { return nullptr; }

ATOM RegisterClassEx(const WNDCLASSEX* windowClass) {
  auto& s = wsfake::S();
  Event e = Named("RegisterClassEx");
  e.text = windowClass->lpszClassName ? windowClass->lpszClassName : "";
  e.type = windowClass->style;
  s.log.push_back(e);
  if (s.failRegister) return 0;
  s.proc = windowClass->lpfnWndProc;
  s.className = e.text;
  return 1;
}

bool UnregisterClass(const char* className, HINSTANCE) {
  Event e = Named("UnregisterClass");
  e.text = className ? className : "";
  wsfake::Record(e);
  return true;
}

HWND CreateWindowEx(uint32_t, const char* className, const char* title, uint32_t style, int, int,
                    int width, int height, HWND, void*, HINSTANCE, void*) {
  auto& s = wsfake::S();
  Event e = Named("CreateWindowEx");
  e.text = title ? title : "";
  e.type = style;
  e.wParam = static_cast<WPARAM>(width);
  e.lParam = height;
  e.caption = className ? className : "";
  s.log.push_back(e);
  if (s.failCreate || e.caption != s.className) return nullptr;
  s.window = reinterpret_cast<HWND>(&wsfake::windowToken);
  return s.window;
}

bool ShowWindow(HWND, int) {
  wsfake::Record(Named("ShowWindow"));
  return true;
}

bool UpdateWindow(HWND) {
  wsfake::Record(Named("UpdateWindow"));
  return true;
}

bool PeekMessage(MSG* message, HWND, UINT, UINT, UINT) {
  auto& s = wsfake::S();
  if (s.peekHook) s.peekHook(s.turn);
  ++s.turn;
  Event e = Named("Peek");
  if (!s.queue.empty()) {
    *message = s.queue.front();
    s.queue.pop_front();
    e.removed = true;
    e.message = message->message;
    e.wParam = message->wParam;
    e.lParam = message->lParam;
  }
  s.log.push_back(e);
  return e.removed;
}

bool TranslateMessage(const MSG* message) {
  Event e = Named("Translate");
  e.message = message->message;
  wsfake::Record(e);
  return false;
}

LRESULT DispatchMessage(const MSG* message) {
  Event e = Named("Dispatch");
  e.message = message->message;
  e.wParam = message->wParam;
  e.lParam = message->lParam;
  wsfake::Record(e);
  // WM_QUIT is never delivered to a window procedure.
  if (message->message == WM_QUIT || !wsfake::S().proc) return 0;
  return wsfake::S().proc(message->hwnd, message->message, message->wParam, message->lParam);
}

void PostQuitMessage(int exitCode) {
  Event e = Named("PostQuitMessage");
  e.wParam = static_cast<WPARAM>(exitCode);
  wsfake::Record(e);
  wsfake::Post(WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

LRESULT DefWindowProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  Event e = Named("DefWindowProc");
  e.message = message;
  e.wParam = wParam;
  e.lParam = lParam;
  wsfake::Record(e);
  return 0;
}

int MessageBox(HWND, const char* text, const char* caption, UINT type) {
  Event e = Named("MessageBox");
  e.text = text ? text : "";
  e.caption = caption ? caption : "";
  e.type = type;
  wsfake::Record(e);
  return 1;
}
