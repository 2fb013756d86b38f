// The four-line overlay: FPS and the objects, vertices and polygons a two-pass technique draws.
// The counts are fixed formulas of number_objects for the shipped meshes, not queried.
#include "render/statistics.hpp"

#include <cstdio>

#include "app/app_state.hpp"
#include "render/gfx/gfx.hpp"

void DrawStatistics() {
  gfx::Font* font = AppState.font;
  if (!font) return;
  const int32_t n = SceneSettings.number_objects;
  // The longest text (fps of ten digits, n = 50) is under 100 characters: it always fits.
  char text[200];
  std::snprintf(text, sizeof text, "FPS: %d\nBroj objekata: %d\nBroj vrhova: %d\nBroj poligona: %d",
                AppState.fps, 4 * n + 1, 7638 * n + 561, 10528 * n + 960);
  gfx::Rect rect{6, 6, 500, 200};
  font->DrawText(nullptr, text, -1, &rect, gfx::DT_LEFT | gfx::DT_TOP, 0xFFC8C8C8u);
}
