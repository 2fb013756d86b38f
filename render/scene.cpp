// One frame: clear, the per-frame effect values, the four lists of copies and the light marker
// through every pass of the current technique, the overlay, present. Allocates nothing.
// Without an effect only the cleared background and the overlay are drawn.
#include "render/scene.hpp"

#include <cstdint>

#include "app/app_state.hpp"
#include "render/effect_params.hpp"
#include "render/frame_clock.hpp"
#include "render/gfx/gfx.hpp"
#include "render/statistics.hpp"

namespace {

// The single-precision factors, widened: each coordinate is worked out in double from them and
// narrowed once, so the rows land exactly where the float factors put them.
constexpr double kPointSeven = 0.7f;
constexpr double kPointThree = 0.3f;

// Every copy turns by its index times the user's angles, so copy 0 never turns.
float Yaw(int32_t j) { return -(static_cast<float>(j) * AppState.yawDegrees * kDegreesToRadians); }
float Pitch(int32_t j) { return static_cast<float>(j) * AppState.pitchDegrees * kDegreesToRadians; }

void DrawCopy(gfx::Mesh* mesh, double tx, double ty, double tz, float yaw, float pitch,
              float scale) {
  SetObjectTransform(static_cast<float>(tx), static_cast<float>(ty), static_cast<float>(tz), yaw,
                     pitch, 0.0f, scale);
  AppState.effect->CommitChanges();
  if (mesh) mesh->DrawSubset(0);
}

void BindTexture(gfx::Texture* texture) {
  AppState.effect->SetTexture("inTexture", texture);
  AppState.effect->CommitChanges();
}

// Left chairs, then lower spheres, each list with its own texture.
void DrawFirstPass() {
  const int32_t count = SceneSettings.number_objects;
  BindTexture(AppState.chairTexture);
  for (int32_t j = 0; j < count; ++j) {
    const int32_t c = j % 4, r = j / 4;
    DrawCopy(AppState.chairMesh, kPointSeven * r - 14.0, 5.0 * c - 10.0, 8.5 * r + 30.0, Yaw(j),
             Pitch(j), 1.0f);
  }
  BindTexture(AppState.sphereTexture);
  for (int32_t j = 0; j < count; ++j) {
    const int32_t c = j % 4, r = j / 4;
    DrawCopy(AppState.sphereMesh, 5.0 * c - 7.5, kPointThree * r - 10.0, 7.0 * r + 30.0, Yaw(j),
             Pitch(j), 0.09f);
  }
}

// Upper spheres, right chairs and the light marker. No texture is bound here: "inTexture" keeps
// the sphere texture from pass 0, the chairs included.
void DrawLaterPass() {
  const int32_t count = SceneSettings.number_objects;
  for (int32_t j = 0; j < count; ++j) {
    const int32_t c = j % 4, r = j / 4;
    DrawCopy(AppState.sphereMesh, 5.0 * c - 10.0, 10.0 - kPointThree * r, 9.0 * r + 30.0, Yaw(j),
             Pitch(j), 0.02f);
  }
  for (int32_t j = 0; j < count; ++j) {
    const int32_t c = j % 4, r = j / 4;
    DrawCopy(AppState.chairMesh, 14.0 - kPointSeven * r, 5.0 * c - 10.0, 8.5 * r + 30.0, Yaw(j),
             Pitch(j), 0.3f);
  }
  const float* light = SceneSettings.light_position;
  DrawCopy(AppState.sphereMesh, light[0], light[1], static_cast<double>(light[2]) + kPointThree,
           0.0f, 0.0f, 0.003f);
}

void DrawPasses(gfx::Effect* effect) {
  uint32_t passes = 0;
  // A failed Begin reports no pass count and begins nothing, so there is no pass to draw and
  // nothing for End to restore: calling End would unbalance the effect's saved state.
  if (gfx::Failed(effect->Begin(&passes, 0))) return;
  for (uint32_t pass = 0; pass < passes; ++pass) {
    effect->BeginPass(pass);
    if (pass == 0)
      DrawFirstPass();
    else
      DrawLaterPass();
    effect->EndPass();
  }
  effect->End();
}

}  // namespace

void RenderFrame() {
  AdvanceFrameClock();
  gfx::Device* device = AppState.device;
  if (!device) return;  // start-up guarantees one; this only keeps a misuse from crashing

  device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
  device->BeginScene();
  if (gfx::Effect* effect = AppState.effect) {
    BindFrameParameters();
    DrawPasses(effect);
  }
  DrawStatistics();
  device->EndScene();
  device->Present(nullptr, nullptr, nullptr, nullptr);
}
