// The values the effect shades with, set by name on every call (no cached handles), and the
// placement of one object. Without an effect (its build failed) nothing is set.
#include "render/effect_params.hpp"

#include <cmath>

#include "app/app_state.hpp"
#include "render/gfx/gfx.hpp"

void SetObjectTransform(float tx, float ty, float tz, float yaw, float pitch, float roll,
                        float scale) {
  gfx::Matrix translation, rotation, scaling, world, viewProjection;
  gfx::MatrixTranslation(&translation, tx, ty, tz);
  gfx::MatrixRotationYawPitchRoll(&rotation, yaw, pitch, roll);
  gfx::MatrixScaling(&scaling, scale, scale, scale);
  // Scale and turn about the model's own origin first, so the origin lands on (tx, ty, tz).
  gfx::MatrixMultiply(&world, &scaling, &rotation);
  gfx::MatrixMultiply(&world, &world, &translation);

  gfx::MatrixIdentity(&AppState.view);
  AppState.world = world;
  gfx::MatrixMultiply(&viewProjection, &AppState.view, &AppState.projection);

  gfx::Effect* effect = AppState.effect;
  if (!effect) return;
  effect->SetMatrix("matViewProjection", gfx::EffectMatrix(&viewProjection));
  effect->SetMatrix("matWorld", gfx::EffectMatrix(&AppState.world));
}

void BindFrameParameters() {
  gfx::Effect* effect = AppState.effect;
  if (!effect) return;

  SetObjectTransform(1.0f, 0.0f, 5.5f, AppState.yawDegrees * kDegreesToRadians,
                     AppState.pitchDegrees * kDegreesToRadians, 0.0f, 1.0f);
  effect->SetTexture("inTexture", AppState.sphereTexture);
  // The seconds are taken as radians: the pair goes once round the circle every 2π seconds.
  effect->SetFloat("fCosTime0_X", static_cast<float>(std::cos(AppState.elapsedSeconds)));
  effect->SetFloat("fSinTime0_X", static_cast<float>(std::sin(AppState.elapsedSeconds)));
  effect->SetFloatArray("light_position", SceneSettings.light_position, 3);
  effect->SetFloat("kAmbient", SceneSettings.kAmbient);
  effect->SetFloat("kDifuse", SceneSettings.kDifuse);
  effect->SetFloatArray("iSource", SceneSettings.intensity_source, 3);
  effect->SetFloatArray("iAmbient", SceneSettings.intensity_ambient, 3);
  effect->CommitChanges();
}
