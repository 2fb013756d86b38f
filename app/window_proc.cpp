// Window procedure: turns key, button and move messages into changes of SceneSettings and AppState
// and, for Space, a technique switch on the effect. It never draws: the next frame reads them.
// Limits: the mouse is not captured, so a release outside the window leaves its drag running.
#include "app/window_proc.hpp"

#include <cstdint>

#include "app/app_state.hpp"

namespace {

constexpr int32_t kMinObjects = 1;
constexpr int32_t kMaxObjects = 50;
constexpr float kLightPixelStep = 0.3f;  // world units per pixel of right drag

int32_t CursorX(LPARAM lParam) {
  return static_cast<int32_t>(static_cast<uintptr_t>(lParam) & 0xFFFFu);
}
int32_t CursorY(LPARAM lParam) {
  return static_cast<int32_t>((static_cast<uintptr_t>(lParam) >> 16) & 0xFFFFu);
}

// Signed 32-bit difference with the platform's wrap-around instead of undefined overflow; the
// tracking fields are public, so nothing guarantees they hold a cursor position.
float PixelDelta(int32_t now, int32_t last) {
  return static_cast<float>(static_cast<int32_t>(static_cast<int64_t>(now) - last));
}

// number_objects_step is only bounded by the settings reader, so the sum is taken in 64 bits and
// clamped before it is stored back.
void StepObjectCount(int64_t delta) {
  int64_t count = static_cast<int64_t>(SceneSettings.number_objects) + delta;
  if (count < kMinObjects) count = kMinObjects;
  if (count > kMaxObjects) count = kMaxObjects;
  SceneSettings.number_objects = static_cast<int32_t>(count);
}

void SwitchTechnique() {
  // With no effect (its file failed to build) there is nothing to switch, and toggling the flag
  // alone would make it name a technique that was never requested; Space does nothing then.
  if (!AppState.effect) return;
  AppState.colorAnimationActive = !AppState.colorAnimationActive;
  // The result is ignored on purpose: the flag names the technique last requested.
  AppState.effect->SetTechnique(AppState.colorAnimationActive ? "ColorAnimation"
                                                              : "VertexAnimation");
}

void HandleKeyDown(WPARAM key) {
  switch (key) {
    case VK_ESCAPE: PostQuitMessage(0); break;
    case VK_SPACE: SwitchTechnique(); break;
    case VK_LEFT: StepObjectCount(-static_cast<int64_t>(SceneSettings.number_objects_step)); break;
    case VK_RIGHT: StepObjectCount(SceneSettings.number_objects_step); break;
    default: break;  // every other key is swallowed, not passed to the default procedure
  }
}

void HandleMouseMove(int32_t x, int32_t y) {
  if (AppState.leftButtonDown) {
    AppState.yawDegrees -= PixelDelta(x, AppState.leftLastX);
    AppState.pitchDegrees -= PixelDelta(y, AppState.leftLastY);
  }
  if (AppState.rightButtonDown) {
    // Horizontal motion moves the light along z, not x.
    float* light = SceneSettings.light_position;
    light[2] = light[2] + kLightPixelStep * PixelDelta(x, AppState.rightLastX);
    light[1] = light[1] - kLightPixelStep * PixelDelta(y, AppState.rightLastY);
  }
  // Updated on every move, pressed or not, so each move applies only the motion since the last.
  AppState.leftLastX = x;
  AppState.rightLastX = x;
  AppState.leftLastY = y;
  AppState.rightLastY = y;
}

}  // namespace

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:  // the default handling would destroy the window; quitting is enough
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_KEYDOWN: HandleKeyDown(wParam); return 0;
    case WM_LBUTTONDOWN:
      AppState.leftLastX = CursorX(lParam);
      AppState.leftLastY = CursorY(lParam);
      AppState.leftButtonDown = true;
      return 0;
    case WM_LBUTTONUP: AppState.leftButtonDown = false; return 0;
    case WM_RBUTTONDOWN:
      AppState.rightLastX = CursorX(lParam);
      AppState.rightLastY = CursorY(lParam);
      AppState.rightButtonDown = true;
      return 0;
    case WM_RBUTTONUP:
      // The flag drops first, so the release position still turns the objects of a left drag but
      // no longer moves the light.
      AppState.rightButtonDown = false;
      HandleMouseMove(CursorX(lParam), CursorY(lParam));
      return 0;
    case WM_MOUSEMOVE: HandleMouseMove(CursorX(lParam), CursorY(lParam)); return 0;
    default: return DefWindowProc(window, message, wParam, lParam);
  }
}
