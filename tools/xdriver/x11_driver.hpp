// Drives the real program from outside, the way a user would: finds its window by title on the
// current X display, reads its pixels, sends keys, mouse motion and the window manager's close
// request through XTest. Also starts and reaps the program. Used by the end-to-end tests and by
// tools/xctl (the screenshot step of `make run`).
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace xdrv {

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3, rows top to bottom
  // Pixel (x, y) as 0xRRGGBB.
  uint32_t At(int x, int y) const;
};

// Opens the display named by DISPLAY once; false when there is none.
bool Connect();
// The top-level window whose title is exactly title, or 0.
unsigned long FindWindow(const std::string& title);
// Polls until the window exists and is mapped; 0 on timeout.
unsigned long WaitForWindow(const std::string& title, double seconds);
bool WaitForWindowGone(const std::string& title, double seconds);
bool ClientSize(unsigned long window, int* width, int* height);
bool Capture(unsigned long window, Image* image);
// Pixels of the rectangle [x0, x1) x [y0, y1), clipped to the image, that are not black.
int CountLit(const Image& image, int x0, int y0, int x1, int y1);
bool SavePng(const Image& image, const std::string& path);
// The window manager's close request (WM_DELETE_WINDOW).
bool RequestClose(unsigned long window);
void Focus(unsigned long window);
// keysym name as X spells it: "Escape", "space", "Left", "Right", "Return".
bool PressKey(const std::string& keysym, bool down);
void TapKey(const std::string& keysym);
// Moves the pointer to (x, y) in the window's client area.
bool MovePointer(unsigned long window, int x, int y);
// button 1 = left, 3 = right.
void Button(int button, bool down);
void Sync();

struct Process {
  pid_t pid = -1;
};
// Starts exe in directory dir with stdout/stderr sent to logPath (if not empty).
Process Start(const std::string& exe, const std::string& dir, const std::string& logPath = "");
// Waits for the exit; returns the exit status (0-255), 128+signal, or -1 on timeout.
int Wait(Process& process, double seconds);
void Kill(Process& process);

}  // namespace xdrv
